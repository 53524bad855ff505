#!/usr/bin/python3
"""The archive as other software reads it, and velimor-calc --archive.

1. An archive written by saveTask (archive_writer: three tasks, the second deleted before the
   third is saved) is read by python3-dbfread field by field: every field of every row, with
   its type, as the archive tables define them.
2. velimor-calc --archive FOLDER --task NAME gives for a saved task exactly what velimor-calc
   gives for the same task written as a task file, as text and as JSON, by the stored
   criterion; the name is matched by its key (case and surrounding spaces do not matter).
3. The same for an archive written by python3-dbf (dBASE III layout, Windows-1251), whose
   rows stand in another order and whose free rows carry a live task's key.
4. An unknown name, or a folder without the tables, is an error: exit 2 and a Russian message.

Usage: check_archive_files.py ARCHIVE_WRITER VELIMOR_CALC
"""
import datetime
import os
import subprocess
import sys
import tempfile

import dbf
import dbfread

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, finish  # noqa: E402

WRITER, CALC = sys.argv[1], sys.argv[2]
ENV = dict(os.environ, LC_ALL="C")
LONG_NAME = "Резус-фактор у жителей Н-ской области, 1999 г"  # 45 characters


def calc(*args):
    return subprocess.run([CALC, *args], env=ENV, capture_output=True, text=True)


def read(folder, table, fields):
    reader = dbfread.DBF(os.path.join(folder, table + ".DBF"), char_decode_errors="strict")
    check(reader.encoding == "cp1251", "%s: code page %s" % (table, reader.encoding))
    got = [(f.name, f.type) for f in reader.fields]
    check(got == fields, "%s: fields %s" % (table, got))
    return [dict(r) for r in reader]


def check_rows(table, got, expected):
    check(len(got) == len(expected), "%s: %d rows, expected %d" % (table, len(got), len(expected)))
    for n, (row, want) in enumerate(zip(got, expected)):
        for field, value in want.items():
            check(row[field] == value, "%s row %d field %s: %r, expected %r"
                  % (table, n + 1, field, row[field], value))


def check_saved_archive(folder):
    subprocess.run([WRITER, folder], env=ENV, check=True)
    spisok = read(folder, "SPISOK", [("OTBOR", "L"), ("TIME", "C"), ("DATA", "D"),
                                     ("NAME", "C"), ("KOLALL", "N"), ("KOLTEST", "N"),
                                     ("GOLOV", "C"), ("KOLFEN", "N"), ("KNOP1", "N"),
                                     ("KNOP2", "N"), ("INDEX", "N"), ("OT", "L")])
    check_rows("SPISOK", spisok, [
        # Saved first: key 9999; the name as typed (dbfread drops the trailing blank).
        {"OTBOR": None, "TIME": "9.5", "DATA": datetime.date(2024, 3, 5),
         "NAME": "  Группа крови АВ0", "KOLALL": 3, "KOLTEST": 2, "GOLOV": "", "KOLFEN": 4,
         "KNOP1": 1, "KNOP2": 3, "INDEX": 9999, "OT": True},
        # The deleted task's row, reused by the third task: the next key after 9999 is 9998
        # again; the name cut to 40 characters.
        {"OTBOR": None, "TIME": "23.59", "DATA": datetime.date(2024, 12, 31),
         "NAME": LONG_NAME[:40], "KOLALL": 2, "KOLTEST": 2, "GOLOV": "", "KOLFEN": 2,
         "KNOP1": 2, "KNOP2": 2, "INDEX": 9998, "OT": True},
    ])
    allel = read(folder, "ALLEL", [("INDEX", "N"), ("NOMER", "N"), ("ALLEL", "C"), ("OT", "L")])
    check_rows("ALLEL", allel, [
        {"INDEX": 9999, "NOMER": 1, "ALLEL": "A", "OT": True},
        {"INDEX": 9999, "NOMER": 2, "ALLEL": "B", "OT": True},
        {"INDEX": 9999, "NOMER": 28, "ALLEL": "-", "OT": True},
        {"INDEX": 9998, "NOMER": 1, "ALLEL": "Rh+ D", "OT": True},
        {"INDEX": 9998, "NOMER": 2, "ALLEL": "-", "OT": True},
    ])
    fenotip = read(folder, "FENOTIP", [("INDEX", "N"), ("NOMER", "N"), ("GOLOV", "N"),
                                       ("OT", "L")])
    check_rows("FENOTIP", fenotip, [
        {"INDEX": 9999, "NOMER": 1, "GOLOV": 120, "OT": True},
        {"INDEX": 9999, "NOMER": 2, "GOLOV": 33, "OT": True},
        {"INDEX": 9999, "NOMER": 4, "GOLOV": 250, "OT": True},
        {"INDEX": 9998, "NOMER": 1, "GOLOV": 7, "OT": True},   # the deleted task's row
        {"INDEX": 9998, "NOMER": 2, "GOLOV": 0, "OT": True},   # appended
    ])


def same_as_task_file(folder, name, task_text, criterion, what):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", encoding="utf-8", delete=False) as f:
        f.write(task_text)
    try:
        for output in ([], ["--json"]):
            expected = calc("--seed", "11", "--criterion", criterion, *output, f.name)
            check(expected.returncode == 0, "%s: task file run: %s" % (what, expected.stderr))
            got = calc("--seed", "11", *output, "--archive", folder, "--task", name)
            check(got.returncode == 0, "%s: archive run: %s" % (what, got.stderr))
            check(got.stdout == expected.stdout and got.stdout,
                  "%s %s: archive output differs from the task file's\n%s\n----\n%s"
                  % (what, output, got.stdout, expected.stdout))
    finally:
        os.unlink(f.name)


def foreign_archive(folder):
    """A task written by python3-dbf: rows in another order, a free row with its key."""
    spisok = dbf.Table(os.path.join(folder, "SPISOK.DBF"),
                       "OTBOR L; TIME C(5); DATA D; NAME C(40); KOLALL N(6,0); "
                       "KOLTEST N(6,0); GOLOV C(10); KOLFEN N(6,0); KNOP1 N(6,0); "
                       "KNOP2 N(6,0); INDEX N(6,0); OT L", dbf_type="db3", codepage="cp1251")
    spisok.open(dbf.READ_WRITE)
    spisok.append({"name": "Старая", "index": 9990, "ot": False, "knop1": 1})
    spisok.append({"name": "Система MNS", "index": 9990, "ot": True, "knop1": 1, "knop2": 3,
                   "data": datetime.date(2023, 1, 2), "time": "12.0"})
    spisok.append({"name": "Другая", "index": 9991, "ot": True, "knop1": 2, "knop2": 1})
    spisok.close()
    allel = dbf.Table(os.path.join(folder, "ALLEL.DBF"),
                      "INDEX N(6,0); NOMER N(6,0); ALLEL C(254); OT L",
                      dbf_type="db3", codepage="cp1251")
    allel.open(dbf.READ_WRITE)
    for row in ({"index": 9991, "nomer": 1, "allel": "Ж", "ot": True},
                {"index": 9990, "nomer": 30, "allel": "S N", "ot": True},
                {"index": 9990, "nomer": 2, "allel": "Лишний", "ot": False},
                {"index": 9990, "nomer": 1, "allel": "M S", "ot": True},
                {"index": 9990, "nomer": 4, "allel": "N s", "ot": True},
                {"index": 9990, "nomer": 3, "allel": "M s", "ot": True}):
        allel.append(row)
    allel.close()
    fenotip = dbf.Table(os.path.join(folder, "FENOTIP.DBF"),
                        "INDEX N(6,0); NOMER N(6,0); GOLOV N(10,0); OT L",
                        dbf_type="db3", codepage="cp1251")
    fenotip.open(dbf.READ_WRITE)
    for row in ({"index": 9990, "nomer": 3, "golov": 96, "ot": True},
                {"index": 9990, "nomer": 1, "golov": 57, "ot": True},
                {"index": 9990, "nomer": 2, "golov": 999, "ot": False},
                {"index": 9991, "nomer": 1, "golov": 5, "ot": True},
                {"index": 9990, "nomer": 5, "golov": 20, "ot": True}):
        fenotip.append(row)
    fenotip.close()


with tempfile.TemporaryDirectory() as folder:
    check_saved_archive(folder)
    same_as_task_file(folder, " группа КРОВИ ав0  ", "allele A\nallele B\nallele -\n"
                      "120 A\n33 A B\n250 -\n", "3", "saved ABO task")
    same_as_task_file(folder, LONG_NAME.lower(), "mode dominance\n"
                      "allele Rh+ D\nallele -\n7 D Rh+\n0 -\n", "2", "saved Rh task")
    run = calc("--archive", folder, "--task", "Удаляемая")
    check(run.returncode == 2 and run.stdout == "" and
          run.stderr == folder + ": задачи «Удаляемая» в архиве нет\n",
          "a deleted task is unknown: %d %r" % (run.returncode, run.stderr))

with tempfile.TemporaryDirectory() as folder:
    foreign_archive(folder)
    # Allele rows 1, 3, 4 and 30 give the alleles «M S», «M s», «N s», «N S» in that order;
    # codominance numbers their phenotypes 1 «M S», 2 «M S s», 3 «M N S s», 4 «M N S»,
    # 5 «M s», ...: the live counts stand on 1, 3 and 5.
    task = ("allele M S\nallele M s\nallele N s\nallele S N\n"
            "57 M S\n96 M N S s\n20 M s\n")
    same_as_task_file(folder, "система mns", task, "3", "python3-dbf archive")

with tempfile.TemporaryDirectory() as folder:
    run = calc("--archive", folder, "--task", "Любая")
    check(run.returncode == 2 and run.stderr == folder + ": нет таблицы архива SPISOK.DBF\n",
          "an empty folder: %d %r" % (run.returncode, run.stderr))
    check(not os.listdir(folder), "the calculator created files: %s" % os.listdir(folder))

finish("archive")
print("archive checks passed")
