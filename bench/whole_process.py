#!/usr/bin/env python3
"""Whole-process benchmarks of tarvolin-run: each case runs as its own process, several times,
in a scratch folder of its own; the median wall time, the median CPU time (user + system) and
the largest peak memory are printed, with the machine's core count.

    bench/whole_process.py [--program build/cli/tarvolin-run] [--runs N] [CASE ...]

Cases (all of them by default):
  single-step   a Single Step of examples/TEST.DAT (16 NMR points)
  gradient      a Gradient fit of bench/data/H6L_GRADIENT.DAT: a hexaprotic acid H6L titrated
                with NaOH, two EMF titrations of 250 points, four lgBETA from a few tenths off
  monte-carlo   a Monte Carlo fit of bench/data/EN_60_POINTS.DAT: ethylenediamine protonation,
                one EMF titration of 60 points, three parameters; six searches (seed 7)
  two-blocks    a Monte Carlo fit of examples/TWO_BLOCKS.DAT: Cu(II)-en, two titrations of 61
                points in all, four parameters; six searches (seed 7)
Standard library only.
"""

import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

CASES = {
    "single-step": ("examples/TEST.DAT", ["--single-step"], 15),
    "gradient": ("bench/data/H6L_GRADIENT.DAT", ["--method", "gradient"], 9),
    "monte-carlo": ("bench/data/EN_60_POINTS.DAT", ["--method", "montecarlo", "--seed", "7"], 5),
    "two-blocks": ("examples/TWO_BLOCKS.DAT", ["--method", "montecarlo", "--seed", "7"], 3),
}


def run_once(program, folder, name, options):
    """Wall seconds, CPU seconds and peak memory (KB) of one run."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run([program] + options + [name, "RUN.OUT"], cwd=folder,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        sys.exit("%s %s: exit status %d: %s" % (name, " ".join(options), done.returncode,
                                                done.stderr.decode(errors="replace").strip()))
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu, after.ru_maxrss


def run_case(program, label, runs):
    source, options, default_runs = CASES[label]
    runs = runs or default_runs
    folder = tempfile.mkdtemp(prefix="tarvolin-bench-")
    try:
        name = os.path.basename(source)
        shutil.copy(os.path.join(ROOT, source), os.path.join(folder, name))
        run_once(program, folder, name, options)  # warm the file cache
        walls, cpus = [], []
        for _ in range(runs):
            wall, cpu, _ = run_once(program, folder, name, options)
            walls.append(wall)
            cpus.append(cpu)
        # ru_maxrss of the children is the largest of them all: measure each case alone.
        peak = peak_memory(program, folder, name, options)
        return statistics.median(walls), statistics.median(cpus), peak, runs
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def peak_memory(program, folder, name, options):
    """Peak resident memory in KB of one run, from /usr/bin/time when it is there."""
    if not os.path.exists("/usr/bin/time"):
        return 0
    done = subprocess.run(["/usr/bin/time", "-f", "%M", program] + options + [name, "RUN.OUT"],
                          cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    lines = done.stderr.decode(errors="replace").strip().splitlines()
    return int(lines[-1]) if lines and lines[-1].isdigit() else 0


def main(argv=None):
    parser = argparse.ArgumentParser(description="Whole-process benchmarks of tarvolin-run.")
    parser.add_argument("--program", default=os.path.join(ROOT, "build", "cli", "tarvolin-run"))
    parser.add_argument("--runs", type=int, default=0, help="runs per case (default per case)")
    parser.add_argument("cases", nargs="*", help=", ".join(CASES))
    args = parser.parse_args(argv)
    for label in args.cases:
        if label not in CASES:
            parser.error("unknown case %s (cases: %s)" % (label, ", ".join(CASES)))
    program = os.path.abspath(args.program)
    if not os.access(program, os.X_OK):
        sys.exit("no program %s: build it with cmake --build build --target tarvolin-run" % program)
    print("cores: %d   program: %s" % (os.cpu_count() or 0, program))
    print("%-12s %5s %12s %12s %10s" % ("case", "runs", "median wall", "median CPU", "peak mem"))
    for label in args.cases or list(CASES):
        wall, cpu, peak, runs = run_case(program, label, args.runs)
        print("%-12s %5d %9.1f ms %9.1f ms %7.1f MB" % (label, runs, wall * 1e3, cpu * 1e3,
                                                       peak / 1024.0))
    return 0


if __name__ == "__main__":
    sys.exit(main())
