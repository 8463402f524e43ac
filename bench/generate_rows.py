#!/usr/bin/env python3
"""Writes a transcription-like CSV for the batch benchmark: one row per
person with the date of the event (a full date) and the age in whole years,
the birth left to be calculated, and two columns that pass through.

usage: generate_rows.py ROWS OUTPUT.csv [SEED]
"""
import csv
import random
import sys

SURNAMES = ["Smith", "Jones", "Taylor", "Brown, Jr.", "Williams", "O'Neill", "Wilson", "Evans"]
PARISHES = ["St Mary", "St John, Holborn", "All Saints", "Christ Church", "St Peter"]


def main() -> int:
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 64
    rows = int(sys.argv[1])
    seed = int(sys.argv[3]) if len(sys.argv) == 4 else 1941
    rnd = random.Random(seed)
    with open(sys.argv[2], "w", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow(["id", "surname", "event", "years", "months", "days", "birth", "parish"])
        for n in range(1, rows + 1):
            event = "%02d/%02d/%04d" % (rnd.randint(1, 12), rnd.randint(1, 28), rnd.randint(1700, 2000))
            writer.writerow([n, rnd.choice(SURNAMES), event, rnd.randint(0, 99), "", "", "",
                             rnd.choice(PARISHES)])
    return 0


if __name__ == "__main__":
    sys.exit(main())
