#!/usr/bin/env python3
"""Reads the sample workbooks back with openpyxl and checks every sheet against the layout
of the results workbook: sheet names and order, the active sheet, titles with their date
and time, headers, every cell's shown text against its source text, merges, borders, font
sizes, alignment, wrapping, column widths, orientation and margins.

Usage: check_workbooks.py WRITER, where WRITER writes NAME.xlsx and NAME.json (the source
texts) into the folder it is given."""

import json
import math
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.utils import get_column_letter

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, finish  # noqa: E402

SHEET_NAMES = ["Аллели", "Тесты", "Фенотипы", "Генотипы"]
# The writer's clock starts at 07.03.2026 09:05:58 and moves a second per reading; the
# tests run in the C locale, whose short date format falls back to dd.MM.yyyy.
TITLE_MOMENTS = ["07.03.2026   09:05:58", "07.03.2026   09:05:59", "07.03.2026   09:06:00",
                 "07.03.2026   09:06:01"]
DEFAULT_FONT_SIZE = 11
# 2 cm, 2 cm, 1.5 cm and 1 cm in inches; the header and footer margins are meant as 0.
SHEET1_MARGINS = (0.78740157480315, 0.78740157480315, 0.590551181102362, 0.3937007)
DEFAULT_MARGINS = (0.7, 0.7, 0.75, 0.75, 0.3, 0.3)

NUMBER_TEXT = re.compile(r"-?(?:0|[1-9][0-9]*)(?:\.([0-9]+))?")
PADDING = "".join(chr(c) for c in range(33))


def reads_as_number(text):
    """The trimmed text and its decimals when a number cell can show it digit for digit."""
    trimmed = text.strip(PADDING)
    match = NUMBER_TEXT.fullmatch(trimmed)
    if not match:
        return None
    significant = trimmed.lstrip("-").replace(".", "").lstrip("0")
    if not significant and trimmed.startswith("-"):
        return None  # a number cell cannot show the minus of a zero
    if len(significant) > 15:
        return None
    return trimmed, len(match.group(1) or "")


def shown_text(cell, where):
    value = cell.value
    if value is None:
        return ""
    if isinstance(value, str):
        return value
    match = re.fullmatch(r"0(?:\.(0+))?", cell.number_format)
    check(match, f"{where}: number {value} has the format {cell.number_format!r}")
    if not match:
        return str(value)
    return f"{value:.{len(match.group(1) or '')}f}"


def cells(first_col, first_row, last_col, last_row):
    for row in range(first_row, last_row + 1):
        for col in range(ord(first_col) - 64, ord(last_col) - 64 + 1):
            yield row, col


def cell_of(grid, row, col):
    """Column col of data row row (1-based) of a source grid; empty outside it."""
    if row > len(grid):
        return ""
    cells_of_row = grid[row - 1]
    return cells_of_row[col] if col < len(cells_of_row) else ""


class Expected:
    """What one sheet must hold, built from the layout rules."""

    def __init__(self, name, last_col, literal, headers):
        self.name = name
        self.last_col = last_col
        self.values = {}  # (row, col) -> ("literal" | "source", text)
        self.blocks = []  # (property, first_col, first_row, last_col, last_row, value)
        self.widths = {}
        self.merges = {f"A1:{last_col}1"}
        self.landscape = False
        self.margins = DEFAULT_MARGINS
        self.header_lines = 1  # lines of 8 points the header row holds
        self.literal = literal
        for col, header in enumerate(headers, start=1):
            self.values[(3, col)] = ("literal", header)
        self.block("border", "A", 1, last_col, 1)
        self.block("font", "A", 1, last_col, 1, 10)

    def block(self, prop, first_col, first_row, last_col, last_row, value=True):
        self.blocks.append((prop, first_col, first_row, last_col, last_row, value))

    def width(self, first_col, last_col, value):
        for col in range(ord(first_col) - 64, ord(last_col) - 64 + 1):
            self.widths[col] = value

    def copy_rows(self, grid, first_grid_col):
        for i in range(1, len(grid) + 1):
            for col in range(1, ord(self.last_col) - 64 + 1):
                self.values[(3 + i, col)] = ("source", cell_of(grid, i, first_grid_col + col - 1))
        return 3 + len(grid)


def expected_sheets(texts):
    alleles = Expected("Аллели", "D", "Результаты расчета частоты аллелей     ",
                       ["Наименование аллеля", "Частота по МП", "Частота по МНК",
                        "Частота по МННК"])
    last = alleles.copy_rows(texts["alleles"], 1)
    alleles.block("font", "A", 2, "D", last, 8)
    alleles.block("centre", "A", 1, "D", last)
    alleles.block("border", "A", 3, "D", last)
    alleles.block("wrap", "A", 1, "D", last)
    alleles.width("A", "A", 40.5)
    alleles.width("B", "D", 7.8)
    alleles.margins = SHEET1_MARGINS + (0.0, 0.0)
    alleles.header_lines = 2  # "Частота по" / "МННК" in 7.8 characters

    tests = Expected("Тесты", "I",
                     "Фактические и расчетные количества и частоты \"срабатывания\" тестов     ",
                     ["Тест", "Фактическое количество", "Расчетное количество по МП",
                      "Расчетное количество по МНК", "Расчетное количество по МННК",
                      "Фактическая частота", "Расчетная частота по МП",
                      "Расчетная частота по МНК", "Расчетная частота по МННК"])
    last = tests.copy_rows(texts["tests"], 1)
    tests.block("centre", "A", 1, "I", last)
    tests.block("wrap", "A", 1, "I", last)
    tests.block("border", "A", 3, "I", last)
    tests.block("font", "A", 3, "I", last, 8)
    tests.width("A", "I", 10)
    tests.landscape = True
    tests.header_lines = 3  # "Расчетное" / "количество" / "по МННК" in 10 characters

    phenotypes = Expected(
        "Фенотипы", "J",
        "Фактические и расчетные количества особей и в фенотипе и частоты фенотипов     ",
        ["Фенотип", "Генотипический состав класса", "Фактическое количество",
         "Расчетное количество по МП", "Расчетное количество по МНК",
         "Расчетное количество по МННК", "Фактическая частота", "Расчетная частота по МП",
         "Расчетная частота по МНК", "Расчетная частота по МННК"])
    listed, report = texts["phenotypeList"], texts["phenotypes"]
    p = len(listed)
    for i in range(1, p + 1):
        phenotypes.values[(3 + i, 1)] = ("source", cell_of(listed, i, 1))
        phenotypes.values[(3 + i, 2)] = ("source", cell_of(listed, i, 4))
        for col in range(3, 11):
            phenotypes.values[(3 + i, col)] = ("source", cell_of(report, i, col - 1))
    sums = 4 + p
    phenotypes.values[(sums, 1)] = ("literal", " Суммы ")
    phenotypes.values[(sums, 2)] = ("literal", "(для контроля) ")
    for col in range(3, 11):
        phenotypes.values[(sums, col)] = ("source", cell_of(report, p + 1, col - 1))
    phenotypes.block("centre", "A", 1, "J", sums)
    phenotypes.block("wrap", "A", 1, "J", sums)
    phenotypes.block("border", "A", 3, "J", sums)
    phenotypes.block("font", "A", 3, "J", sums, 8)
    phenotypes.width("A", "J", 10)
    phenotypes.width("B", "B", 30)
    phenotypes.landscape = True
    phenotypes.header_lines = 3
    for k, summary in enumerate(texts["fitSummaries"]):
        row = sums + 2 * (k + 1)
        phenotypes.merges.add(f"A{row}:J{row}")
        phenotypes.values[(row, 1)] = ("literal", summary)

    genotypes = Expected("Генотипы", "D", "Результаты расчета частоты генотипов     ",
                         ["Наименование генотипа", "Частота по МП", "Частота по МНК",
                          "Частота по МННК"])
    last = genotypes.copy_rows(texts["genotypes"], 1)
    # The table's font covers every row written, not only rows 2 to 53.
    genotypes.block("font", "A", 2, "D", last, 8)
    genotypes.block("border", "A", 3, "D", last)
    genotypes.block("centre", "A", 1, "D", last)
    genotypes.block("wrap", "A", 1, "D", last)
    genotypes.width("A", "A", 40.5)
    genotypes.width("B", "D", 7.8)
    genotypes.header_lines = 2
    return [alleles, tests, phenotypes, genotypes]


def stored_width(characters):
    """The width the file stores for a column width in characters. A spreadsheet keeps
    widths in whole pixels (7 pixels a digit of the default font, rounded), and the file adds
    the 5-pixel cell padding: 7.8 characters are 55 pixels and stored as 60/7 rounded down to
    a 256th."""
    pixels = math.floor(characters * 7 + 0.5)
    return math.floor((pixels + 5) / 7 * 256) / 256


def raw_sheets(path):
    """From the file itself, by sheet name: the <col> ranges (first, last, width) and the
    style index of every cell (openpyxl makes up the formats of merged cells)."""
    ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
          "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
          "rel": "http://schemas.openxmlformats.org/package/2006/relationships"}
    with zipfile.ZipFile(path) as package:
        workbook = ET.fromstring(package.read("xl/workbook.xml"))
        rels = ET.fromstring(package.read("xl/_rels/workbook.xml.rels"))
        targets = {r.get("Id"): r.get("Target") for r in rels.findall("rel:Relationship", ns)}
        sheets = {}
        for sheet in workbook.findall("m:sheets/m:sheet", ns):
            target = targets[sheet.get(f"{{{ns['r']}}}id")]
            xml = ET.fromstring(package.read("xl/" + target.lstrip("/").replace("xl/", "", 1)))
            cols = [(int(c.get("min")), int(c.get("max")), float(c.get("width")))
                    for c in xml.findall("m:cols/m:col", ns)]
            styles = {c.get("r"): c.get("s") for c in xml.findall("m:sheetData/m:row/m:c", ns)}
            sheets[sheet.get("name")] = (cols, styles)
    return sheets


def check_sheet(ws, expected, title_moment, raw):
    name = expected.name

    def fail(text):
        check(False, f"{name}: {text}")

    last_col = ord(expected.last_col) - 64
    last_row = max([3] + [row for row, _ in expected.values])

    # Title line: its literal, the date and the time of this sheet.
    title = ws.cell(1, 1).value
    if title != expected.literal + title_moment:
        fail(f"title {title!r}")
    for col in range(2, last_col + 1):
        if ws.cell(1, col).value is not None:
            fail(f"row 1 column {col} holds {ws.cell(1, col).value!r}")
    for col in range(1, last_col + 1):
        if ws.cell(2, col).value is not None:
            fail(f"row 2 is not empty in column {col}")

    # Values: every cell with a value is expected, every expected cell shows its text.
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is not None and cell.row > 1 and \
                    (cell.row, cell.column) not in expected.values:
                fail(f"unexpected value {cell.value!r} in {cell.coordinate}")
    for (row, col), (kind, text) in expected.values.items():
        cell = ws.cell(row, col)
        where = f"{name}!{cell.coordinate}"
        number = reads_as_number(text) if kind == "source" else None
        if number:
            is_number = cell.data_type == "n" and isinstance(cell.value, (int, float))
            check(is_number, f"{where}: {text!r} is not a number cell ({cell.value!r})")
            if is_number:
                shown = shown_text(cell, where)
                check(shown == number[0], f"{where}: shows {shown!r}, the grid {text!r}")
        elif text == "":
            check(cell.value is None, f"{where}: {cell.value!r} for an empty text")
        else:
            check(cell.value == text, f"{where}: {cell.value!r}, expected the text {text!r}")

    # A merged block's cells other than its first carry the first one's format.
    col_ranges, raw_styles = raw
    merges = {str(r) for r in ws.merged_cells.ranges}
    if merges != expected.merges:
        fail(f"merges {sorted(merges)}, expected {sorted(expected.merges)}")
    covered_by_merge = set()
    for merged in ws.merged_cells.ranges:
        first = f"{get_column_letter(merged.min_col)}{merged.min_row}"
        for row, col in cells(get_column_letter(merged.min_col), merged.min_row,
                              get_column_letter(merged.max_col), merged.max_row):
            ref = f"{get_column_letter(col)}{row}"
            if ref != first:
                covered_by_merge.add((row, col))
                if raw_styles.get(ref) != raw_styles.get(first):
                    fail(f"{ref} has the format {raw_styles.get(ref)}, its merge's first "
                         f"cell {raw_styles.get(first)}")

    # Nothing is written or formatted outside the sheet's area.
    for ref in raw_styles:
        row, col = openpyxl.utils.cell.coordinate_to_tuple(ref)
        if row > last_row or col > last_col:
            fail(f"cell {ref} outside the table is written")

    # Formats of every cell of the sheet's area, from the blocks in their order.
    style = {}
    for prop, first_col, first_row, block_last_col, block_last_row, value in expected.blocks:
        for key in cells(first_col, first_row, block_last_col, block_last_row):
            style.setdefault(key, {})[prop] = value
    for row in range(1, last_row + 1):
        for col in range(1, last_col + 1):
            if (row, col) in covered_by_merge:
                continue
            cell = ws.cell(row, col)
            want = style.get((row, col), {})
            where = f"{name}!{cell.coordinate}"
            size = want.get("font", DEFAULT_FONT_SIZE)
            check(cell.font.sz == size, f"{where}: font size {cell.font.sz}, expected {size}")
            sides = [cell.border.left.style, cell.border.right.style, cell.border.top.style,
                     cell.border.bottom.style]
            check(sides == (["thin"] * 4 if want.get("border") else [None] * 4),
                  f"{where}: borders {sides}")
            centred = want.get("centre", False)
            alignment = (cell.alignment.horizontal, cell.alignment.vertical)
            check(alignment == (("center", "center") if centred else (None, None)),
                  f"{where}: alignment {alignment}")
            check(bool(cell.alignment.wrap_text) == want.get("wrap", False),
                  f"{where}: wrap {cell.alignment.wrap_text}")

    # Column widths: each column written once, with the width the layout gives it.
    covered = {}
    for first, last, width in col_ranges:
        for col in range(first, last + 1):
            if col in covered:
                fail(f"column {get_column_letter(col)} has its width written twice")
            covered[col] = width
    for col, characters in expected.widths.items():
        if col not in covered or abs(covered[col] - stored_width(characters)) > 1e-9:
            fail(f"column {get_column_letter(col)} width {covered.get(col)}, "
                 f"expected {stored_width(characters)} for {characters}")
    extra = set(covered) - set(expected.widths)
    if extra:
        fail(f"widths set on columns {sorted(extra)}")

    # The header row holds its wrapped lines (10 points a line of 8 points and 3 points of
    # padding); the title row at least the default height.
    header_height = ws.row_dimensions[3].height
    if header_height is None or header_height < 10 * expected.header_lines + 3:
        fail(f"header row height {header_height} for {expected.header_lines} lines")
    if ws.row_dimensions[1].height is None or ws.row_dimensions[1].height < 15:
        fail(f"title row height {ws.row_dimensions[1].height}")
    if str(ws.page_setup.paperSize) != "9":
        fail(f"paper size {ws.page_setup.paperSize}, expected 9 (A4)")
    fits = ws.sheet_properties.pageSetUpPr is not None and \
        bool(ws.sheet_properties.pageSetUpPr.fitToPage)
    if fits != expected.landscape or (fits and (
            (ws.page_setup.fitToWidth or 1) != 1 or ws.page_setup.fitToHeight != 0)):
        fail(f"fit to page {fits}, {ws.page_setup.fitToWidth} wide, "
             f"{ws.page_setup.fitToHeight} high")

    orientation = ws.page_setup.orientation
    if (orientation == "landscape") != expected.landscape:
        fail(f"orientation {orientation}")
    m = ws.page_margins
    margins = (m.left, m.right, m.top, m.bottom, m.header, m.footer)
    for got, want, side in zip(margins, expected.margins,
                               ["left", "right", "top", "bottom", "header", "footer"]):
        # A zero header or footer margin is written as the smallest value the writer keeps.
        tolerance = 0.001 if want == 0 else 1e-12
        if got is None or abs(got - want) > tolerance or (want == 0 and got < 0):
            fail(f"{side} margin {got}, expected {want}")


def check_workbook(path, texts):
    wb = openpyxl.load_workbook(path)
    check(wb.sheetnames == SHEET_NAMES, f"sheets {wb.sheetnames}")
    if wb.sheetnames != SHEET_NAMES:
        return
    check(wb.active.title == "Генотипы", f"active sheet {wb.active.title}")
    for ws in wb.worksheets:
        check(bool(ws.sheet_view.tabSelected) == (ws.title == "Генотипы"),
              f"{ws.title}: selected {ws.sheet_view.tabSelected}")
    raw = raw_sheets(path)
    for ws, expected, moment in zip(wb.worksheets, expected_sheets(texts), TITLE_MOMENTS):
        check_sheet(ws, expected, moment, raw[ws.title])


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([sys.argv[1], folder], check=True)
        for name in ["codominance", "dominance", "unusual", "largest"]:
            print(f"{name}.xlsx")
            with open(f"{folder}/{name}.json", encoding="utf-8") as source:
                check_workbook(f"{folder}/{name}.xlsx", json.load(source))
    finish("workbook")
