#!/usr/bin/env python3
"""Writes the sample SUPERQUAD card files (*.SQD) of Tarvolin from known constants.

Each file is one potentiometric titration with a glass electrode. The cards follow the fixed
columns that the program reads; every number is right-aligned in its field. The measured EMF
of each reading is calculated from the numbers exactly as they are written to the cards:
the vessel millimoles are divided by V0, the totals at a reading follow from the titre, the
free proton concentration comes from the speciation solver of make_examples.py, and

    EMF = EZERO + slope * lg[H+],   slope = SLOPE * ln10 * (T + 273.15) / 11.6048 mV,

with T the temperature card and SLOPE the slope factor of the electrode card. The EMF is
written with five decimals (1e-5 mV), so the files are noiseless to that rounding. With
--noise the EMF values get Gaussian errors and the files go to another folder.

Standard library only.
Usage:
    make_sqd_examples.py                       writes the noiseless files next to this script
    make_sqd_examples.py --noise 1 --seed 7 --out DIR
                                               noisy variants; SD in units of 0.1 mV
"""

import argparse
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_examples import output_folder, solve_speciation  # noqa: E402

LN10 = math.log(10.0)
EMF_SD = 0.1  # nominal error of a reading, mV


# ------------------------------------------------------------------------------------------
# Fields
# ------------------------------------------------------------------------------------------


def real_field(value, width, decimals):
    """A real right-aligned in `width` columns with `decimals` decimals; it must fit."""
    text = "%*.*f" % (width, decimals, value)
    if len(text) != width:
        raise ValueError("%r does not fit in %d columns" % (text, width))
    return text


def int_field(value, width):
    text = "%*d" % (width, value)
    if len(text) != width:
        raise ValueError("%r does not fit in %d columns" % (text, width))
    return text


def text_field(text, width):
    if len(text) > width:
        raise ValueError("%r is longer than %d columns" % (text, width))
    return text


# ------------------------------------------------------------------------------------------
# A titration
# ------------------------------------------------------------------------------------------


class Complex:
    def __init__(self, name, lgbeta, stoich, key):
        self.name = name
        self.lgbeta = real_field(lgbeta, 10, 4)
        self.stoich = stoich  # one coefficient per reactant
        self.key = key  # 1 refined, 0 fixed, -1 switched off (the card is discarded)


class Titration:
    """The cards of one titration. Numbers set by hand are kept as the text written."""

    def __init__(self, title, reactants, temperature, complexes, millimoles, burette, v0,
                 ezero, lock, slope, ifc, titres, step, jumps=None, group8="", group11=""):
        self.title = title
        self.reactants = reactants
        self.temperature = real_field(temperature, 10, 2)
        self.complexes = complexes
        self.millimoles = [real_field(x, 10, 6) for x in millimoles]
        self.burette = [real_field(x, 10, 6) for x in burette]
        self.v0 = real_field(v0, 10, 4)
        self.ezero = real_field(ezero, 10, 4)
        self.lock = lock
        self.slope = real_field(slope, 10, 4)
        self.ifc = ifc  # reactant (1-based) whose free concentration the electrode senses
        self.titres = [real_field(t, 10, 4) for t in titres]
        self.step = real_field(step, 10, 2)
        self.jumps = jumps or {}  # reading index -> EMF offset of a reading left out (JUMP 1)
        self.group8, self.group11 = group8, group11

    # --- the model as the reader builds it, from the texts written ---

    def species(self):
        """Stoichiometric rows and lgBETA of the species: free reactants, then kept complexes."""
        nr = len(self.reactants)
        rows = [[1 if k == r else 0 for k in range(nr)] for r in range(nr)]
        lgb = [0.0] * nr
        for c in self.complexes:
            if c.key >= 0:
                rows.append(c.stoich)
                lgb.append(float(c.lgbeta))
        return rows, lgb

    def reagents(self):
        """Species row, C0 (mol/l) and titrant concentration of every input reagent."""
        rows, _ = self.species()
        v0 = float(self.v0)
        out = []
        negative = None
        for r in range(len(self.reactants)):
            c = float(self.burette[r])
            if c < 0:
                negative = (r, -c)
                c = 0.0
            out.append((rows[r], float(self.millimoles[r]) / v0, c))
        if negative is not None:
            r, c = negative
            titrant = next(row for row in rows
                           if row[r] == -1 and all(a == 0 for k, a in enumerate(row) if k != r))
            out.append((titrant, 0.0, c))
        return out

    def slope_mv(self):
        return float(self.slope) * LN10 * (float(self.temperature) + 273.15) / 11.6048

    def emf_values(self):
        """EMF of every reading from the constants, lg[IFC] through the Nernst slope."""
        rows, lgb = self.species()
        reagents = self.reagents()
        v0 = float(self.v0)
        nr = len(self.reactants)
        values = []
        start = None
        for text in self.titres:
            t = float(text)
            ct = [(c0 * v0 + ctit * t) / (v0 + t) for _, c0, ctit in reagents]
            totals = [math.fsum(c * row[k] for c, (row, _, _) in zip(ct, reagents))
                      for k in range(nr)]
            conc, start = solve_speciation(rows, lgb, totals, start)
            values.append(float(self.ezero) + self.slope_mv() * math.log10(conc[self.ifc - 1]))
        return values

    # --- the cards ---

    def cards(self, rng=None, noise=0.0):
        nr = len(self.reactants)
        lines = [self.title]
        lines.append(int_field(0, 5) + int_field(0, 5) + int_field(nr, 5) + int_field(0, 5))
        lines.extend(text_field(name, 12) for name in self.reactants)
        lines.append(self.temperature)
        for c in self.complexes:
            lines.append(c.lgbeta + "".join(int_field(a, 5) for a in c.stoich) +
                         int_field(c.key, 5))
        lines.append("")  # end of the complexes: a card shorter than ten columns
        for r in range(nr):
            lines.append(int_field(r + 1, 5) + self.millimoles[r] + self.burette[r] +
                         int_field(0, 5) + int_field(0, 5))
        lines.append(self.group8)
        lines.append(int_field(0, 5) + self.v0 + real_field(0.002, 10, 4))
        lines.append("0 1 %d" % self.ifc + self.ezero + real_field(0.1, 10, 4) +
                     int_field(self.lock, 5) + self.slope)
        lines.append(self.group11)
        for k, (titre, emf) in enumerate(zip(self.titres, self.emf_values())):
            jump = 1 if k in self.jumps else 0
            emf += self.jumps.get(k, 0.0)
            if noise:
                emf += rng.gauss(0.0, noise * EMF_SD)
            lines.append(titre + real_field(emf, 10, 5) + " " * 10 + int_field(jump, 5))
        lines.append("")  # end of the readings
        lines.append(self.step)
        for line in lines:
            if "/" in line:
                raise ValueError("a card may not hold '/', the comment mark: %r" % line)
        return ("\r\n".join(lines) + "\r\n").encode("ascii")


# ------------------------------------------------------------------------------------------
# The examples
# ------------------------------------------------------------------------------------------

LG_HL, LG_H2L, LG_OH = 9.57, 11.92, -13.78  # glycine protonation, Kw; 25 C, I = 0.1 M


def steps(first, last, increment):
    n = int(round((last - first) / increment))
    return [first + k * increment for k in range(n + 1)]


def glycine_protonation():
    # Reactants: glycinate (L) and the proton. The vessel holds 25.00 ml of glycine 0.01000 M
    # (zwitterion HL) with HCl 0.01200 M: 0.2500 mmol L and 0.2500 + 0.3000 mmol H.
    return Titration(
        title="Glycine (H2L+) protonation: 25.00 ml of glycine 0.01000 M + HCl 0.01200 M "
              "titrated with NaOH 0.1000 M, glass electrode, 25 C, I = 0.1 M KCl",
        reactants=["Glycinate", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", LG_HL, [1, 1], 1),
            Complex("H2L", LG_H2L, [1, 2], 1),
            Complex("OH", LG_OH, [0, -1], 0),
        ],
        millimoles=[0.25, 0.55], burette=[0.0, -0.1], v0=25.0,
        ezero=400.0, lock=1, slope=1.0, ifc=2,
        titres=steps(0.0, 5.2, 0.2), step=0.10,
        group8="Titration 1: glycine + HCl with NaOH",
        group11="   titre ml    EMF mV")


def copper_glycine():
    # Reactants: Cu2+, glycinate (L) and the proton. 25.00 ml of Cu(NO3)2 0.00200 M, glycine
    # 0.00500 M (as HL) and HNO3 0.00800 M: 0.05000 mmol Cu, 0.1250 mmol L and
    # 0.1250 + 0.2000 mmol H.
    return Titration(
        title="Cu(II) - glycine (L): 25.00 ml of Cu 0.00200 M, glycine 0.00500 M, HNO3 "
              "0.00800 M titrated with NaOH 0.1000 M, 25 C, I = 0.1 M KNO3",
        reactants=["Cu2+", "Glycinate", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", LG_HL, [0, 1, 1], 0),
            Complex("H2L", LG_H2L, [0, 1, 2], 0),
            Complex("OH", LG_OH, [0, 0, -1], 0),
            Complex("CuOH", -7.90, [1, 0, -1], 0),
            Complex("CuL", 8.15, [1, 1, 0], 1),
            Complex("CuL2", 15.03, [1, 2, 0], 1),
            Complex("CuHL", 10.20, [1, 1, 1], -1),  # tried and switched off
        ],
        millimoles=[0.05, 0.125, 0.325], burette=[0.0, 0.0, -0.1], v0=25.0,
        ezero=398.6, lock=0, slope=0.995, ifc=3,
        titres=steps(0.0, 3.4, 0.1), step=0.08,
        jumps={15: 3.0},  # a drifting reading at 1.5 ml, left out
        group8="Titration 1: Cu(II) + glycine + HNO3 with NaOH",
        group11="   titre ml    EMF mV")


EXAMPLES = [
    ("GLYCINE_PROTONATION.SQD", glycine_protonation),
    ("CU_GLYCINE.SQD", copper_glycine),
]


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Write the sample SQD files of Tarvolin.")
    parser.add_argument("--noise", type=float, default=0.0,
                        help="standard deviation of the EMF errors in units of 0.1 mV")
    parser.add_argument("--seed", type=int, default=1, help="seed of the error generator")
    parser.add_argument("--out", help="folder for the files (required with --noise)")
    parser.add_argument("--print-emf", action="store_true",
                        help="print the EMF of every reading with 10 decimals")
    args = parser.parse_args(argv)
    out_dir = output_folder(parser, args, here)
    rng = random.Random(args.seed)
    for name, make in EXAMPLES:
        titration = make()
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(titration.cards(rng, args.noise))
        print("wrote", os.path.join(out_dir, name))
        if args.print_emf:
            print("  slope %.10f mV" % titration.slope_mv())
            for titre, emf in zip(titration.titres, titration.emf_values()):
                print("  %s %.10f" % (titre, emf))
    return 0


if __name__ == "__main__":
    sys.exit(main())
