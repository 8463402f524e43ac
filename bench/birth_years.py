#!/usr/bin/env python3
"""The benchmark's comparison: the birth-year pairs of a CSV transcription
computed with nothing but the csv and datetime modules.

It handles what the generated benchmark file holds (a full event date
mm/dd/yyyy and an age in whole years, months and days empty) and writes the
same CSV as `quillark-calc --csv` does for such rows, so the two outputs can
be compared byte for byte: the birth column gets "YYYY or YYYY-1", a status
column "ok" is added, and a row it cannot handle gets a status saying so.

usage: birth_years.py INPUT.csv OUTPUT.csv
"""
import csv
import datetime
import sys


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 64
    # Latin-1 maps every byte to one character and back, so a file that is
    # not UTF-8 (junk in a transcription) is read and written byte for byte.
    with open(sys.argv[1], newline="", encoding="latin-1") as src, \
            open(sys.argv[2], "w", newline="", encoding="latin-1") as dst:
        reader = csv.reader(src)
        writer = csv.writer(dst, lineterminator="\n")
        header = next(reader)
        names = [name.strip().lower() for name in header]
        event_col = names.index("event")
        years_col = names.index("years")
        birth_col = names.index("birth")
        writer.writerow(header + ["status"])
        for row in reader:
            try:
                month, day, year = row[event_col].split("/")
                event = datetime.date(int(year), int(month), int(day))  # validates the date
                born = event.year - int(row[years_col])
            except (ValueError, IndexError):
                writer.writerow(row + ["not handled"])
                continue
            row[event_col] = event.strftime("%m/%d/%Y")
            row[birth_col] = "%d or %d" % (born, born - 1)
            writer.writerow(row + ["ok"])
    return 0


if __name__ == "__main__":
    sys.exit(main())
