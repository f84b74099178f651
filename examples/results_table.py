#!/usr/bin/env python3
"""The fitted stability constants of many runs side by side, from their results documents.

    tarvolin-run --method gradient --json batch.json TITR*.DAT
    python3 examples/results_table.py batch.json

Takes batch documents (tarvolin-run --json FILE with several inputs) and run documents (the
NAME.json of a single run) in any mix. Prints one row per calculated system of every run and
one column per lgBETA fitted in any of them, as "value ± sd" to the report's three decimals
(the value alone where the report prints no deviation, "-" where that run did not fit it),
then the runs that failed, with their messages. The fields are described in
docs/results-json.md. Standard library only.
"""

import json
import sys


def runs_of(path):
    """(label, run document or None, exit status, message) for every run a file holds."""
    with open(path, encoding="utf-8") as file:
        doc = json.load(file)
    schema = doc.get("schema", "")
    if schema.startswith("tarvolin-batch/"):
        for run in doc["runs"]:
            yield run["input"], run["document"], run["exit_status"], run["message"]
    elif schema.startswith("tarvolin-results/"):
        yield doc["input"] or path, doc, doc["exit_status"], doc["message"]
    else:
        raise SystemExit(f"{path}: not a Tarvolin results document")


def cell(parameter):
    if not parameter["fitted"]:
        return "-"
    text = f"{parameter['value']:.3f}"
    return text if parameter["sd"] is None else f"{text} ± {parameter['sd']:.3f}"


def main(paths):
    rows, failed, species = [], [], set()
    for path in paths:
        for label, doc, status, message in runs_of(path):
            if status != 0:
                failed.append(f"{label}: exit {status}: {message}")
            systems = doc["systems"] if doc else []
            for system in systems:
                name = label if len(systems) == 1 else f"{label} #{system['number']}"
                betas = {p["species"]: p for p in system["parameters"] if p["kind"] == "lgBETA"}
                species.update(i for i, p in betas.items() if p["fitted"])
                rows.append((name, betas))

    columns = sorted(species)
    header = ["run"] + [f"lgBETA({i:2d})" for i in columns]
    table = [header] + [[name] + [cell(betas[i]) if i in betas else "-" for i in columns]
                        for name, betas in rows]
    widths = [max(len(row[k]) for row in table) for k in range(len(header))]
    for row in table:
        print("  ".join(text.ljust(width) for text, width in zip(row, widths)).rstrip())
    if failed:
        print("\nFailed:")
        for line in failed:
            print("  " + line)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    main(sys.argv[1:])
