#!/usr/bin/env python3
"""Reads and writes the CSV cases of csv_test.cpp with Python's csv module, as the reference.

For every caseN.txt (UTF-8) and caseN.sep (the separator) in the folder given as the first argument
it writes caseN.rows: one line per row read in strict mode, "R" followed by "|" and the field's
UTF-16LE units in hex for each field, and a last line "ERROR" when the reader refused the text;
and, when it read the text whole, caseN.same and caseN.tab: the rows written back by csv.writer
(QUOTE_MINIMAL, CrLf) with the same separator and with a Tab, as UTF-8.
"""
import csv
import glob
import io
import os
import sys


def encoded(field):
    return field.encode("utf-16-le").hex()


def written(rows, separator):
    out = io.StringIO(newline="")
    csv.writer(out, delimiter=separator, lineterminator="\r\n").writerows(rows)
    return out.getvalue()


for path in sorted(glob.glob(os.path.join(sys.argv[1], "case*.txt"))):
    base = path[:-len(".txt")]
    with open(base + ".sep", encoding="utf-8", newline="") as f:
        separator = f.read()
    rows, failed = [], False
    with open(path, encoding="utf-8", newline="") as f:
        try:
            for row in csv.reader(f, delimiter=separator, strict=True):
                rows.append(row)
        except csv.Error:
            failed = True
    with open(base + ".rows", "w", encoding="ascii", newline="\n") as f:
        for row in rows:
            f.write("R" + "".join("|" + encoded(field) for field in row) + "\n")
        if failed:
            f.write("ERROR\n")
    if not failed:
        for suffix, separator_out in ((".same", separator), (".tab", "\t")):
            with open(base + suffix, "w", encoding="utf-8", newline="") as f:
                f.write(written(rows, separator_out))
