#!/usr/bin/env python3
"""Reads the statistics workbook of velimor-calc --stats --xlsx back with openpyxl and checks
it against the [statistics] section the same run printed: the sheets and their order, the
task's name and the number of replicates above the tables, every table cell's shown text,
the bold bordered header rows, and the notes below the tables.

Usage: check_statistics_workbook.py VELIMOR_CALC"""

import os
import re
import subprocess
import sys
import tempfile

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, finish  # noqa: E402

TASKS = {
    # B never observed: the bootstrap warning and the saturation note.
    "absent.txt": "allele A\nallele B\nallele -\n30 A\n0 A B\n0 B\n70 -\n",
    "abo.txt": "allele A\nallele B\nallele -\n186 A\n13 A B\n38 B\n284 -\n",
}
TABLE_HEADS = ("№\tАллели\t", "Критерий\tПроверка\t", "№\tФенотип\t")
SHEETS = ["Аллели", "Согласие", "Остатки"]


def sections(text):
    """The three tables of the [statistics] section and, per table, the notes that its
    sheet holds below it: the lines after it, and on the fit sheet the note on the
    Monte-Carlo probability, which the text prints last."""
    lines = text[text.index("[statistics]\n"):].split("\n")[2:]
    tables, notes = [], []
    for line in lines:
        if line.startswith(TABLE_HEADS):
            tables.append([line.split("\t")])
            notes.append([])
        elif "\t" in line:
            tables[-1].append(line.split("\t"))
        elif line:
            notes[-1].append(line)
    notes[1].append(notes[2].pop())
    return tables, notes


def shown(cell):
    if cell.value is None:
        return ""
    if isinstance(cell.value, str):
        return cell.value
    match = re.fullmatch(r"0(?:\.(0+))?", cell.number_format)
    return f"{cell.value:.{len(match.group(1) or '') if match else 0}f}"


def check_workbook(calc, folder, name, task):
    task_path = os.path.join(folder, name)
    with open(task_path, "w", encoding="utf-8") as file:
        file.write(task)
    workbook_path = os.path.join(folder, name + ".xlsx")
    run = subprocess.run([calc, "--seed", "3", "--stats", "--replicates", "100", "--xlsx",
                          workbook_path, task_path], capture_output=True, text=True, check=True)
    tables, notes = sections(run.stdout)
    book = openpyxl.load_workbook(workbook_path)
    check(book.sheetnames == SHEETS, f"{name}: sheets {book.sheetnames}")
    if book.sheetnames != SHEETS:
        return
    for index, sheet in enumerate(book.worksheets):
        where = f"{name}, {sheet.title}"
        above = ["Задача: " + task_path]
        if index == 0:
            above.append("Повторений бутстрепа и метода Монте-Карло: 100")
        for row, line in enumerate(above, start=1):
            found = sheet.cell(row, 1).value
            check(found == line, f"{where}: row {row} is {found!r}")
        first = len(above) + 1
        table = tables[index]
        for r, texts in enumerate(table):
            for c, text in enumerate(texts):
                cell = sheet.cell(first + r, c + 1)
                at = f"{where}: {cell.coordinate}"
                check(shown(cell) == text.strip(), f"{at} shows {shown(cell)!r}, the text {text!r}")
                check(cell.border.left.style == "thin", f"{at} has no border")
                check(cell.font.bold == (r == 0), f"{at} bold is {cell.font.bold}")
        below = [sheet.cell(first + len(table) + 1 + i, 1).value for i in range(len(notes[index]))]
        check(below == notes[index], f"{where}: notes {below}, the text {notes[index]}")
        if index < 2 and name == "absent.txt":
            check(notes[index], f"{where}: the task has a warning and a saturation note")


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        for name, task in TASKS.items():
            check_workbook(sys.argv[1], folder, name, task)
    finish("statistics workbook")
