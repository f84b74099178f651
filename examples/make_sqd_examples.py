#!/usr/bin/env python3
"""Writes the sample SUPERQUAD card files (*.SQD) of Tarvolin from known constants.

Each file holds one system (reactants, complexes) and one or more potentiometric titrations
of it, each with its own vessel and burette contents, initial volume, electrode and readings.
The measured value of each reading is calculated from the numbers exactly as they are written
to the cards: the vessel millimoles are divided by V0, the totals at a reading follow from the
titre, the free concentrations come from the speciation solver of make_examples.py, and

    EMF = EZERO + slope * lg[IFC],   slope = SLOPE * ln10 * (T + 273.15) / 11.6048 mV,

with T the temperature card and SLOPE the slope factor of the electrode card (electrode type
0), or pH = -lg[H+] (electrode type 1). The readings are written with five decimals, so the
files are noiseless to that rounding. With --noise the readings get Gaussian errors and the
files go to another folder.

Two card layouts are written:
  right   every number right-aligned in its columns, every field present (the strict layout);
  field   as card files found in the field have it: numbers anywhere in their fields, mostly
          left-aligned, in the Fortran forms (.25, -.081, 11., 2.5E-1, 2.5D-1), blank fields
          where a blank means zero (print control, refinement keys, LOCK, SLOPE, JUMP, the
          electrode digits), coefficients and keys written as reals (1., -1.0), and a card
          of blanks closing the complexes and each titration's readings.
Every example written in the field layout also gets its twin in the right layout, which
reads to the same model, and a DAT twin for comparing fits of the two input formats; the
twins go to tests/data/sqd and tests/data/dat.

Standard library only.
Usage:
    make_sqd_examples.py                       writes the noiseless files and their twins
    make_sqd_examples.py --noise 1 --seed 7 --out DIR
                                               noisy variants; SD in units of 0.1 mV
"""

import argparse
import decimal
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_examples import (Block, DatText, Reagent, Species, System,  # noqa: E402
                           output_folder, solve_speciation, write_system)

LN10 = math.log(10.0)
EMF_SD = 0.1  # nominal error of a reading, mV (pH 0.002 for electrode type 1)
PH_SD = 0.002

# ------------------------------------------------------------------------------------------
# Number texts
# ------------------------------------------------------------------------------------------


def fixed(value, decimals):
    return "%.*f" % (decimals, value)


def fit(text, width):
    if len(text) > width:
        raise ValueError("%r does not fit in %d columns" % (text, width))
    return text


def short_form(text):
    """The same number without the zero before the point and without trailing zeros:
    0.250000 -> .25, -0.0810 -> -.081, 11.0000 -> 11., 0.0000 -> .0"""
    if "." not in text:
        return text
    head, tail = text.split(".")
    tail = tail.rstrip("0")
    if head in ("0", "-0", "+0"):
        head = head[:-1]
        tail = tail or "0"
    return head + "." + tail


def exponent_form(text, letter):
    """The same number in exponent form with `letter` (E or D) as the exponent mark:
    0.250000 -> 2.5E-1, 269.36556 -> 2.6936556E2; zero has no exponent form."""
    value = decimal.Decimal(text)
    if value == 0:
        return None
    sign, digits, exponent = value.normalize().as_tuple()
    mantissa = "".join(str(d) for d in digits)
    power = exponent + len(digits) - 1
    body = mantissa[0] + "." + mantissa[1:]
    return ("-" if sign else "") + body + letter + str(power)


# ------------------------------------------------------------------------------------------
# Card layouts
# ------------------------------------------------------------------------------------------


class RightLayout:
    """Every number right-aligned in its columns; every field written."""

    name = "right"

    def real(self, text, width):
        return fit(text.rjust(width), width)

    def integer(self, value, width):
        return fit("%*d" % (width, value), width)

    def coefficient(self, value, width):
        return self.integer(value, width)

    def key(self, value, width):
        return self.integer(value, width)

    def counts(self, reactants):
        return self.integer(0, 5) + self.integer(0, 5) + self.integer(reactants, 5) + \
            self.integer(0, 5)

    def reagent_keys(self):
        return self.integer(0, 5) + self.integer(0, 5)

    def electrode_digits(self, electrode_type, ifc):
        return "%d 1 %d" % (electrode_type, ifc)

    def lock(self, value):
        return self.integer(value, 5)

    def slope(self, text):
        return self.real(text, 10)

    def jump(self, value):
        return " " * 10 + self.integer(value, 5)

    def end_card(self):
        return ""


class FieldLayout(RightLayout):
    """Numbers anywhere in their fields, in the Fortran forms, blank where a blank is zero.
    The forms rotate from field to field, so that every file shows each of them."""

    name = "field"
    FORMS = ("left", "short", "E", "inset", "D", "short-right")

    def __init__(self):
        self.turn = 0

    def real(self, text, width):
        # One blank before the number keeps it apart from a full field before it, where
        # the field has room for it.
        for attempt in range(len(self.FORMS)):
            form = self.FORMS[(self.turn + attempt) % len(self.FORMS)]
            candidate = self._form(text, form, width)
            if candidate is None:
                continue
            for spaced in ((candidate,) if form == "short-right" else (" " + candidate, candidate)):
                if len(spaced) <= width:
                    self.turn += 1
                    return spaced.ljust(width)
        return fit(text.ljust(width), width)

    @staticmethod
    def _form(text, form, width):
        if form == "left":
            return text
        if form == "short":
            return short_form(text)
        if form == "short-right":  # right-aligned, but with a blank after it
            return short_form(text).rjust(width - 1)
        if form == "inset":  # blanks on both sides
            return "  " + short_form(text)
        return exponent_form(text, form)

    def integer(self, value, width):
        return fit(str(value).ljust(width), width)

    def coefficient(self, value, width):
        # Some programs write stoichiometric coefficients as reals.
        self.turn += 1
        return fit(("%d." % value if self.turn % 3 == 0 else str(value)).ljust(width), width)

    def key(self, value, width):
        return fit(("%d." % value).ljust(width), width)

    def counts(self, reactants):
        return "0    0    " + self.integer(reactants, 5) + "0"

    def reagent_keys(self):
        return ""  # missing keys count as 0

    def electrode_digits(self, electrode_type, ifc):
        return "%s   %s" % (electrode_type or " ", " " if ifc == 1 else ifc)

    def lock(self, value):
        return self.integer(value, 5) if value else " " * 5

    def slope(self, text):
        return " " * 10 if float(text) == 1.0 else self.real(text, 10)

    def jump(self, value):
        return " " * 10 + self.integer(value, 5) if value else ""

    def end_card(self):
        return " " * 12


# ------------------------------------------------------------------------------------------
# A system and its titrations
# ------------------------------------------------------------------------------------------


class Complex:
    def __init__(self, name, lgbeta, stoich, key):
        self.name = name
        self.lgbeta = fixed(lgbeta, 4)
        self.stoich = stoich  # one coefficient per reactant
        self.key = key  # 1 refined, 0 fixed, -1 switched off (the card is discarded)


class Titration:
    """The cards of one titration. Numbers set by hand are kept as the text written."""

    def __init__(self, millimoles, burette, v0, ezero, lock, slope, ifc, titres,
                 electrode_type=0, jumps=None, group8="", group11=""):
        self.millimoles = [fixed(x, 6) for x in millimoles]
        self.burette = [fixed(x, 6) for x in burette]
        self.v0 = fixed(v0, 4)
        self.ezero = fixed(ezero, 4)
        self.lock = lock
        self.slope = fixed(slope, 4)
        self.ifc = ifc  # reactant (1-based) whose free concentration the electrode senses
        self.titres = [fixed(t, 4) for t in titres]
        self.electrode_type = electrode_type  # 0 EMF, 1 -lg[IFC]
        self.jumps = jumps or {}  # reading index -> offset of a reading left out (JUMP 1)
        self.group8, self.group11 = group8, group11


class CardFile:
    def __init__(self, title, reactants, temperature, complexes, titrations, step):
        self.title = title
        self.reactants = reactants
        self.temperature = fixed(temperature, 2)
        self.complexes = complexes
        self.titrations = titrations
        self.step = fixed(step, 2)

    # --- the model as the reader builds it, from the texts written ---

    def species(self):
        """Stoichiometric rows, lgBETA texts and keys: free reactants, then kept complexes."""
        nr = len(self.reactants)
        rows = [[1 if k == r else 0 for k in range(nr)] for r in range(nr)]
        lgb = ["0"] * nr
        keys = [0] * nr
        for c in self.complexes:
            if c.key >= 0:
                rows.append(c.stoich)
                lgb.append(c.lgbeta)
                keys.append(c.key)
        return rows, lgb, keys

    def species_names(self):
        return list(self.reactants) + [c.name for c in self.complexes if c.key >= 0]

    def negative_reactant(self):
        negative = {r for t in self.titrations for r, c in enumerate(t.burette) if float(c) < 0}
        if len(negative) > 1:
            raise ValueError("one reactant may be given as a negative burette concentration")
        return negative.pop() if negative else None

    def titrant_species(self):
        """0-based species of the titrant reagent (hydroxide), or None."""
        r = self.negative_reactant()
        if r is None:
            return None
        rows, _, _ = self.species()
        return next(s for s, row in enumerate(rows)
                    if row[r] == -1 and all(a == 0 for k, a in enumerate(row) if k != r))

    def reagents(self, t):
        """Species row, C0 (mol/l) and titrant concentration of every input reagent."""
        rows, _, _ = self.species()
        v0 = float(t.v0)
        out = [(rows[r], float(t.millimoles[r]) / v0, max(float(t.burette[r]), 0.0))
               for r in range(len(self.reactants))]
        titrant = self.titrant_species()
        if titrant is not None:
            r = self.negative_reactant()
            out.append((rows[titrant], 0.0, max(-float(t.burette[r]), 0.0)))
        return out

    def slope_mv(self, t):
        return float(t.slope) * LN10 * (float(self.temperature) + 273.15) / 11.6048

    def readings(self, t):
        """EMF (or pH) of every reading from the constants."""
        rows, lgb, _ = self.species()
        lgb = [float(x) for x in lgb]
        reagents = self.reagents(t)
        v0 = float(t.v0)
        nr = len(self.reactants)
        values = []
        start = None
        for text in t.titres:
            vt = float(text)
            ct = [(c0 * v0 + ctit * vt) / (v0 + vt) for _, c0, ctit in reagents]
            totals = [math.fsum(c * row[k] for c, (row, _, _) in zip(ct, reagents))
                      for k in range(nr)]
            conc, start = solve_speciation(rows, lgb, totals, start)
            lg = math.log10(conc[t.ifc - 1])
            values.append(-lg if t.electrode_type == 1 else
                          float(t.ezero) + self.slope_mv(t) * lg)
        return values

    def reading_texts(self, t, rng=None, noise=0.0):
        """The readings as written, JUMP readings with their offset."""
        sd = PH_SD if t.electrode_type == 1 else EMF_SD
        texts = []
        for k, value in enumerate(self.readings(t)):
            value += t.jumps.get(k, 0.0)
            if noise:
                value += rng.gauss(0.0, noise * sd)
            texts.append(fixed(value, 5))
        return texts

    # --- the cards ---

    def cards(self, layout, rng=None, noise=0.0):
        nr = len(self.reactants)
        lines = [self.title, layout.counts(nr)]
        lines.extend(fit(name, 12) for name in self.reactants)
        lines.append(layout.real(self.temperature, 10))
        for c in self.complexes:
            lines.append(layout.real(c.lgbeta, 10) +
                         "".join(layout.coefficient(a, 5) for a in c.stoich) +
                         layout.key(c.key, 5))
        lines.append(layout.end_card())  # end of the complexes
        for t in self.titrations:
            for r in range(nr):
                lines.append("%5d" % (r + 1) + layout.real(t.millimoles[r], 10) +
                             layout.real(t.burette[r], 10) + layout.reagent_keys())
            lines.append(t.group8)
            lines.append(layout.integer(0, 5) + layout.real(t.v0, 10) +
                         layout.real(fixed(0.002, 4), 10))
            lines.append(layout.electrode_digits(t.electrode_type, t.ifc) +
                         layout.real(t.ezero, 10) + layout.real(fixed(0.1, 4), 10) +
                         layout.lock(t.lock) + layout.slope(t.slope))
            lines.append(t.group11)
            for k, (titre, reading) in enumerate(zip(t.titres, self.reading_texts(t, rng, noise))):
                lines.append(layout.real(titre, 10) + layout.real(reading, 10) +
                             layout.jump(1 if k in t.jumps else 0))
            lines.append(layout.end_card())  # end of the readings
        lines.append(layout.real(self.step, 10))
        for line in lines:
            if "/" in line:
                raise ValueError("a card may not hold '/', the comment mark: %r" % line)
        return ("\r\n".join(line.rstrip() if layout.name == "field" and line.strip() else line
                            for line in lines) + "\r\n").encode("ascii")

    # --- the same titrations in the DAT layout ---

    def dat_twin(self):
        """The system in the DAT layout: one block per titration, the same numbers."""
        rows, lgb, keys = self.species()
        names = list(self.reactants)
        species = [Species(name, row, text, key)
                   for name, row, text, key in zip(self.species_names(), rows, lgb, keys)]
        reagents = [Reagent(r + 1, names[r]) for r in range(len(names))]
        titrant = self.titrant_species()
        if titrant is not None:
            reagents.append(Reagent(titrant + 1, "titrant"))
        negative = self.negative_reactant()
        blocks = []
        for t in self.titrations:
            v0 = decimal.Decimal(t.v0)
            c0 = [exact(decimal.Decimal(m) / v0) for m in t.millimoles]
            burette = [c if float(c) >= 0 else "0" for c in t.burette]
            if titrant is not None:
                c0.append("0")
                burette.append(exact(-decimal.Decimal(t.burette[negative])).lstrip("-")
                               if float(t.burette[negative]) < 0 else "0")
            kept = [k for k in range(len(t.titres)) if k not in t.jumps]
            titres = [decimal.Decimal(t.titres[k]) for k in kept]
            added = [exact(v - w) for v, w in zip(titres, [decimal.Decimal(0)] + titres[:-1])]
            texts = self.reading_texts(t)
            ph = t.electrode_type == 1
            av = ["0"] * len(rows)
            av[t.ifc - 1] = "1" if ph else nernst_slope_text(t.slope, self.temperature)
            blocks.append(Block(1 if ph else 8, fo="0" if ph else t.ezero,
                                fit_block=1 if t.lock else 0,
                                av=av, fit_av=[0] * len(rows), c0=c0, v0=t.v0,
                                c_titrant=burette, v_added=added, a="1" if ph else None,
                                y_texts=[texts[k] for k in kept],
                                y_label="pH" if ph else "EMF (mV)"))
        system = System(self.title, names, species, reagents, blocks, step=self.step)
        out = DatText()
        out.line("1".ljust(43) + " / number of calculated systems")
        write_system(out, system, None, 0.0)
        return out.data()


def exact(value):
    """A Decimal as plain text, without exponent."""
    return format(value.normalize(), "f")


def nernst_slope_text(slope, temperature):
    with decimal.localcontext() as context:
        context.prec = 40
        value = (decimal.Decimal(slope) * decimal.Decimal(10).ln() *
                 (decimal.Decimal(temperature) + decimal.Decimal("273.15")) /
                 decimal.Decimal("11.6048"))
    return "%.22g" % value


# ------------------------------------------------------------------------------------------
# The examples
# ------------------------------------------------------------------------------------------

LG_HL, LG_H2L, LG_OH = 9.57, 11.92, -13.78  # glycine protonation, Kw; 25 C, I = 0.1 M
EN_HL, EN_H2L = 9.93, 17.08  # ethylenediamine protonation; 25 C, I = 0.1 M


def steps(first, last, increment):
    n = int(round((last - first) / increment))
    return [first + k * increment for k in range(n + 1)]


def glycine_protonation():
    # Reactants: glycinate (L) and the proton. The vessel holds 25.00 ml of glycine 0.01000 M
    # (zwitterion HL) with HCl 0.01200 M: 0.2500 mmol L and 0.2500 + 0.3000 mmol H.
    return CardFile(
        title="Glycine (H2L+) protonation: 25.00 ml of glycine 0.01000 M + HCl 0.01200 M "
              "titrated with NaOH 0.1000 M, glass electrode, 25 C, I = 0.1 M KCl",
        reactants=["Glycinate", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", LG_HL, [1, 1], 1),
            Complex("H2L", LG_H2L, [1, 2], 1),
            Complex("OH", LG_OH, [0, -1], 0),
        ],
        titrations=[Titration(
            millimoles=[0.25, 0.55], burette=[0.0, -0.1], v0=25.0,
            ezero=400.0, lock=1, slope=1.0, ifc=2,
            titres=steps(0.0, 5.2, 0.2),
            group8="Titration 1: glycine + HCl with NaOH",
            group11="   titre ml    EMF mV")],
        step=0.10)


def copper_glycine():
    # Reactants: Cu2+, glycinate (L) and the proton. 25.00 ml of Cu(NO3)2 0.00200 M, glycine
    # 0.00500 M (as HL) and HNO3 0.00800 M: 0.05000 mmol Cu, 0.1250 mmol L and
    # 0.1250 + 0.2000 mmol H.
    return CardFile(
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
        titrations=[Titration(
            millimoles=[0.05, 0.125, 0.325], burette=[0.0, 0.0, -0.1], v0=25.0,
            ezero=398.6, lock=0, slope=0.995, ifc=3,
            titres=steps(0.0, 3.4, 0.1),
            jumps={15: 3.0},  # a drifting reading at 1.5 ml, left out
            group8="Titration 1: Cu(II) + glycine + HNO3 with NaOH",
            group11="   titre ml    EMF mV")],
        step=0.08)


def en_protonation_three_titrations():
    # Reactants: ethylenediamine (L) and the proton; each vessel holds en.2HCl and HCl, and
    # NaOH is the titrant (a negative proton concentration in the burette).
    return CardFile(
        title="Ethylenediamine (L) protonation, three titrations of en.2HCl + HCl with NaOH, "
              "glass electrode, 25 C, I = 0.1 M KCl",
        reactants=["en", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", EN_HL, [1, 1], 1),
            Complex("H2L", EN_H2L, [1, 2], 1),
            Complex("OH", LG_OH, [0, -1], 0),
        ],
        titrations=[
            # 25.00 ml of en 0.00400 M + HCl 0.00200 M (0.1000 mmol L, 0.2500 mmol H).
            Titration(millimoles=[0.1, 0.25], burette=[0.0, -0.1], v0=25.0,
                      ezero=400.0, lock=1, slope=1.0, ifc=2,
                      titres=steps(0.0, 2.72, 0.08),
                      group8="Titration 1: en 0.004 M, HCl 0.002 M, NaOH 0.1 M",
                      group11="titre   EMF"),
            # 20.00 ml of en 0.00600 M + HCl 0.00200 M (0.1200 mmol L, 0.2800 mmol H), with a
            # reading left out after an air bubble in the burette tip.
            Titration(millimoles=[0.12, 0.28], burette=[0.0, -0.1], v0=20.0,
                      ezero=398.5, lock=1, slope=1.0, ifc=2,
                      titres=steps(0.0, 3.0, 0.1), jumps={12: -2.5},
                      group8="Titration 2: en 0.006 M, HCl 0.002 M, NaOH 0.1 M",
                      group11="titre   EMF"),
            # 30.00 ml of en 0.00200 M + HCl 0.00200 M (0.0600 mmol L, 0.1800 mmol H), with
            # NaOH 0.0500 M and an electrode slope of 99.8 % of the Nernst value.
            Titration(millimoles=[0.06, 0.18], burette=[0.0, -0.05], v0=30.0,
                      ezero=401.2, lock=1, slope=0.998, ifc=2,
                      titres=steps(0.0, 3.9, 0.15),
                      group8="Titration 3: en 0.002 M, HCl 0.002 M, NaOH 0.05 M",
                      group11="titre   EMF"),
        ],
        step=0.10)


def nickel_glycine_two_electrodes():
    # Reactants: Ni2+, glycinate (L) and the proton. Glycine is added as the zwitterion HL;
    # NaOH is the titrant. The first titration is read as an EMF, the second as pH.
    return CardFile(
        title="Ni(II) - glycine (L), two titrations with NaOH: EMF, then pH; 25 C, "
              "I = 0.1 M KNO3",
        reactants=["Ni2+", "Glycinate", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", LG_HL, [0, 1, 1], 0),
            Complex("H2L", LG_H2L, [0, 1, 2], 0),
            Complex("OH", LG_OH, [0, 0, -1], 0),
            Complex("NiHL", 11.5, [1, 1, 1], -1),  # tried and switched off
            Complex("NiL", 5.78, [1, 1, 0], 1),
            Complex("NiL2", 10.58, [1, 2, 0], 1),
            Complex("NiL3", 14.07, [1, 3, 0], 1),
        ],
        titrations=[
            # 25.00 ml of Ni 0.00200 M, glycine 0.00700 M and HNO3 0.01000 M.
            Titration(millimoles=[0.05, 0.175, 0.425], burette=[0.0, 0.0, -0.1], v0=25.0,
                      ezero=399.1, lock=0, slope=1.0, ifc=3,
                      titres=steps(0.0, 5.0, 0.2), jumps={9: 4.0},
                      group8="Titration 1: glass electrode, EMF",
                      group11="titre   EMF"),
            # 20.00 ml of Ni 0.00100 M, glycine 0.00600 M and HNO3 0.01000 M, read as pH.
            Titration(millimoles=[0.02, 0.12, 0.32], burette=[0.0, 0.0, -0.1], v0=20.0,
                      ezero=0.0, lock=0, slope=1.0, ifc=3, electrode_type=1,
                      titres=steps(0.0, 3.6, 0.15),
                      group8="Titration 2: glass electrode calibrated in -lg[H+]",
                      group11="titre   pH"),
        ],
        step=0.10)


def acetic_acid_two_short_titrations():
    # A small pair of titrations for the tests that fit by every method, Monte Carlo included:
    # acetic acid (HL) with NaOH, eight readings each, read as EMF.
    return CardFile(
        title="Acetic acid (HL), two short titrations with NaOH, glass electrode, 25 C",
        reactants=["Acetate", "H+"],
        temperature=25.0,
        complexes=[
            Complex("HL", 4.56, [1, 1], 1),
            Complex("OH", LG_OH, [0, -1], 0),
        ],
        titrations=[
            Titration(millimoles=[0.2, 0.21], burette=[0.0, -0.1], v0=20.0,
                      ezero=400.0, lock=1, slope=1.0, ifc=2,
                      titres=steps(0.25, 2.0, 0.25),
                      group8="Titration 1", group11="titre   EMF"),
            Titration(millimoles=[0.3, 0.37], burette=[0.0, -0.1], v0=25.0,
                      ezero=402.0, lock=1, slope=1.0, ifc=2,
                      titres=steps(0.7, 3.5, 0.4),
                      group8="Titration 2", group11="titre   EMF"),
        ],
        step=0.10)


# (file name, maker, layout): the field-layout files get twins.
EXAMPLES = [
    ("GLYCINE_PROTONATION.SQD", glycine_protonation, RightLayout),
    ("CU_GLYCINE.SQD", copper_glycine, RightLayout),
    ("EN_PROTONATION_3_TITRATIONS.SQD", en_protonation_three_titrations, FieldLayout),
    ("NI_GLYCINE_EMF_AND_PH.SQD", nickel_glycine_two_electrodes, FieldLayout),
]
# DAT twins for comparing fits of the two formats, besides those of the field-layout files.
DAT_TWINS = ["GLYCINE_PROTONATION.SQD"]
# Card files for the tests only (tests/data/sqd), with their DAT twins.
TEST_FILES = [
    ("acetic_acid_two_short_titrations.sqd", acetic_acid_two_short_titrations, FieldLayout),
]


def twin_base(name):
    return os.path.splitext(name)[0].lower()


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Write the sample SQD files of Tarvolin.")
    parser.add_argument("--noise", type=float, default=0.0,
                        help="standard deviation of the errors in units of 0.1 mV (0.002 pH)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the error generator")
    parser.add_argument("--out", help="folder for the files (required with --noise)")
    parser.add_argument("--print-emf", action="store_true",
                        help="print every reading with 10 decimals")
    args = parser.parse_args(argv)
    out_dir = output_folder(parser, args, here)
    rng = random.Random(args.seed)
    tests = os.path.join(here, os.pardir, "tests", "data")

    def write(path, data):
        with open(path, "wb") as f:
            f.write(data)
        print("wrote", os.path.normpath(path))

    for name, make, layout in EXAMPLES:
        card_file = make()
        write(os.path.join(out_dir, name), card_file.cards(layout(), rng, args.noise))
        if args.print_emf:
            for t in card_file.titrations:
                print("  slope %.10f mV" % card_file.slope_mv(t))
                for titre, value in zip(t.titres, card_file.readings(t)):
                    print("  %s %.10f" % (titre, value))
        if args.noise:
            continue
        if layout is FieldLayout:
            write(os.path.join(tests, "sqd", twin_base(name) + "_right_aligned.sqd"),
                  card_file.cards(RightLayout()))
        if layout is FieldLayout or name in DAT_TWINS:
            write(os.path.join(tests, "dat", twin_base(name) + "_twin.DAT"),
                  card_file.dat_twin())
    if not args.noise:
        for name, make, layout in TEST_FILES:
            card_file = make()
            write(os.path.join(tests, "sqd", name), card_file.cards(layout()))
            write(os.path.join(tests, "dat", twin_base(name) + "_twin.DAT"),
                  card_file.dat_twin())
    return 0


if __name__ == "__main__":
    sys.exit(main())
