#!/usr/bin/python3
"""The power-cut test of the archive, and the archives it opened as other software reads them.

Runs archive_power_cut_test in a folder on a memory file system when there is one (its
thousands of states flush often), and then reads every archive it kept, as the program left it
after opening, with python3-dbfread: the four tables read without an error, in Windows-1251,
and their live tasks, with their live allele and count rows and their labels (the live row of
METKI with the task's INDEX, NAME, DATA and TIME, the highest NOMER if there are more), are
exactly the tasks the program's engine read (tasks.json).

Usage: check_power_cut_archives.py ARCHIVE_POWER_CUT_TEST
"""
import json
import os
import subprocess
import sys
import tempfile

import dbfread

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from checks import check, finish  # noqa: E402


def live(folder, table):
    reader = dbfread.DBF(os.path.join(folder, table + ".DBF"), char_decode_errors="strict")
    if reader.encoding != "cp1251":
        raise ValueError("%s: code page %s" % (table, reader.encoding))
    return [r for r in reader if r["OT"]]


def tasks(folder):
    rows = {}
    for table, value in (("ALLEL", "ALLEL"), ("FENOTIP", "GOLOV")):
        for r in live(folder, table):
            kind = rows.setdefault(r["INDEX"], {"alleles": [], "counts": []})
            kind["alleles" if table == "ALLEL" else "counts"].append(
                [r["NOMER"], r[value] if table == "ALLEL" else int(r[value])])
    labels = {}
    for r in live(folder, "METKI"):
        mark = (r["INDEX"], r["NAME"], r["DATA"], r["TIME"])
        if mark not in labels or labels[mark]["NOMER"] < r["NOMER"]:
            labels[mark] = r
    found = {}
    for task in live(folder, "SPISOK"):
        own = rows.get(task["INDEX"], {"alleles": [], "counts": []})
        found[task["NAME"]] = {kind: sorted(own[kind]) for kind in own}
        label = labels.get((task["INDEX"], task["NAME"], task["DATA"], task["TIME"]))
        found[task["NAME"]]["labels"] = [label["POPUL"], label["SISTEMA"]] if label else ["", ""]
    return found


def main():
    base = "/dev/shm" if os.path.isdir("/dev/shm") else None
    with tempfile.TemporaryDirectory(prefix="velimor-power-cut-", dir=base) as folder:
        run = subprocess.run([sys.argv[1], folder], env=dict(os.environ, LC_ALL="C"))
        opened = os.path.join(folder, "opened")
        archives = sorted(os.listdir(opened)) if os.path.isdir(opened) else []
        for name in archives:
            where = os.path.join(opened, name)
            with open(os.path.join(where, "tasks.json"), encoding="utf-8") as expected_file:
                expected = {task: {kind: rows[kind] if kind == "labels" else sorted(rows[kind])
                                   for kind in rows}
                            for task, rows in json.load(expected_file).items()}
            try:
                read = tasks(where)
            except Exception as error:  # a table dbfread cannot read
                read = "unreadable: %s" % error
            check(read == expected, "archive %s: python3-dbfread reads %s, the program %s"
                  % (name, read, expected))
        print("python3-dbfread read %d archives opened after power cuts" % len(archives))
        check(run.returncode == 0, "the power-cut test ended with %d" % run.returncode)
        check(archives, "the power-cut test kept no archive")


main()
finish("power-cut archive")
