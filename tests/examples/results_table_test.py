#!/usr/bin/env python3
"""examples/results_table.py on a real batch: three examples fitted by tarvolin-run, one of
them with two calculated systems, and a file that cannot be read. The table has a row per
calculated system with the fitted lgBETA and its deviation as the report prints them, and the
broken file is listed with its message.

    results_table_test.py TARVOLIN_RUN SOURCE_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

program, source = os.path.abspath(sys.argv[1]), sys.argv[2]
with tempfile.TemporaryDirectory() as folder:
    for name in ("POT_TITRATION.DAT", "TWO_SYSTEMS.DAT", "NMR_BATCH.DAT"):
        shutil.copy(os.path.join(source, "examples", name), folder)
    with open(os.path.join(folder, "BROKEN.DAT"), "w") as broken:
        broken.write("1\r\nno blocks\r\n1,2\r\n2 4 0\r\n")
    batch = subprocess.run([program, "--method", "gradient", "-j", "2", "--json", "batch.json",
                            "POT_TITRATION.DAT", "TWO_SYSTEMS.DAT", "NMR_BATCH.DAT",
                            "BROKEN.DAT"], cwd=folder, capture_output=True, text=True)
    assert batch.returncode == 1, batch.stdout + batch.stderr
    table = subprocess.run([sys.executable, os.path.join(source, "examples", "results_table.py"),
                            os.path.join(folder, "batch.json")],
                           capture_output=True, text=True, check=True).stdout
    print(table)

    with open(os.path.join(folder, "POT_TITRATION", "POT_TITRATION.OUT")) as report:
        printed = dict(re.findall(r"(lgBETA\([ \d]+\)) = +(\S+ \(\+- +\S+\))", report.read()))
    rows = {line.split("  ")[0]: line for line in table.splitlines()}
    for name, text in printed.items():
        value, sd = re.match(r"(\S+) \(\+- +(\S+)\)", text).groups()
        assert f"{value} ± {sd}" in rows["POT_TITRATION.DAT"], (name, text, table)
    assert "TWO_SYSTEMS.DAT #1" in rows and "TWO_SYSTEMS.DAT #2" in rows, table
    assert "NMR_BATCH.DAT" in rows, table
    assert re.search(r"^  BROKEN\.DAT: exit 1: Input Experimental Data: ", table, re.M), table
print("results_table.py: 1 passed, 0 failed")
