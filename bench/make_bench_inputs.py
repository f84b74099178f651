#!/usr/bin/env python3
"""Writes the input files of the whole-process benchmarks (bench/data/), with the example
generator of examples/make_examples.py:

  H6L_GRADIENT.DAT  a hexaprotic acid H6L (an EDTA-like ligand) titrated with NaOH, two EMF
                    titrations of different concentrations, 250 points each; measured values
                    with an error of 0.1 mV; the first four protonation constants start a few
                    tenths of a log unit from the true values and are fitted, with the full
                    Gauss-Newton step (Step 1).
  EN_60_POINTS.DAT  ethylenediamine protonation, one EMF titration of 60 points with an error
                    of 0.1 mV; lgBETA of HL and H2L start a few tenths off and are fitted with
                    Fo (Step 0.12, as in the examples).

Usage: make_bench_inputs.py [--out DIR]   (default: bench/data beside this script)
"""

import argparse
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "examples"))

import make_examples as mx  # noqa: E402

# True cumulative protonation constants lgBETA(HnL), n = 1..6, and the start values of the four
# fitted ones.
TRUE_LGBETA = ["10.24", "16.40", "19.06", "21.06", "22.56", "23.56"]
START_LGBETA = ["10.51", "16.12", "19.37", "20.78", "22.56", "23.56"]
FITTED = [1, 1, 1, 1, 0, 0]


def h6l_species(lgbeta):
    species = [mx.Species("H", [1, 0], "0"), mx.Species("L", [0, 1], "0")]
    for n in range(1, 7):
        species.append(mx.Species(("H%dL" % n).replace("H1L", "HL"), [n, 1], lgbeta[n - 1], FITTED[n - 1]))
    species.append(mx.Species("OH", [-1, 0], "-13.78"))
    return species


def h6l_block(fo, v0, c_l, c_h, c_naoh, npoints, increment):
    av = ["59.16"] + ["0"] * 8
    return mx.Block(8, fo=fo, factor="1", weight="1", fit_block=0, av=av, fit_av=[0] * 9,
                    c0=[c_h, c_l, "0"], v0=v0, c_titrant=["0", "0", c_naoh],
                    v_added=mx.steps(npoints, increment, 4, first=0.0),
                    y_label="EMF (mV)", y_sd=0.1)


def h6l_system(lgbeta):
    # L added as H4L with HCl: the proton total is 4 c(L) plus the acid.
    b1 = h6l_block("398.7", "25.00", "0.00200", "0.01000", "0.1000", 250, 0.0130)
    b2 = h6l_block("401.9", "20.00", "0.00400", "0.01900", "0.1000", 250, 0.0160)
    return mx.System("H6L (EDTA-like) protonation; two EMF titrations with NaOH, 250 points "
                     "each, 25 C, I = 0.1 M KCl", ["H", "L"], h6l_species(lgbeta),
                     [mx.Reagent(1, "H"), mx.Reagent(2, "L"), mx.Reagent(9, "OH")], [b1, b2])


def en_system(lgbeta_hl, lgbeta_h2l):
    system = mx.en_titration(
        "Ethylenediamine (L) protonation; EMF titration of L.2HCl + HCl with NaOH, 60 points, "
        "25 C, I = 0.1 M KCl", "400.0", "25.00", "0.00400", "0.00200", "0.1000", 60, 0.045)
    system.species[2].lgbeta = lgbeta_hl
    system.species[3].lgbeta = lgbeta_h2l
    return system


def write_with_measured(path, measured, written, rng):
    """The file of `written` (its start values) with the measured values of `measured` (the
    true constants), with an error of the blocks' nominal size."""
    texts = [mx._measured_texts(measured, b, rng, 1.0) for b in measured.blocks]
    out = mx.DatText()
    out.line("1".ljust(mx.COMMENT_COLUMN - 1) + " / number of calculated systems")
    original = mx._measured_texts
    mx._measured_texts = lambda system, block, rng, noise: texts[system.blocks.index(block)]
    try:
        mx.write_system(out, written, rng, 1.0)
    finally:
        mx._measured_texts = original
    with open(path, "wb") as f:
        f.write(out.data())
    print("wrote", path)


def main(argv=None):
    parser = argparse.ArgumentParser(description="Write the benchmark input files.")
    parser.add_argument("--out", default=os.path.join(HERE, "data"))
    args = parser.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    # The measured values come from the true constants; the files carry the start values.
    rng = random.Random(15)
    gradient = h6l_system(START_LGBETA)
    gradient.step = "1.0"
    write_with_measured(os.path.join(args.out, "H6L_GRADIENT.DAT"), h6l_system(TRUE_LGBETA),
                        gradient, rng)
    write_with_measured(os.path.join(args.out, "EN_60_POINTS.DAT"), en_system("9.93", "17.08"),
                        en_system("9.71", "17.36"), rng)
    return 0


if __name__ == "__main__":
    sys.exit(main())
