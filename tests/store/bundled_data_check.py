#!/usr/bin/env python3
"""The bundled data folder is what tools/make_bundled_data.py writes, and a
common dBASE reader (dbfread) opens every table of it as GBK.

    bundled_data_check.py SOURCE_DIR

Exits 77 (skipped) when dbfread is not installed.
"""
import os
import sys
import tempfile
import subprocess

source = sys.argv[1]
data = os.path.join(source, "数据库")

with tempfile.TemporaryDirectory() as out:
    subprocess.run([sys.executable, os.path.join(source, "tools", "make_bundled_data.py"), out],
                   check=True, stdout=subprocess.DEVNULL)
    for name in sorted(os.listdir(out)):
        with open(os.path.join(out, name), "rb") as a, open(os.path.join(data, name), "rb") as b:
            if a.read() != b.read():
                sys.exit(f"数据库/{name} differs from what tools/make_bundled_data.py writes")

try:
    from dbfread import DBF
except ImportError:
    print("dbfread is not installed (Debian package python3-dbfread)")
    sys.exit(77)

for name in ["配方.DBF", "目标配方.DBF", "结果.DBF", "性能.dbf", "YLK.DBF", "pfk.dbf"]:
    table = DBF(os.path.join(data, name))
    if table.encoding != "cp936":
        sys.exit(f"{name}: read as {table.encoding}, not as GBK (cp936)")
    rows = list(table)
    if len(rows) != len(table):
        sys.exit(f"{name}: {len(rows)} records read, the header says {len(table)}")
    print(f"{name}: {len(rows)} records")
