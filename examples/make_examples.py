#!/usr/bin/env python3
"""Writes the sample DAT input files of Tarvolin from known constants.

Every file describes a real-looking experiment: the concentrations, volumes and constants are
chosen by hand, the measured values Yexp are calculated from them with the speciation solver
below, so that a Single Step with the constants as written reproduces every Yexp to the 8
significant digits written (noiseless data). With --noise the measured values get Gaussian
errors of a realistic size and the files go to another folder, for fitting tests.

The solver and the property formulas work on the numbers exactly as they are written into the
file (every input value is written first, read back, and only then used), so the only
difference between Yexp and a recalculation is the rounding of Yexp itself.

Standard library only.
Usage:
    make_examples.py                       writes the noiseless files next to this script
    make_examples.py --noise 1 --seed 7 --out DIR
                                           writes noisy variants into DIR; SD is counted in
                                           units of each block's nominal measurement error
"""

import argparse
import math
import os
import random
import shutil
import sys

LN10 = math.log(10.0)

# ------------------------------------------------------------------------------------------
# Speciation
#
# Mass balances of the basic components k = 1..NB:
#     Cbt(k) = sum_i a(i,k) * C(i),   C(i) = BETA(i) * prod_k free(k)^a(i,k)
# in the variables x(k) = ln free(k). They are the stationary conditions of the convex function
#     f(x) = sum_i C(i) - sum_k Cbt(k) * x(k)
# (gradient -r with r(k) = Cbt(k) - sum_i a(i,k) C(i), Hessian J(k,l) = sum_i a(i,k) a(i,l) C(i),
# positive definite when the stoichiometric matrix has full column rank). Newton steps
# J * dx = r are therefore descent directions of f; a step is capped at MAX_STEP in ln units
# and halved until f decreases (Armijo), which converges from any start, also for negative
# proton totals after an equivalence point. Converged when every |r(k)| is at most 1e-14 of
# sum_i |a(i,k)| C(i), the size of the terms of its balance.
# ------------------------------------------------------------------------------------------

MAX_STEP = 4.0
MASS_BALANCE_RTOL = 1e-14


def species_concentrations(stoich, ln_beta, x):
    conc = []
    for row, lnb in zip(stoich, ln_beta):
        exponent = lnb + math.fsum(a * xk for a, xk in zip(row, x) if a)
        conc.append(math.exp(min(exponent, 700.0)))
    return conc


def _linear_solve(matrix, rhs):
    """Gaussian elimination with partial pivoting on copies of a small dense system."""
    n = len(rhs)
    m = [list(row) + [rhs[i]] for i, row in enumerate(matrix)]
    for col in range(n):
        piv = max(range(col, n), key=lambda r: abs(m[r][col]))
        if m[piv][col] == 0.0:
            raise ZeroDivisionError("singular mass-balance matrix")
        m[col], m[piv] = m[piv], m[col]
        for r in range(col + 1, n):
            f = m[r][col] / m[col][col]
            if f:
                for c in range(col, n + 1):
                    m[r][c] -= f * m[col][c]
    sol = [0.0] * n
    for r in range(n - 1, -1, -1):
        s = m[r][n] - math.fsum(m[r][c] * sol[c] for c in range(r + 1, n))
        sol[r] = s / m[r][r]
    return sol


def solve_speciation(stoich, lgbeta, totals, start=None):
    """Species concentrations for the totals Cbt of the basic components.

    stoich: one row of coefficients per species (species 1..NB are the free components),
    lgbeta: decimal logarithms of the overall formation constants, totals: Cbt(k) in mol/l,
    start: ln free(k) to start from (the previous point of a titration), or None.
    Returns (C, ln free).
    """
    nb = len(totals)
    ln_beta = [lg * LN10 for lg in lgbeta]
    if start is None:
        x = [math.log(t) if t > 0 else math.log(1e-12) for t in totals]
    else:
        x = list(start)

    def merit(xv, cv):
        return math.fsum(cv) - math.fsum(t * xk for t, xk in zip(totals, xv))

    conc = species_concentrations(stoich, ln_beta, x)
    for _ in range(2000):
        resid = [totals[k] - math.fsum(row[k] * c for row, c in zip(stoich, conc))
                 for k in range(nb)]
        size = [math.fsum(abs(row[k]) * c for row, c in zip(stoich, conc)) for k in range(nb)]
        if all(abs(resid[k]) <= MASS_BALANCE_RTOL * size[k] for k in range(nb)):
            return conc, x
        jac = [[math.fsum(row[k] * row[l] * c for row, c in zip(stoich, conc))
                for l in range(nb)] for k in range(nb)]
        step = _linear_solve(jac, resid)
        biggest = max(abs(s) for s in step)
        if biggest > MAX_STEP:
            step = [s * MAX_STEP / biggest for s in step]
        f0 = merit(x, conc)
        slope = -math.fsum(r * s for r, s in zip(resid, step))
        slack = 1e-13 * (math.fsum(conc) + math.fsum(abs(t * xk) for t, xk in zip(totals, x)))
        t = 1.0
        while True:
            x_new = [xk + t * s for xk, s in zip(x, step)]
            c_new = species_concentrations(stoich, ln_beta, x_new)
            if merit(x_new, c_new) <= f0 + 1e-4 * t * slope + slack or t < 1e-12:
                break
            t *= 0.5
        x, conc = x_new, c_new
    raise RuntimeError("speciation did not converge for totals %r" % (totals,))


# ------------------------------------------------------------------------------------------
# Number text
# ------------------------------------------------------------------------------------------


# Noiseless measured values carry more digits than a real instrument gives, so that a fit can
# return the constants to 1e-6 log units or better.
MEASURED_DIGITS = 12


def sig(value, digits=8):
    """A real with `digits` significant digits: fixed form for 1e-3 <= |v| < 1e6, else E form."""
    if value == 0.0:
        return "0"
    exponent = math.floor(math.log10(abs(value)))
    if -3 <= exponent < 6:
        decimals = max(0, digits - 1 - exponent)
        text = "%.*f" % (decimals, value)
        if float(text) == 0.0:
            return "0"
        return text
    return "%.*E" % (digits - 1, value)


def fixed(value, decimals):
    return "%.*f" % (decimals, value)


# ------------------------------------------------------------------------------------------
# Description of a calculated system
# ------------------------------------------------------------------------------------------

TITRATION_METHODS = (1, 2, 5, 6, 7, 8)
BATCH_METHODS = (-1, 0)


class Species:
    def __init__(self, name, stoich, lgbeta, fit=0):
        self.name = name
        self.stoich = stoich
        self.lgbeta = lgbeta  # text as written
        self.fit = fit


class Reagent:
    def __init__(self, species, name, fit_purity=False):
        self.species = species  # 1-based species index
        self.name = name
        self.fit_purity = fit_purity


class Block:
    """One block. Numbers that the chemist sets are kept as the text written to the file."""

    def __init__(self, method, fo="0", factor="1", weight="1", fit_block=0, av=None,
                 fit_av=None, c0=None, v0=None, c_titrant=None, v_added=None, init=None,
                 a=None, ct_batch=None, point_factors=None, y_label="", y_sd=0.0,
                 y_texts=None):
        self.method = method
        self.fo, self.factor, self.weight = fo, factor, weight
        self.fit_block = fit_block
        self.av, self.fit_av = av, fit_av
        self.c0, self.v0, self.c_titrant, self.v_added = c0, v0, c_titrant, v_added
        self.init = init  # (InitReactants, InitSpecies) for methods 5 and 6
        self.a = a  # method 1 multiplier (text)
        # batch: per point, per reagent: the text to write, or a float written to 8 digits
        self.ct_batch = ct_batch
        self.point_factors = point_factors  # method 0: texts
        self.y_label = y_label
        self.y_sd = y_sd  # nominal measurement error, for --noise
        self.y_texts = y_texts  # measured values as another file has them, written unchanged

    @property
    def npoints(self):
        if self.method in TITRATION_METHODS:
            return len(self.v_added)
        return len(self.ct_batch)


class System:
    def __init__(self, title, reactants, species, reagents, blocks, step="0.12",
                 tolerance="1E-20", species_count_text=None, separator=" "):
        self.title = title
        self.reactants = reactants
        self.species = species
        self.reagents = reagents
        self.blocks = blocks
        self.step, self.tolerance = step, tolerance
        self.species_count_text = species_count_text
        self.separator = separator
        self.batch_ct_text = {}  # block index -> texts of the Ct rows as written

    def stoich(self):
        return [s.stoich for s in self.species]

    def lgbeta(self):
        return [float(s.lgbeta) for s in self.species]


# ------------------------------------------------------------------------------------------
# Measured values from the constants
# ------------------------------------------------------------------------------------------


def _component_totals(system, ct):
    """Cbt(k) = sum_j Ct_j * a(ReagentSpecies(j), k) (purities are 1)."""
    nb = len(system.reactants)
    return [math.fsum(ct[j] * system.species[r.species - 1].stoich[k]
                      for j, r in enumerate(system.reagents)) for k in range(nb)]


def _points(system, block):
    """Per point: total volume (or None), reagent totals, volume and totals before the addition."""
    points = []
    if block.method in TITRATION_METHODS:
        v0 = float(block.v0)
        c0 = [float(c) for c in block.c0]
        ctit = [float(c) for c in block.c_titrant]
        v = 0.0
        before_vol, before_ct = v0, c0
        for dv in block.v_added:
            v = v + float(dv)
            total = v0 + v
            ct = [(c0[i] * v0 + ctit[i] * v) / total for i in range(len(c0))]
            points.append((total, ct, before_vol, before_ct))
            before_vol, before_ct = total, ct
    else:
        for ct in block.ct_batch:
            points.append((None, ct, None, None))
    return points


def _sum_av(block, conc, nspecies, logarithmic):
    av = [float(v) for v in block.av]
    if logarithmic:
        return math.fsum(av[i] * math.log10(conc[i]) for i in range(nspecies) if conc[i] > 0)
    return math.fsum(av[i] * conc[i] for i in range(nspecies))


def block_properties(system, block):
    """The calculated property of every point of a block, from the constants of the system.

    NMR and other batch or titration blocks: Fo + PointFactor * sum AV(i) C(i), PointFactor
    1/Ct of reagent 1 (methods -1, 2), given per point (0), 1 (8), BlockFactor (7) or the total
    volume (5, 6). EMF (method 8): Fo + sum AV(i) lg C(i). Method 1: -BlockFactor * lg Y with
    Y = Fo + a * sum AV(i) C(i). Calorimetry in increment mode (5): the enthalpy after the
    addition, V * sum AV C, minus the enthalpy before it, Vbefore * sum AV C', where the first
    addition starts from a solution that holds only the first InitReactants components and the
    first InitSpecies species.
    For method 6 the result is the cumulative value; the file holds its increments.
    """
    stoich, lgb = system.stoich(), system.lgbeta()
    nb, ns = len(system.reactants), len(system.species)
    fo = float(block.fo)
    values = []
    start = None
    for p, (total_vol, ct, vol_before, ct_before) in enumerate(_points(system, block)):
        totals = _component_totals(system, ct)
        if any(t <= 0.0 for t in totals) and not _negative_total_allowed(system, totals):
            raise ValueError("%s: a total is zero or negative at point %d: %r"
                             % (system.title, p + 1, totals))
        previous_start = start
        conc, start = solve_speciation(stoich, lgb, totals, start)
        m = block.method
        if m in (-1, 2):
            factor = 1.0 / ct[0] if ct[0] > 0 else 0.0
        elif m == 0:
            factor = float(block.point_factors[p])
        elif m in (1, 8):
            factor = 1.0
        elif m == 7:
            factor = float(block.factor)
        else:  # 5, 6
            factor = total_vol
        s = _sum_av(block, conc, ns, m == 8)
        if m == 1:
            s *= float(block.a)
        y = fo + s * factor
        if m == 1:
            y = -float(block.factor) * math.log10(y)
        if m == 5:
            # State before the addition: the first addition starts from the cell solution
            # on its own basis, every later one from the state after the previous addition.
            nb_before, ns_before = block.init if p == 0 else (nb, ns)
            totals_before = _component_totals(system, ct_before)[:nb_before]
            if ns_before == nb_before:
                conc_before = list(totals_before)  # free components only
            else:
                sub = [row[:nb_before] for row in stoich[:ns_before]]
                conc_before, _ = solve_speciation(sub, lgb[:ns_before], totals_before,
                                                  previous_start if p > 0 else None)
            y -= vol_before * _sum_av(block, conc_before, ns_before, False)
        values.append(y)
    return values


def _negative_total_allowed(system, totals):
    # A total may turn negative only for a component that an input reagent carries with a
    # negative coefficient: the proton total past an equivalence point when hydroxide is
    # titrated in. A zero total is never wanted, as no free concentration belongs to it.
    for k, t in enumerate(totals):
        if t == 0.0:
            return False
        if t < 0.0 and not any(system.species[r.species - 1].stoich[k] < 0
                               for r in system.reagents):
            return False
    return True


# ------------------------------------------------------------------------------------------
# Writing
# ------------------------------------------------------------------------------------------

PER_LINE = 10
COMMENT_COLUMN = 44


class DatText:
    """Collects the lines of a DAT file: values of one logical group per line, with a comment."""

    def __init__(self):
        self.lines = []
        self.groups = []  # (texts, comment, values per line) of the current system

    def line(self, text):
        self.lines.append(text)

    def group(self, texts, comment, per_line=PER_LINE):
        self.groups.append((list(texts), comment, per_line))

    def end_system(self, separator):
        """Writes the collected groups; the last value of the system ends its line."""
        for g, (texts, comment, per_line) in enumerate(self.groups):
            last = g == len(self.groups) - 1
            chunks = [texts[i:i + per_line] for i in range(0, len(texts), per_line)]
            if last:
                self.lines.append("/ " + comment)
            for c, chunk in enumerate(chunks):
                body = separator.join(chunk)
                if last:
                    self.lines.append(body)
                    continue
                note = comment
                if len(chunks) > 1:
                    first = c * per_line + 1
                    note = "%s, %d-%d" % (comment, first, first + len(chunk) - 1)
                self.lines.append(body.ljust(COMMENT_COLUMN - 1) + " / " + note)
        self.groups = []

    def data(self):
        return ("\r\n".join(self.lines) + "\r\n").encode("ascii")


def _names(items):
    return ", ".join(items)


def write_system(out, system, rng, noise):
    nb, ns = len(system.reactants), len(system.species)
    nblocks = len(system.blocks)
    sep = system.separator
    if "/" in system.title:
        raise ValueError("a title is read as a whole line and may not hold '/'")
    out.line(system.title)
    out.group(["1", "2"], "calculation models, second header number")
    out.group([str(nb), system.species_count_text or str(ns), str(nblocks)],
              "basic components (%s), species, blocks" % _names(system.reactants))
    out.group([str(b.npoints) for b in system.blocks], "points of each block")
    out.group([str(b.method) for b in system.blocks], "method code of each block")
    for bi, b in enumerate(system.blocks):
        out.group([b.fo, b.factor, b.weight],
                  "block %d: Fo, BlockFactor, BlockWeight" % (bi + 1))
    for si, s in enumerate(system.species):
        out.group([str(a) for a in s.stoich], "species %d: %s" % (si + 1, s.name))
    out.group([str(len(system.reagents))], "number of input reagents")
    out.group([str(r.species) + ("." if r.fit_purity else "") for r in system.reagents],
              "species of each input reagent: %s%s"
              % (_names(r.name for r in system.reagents),
                 "; '.' = purity refined" if any(r.fit_purity for r in system.reagents)
                 else ""))
    out.group(["1"] * nb, "print control of each basic component")
    rnames = _names(r.name for r in system.reagents)
    for bi, b in enumerate(system.blocks):
        yexp = _measured_texts(system, b, rng, noise)
        tag = "block %d" % (bi + 1)
        if b.method in TITRATION_METHODS:
            out.group(list(b.c0) + [b.v0],
                      "%s: C0 of %s (mol l-1), V0 (ml)" % (tag, rnames))
            out.group(b.c_titrant, "%s: titrant C of %s (mol l-1)" % (tag, rnames))
            out.group(b.v_added, "%s: added volume (ml)" % tag)
            out.group(yexp, "%s: %s" % (tag, b.y_label))
            if b.method in (5, 6):
                out.group([str(b.init[0]), str(b.init[1])],
                          "%s: InitReactants, InitSpecies" % tag)
        else:
            out.group(yexp, "%s: %s" % (tag, b.y_label))
            for j, r in enumerate(system.reagents):
                out.group(system.batch_ct_text[bi][j], "%s: Ct of %s (mol l-1)" % (tag, r.name))
    snames = _names(s.name for s in system.species)
    for bi, b in enumerate(system.blocks):
        out.group(b.av, "block %d: AV of %s" % (bi + 1, snames))
        out.group([str(f) for f in b.fit_av], "block %d: FitAV" % (bi + 1))
    out.group([s.lgbeta for s in system.species], "lgBETA of %s" % snames)
    out.group([str(s.fit) for s in system.species], "FitBeta")
    out.group([str(b.fit_block) for b in system.blocks],
              "FitBlock of each block (Fo; a for method 1)")
    out.group([system.step, system.tolerance], "Step, Tolerance")
    for bi, b in enumerate(system.blocks):
        if b.method == 0:
            out.group(b.point_factors, "block %d: factor of each point" % (bi + 1))
        elif b.method == 1:
            out.group([b.a], "block %d: a" % (bi + 1))
    out.end_system(sep)


def _measured_texts(system, block, rng, noise):
    """Yexp as written, from the constants; increments for method 6."""
    if block.y_texts is not None:
        return list(block.y_texts)
    values = block_properties(system, block)
    sd = noise * block.y_sd
    texts = []
    if block.method == 6:
        # The file holds the heat of each addition; the reader adds them up again. Each
        # increment is rounded against the sum of the increments already written, so that the
        # running sums carry one rounding only.
        written_sum = 0.0
        previous = 0.0
        for y in values:
            if noise:
                text = sig(y - previous + rng.gauss(0.0, sd))
            else:
                text = sig(y - written_sum, MEASURED_DIGITS)
            previous = y
            written_sum += float(text)
            texts.append(text)
    else:
        for y in values:
            texts.append(sig(y + (rng.gauss(0.0, sd) if noise else 0.0),
                             8 if noise else MEASURED_DIGITS))
    return texts


def prepare_batch(system):
    """Rounds the batch totals to the digits written, so the properties use the file's values."""
    for bi, b in enumerate(system.blocks):
        if b.method in BATCH_METHODS:
            rows = [[ct[j] if isinstance(ct[j], str) else sig(ct[j]) for ct in b.ct_batch]
                    for j in range(len(system.reagents))]
            system.batch_ct_text[bi] = rows
            b.ct_batch = [[float(rows[j][p]) for j in range(len(system.reagents))]
                          for p in range(len(b.ct_batch))]


# ------------------------------------------------------------------------------------------
# The examples
# ------------------------------------------------------------------------------------------


def steps(count, increment, decimals, first=None):
    """Added-volume increments: `first` for point 1 (0 for a reading before any addition)."""
    out = []
    if first is not None:
        out.append(fixed(first, decimals))
        count -= 1
    out.extend(fixed(increment, decimals) for _ in range(count))
    return out


def en_protonation_species():
    return [
        Species("H", [1, 0], "0"),
        Species("L", [0, 1], "0"),
        Species("HL", [1, 1], "9.93", 1),
        Species("H2L", [2, 1], "17.08", 1),
        Species("OH", [-1, 0], "-13.78"),
    ]


def nmr_batch():
    # DMAP observed by 1H NMR (H2,6), Zn(CF3SO3)2 added from a stock into the NMR tube: both
    # totals computed from the volumes, then given as batch data.
    v_tube, c_l, c_zn = 0.600, 0.0200, 0.200
    added = [0.005, 0.010, 0.015, 0.020, 0.025, 0.030, 0.040, 0.050, 0.060, 0.070, 0.080,
             0.090, 0.100, 0.120, 0.140, 0.160]
    ct = [[c_l * v_tube / (v_tube + v), c_zn * v / (v_tube + v)] for v in added]
    species = [
        Species("L", [1, 0], "0"),
        Species("Zn", [0, 1], "0"),
        Species("ZnL", [1, 1], "2.90", 1),
        Species("ZnL2", [2, 1], "5.20", 1),
    ]
    block = Block(-1, fo="0", factor="1", weight="1", fit_block=0,
                  av=["8.214", "0", "8.046", "16.204"], fit_av=[0, 0, 1, 1],
                  ct_batch=ct, y_label="observed shift of H2,6 of DMAP (ppm)", y_sd=0.001)
    return System("1H NMR: 4-(dimethylamino)pyridine (L) and Zn(CF3SO3)2 in CD3CN, 25 C",
                  ["L", "Zn"], species, [Reagent(1, "L"), Reagent(2, "Zn")], [block])


def en_titration(title, fo, v0, c_en, c_hcl, c_naoh, npoints, increment):
    c0_h = 2 * float(c_en) + float(c_hcl)
    block = Block(8, fo=fo, factor="1", weight="1", fit_block=1,
                  av=["59.16", "0", "0", "0", "0"], fit_av=[0] * 5,
                  c0=[fixed(c0_h, 5), c_en, "0"], v0=v0, c_titrant=["0", "0", c_naoh],
                  v_added=steps(npoints, increment, 3, first=0.0),
                  y_label="EMF (mV)", y_sd=0.1)
    return System(title, ["H", "L"], en_protonation_species(),
                  [Reagent(1, "H"), Reagent(2, "L"), Reagent(5, "OH")], [block])


def pot_titration():
    return en_titration(
        "Ethylenediamine (L) protonation; EMF titration of L.2HCl + HCl with NaOH, "
        "glass electrode, 25 C, I = 0.1 M KCl",
        "400.0", "25.00", "0.00400", "0.00200", "0.1000", 36, 0.075)


def two_blocks():
    species = [
        Species("H", [1, 0, 0], "0"),
        Species("L", [0, 1, 0], "0"),
        Species("Cu", [0, 0, 1], "0"),
        Species("HL", [1, 1, 0], "9.93"),
        Species("H2L", [2, 1, 0], "17.08"),
        Species("OH", [-1, 0, 0], "-13.78"),
        Species("CuL", [0, 1, 1], "10.55", 1),
        Species("CuL2", [0, 2, 1], "19.65", 1),
    ]
    reagents = [Reagent(1, "H"), Reagent(2, "L"), Reagent(3, "Cu"), Reagent(6, "OH")]
    av = ["59.16", "0", "0", "0", "0", "0", "0", "0"]
    b1 = Block(8, fo="398.6", fit_block=1, av=av, fit_av=[0] * 8,
               c0=["0.01000", "0.00400", "0.00200", "0"], v0="25.00",
               c_titrant=["0", "0", "0", "0.1000"], v_added=steps(31, 0.090, 3, first=0.0),
               y_label="EMF (mV), Cu:L = 1:2", y_sd=0.1)
    b2 = Block(8, fo="401.3", fit_block=1, av=av, fit_av=[0] * 8,
               c0=["0.01100", "0.00400", "0.00100", "0"], v0="20.00",
               c_titrant=["0", "0", "0", "0.05000"], v_added=steps(30, 0.160, 3, first=0.0),
               y_label="EMF (mV), Cu:L = 1:4", y_sd=0.1)
    return System("Cu(II) - ethylenediamine (L); two EMF titrations with NaOH, Cu:L = 1:2 and "
                  "1:4, 25 C, I = 0.1 M KNO3", ["H", "L", "Cu"], species, reagents, [b1, b2])


def acetic_acid_ph():
    species = [
        Species("H", [1, 0], "0"),
        Species("L", [0, 1], "0"),
        Species("HL", [1, 1], "4.56", 1),
        Species("OH", [-1, 0], "-13.78"),
    ]
    block = Block(1, fo="0", factor="1", weight="1", fit_block=0, a="1",
                  av=["1", "0", "0", "0"], fit_av=[0] * 4,
                  c0=["0.02200", "0.02000", "0"], v0="20.00",
                  c_titrant=["0", "0", "0.1000"], v_added=steps(16, 0.320, 3, first=0.0),
                  y_label="pH (-lg of free H+, concentration scale)", y_sd=0.002)
    return System("Acetic acid (HL) + HCl titrated with NaOH, pH-metric, 25 C, I = 0.1 M NaCl",
                  ["H", "L"], species,
                  [Reagent(1, "H"), Reagent(2, "L"), Reagent(4, "OH")], [block])


def two_systems():
    first = en_titration(
        "Ethylenediamine (L) protonation; repeat EMF titration with NaOH, 25 C, I = 0.1 M KCl",
        "396.2", "20.00", "0.00500", "0.00100", "0.1000", 30, 0.080)
    return [first, acetic_acid_ph()]


def method1_ph():
    species = [
        Species("H", [1, 0], "0"),
        Species("L", [0, 1], "0"),
        Species("HL", [1, 1], "9.57", 1),
        Species("H2L", [2, 1], "11.92", 1),
        Species("OH", [-1, 0], "-13.78"),
    ]
    block = Block(1, fo="0", factor="1", weight="1", fit_block=0, a="1",
                  av=["1", "0", "0", "0", "0"], fit_av=[0] * 5,
                  c0=["0.02500", "0.01000", "0"], v0="25.00",
                  c_titrant=["0", "0", "0.1000"], v_added=steps(20, 0.350, 3, first=0.0),
                  y_label="pH (-lg of free H+, concentration scale)", y_sd=0.002)
    return System("Glycine (HL) + HCl titrated with NaOH, pH-metric, 25 C, I = 0.1 M KCl",
                  ["H", "L"], species, [Reagent(1, "H"), Reagent(2, "L"), Reagent(5, "OH")],
                  [block])


def calorimetry():
    species = [
        Species("Ag", [1, 0], "0"),
        Species("py", [0, 1], "0"),
        Species("Ag(py)", [1, 1], "2.04", 1),
        Species("Ag(py)2", [1, 2], "4.10", 1),
    ]
    block = Block(5, fo="-0.0021", factor="1", weight="1", fit_block=1,
                  av=["0", "0", "-20.1", "-48.4"], fit_av=[0, 0, 1, 1],
                  c0=["0.01000", "0"], v0="25.00", c_titrant=["0", "0.5000"],
                  v_added=steps(18, 0.080, 3), init=(1, 1),
                  y_label="heat of each addition (J, negative = released)", y_sd=0.003)
    return System("Ag(I) - pyridine; titration calorimetry, AgNO3 titrated with pyridine, "
                  "25 C, I = 0.1 M KNO3", ["Ag", "py"], species,
                  [Reagent(1, "Ag"), Reagent(2, "py")], [block], separator=", ")


def method6():
    species = [
        Species("L", [1, 0], "0"),
        Species("Ba", [0, 1], "0"),
        Species("BaL", [1, 1], "3.87", 1),
    ]
    block = Block(6, fo="0", factor="1", weight="1", fit_block=0,
                  av=["0", "0", "-31.7"], fit_av=[0, 0, 1],
                  c0=["0.00500", "0"], v0="20.00", c_titrant=["0", "0.1000"],
                  v_added=steps(15, 0.100, 3), init=(1, 1),
                  y_label="heat of each addition (J), summed by the reader", y_sd=0.003)
    return System("18-crown-6 (L) titrated with BaCl2; calorimetry, heat per addition, "
                  "water, 25 C", ["L", "Ba"], species, [Reagent(1, "L"), Reagent(2, "Ba")],
                  [block], separator=", ")


def method0_batch():
    scn = ["0.00100", "0.00200", "0.00300", "0.00500", "0.00700", "0.0100", "0.0150", "0.0200",
           "0.0300", "0.0400", "0.0500", "0.0600", "0.0800", "0.1000"]
    path = ["1.000", "1.000", "1.000", "0.500", "0.500", "0.500", "0.200", "0.200", "0.200",
            "0.200", "0.200", "0.100", "0.100", "0.100"]
    species = [
        Species("Fe", [1, 0], "0"),
        Species("SCN", [0, 1], "0"),
        Species("FeSCN", [1, 1], "2.11", 1),
        Species("Fe(SCN)2", [1, 2], "3.33", 1),
    ]
    block = Block(0, fo="0", factor="1", weight="1", fit_block=0,
                  av=["0", "0", "4700", "7800"], fit_av=[0, 0, 1, 1],
                  ct_batch=[["0.00100", c] for c in scn], point_factors=path,
                  y_label="absorbance at 447 nm", y_sd=0.002)
    return System("Fe(III) - thiocyanate, batch solutions in 0.5 M HClO4, absorbance at 447 nm "
                  "in cells of 1 to 0.1 cm", ["Fe", "SCN"], species,
                  [Reagent(1, "Fe"), Reagent(2, "SCN")], [block], species_count_text="4.")


def method7():
    species = [
        Species("H", [1, 0, 0], "0"),
        Species("L", [0, 1, 0], "0"),
        Species("P", [0, 0, 1], "0"),
        Species("HL", [1, 1, 0], "7.08", 1),
        Species("HP", [1, 0, 1], "11.74"),
        Species("H2P", [2, 0, 1], "18.50"),
        Species("H3P", [3, 0, 1], "20.65"),
        Species("OH", [-1, 0, 0], "-13.78"),
    ]
    block = Block(7, fo="0.0040", factor="0.500", weight="1", fit_block=0,
                  av=["0", "18380", "0", "150", "0", "0", "0", "0"],
                  fit_av=[0, 1, 0, 1, 0, 0, 0, 0],
                  c0=["0.02010", "0.000100", "0.01000", "0"], v0="20.00",
                  c_titrant=["0", "0", "0", "0.1000"], v_added=steps(14, 0.150, 3),
                  y_label="absorbance at 400 nm, 0.500 cm cell", y_sd=0.001)
    return System("4-Nitrophenol (L) in phosphate buffer (P) titrated with NaOH; absorbance at "
                  "400 nm, 25 C, I = 0.1 M KCl", ["H", "L", "P"], species,
                  [Reagent(1, "H"), Reagent(2, "L"), Reagent(3, "P"),
                   Reagent(8, "OH", fit_purity=True)], [block])


def method2_uvvis():
    species = [
        Species("G", [1, 0], "0"),
        Species("CD", [0, 1], "0"),
        Species("G.CD", [1, 1], "3.60", 1),
        Species("G.CD2", [1, 2], "5.35", 1),
    ]
    added = ["0.005", "0.005", "0.010", "0.010", "0.010", "0.020", "0.020", "0.030", "0.040",
             "0.050", "0.060", "0.080", "0.100", "0.120", "0.150"]
    block = Block(2, fo="0", factor="1", weight="1", fit_block=0,
                  av=["25600", "0", "21400", "18900"], fit_av=[0, 0, 1, 1],
                  c0=["0.000100", "0"], v0="2.000", c_titrant=["0.000100", "0.0500"],
                  v_added=added,
                  y_label="apparent molar absorptivity of G at 464 nm (A over l Ct(G))",
                  y_sd=30.0)
    return System("Methyl orange (G) and alpha-cyclodextrin (CD), UV-vis titration at 464 nm, "
                  "borate buffer pH 10, 25 C", ["G", "CD"], species,
                  [Reagent(1, "G"), Reagent(2, "CD")], [block])


EXAMPLES = [
    ("NMR_BATCH.DAT", lambda: [nmr_batch()]),
    ("POT_TITRATION.DAT", lambda: [pot_titration()]),
    ("TWO_BLOCKS.DAT", lambda: [two_blocks()]),
    ("TWO_SYSTEMS.DAT", two_systems),
    ("METHOD1_PH.DAT", lambda: [method1_ph()]),
    ("CALORIMETRY.DAT", lambda: [calorimetry()]),
    ("METHOD6.DAT", lambda: [method6()]),
    ("METHOD0_BATCH.DAT", lambda: [method0_batch()]),
    ("METHOD7.DAT", lambda: [method7()]),
    ("METHOD2_UVVIS.DAT", lambda: [method2_uvvis()]),
]

# The desktop program opens TEST.DAT by default; it is the NMR example.
COPIES = [("NMR_BATCH.DAT", "TEST.DAT")]


def build_file(systems, rng, noise):
    out = DatText()
    out.line(str(len(systems)).ljust(COMMENT_COLUMN - 1) + " / number of calculated systems")
    for system in systems:
        prepare_batch(system)
        write_system(out, system, rng, noise)
    return out.data()


def output_folder(parser, args, here):
    """The folder the files go to: noiseless files beside this script, noisy ones elsewhere."""
    if args.noise < 0:
        parser.error("--noise must not be negative")
    if args.noise and not args.out:
        parser.error("noisy files need --out DIR (the noiseless files live in %s)" % here)
    out_dir = args.out or here
    if args.noise and os.path.realpath(out_dir) == os.path.realpath(here):
        parser.error("noisy files do not belong beside the noiseless examples; choose --out")
    os.makedirs(out_dir, exist_ok=True)
    return out_dir


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Write the sample DAT files of Tarvolin.")
    parser.add_argument("--noise", type=float, default=0.0,
                        help="standard deviation of the added errors, in units of each "
                             "block's nominal measurement error (0: noiseless)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the error generator")
    parser.add_argument("--out", help="folder for the files (required with --noise)")
    args = parser.parse_args(argv)
    out_dir = output_folder(parser, args, here)
    rng = random.Random(args.seed)
    for name, make in EXAMPLES:
        data = build_file(make(), rng, args.noise)
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print("wrote", os.path.join(out_dir, name))
    for source, target in COPIES:
        shutil.copyfile(os.path.join(out_dir, source), os.path.join(out_dir, target))
        print("wrote", os.path.join(out_dir, target))
    return 0


if __name__ == "__main__":
    sys.exit(main())
