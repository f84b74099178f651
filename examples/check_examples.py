#!/usr/bin/env python3
"""Strict reader of the DAT input layout, written independently of make_examples.py.

For every file it
  1. checks the bytes: ASCII, every line ended by CR LF, no bare CR or LF, lines of at most
     255 characters, no "/" in a title line;
  2. makes the comment-free copy (each line cut at its first "/") and reads it the way the
     program does: line 1 and each title as whole lines, everything else as words between the
     delimiters blank, CR, LF, TAB and ",", item by item, with the counts that the earlier
     items give; it insists that every word is consumed and that the last value of every
     system is followed directly by CR LF, so that the next title is the following line;
  3. builds the model (totals of titration points from C0, V0, the titrant and the running
     added volume; PointFactor by method code; running sums of method 6; the state before
     each addition of method 5) and recalculates every measured value from the constants in
     the file with its own speciation solver, to show that the data are noiseless.

Usage: check_examples.py [--noisy] [--items] [FILE ...]   (default: every *.DAT beside it)
  --noisy   report the deviations without requiring them to be rounding-sized
  --items   print the number of values read for each item of every system
Exit status 0 when every file passes.
"""

import argparse
import glob
import math
import os
import re
import sys

DELIMITERS = " \r\n\t,"
MAX_WORD = 32
MAX_REACTANTS, MAX_SPECIES, MAX_BLOCKS, MAX_POINTS, MAX_REAGENTS = 50, 100, 100, 3300, 50
TITRATION = (1, 2, 5, 6, 7, 8)
BATCH = (-1, 0)
INTEGER = re.compile(r"[+-]?[0-9]+\Z")
REAL = re.compile(r"[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?\Z")


def half_unit(text):
    """Half a unit in the last written digit of a number word: the rounding of noiseless data."""
    mantissa, _, exponent = text.upper().partition("E")
    decimals = len(mantissa.split(".", 1)[1]) if "." in mantissa else 0
    return 0.5 * 10.0 ** (int(exponent or 0) - decimals)


class DatError(Exception):
    pass


# ------------------------------------------------------------------------------------------
# Reading
# ------------------------------------------------------------------------------------------


def check_bytes(raw):
    problems = []
    try:
        text = raw.decode("ascii")
    except UnicodeDecodeError:
        return None, ["file is not plain ASCII"]
    if not text.endswith("\r\n"):
        problems.append("file does not end with CR LF")
    if re.search(r"\r(?!\n)", text):
        problems.append("bare CR in the file")
    if re.search(r"(?<!\r)\n", text):
        problems.append("bare LF in the file")
    for n, line in enumerate(text.split("\r\n"), 1):
        if len(line) > 255:
            problems.append("line %d has %d characters" % (n, len(line)))
    return text, problems


class Words:
    """The comment-free copy, read by lines and by words."""

    def __init__(self, text):
        lines = text.split("\r\n")
        if lines and lines[-1] == "":
            lines.pop()
        self.original = lines
        self.text = "".join(line.split("/", 1)[0] + "\r\n" for line in lines)
        self.pos = 0
        self.ender = None  # the delimiter that ended the last word

    def line_no(self, pos=None):
        return self.text.count("\n", 0, self.pos if pos is None else pos) + 1

    def read_line(self):
        end = self.text.find("\r\n", self.pos)
        if end < 0:
            raise DatError("input ends where a line is due (line %d)" % self.line_no())
        line = self.text[self.pos:end]
        self.pos = end + 2
        return line

    def word(self, what):
        t = self.text
        while self.pos < len(t) and t[self.pos] in DELIMITERS:
            self.pos += 1
        if self.pos >= len(t):
            raise DatError("input ends early: %s is due" % what)
        start = self.pos
        while self.pos < len(t) and t[self.pos] not in DELIMITERS:
            self.pos += 1
        w = t[start:self.pos]
        self.word_line = self.line_no(start)
        self.ender = t[self.pos] if self.pos < len(t) else None
        if self.pos < len(t):
            self.pos += 1
        if len(w) > MAX_WORD:
            raise DatError("line %d: word of %d characters for %s"
                           % (self.word_line, len(w), what))
        return w

    def integer(self, what, dot_suffix=False):
        w = self.word(what)
        marked = False
        if dot_suffix and "." in w:
            w, marked = w.split(".", 1)[0], True
        if not INTEGER.match(w):
            raise DatError("line %d: %r is not an integer (%s)" % (self.word_line, w, what))
        return (int(w), marked) if dot_suffix else int(w)

    def real(self, what):
        w = self.word(what)
        if w.endswith(".") and w.count(".") == 1:
            w = w[:-1]
        if not REAL.match(w):
            raise DatError("line %d: %r is not a number (%s)" % (self.word_line, w, what))
        self.last_text = w
        return float(w)

    def reals(self, n, what):
        """n reals, with the words as written."""
        values, texts = [], []
        for _ in range(n):
            values.append(self.real(what))
            texts.append(self.last_text)
        return values, texts

    def end_of_system(self, title):
        """The last value must end with CR and LF, so that the next title is the next line."""
        if self.ender != "\r" or self.text[self.pos:self.pos + 1] != "\n":
            raise DatError("system %r: the last value (line %d) is not followed directly by "
                           "the line end" % (title, self.word_line))
        original = self.original[self.word_line - 1]
        if "/" in original or original != original.rstrip():
            raise DatError("system %r: the last line (%d) carries a comment or trailing blanks"
                           % (title, self.word_line))
        self.pos += 1


class Model:
    pass


def read_system(words, title, counts):
    """Items 2 to 20 of one calculated system; counts[item] = number of values read."""
    m = Model()
    m.title = title

    def count(item, n=1):
        counts[item] = counts.get(item, 0) + n

    m.ncalc = words.integer("number of calculation models"); count(2)
    m.header2 = words.integer("second header number"); count(3)
    m.nr = words.integer("number of basic components"); count(4)
    if not 1 <= m.nr <= MAX_REACTANTS:
        raise DatError("basic components %d outside 1..%d" % (m.nr, MAX_REACTANTS))
    m.ns, _ = words.integer("number of species", dot_suffix=True); count(5)
    if not 1 <= m.ns <= MAX_SPECIES:
        raise DatError("species %d outside 1..%d" % (m.ns, MAX_SPECIES))
    m.nblocks = words.integer("number of blocks"); count(6)
    if not 1 <= m.nblocks <= MAX_BLOCKS:
        raise DatError("blocks %d outside 1..%d" % (m.nblocks, MAX_BLOCKS))
    m.npoints = []
    for b in range(m.nblocks):
        n = words.integer("points of block %d" % (b + 1)); count(7)
        if not 1 <= n <= MAX_POINTS or sum(m.npoints) + n > MAX_POINTS:
            raise DatError("point count %d of block %d out of range" % (n, b + 1))
        m.npoints.append(n)
    m.method = []
    for b in range(m.nblocks):
        code = words.integer("method of block %d" % (b + 1)); count(8)
        if code not in (-1, 0, 1, 2, 5, 6, 7, 8):
            raise DatError("impossible method code %d" % code)
        m.method.append(code)
    m.fo, m.factor, m.weight = [], [], []
    for b in range(m.nblocks):
        m.fo.append(words.real("Fo")); m.factor.append(words.real("BlockFactor"))
        m.weight.append(words.real("BlockWeight")); count(9, 3)
    m.stoich = []
    for s in range(m.ns):
        m.stoich.append([words.integer("stoichiometric coefficient of species %d" % (s + 1))
                         for _ in range(m.nr)])
        count(10, m.nr)
    m.nreag = words.integer("number of input reagents"); count(11)
    if not 0 <= m.nreag <= min(m.ns, MAX_REAGENTS):
        raise DatError("input reagents %d outside 0..%d" % (m.nreag, min(m.ns, MAX_REAGENTS)))
    m.reag_species, m.fit_purity = [], []
    for j in range(m.nreag):
        idx, marked = words.integer("species of input reagent %d" % (j + 1), dot_suffix=True)
        if not 1 <= idx <= m.ns:
            raise DatError("input reagent %d names species %d" % (j + 1, idx))
        m.reag_species.append(idx); m.fit_purity.append(1 if marked else 0); count(12)
    m.print_flags = [words.integer("print control") for _ in range(m.nr)]; count(13, m.nr)
    m.blocks = []
    for b in range(m.nblocks):
        blk = {}
        n = m.npoints[b]
        if m.method[b] in TITRATION:
            blk["c0"] = [words.real("C0") for _ in range(m.nreag)]
            blk["v0"] = words.real("V0")
            if blk["v0"] <= 0:
                raise DatError("V0 of block %d is %g" % (b + 1, blk["v0"]))
            blk["ctit"] = [words.real("titrant concentration") for _ in range(m.nreag)]
            blk["vadd"] = [words.real("added volume") for _ in range(n)]
            blk["yexp"], blk["ytext"] = words.reals(n, "Yexp")
            count(14, 2 * m.nreag + 1 + 2 * n)
            if m.method[b] in (5, 6):
                blk["init"] = (words.integer("InitReactants"), words.integer("InitSpecies"))
                count(14, 2)
                if not (1 <= blk["init"][0] <= m.nr and 1 <= blk["init"][1] <= m.ns):
                    raise DatError("InitReactants/InitSpecies %r out of range" % (blk["init"],))
        else:
            blk["yexp"], blk["ytext"] = words.reals(n, "Yexp")
            blk["ct"] = [[words.real("Ct") for _ in range(n)] for _ in range(m.nreag)]
            count(14, n + n * m.nreag)
        m.blocks.append(blk)
    m.av, m.fit_av = [], []
    for b in range(m.nblocks):
        m.av.append([words.real("AV") for _ in range(m.ns)])
        m.fit_av.append([words.integer("FitAV") for _ in range(m.ns)])
        count(15, 2 * m.ns)
    m.lgbeta = [words.real("lgBETA") for _ in range(m.ns)]; count(16, m.ns)
    m.fit_beta = [words.integer("FitBeta") for _ in range(m.ns)]; count(17, m.ns)
    m.fit_block = [words.integer("FitBlock") for _ in range(m.nblocks)]; count(18, m.nblocks)
    m.step = words.real("Step"); m.tolerance = words.real("Tolerance"); count(19, 2)
    m.a = [None] * m.nblocks
    m.factors = [None] * m.nblocks
    for b in range(m.nblocks):
        if m.method[b] == 0:
            m.factors[b] = [words.real("point factor") for _ in range(m.npoints[b])]
            count(20, m.npoints[b])
        elif m.method[b] == 1:
            m.a[b] = words.real("a"); count(20)
    return m


def read_file(text):
    words = Words(text)
    line1 = words.read_line().rstrip(" ")
    if not INTEGER.match(line1):
        raise DatError("line 1 %r is not the number of systems" % line1)
    systems = []
    for s in range(int(line1)):
        title_line = words.line_no()
        title = words.read_line()
        if "/" in words.original[title_line - 1]:
            raise DatError("title line %d holds '/': the title would be cut there" % title_line)
        if not title.strip():
            raise DatError("system %d has an empty title line" % (s + 1))
        counts = {1: 1}
        model = read_system(words, title, counts)
        words.end_of_system(title)
        systems.append((model, counts))
    rest = words.text[words.pos:]
    if rest.strip(DELIMITERS):
        raise DatError("words left after the last system: %r" % rest.strip()[:60])
    return systems


# ------------------------------------------------------------------------------------------
# Model checks and recalculation
# ------------------------------------------------------------------------------------------


def model_problems(m):
    out = []
    for k in range(m.nr):
        if m.stoich[k] != [1 if c == k else 0 for c in range(m.nr)] or m.lgbeta[k] != 0.0:
            out.append("species %d is not the free basic component %d" % (k + 1, k + 1))
    nfit = 0
    for b in range(m.nblocks):
        for i, f in enumerate(m.fit_av[b]):
            if f == 1:
                nfit += 1
            elif f != 0 and f < 10:
                out.append("FitAV %d of species %d names no parameter" % (f, i + 1))
    nfit += sum(1 for f in m.fit_beta if f == 1)
    nfit += sum(1 for f in m.fit_block if f == 1)
    nfit += sum(m.fit_purity)
    if nfit == 0 or nfit > 255:
        out.append("%d fitted parameters" % nfit)
    for flags, what in ((m.fit_beta, "FitBeta"), (m.fit_block, "FitBlock")):
        if any(f not in (0, 1) for f in flags):
            out.append("%s holds a value other than 0 and 1" % what)
    return out


def points_of(m, b):
    """Per point of block b: (Ct, PointFactor, volume before, Ct before)."""
    blk = m.blocks[b]
    method = m.method[b]
    pts = []
    if method in TITRATION:
        v = 0.0
        vol_before, ct_before = blk["v0"], list(blk["c0"])
        for p, dv in enumerate(blk["vadd"]):
            v = v + dv
            total = blk["v0"] + v
            ct = [(blk["c0"][i] * blk["v0"] + blk["ctit"][i] * v) / total
                  for i in range(m.nreag)]
            if method == 2:
                pf = 1.0 / ct[0] if ct[0] > 0 else 0.0
            elif method == 7:
                pf = m.factor[b]
            elif method in (1, 8):
                pf = 1.0
            else:
                pf = total
            pts.append((ct, pf, vol_before, ct_before))
            vol_before, ct_before = total, ct
    else:
        for p in range(m.npoints[b]):
            ct = [blk["ct"][i][p] for i in range(m.nreag)]
            if method == -1:
                pf = 1.0 / ct[0] if ct[0] > 0 else 0.0
            else:
                pf = m.factors[b][p]
            pts.append((ct, pf, None, None))
    return pts


def measured(m, b):
    y = list(m.blocks[b]["yexp"])
    if m.method[b] == 6:  # the reader keeps running sums of the increments
        for p in range(1, len(y)):
            y[p] = y[p - 1] + y[p]
    return y


def monotonic(m, b):
    ct = m.blocks[b]["ct"]
    for row in ct:
        if row[-1] < row[0] and any(row[p] > row[p - 1] for p in range(1, len(row))):
            return False
        if row[-1] > row[0] and any(row[p] < row[p - 1] for p in range(1, len(row))):
            return False
    return True


def totals_of(m, ct, nr):
    return [math.fsum(ct[j] * m.stoich[m.reag_species[j] - 1][k] for j in range(m.nreag))
            for k in range(nr)]


def speciate(stoich, lgbeta, totals, x0):
    """Free concentrations by Newton steps on ln free, with a line search on the convex
    function sum C(i) - sum Cbt(k) ln free(k); converged at |residual| <= 1e-14 of the terms."""
    nb, ns = len(totals), len(stoich)
    lnb = [v * math.log(10.0) for v in lgbeta]
    x = list(x0) if x0 else [math.log(t) if t > 0 else -30.0 for t in totals]

    def conc_of(xv):
        return [math.exp(min(lnb[i] + math.fsum(stoich[i][k] * xv[k] for k in range(nb)), 700.0))
                for i in range(ns)]

    def g(xv, cv):
        return math.fsum(cv) - math.fsum(totals[k] * xv[k] for k in range(nb))

    c = conc_of(x)
    for _ in range(3000):
        r = [totals[k] - math.fsum(stoich[i][k] * c[i] for i in range(ns)) for k in range(nb)]
        if all(abs(r[k]) <= 1e-14 * math.fsum(abs(stoich[i][k]) * c[i] for i in range(ns))
               for k in range(nb)):
            return c, x
        # Cholesky factor of J(k,l) = sum_i a(i,k) a(i,l) C(i)
        L = [[0.0] * nb for _ in range(nb)]
        for k in range(nb):
            for l in range(k + 1):
                s = math.fsum(stoich[i][k] * stoich[i][l] * c[i] for i in range(ns))
                s -= math.fsum(L[k][t] * L[l][t] for t in range(l))
                if k == l:
                    if s <= 0:
                        raise ArithmeticError("mass-balance matrix not positive definite")
                    L[k][k] = math.sqrt(s)
                else:
                    L[k][l] = s / L[l][l]
        z = [0.0] * nb
        for k in range(nb):
            z[k] = (r[k] - math.fsum(L[k][t] * z[t] for t in range(k))) / L[k][k]
        d = [0.0] * nb
        for k in reversed(range(nb)):
            d[k] = (z[k] - math.fsum(L[t][k] * d[t] for t in range(k + 1, nb))) / L[k][k]
        big = max(abs(v) for v in d)
        if big > 3.0:
            d = [v * 3.0 / big for v in d]
        g0, slope = g(x, c), -math.fsum(r[k] * d[k] for k in range(nb))
        noise = 1e-13 * (math.fsum(c) + math.fsum(abs(totals[k] * x[k]) for k in range(nb)))
        t = 1.0
        while True:
            xn = [x[k] + t * d[k] for k in range(nb)]
            cn = conc_of(xn)
            if g(xn, cn) <= g0 + 1e-4 * t * slope + noise or t < 1e-12:
                break
            t /= 2.0
        x, c = xn, cn
    raise ArithmeticError("no convergence for totals %r" % (totals,))


def block_value(m, b, conc, pf, ns):
    if m.method[b] == 8:
        s = math.fsum(m.av[b][i] * math.log(conc[i]) / math.log(10.0)
                      for i in range(ns) if conc[i] > 0)
    else:
        s = math.fsum(m.av[b][i] * conc[i] for i in range(ns))
    if m.method[b] == 1:
        s *= m.a[b]
    return m.fo[b] + s * pf


def recalculate(m, b, problems):
    """Ycalc of every point of block b from the constants of the model."""
    ycalc = []
    x_prev = None
    x_before = None
    for p, (ct, pf, vol_before, ct_before) in enumerate(points_of(m, b)):
        cbt = totals_of(m, ct, m.nr)
        if any(t == 0.0 for t in cbt):
            problems.append("block %d point %d: a component total is zero: %r"
                            % (b + 1, p + 1, cbt))
        conc, x_prev = speciate(m.stoich, m.lgbeta, cbt, x_prev)
        y = block_value(m, b, conc, pf, m.ns)
        if m.method[b] == 1:
            y = -m.factor[b] * math.log10(y)
        if m.method[b] == 5:
            nb1, ns1 = m.blocks[b]["init"] if p == 0 else (m.nr, m.ns)
            cbt1 = totals_of(m, ct_before, nb1)
            if any(t == 0.0 for t in cbt1):
                problems.append("block %d point %d: a total before the addition is zero"
                                % (b + 1, p + 1))
            if ns1 == nb1:
                conc1 = cbt1  # only free components: C = Cbt
            else:
                conc1, x_before = speciate([row[:nb1] for row in m.stoich[:ns1]],
                                           m.lgbeta[:ns1], cbt1, x_before if p > 1 else None)
            y -= vol_before * math.fsum(m.av[b][i] * conc1[i] for i in range(ns1))
        ycalc.append(y)
    return ycalc


# ------------------------------------------------------------------------------------------


def check(path, noisy, show_items):
    with open(path, "rb") as f:
        text, problems = check_bytes(f.read())
    if text is None:
        return problems
    try:
        systems = read_file(text)
    except (DatError, ValueError) as e:
        return problems + [str(e)]
    name = os.path.basename(path)
    for s, (m, counts) in enumerate(systems, 1):
        problems += ["system %d: %s" % (s, t) for t in model_problems(m)]
        nwords = sum(v for k, v in counts.items() if k != 1)
        print("%s, system %d: %s" % (name, s, m.title))
        print("    %d basic components, %d species, %d block(s), %d points, %d words read"
              % (m.nr, m.ns, m.nblocks, sum(m.npoints), nwords))
        if show_items:
            print("    values per item: " + ", ".join("%d:%d" % (k, counts[k])
                                                       for k in sorted(counts)))
        weighted_ss = weighted_sy = 0.0
        for b in range(m.nblocks):
            if m.method[b] in BATCH and not monotonic(m, b):
                problems.append("system %d block %d: batch totals not monotonic" % (s, b + 1))
            try:
                ycalc = recalculate(m, b, problems)
            except ArithmeticError as e:
                problems.append("system %d block %d: %s" % (s, b + 1, e))
                continue
            yexp = measured(m, b)
            dev = [ye - yc for ye, yc in zip(yexp, ycalc)]
            ss = math.fsum(d * d for d in dev)
            sy = math.fsum(v * v for v in yexp)
            weighted_ss += m.weight[b] * ss
            weighted_sy += m.weight[b] * sy
            # Noiseless: every Yexp is Ycalc rounded to its last written digit (for method 6
            # the running sum differs from Ycalc by the rounding of its last increment).
            units = [abs(d) / (half_unit(t) + 1e-13 * abs(y))
                     for d, t, y in zip(dev, m.blocks[b]["ytext"], yexp)]
            print("    block %d, method %2d, %3d points: RF = %.2e %%, max |Yexp-Ycalc| = %.2f "
                  "half-units of the last digit" % (b + 1, m.method[b], m.npoints[b],
                                                    100.0 * math.sqrt(ss / sy), max(units)))
            if not noisy and max(units) > 1.0:
                p = units.index(max(units))
                problems.append("system %d block %d point %d: Yexp %s deviates from Ycalc %.10g "
                                "by more than its rounding"
                                % (s, b + 1, p + 1, m.blocks[b]["ytext"][p], ycalc[p]))
        print("    total RF = %.2e %%" % (100.0 * math.sqrt(weighted_ss / weighted_sy)))
    return problems


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Check DAT files strictly.")
    parser.add_argument("files", nargs="*")
    parser.add_argument("--noisy", action="store_true",
                        help="do not require rounding-sized deviations")
    parser.add_argument("--items", action="store_true", help="print the values per item")
    args = parser.parse_args(argv)
    files = args.files or sorted(glob.glob(os.path.join(here, "*.DAT")))
    if not files:
        print("no DAT files found")
        return 1
    failed = 0
    for path in files:
        problems = check(path, args.noisy, args.items)
        for p in problems:
            print("  FAIL %s: %s" % (os.path.basename(path), p))
        failed += bool(problems)
    print("%d file(s) checked, %d failed" % (len(files), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
