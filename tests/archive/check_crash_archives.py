#!/usr/bin/python3
"""The crash test of the archive, and its archives as other software reads them.

Runs archive_crash_test, which kills a child process at many points of saves and deletes and
checks each archive with the program's own engine, keeping every archive as the kill left it.
Then python3-dbfread reads each of those: the three tables read without an error, in
Windows-1251, no two live tasks share a key, and every live task row of SPISOK has exactly
KOLALL live allele rows and KOLFEN live count rows under its key, with distinct positions: a
task is listed whole or not at all, before the program ever opens the archive again.

Usage: check_crash_archives.py ARCHIVE_CRASH_TEST
"""
import collections
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


def problems(folder):
    tasks = live(folder, "SPISOK")
    keys = [t["INDEX"] for t in tasks]
    if len(set(keys)) != len(keys):
        return ["two live tasks share a key"]
    found = []
    for table, count_field in (("ALLEL", "KOLALL"), ("FENOTIP", "KOLFEN")):
        positions = collections.defaultdict(list)
        for row in live(folder, table):
            positions[row["INDEX"]].append(row["NOMER"])
        for task in tasks:
            rows = positions[task["INDEX"]]
            if len(rows) != task[count_field] or len(set(rows)) != len(rows):
                found.append("%s: task %s has %d rows, %s says %d"
                             % (table, task["NAME"], len(rows), count_field, task[count_field]))
    return found


def main():
    with tempfile.TemporaryDirectory(prefix="velimor-crash-") as folder:
        run = subprocess.run([sys.argv[1], folder], env=dict(os.environ, LC_ALL="C"))
        raw = os.path.join(folder, "raw")
        archives = sorted(os.listdir(raw))
        for name in archives:
            try:
                found = problems(os.path.join(raw, name))
            except Exception as error:  # a table dbfread cannot read
                found = ["unreadable: %s" % error]
            for problem in found:
                check(False, "%s: %s" % (name, problem))
        print("python3-dbfread read %d archives left by kills" % len(archives))
        check(run.returncode == 0, "the crash test ended with %d" % run.returncode)
        check(archives, "the crash test left no archive")


main()
finish("crash archive")
