#!/usr/bin/env python3
"""tessaro-cli report --xlsx on a copy of the bundled data, read back with a
reader that is not ours (openpyxl): three sheets by name, the figures as
numbers equal to the stored values with formats of the decimals printed,
the texts exact.

    workbook_check.py TESSARO_CLI SOURCE_DIR

Exits 77 (skipped) when openpyxl is not installed (python3-openpyxl).
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

try:
    import openpyxl
except ImportError:
    print("openpyxl is not installed (Debian package python3-openpyxl)")
    sys.exit(77)

cli, source = sys.argv[1], sys.argv[2]
OXIDES = ["SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O", "QTCF1", "QTCF2", "QTCF3", "HJ"]
failures = []


def run(base, *args):
    r = subprocess.run([cli, *args, "--dir", base], capture_output=True, text=True, timeout=60)
    if r.returncode != 0:
        sys.exit(f"tessaro-cli {' '.join(args)}: status {r.returncode}\n{r.stderr}")
    return r.stdout


def dump(base, table):
    return [json.loads(line) for line in run(base, "dump", table).splitlines() if line.strip()]


def decimals_format(value):
    """The number format that shows `value` as the report prints it (up to 15 digits, no trailing zeros)."""
    text = "%.15g" % value
    return "0." + "0" * len(text.split(".")[1]) if "." in text else "0"


def figure(cell, value, fmt=None):
    value = 0 if value is None else value
    fmt = fmt or decimals_format(value)
    if cell.data_type != "n" or abs(cell.value - value) > 1e-9 or cell.number_format != fmt:
        failures.append(f"{cell.parent.title}!{cell.coordinate}: {cell.value!r} ({cell.data_type}, "
                        f"{cell.number_format}), expected the number {value} shown as {fmt}")


def text(cell, expected):
    if cell.value != expected:
        failures.append(f"{cell.parent.title}!{cell.coordinate}: {cell.value!r}, expected {expected!r}")


def check_formula_sheet(sheet, base):
    target = dump(base, "target")[0]
    text(sheet["A1"], target["NAME"] + "_计算结果")
    for col, title in zip("ABCDEFGHIJKLMNOPQ", ["名称", "配方1", "配方2", "SiO2", "AL2O3", "Fe2O3", "TiO2", "CaO",
                                                "MgO", "K2O", "Na2O", "其它1", "其它2", "其它3", "合计", "单价", "备注"]):
        text(sheet[f"{col}4"], title)
    rows = [r for r in dump(base, "formula") if r["BH"] == "1"]
    for i, r in enumerate(rows, start=5):
        text(sheet[f"A{i}"], r["NAME"])
        figure(sheet[f"B{i}"], r["NUM1"])
        figure(sheet[f"C{i}"], r["NUM2"])
        for col, field in zip("DEFGHIJKLMNO", OXIDES):
            figure(sheet[f"{col}{i}"], r[field])
        figure(sheet[f"P{i}"], r["DJ"])
    summary = len(rows) + 6
    text(sheet[f"A{summary}"], "目标配方")
    text(sheet[f"B{summary}"], target["NAME"])
    for k, r in enumerate(dump(base, "result")):
        row = summary + 2 + k
        text(sheet[f"A{row}"], f"配方{k + 1} 化学组成")
        for col, field in zip("DEFGHIJKLMNO", OXIDES):
            figure(sheet[f"{col}{row}"], r[field])
        figure(sheet[f"P{row}"], r["DJ"])
        text(sheet[f"Q{row}"], r["BZ"])


def check_property_sheet(sheet, base):
    text(sheet["A1"], "配方性能")
    rows = dump(base, "property")
    if not rows:
        failures.append("the property table is empty: the glaze command did not run")
    for i, r in enumerate(rows, start=3):
        for col, (field, value) in zip("ABCDEFGHIJKLMN", r.items()):
            if isinstance(value, str):
                text(sheet[f"{col}{i}"], value or None)
            else:
                figure(sheet[f"{col}{i}"], value)


def check_batch_sheet(sheet, base):
    text(sheet["A1"], "配料单")
    figure(sheet["B4"], 25, "0.000")
    figure(sheet["B5"], 35, "0.00")
    text(sheet["A7"], "1＃配比")
    row = 9
    for r in dump(base, "formula"):
        if not r["NUM1"]:
            continue
        text(sheet[f"A{row}"], r["NAME"])
        figure(sheet[f"B{row}"], r["NUM1"], "0.00")
        figure(sheet[f"C{row}"], round(r["NUM1"] * 25 / 100 + 1e-12, 3), "0.000")
        row += 1
    text(sheet[f"A{row}"], "干料合计")
    figure(sheet[f"C{row}"], 25, "0.000")


with tempfile.TemporaryDirectory() as base:
    shutil.copytree(os.path.join(source, "数据库"), os.path.join(base, "数据库"))
    run(base, "calc")
    run(base, "glaze")
    out = os.path.join(base, "结果.xlsx")
    run(base, "report", "--xlsx", out, "--weight", "25", "--water", "35")
    book = openpyxl.load_workbook(out)
    if book.sheetnames != ["配方计算结果", "配方性能", "配料单"]:
        sys.exit(f"sheets {book.sheetnames}")
    check_formula_sheet(book["配方计算结果"], base)
    check_property_sheet(book["配方性能"], base)
    check_batch_sheet(book["配料单"], base)

if failures:
    sys.exit("\n".join(failures))
print("workbook read back: three sheets, figures as numbers")
