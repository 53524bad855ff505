#!/usr/bin/env python3
"""Checks that two results workbooks are the same, part for part and so cell for cell:
every sheet, cell value, format, merge, width and page set-up. Only the date and time of
the title lines may differ, and the package's creation time.

Usage: compare_workbooks.py FIRST.xlsx SECOND.xlsx"""

import re
import sys
import zipfile

import openpyxl

TITLE_MOMENT = re.compile(rb"\d\d\.\d\d\.\d{4}   \d\d:\d\d:\d\d")


def parts(path):
    with zipfile.ZipFile(path) as package:
        contents = {name: package.read(name) for name in package.namelist()}
    contents.pop("docProps/core.xml", None)  # the creation time
    contents["xl/sharedStrings.xml"] = TITLE_MOMENT.sub(b"DATE   TIME",
                                                        contents["xl/sharedStrings.xml"])
    return contents


def first_difference(first, second):
    """A readable account of the first cell that differs, from openpyxl."""
    a, b = openpyxl.load_workbook(first), openpyxl.load_workbook(second)
    for wa, wb in zip(a.worksheets, b.worksheets):
        rows = max(wa.max_row, wb.max_row)
        cols = max(wa.max_column, wb.max_column)
        for row in range(1, rows + 1):
            for col in range(1, cols + 1):
                ca, cb = wa.cell(row, col), wb.cell(row, col)
                if (ca.value, ca.number_format) != (cb.value, cb.number_format):
                    return (f"{wa.title}!{ca.coordinate}: {ca.value!r} ({ca.number_format}) "
                            f"against {cb.value!r} ({cb.number_format})")
    return "no cell value differs; a format or the page set-up does"


def main():
    first, second = sys.argv[1], sys.argv[2]
    a, b = parts(first), parts(second)
    if sorted(a) != sorted(b):
        print(f"different parts: {sorted(a)} against {sorted(b)}")
        return 1
    different = [name for name in sorted(a) if a[name] != b[name]]
    if different:
        print(f"parts that differ: {different}")
        print(first_difference(first, second))
        return 1
    print(f"same workbook: {len(a)} parts compared")
    return 0


if __name__ == "__main__":
    sys.exit(main())
