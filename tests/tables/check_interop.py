#!/usr/bin/python3
"""Interoperation of the table engine with other DBF software (Debian packages).

1. Tables the engine writes are read by python3-dbfread with Cyrillic intact and every field's
   type and value right, by GDAL's ogrinfo, and their CDX is walked by index_dump (from
   libdbd-xbase-perl) in the order of the rows' INDEX.
2. Tables python3-dbf writes (dBASE III and Visual FoxPro layouts, Windows-1251, other field
   orders and widths) are read by the engine, which then writes into them; dbfread reads the
   result.

Usage: check_interop.py INTEROP_HELPER
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

HELPER = sys.argv[1]
ENV = dict(os.environ, LC_ALL="C")  # the short date format is then dd.MM.yyyy


def helper(*args):
    result = subprocess.run([HELPER, *args], env=ENV, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("interop_helper %s failed: %s" % (" ".join(args), result.stderr))
    return result.stdout


SPISOK_FIELDS = [("OTBOR", "L", 1, 0), ("TIME", "C", 5, 0), ("DATA", "D", 8, 0),
                 ("NAME", "C", 40, 0), ("KOLALL", "N", 6, 0), ("KOLTEST", "N", 6, 0),
                 ("GOLOV", "C", 10, 0), ("KOLFEN", "N", 6, 0), ("KNOP1", "N", 6, 0),
                 ("KNOP2", "N", 6, 0), ("INDEX", "N", 6, 0), ("OT", "L", 1, 0)]
ALLEL_FIELDS = [("INDEX", "N", 6, 0), ("NOMER", "N", 6, 0), ("ALLEL", "C", 254, 0),
                ("OT", "L", 1, 0)]
FENOTIP_FIELDS = [("INDEX", "N", 6, 0), ("NOMER", "N", 6, 0), ("GOLOV", "N", 10, 0),
                  ("OT", "L", 1, 0)]

LONG_NAME = "Группа крови АВ0 у населения области, 1999 год"  # 46 characters


def engine_writes(folder):
    """Writes three tasks and deletes the middle one; returns the rows expected in the files,
    in record order, as dbfread gives them."""
    operations = [
        ("add", "SPISOK", {"INDEX": "9999", "OT": "T", "NAME": "Резус-фактор",
                           "DATA": "05.03.2024", "TIME": "9.5", "KOLALL": "2",
                           "KOLTEST": "1", "KOLFEN": "3", "KNOP1": "1", "KNOP2": "3"}),
        ("add", "SPISOK", {"INDEX": "9998", "OT": "T", "NAME": LONG_NAME,
                           "DATA": "31.12.1999", "TIME": "23.59", "KNOP1": "2",
                           "OTBOR": "T"}),
        ("add", "SPISOK", {"INDEX": "9997", "OT": "T", "NAME": "ёЁ №1 «кавычки»",
                           "KNOP2": "1"}),
        ("add", "ALLEL", {"INDEX": "9999", "NOMER": "1", "ALLEL": "Rh+ D", "OT": "T"}),
        ("add", "ALLEL", {"INDEX": "9998", "NOMER": "27", "ALLEL": "Аа Бб", "OT": "T"}),
        ("add", "ALLEL", {"INDEX": "9999", "NOMER": "2", "ALLEL": "-", "OT": "T"}),
        ("add", "ALLEL", {"INDEX": "9997", "NOMER": "1", "ALLEL": "Ж", "OT": "T"}),
        ("add", "FENOTIP", {"INDEX": "9999", "NOMER": "1", "GOLOV": "19999999", "OT": "T"}),
        ("add", "FENOTIP", {"INDEX": "9997", "NOMER": "2", "GOLOV": "0", "OT": "T"}),
        ("add", "FENOTIP", {"INDEX": "9999", "NOMER": "3", "GOLOV": "7", "OT": "T"}),
        ("free", "ALLEL", "9998"),
        ("free", "FENOTIP", "9998"),
        # A fourth task reuses the free allele row, then appends.
        ("reuse", "ALLEL", "9996", {"NOMER": "5", "ALLEL": "Вв"}),
        ("reuse", "ALLEL", "9996", {"NOMER": "6", "ALLEL": "Гг"}),
    ]
    lines = []
    for op in operations:
        if op[0] == "add":
            lines.append("\t".join(["add", op[1]] + ["%s=%s" % kv for kv in op[2].items()]))
        elif op[0] == "free":
            lines.append("\t".join(op))
        else:
            lines.append("\t".join(["reuse", op[1], op[2]] +
                                   ["%s=%s" % kv for kv in op[3].items()]))
    rows_file = os.path.join(folder, "rows.txt")
    with open(rows_file, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    helper("write", folder, rows_file)

    def spisok(index, name, data=None, time="", kolall=None, koltest=None, kolfen=None,
               knop1=None, knop2=None, otbor=None):
        return {"OTBOR": otbor, "TIME": time, "DATA": data, "NAME": name, "KOLALL": kolall,
                "KOLTEST": koltest, "GOLOV": "", "KOLFEN": kolfen, "KNOP1": knop1,
                "KNOP2": knop2, "INDEX": index, "OT": True}

    return {
        "SPISOK": [
            spisok(9999, "Резус-фактор", datetime.date(2024, 3, 5), "9.5", 2, 1, 3, 1, 3),
            spisok(9998, LONG_NAME[:40], datetime.date(1999, 12, 31), "23.59", knop1=2,
                   otbor=True),
            spisok(9997, "ёЁ №1 «кавычки»", knop2=1),
        ],
        "ALLEL": [
            {"INDEX": 9999, "NOMER": 1, "ALLEL": "Rh+ D", "OT": True},
            {"INDEX": 9996, "NOMER": 5, "ALLEL": "Вв", "OT": True},
            {"INDEX": 9999, "NOMER": 2, "ALLEL": "-", "OT": True},
            {"INDEX": 9997, "NOMER": 1, "ALLEL": "Ж", "OT": True},
            {"INDEX": 9996, "NOMER": 6, "ALLEL": "Гг", "OT": True},
        ],
        "FENOTIP": [
            {"INDEX": 9999, "NOMER": 1, "GOLOV": 19999999, "OT": True},
            {"INDEX": 9997, "NOMER": 2, "GOLOV": 0, "OT": True},
            {"INDEX": 9999, "NOMER": 3, "GOLOV": 7, "OT": True},
        ],
    }


def check_with_dbfread(folder, table, fields, expected):
    path = os.path.join(folder, table + ".DBF")
    reader = dbfread.DBF(path, char_decode_errors="strict")
    check(reader.encoding == "cp1251", "%s: dbfread sees code page %s" % (table, reader.encoding))
    got_fields = [(f.name, f.type, f.length, f.decimal_count) for f in reader.fields]
    check(got_fields == fields, "%s: fields %s" % (table, got_fields))
    records = [dict(r) for r in reader]
    check(records == expected, "%s: records\n  got      %s\n  expected %s"
          % (table, records, expected))
    with open(path, "rb") as f:
        raw = f.read()
    check(raw[0] == 0x03 and raw[28] & 0x01 and raw[29] == 0xC9,
          "%s: version 0x03, CDX flag and code page 0xC9" % table)
    return records


def check_with_index_dump(folder, table, records):
    cdx = os.path.join(folder, table + ".CDX")
    output = subprocess.run(["index_dump", "--type=num", cdx, "INDEX"], capture_output=True,
                            text=True, check=True).stdout.split("\n")
    walked = [(float(key), int(recno)) for key, recno in
              (line.split() for line in output if line.strip())]
    expected = sorted((float(r["INDEX"]), n + 1) for n, r in enumerate(records))
    check(walked == expected, "%s.CDX walked by index_dump as %s, rows say %s"
          % (table, walked, expected))


def check_with_ogrinfo(folder):
    output = subprocess.run(["ogrinfo", "-ro", "-al", os.path.join(folder, "SPISOK.DBF")],
                            capture_output=True, text=True, check=True).stdout
    check("NAME (String) = Резус-фактор" in output and "Feature Count: 3" in output,
          "ogrinfo reads SPISOK.DBF with its Cyrillic name:\n" + output)


def dump(folder, table):
    rows = []
    for line in helper("dump", folder, table).splitlines():
        rows.append(dict(part.split("=", 1) for part in line.split("\t")))
    return rows


def foreign_tables(folder, dbf_type):
    """Tables written by python3-dbf with other field orders and widths."""
    spisok = dbf.Table(os.path.join(folder, "SPISOK.DBF"),
                       "NAME C(60); INDEX N(8,0); OT L; OTBOR L; DATA D; TIME C(8); "
                       "KOLALL N(4,0); KOLTEST N(4,0); KOLFEN N(5,0); GOLOV C(3); "
                       "KNOP1 N(2,0); KNOP2 N(2,0)", dbf_type=dbf_type, codepage="cp1251")
    spisok.open(dbf.READ_WRITE)
    spisok.append({"name": "Система MN, длинное название задачи больше сорока",
                   "index": 9990, "ot": True, "data": datetime.date(2023, 1, 2),
                   "time": "12.0", "knop1": 2, "knop2": 1})
    spisok.append({"name": "Свободная", "index": 9991, "ot": False})
    spisok.close()
    allel = dbf.Table(os.path.join(folder, "ALLEL.DBF"),
                      "OT L; ALLEL C(100); NOMER N(3,0); INDEX N(6,0)",
                      dbf_type=dbf_type, codepage="cp1251")
    allel.open(dbf.READ_WRITE)
    allel.append({"ot": True, "allel": "M N", "nomer": 1, "index": 9990})
    allel.append({"ot": True, "allel": "Ээ", "nomer": 2, "index": 9989})
    allel.close()
    fenotip = dbf.Table(os.path.join(folder, "FENOTIP.DBF"),
                        "GOLOV N(12,0); OT L; INDEX N(6,0); NOMER N(6,0)",
                        dbf_type=dbf_type, codepage="cp1251")
    fenotip.open(dbf.READ_WRITE)
    fenotip.append({"golov": 12345678, "ot": True, "index": 9990, "nomer": 3})
    fenotip.close()


def check_foreign(dbf_type):
    with tempfile.TemporaryDirectory() as folder:
        foreign_tables(folder, dbf_type)
        spisok = dump(folder, "SPISOK")
        check([(r["INDEX"], r["NAME"], r["OT"], r["DATA"], r["KNOP1"]) for r in spisok] ==
              [("9990", "Система MN, длинное название задачи больше сорока", "True",
                "02.01.2023", "2"), ("9991", "Свободная", "False", "", "")],
              "%s SPISOK read by the engine: %s" % (dbf_type, spisok))
        allel = dump(folder, "ALLEL")
        check([(r["INDEX"], r["NOMER"], r["ALLEL"]) for r in allel] ==
              [("9989", "2", "Ээ"), ("9990", "1", "M N")],
              "%s ALLEL read by the engine: %s" % (dbf_type, allel))
        fenotip = dump(folder, "FENOTIP")
        check([(r["INDEX"], r["GOLOV"]) for r in fenotip] == [("9990", "12345678")],
              "%s FENOTIP read by the engine: %s" % (dbf_type, fenotip))

        # The engine writes into the foreign layout; dbfread reads the result.
        rows_file = os.path.join(folder, "rows.txt")
        with open(rows_file, "w", encoding="utf-8") as f:
            f.write("reuse\tSPISOK\t9989\tNAME=Новая\tDATA=07.08.2024\n"
                    "add\tALLEL\tINDEX=9989\tNOMER=3\tALLEL=Юю\tOT=T\n"
                    "free\tFENOTIP\t9990\n")
        helper("write", folder, rows_file)
        records = [dict(r) for r in dbfread.DBF(os.path.join(folder, "SPISOK.DBF"))]
        check([(r["INDEX"], r["NAME"], r["OT"], r["DATA"]) for r in records] ==
              [(9990, "Система MN, длинное название задачи больше сорока", True,
                datetime.date(2023, 1, 2)),
               (9989, "Новая", True, datetime.date(2024, 8, 7))],
              "%s SPISOK after the engine's reuse: %s" % (dbf_type, records))
        records = [dict(r) for r in dbfread.DBF(os.path.join(folder, "ALLEL.DBF"))]
        check([(r["INDEX"], r["NOMER"], r["ALLEL"]) for r in records] ==
              [(9990, 1, "M N"), (9989, 2, "Ээ"), (9989, 3, "Юю")],
              "%s ALLEL after the engine's append: %s" % (dbf_type, records))
        records = [dict(r) for r in dbfread.DBF(os.path.join(folder, "FENOTIP.DBF"))]
        check([(r["GOLOV"], r["OT"]) for r in records] == [(12345678, False)],
              "%s FENOTIP after the engine freed its row: %s" % (dbf_type, records))
        check_with_index_dump(folder, "ALLEL", [dict(r) for r in dbfread.DBF(
            os.path.join(folder, "ALLEL.DBF"))])


with tempfile.TemporaryDirectory() as folder:
    expected = engine_writes(folder)
    for table, fields in (("SPISOK", SPISOK_FIELDS), ("ALLEL", ALLEL_FIELDS),
                          ("FENOTIP", FENOTIP_FIELDS)):
        records = check_with_dbfread(folder, table, fields, expected[table])
        check_with_index_dump(folder, table, records)
    check_with_ogrinfo(folder)

check_foreign("db3")
check_foreign("vfp")

finish("interoperation")
print("interoperation checks passed")
