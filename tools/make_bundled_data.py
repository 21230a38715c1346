#!/usr/bin/env python3
"""Writes the bundled data folder 数据库/: the six dBASE tables, KuTitle.ini
and the thermal-expansion factor sets 膨胀系数_*.ini.

    python3 tools/make_bundled_data.py [OUTPUT_FOLDER]

OUTPUT_FOLDER defaults to 数据库 beside this script's parent folder. Standard
library only. The files are written byte for byte the same on every run (the
dates are fixed), so the generated folder can be checked in and compared.

The tables are dBASE III files (version byte 0x03) with the language-driver
byte (offset 29) set to 0x7A, which dBASE readers map to code page 936 (GBK).
Text is GBK, numbers are right-aligned decimal text, dates YYYYMMDD, and each
file ends with the 0x1A end-of-file mark.

Sources of the analyses
-----------------------
The raw-material analyses are typical analyses in weight per cent as analysed
(loss on ignition included), as published for these commercial materials in
manufacturers' typical-analysis sheets and repeated in the common ceramic
raw-material references (Hamer & Hamer "The Potter's Dictionary of
Materials and Techniques", Rhodes "Clay and Glazes for the Potter"),
rounded to the figures shown. The Chinese porcelain
stone is a typical Jingdezhen analysis from textbook tables. Pure minerals
(calcite, dolomite, alumina hydrate) are close to their stoichiometric
composition. Real lots differ: a user replaces these with the analyses of
his own materials. Prices are plausible Chinese market prices in 元/吨
(yuan per tonne), only a starting point.

The target compositions are typical compositions of the named body and
glaze types; the bundled working target (the transparent lime glaze) is the
composition of a mixture of the eight bundled raw materials (see
WORKING_MIX), so that the first calculation on a fresh install succeeds.
"""

import os
import struct
import sys
from datetime import date
from decimal import ROUND_HALF_UP, Decimal

DATA_DATE = date(2026, 12, 9)

OXIDES = ["SIO2", "AL2O3", "FE2O3", "TIO2", "CAO", "MGO", "K2O", "NA2O", "QTCF1", "QTCF2", "QTCF3"]

# The libraries keep the three other oxides in fixed columns:
# 其它1 (QTCF1) = B2O3, 其它2 (QTCF2) = ZnO, 其它3 (QTCF3) = BaO.


def fixed(value, decimals):
    """value as "%8.Nf" shows it in the program: taken to 15 significant
    digits, then rounded half away from zero in decimal."""
    d = Decimal(format(value, ".15g"))
    q = Decimal(1).scaleb(-decimals)
    r = d.quantize(q, rounding=ROUND_HALF_UP)
    if r == 0:
        r = abs(r)
    return r


def round2(value):
    return float(fixed(value, 2))


# ---------------------------------------------------------------------------
# Material library (YLK.DBF). A row is either a category ("*...*") or
# (name, analysis, IL, price in 元/吨, remark). The analysis lists only the
# non-zero oxides.

MATERIALS = [
    ("*粘土类*",),
    ("高岭土(EPK)", dict(SIO2=45.73, AL2O3=37.36, FE2O3=0.79, TIO2=0.37, CAO=0.17, MGO=0.10, K2O=0.33, NA2O=0.07),
     13.80, 3800, "美国佛州高岭土典型值"),
    ("高岭土(Grolleg)", dict(SIO2=48.00, AL2O3=37.00, FE2O3=0.70, TIO2=0.02, CAO=0.10, MGO=0.30, K2O=1.85, NA2O=0.10),
     12.00, 4200, "英国康沃尔高岭土典型值"),
    ("球土(OM-4)", dict(SIO2=51.50, AL2O3=28.50, FE2O3=1.00, TIO2=1.60, CAO=0.30, MGO=0.40, K2O=0.90, NA2O=0.20),
     14.20, 2600, "美国肯塔基球土典型值"),
    ("耐火粘土(Hawthorn)", dict(SIO2=57.00, AL2O3=26.50, FE2O3=1.20, TIO2=1.40, CAO=0.20, MGO=0.50, K2O=1.20, NA2O=0.10),
     11.00, 1500, "耐火粘土典型值"),
    ("膨润土(钠基)", dict(SIO2=63.00, AL2O3=21.10, FE2O3=3.30, TIO2=0.14, CAO=0.65, MGO=2.70, K2O=0.50, NA2O=2.60),
     5.60, 1400, "怀俄明钠基膨润土典型值"),
    ("*长石类*",),
    ("钾长石(Custer)", dict(SIO2=69.10, AL2O3=17.00, FE2O3=0.10, CAO=0.30, K2O=10.00, NA2O=3.00),
     0.33, 1600, "美国南达科他钾长石典型值"),
    ("钠长石(Minspar 200)", dict(SIO2=68.00, AL2O3=19.00, FE2O3=0.07, CAO=1.50, K2O=4.00, NA2O=7.00),
     0.20, 1400, "美国北卡钠长石典型值"),
    ("霞石正长岩(A270)", dict(SIO2=60.20, AL2O3=23.60, FE2O3=0.08, CAO=0.30, MGO=0.05, K2O=4.80, NA2O=10.50),
     0.50, 4500, "加拿大霞石正长岩典型值"),
    ("瓷石(景德镇)", dict(SIO2=73.50, AL2O3=16.20, FE2O3=0.60, TIO2=0.05, CAO=0.90, MGO=0.20, K2O=3.20, NA2O=2.50),
     2.80, 600, "景德镇瓷石典型值"),
    ("*硅质原料*",),
    ("石英(325目)", dict(SIO2=99.50, AL2O3=0.20, FE2O3=0.03, TIO2=0.02, CAO=0.05),
     0.20, 650, "石英粉典型值"),
    ("燧石(Flint)", dict(SIO2=98.00, AL2O3=0.50, FE2O3=0.20, CAO=0.40, NA2O=0.10),
     0.80, 1000, "燧石粉典型值"),
    ("*钙镁质原料*",),
    ("方解石(碳酸钙)", dict(SIO2=0.40, AL2O3=0.10, FE2O3=0.05, CAO=55.50, MGO=0.30),
     43.60, 450, "方解石粉典型值"),
    ("白云石", dict(SIO2=0.50, AL2O3=0.20, FE2O3=0.10, CAO=30.20, MGO=21.60),
     47.20, 400, "白云石粉典型值"),
    ("滑石", dict(SIO2=61.00, AL2O3=0.80, FE2O3=0.30, CAO=0.80, MGO=31.00),
     5.80, 1600, "滑石粉典型值"),
    ("硅灰石(NYAD)", dict(SIO2=51.00, AL2O3=0.30, FE2O3=0.30, CAO=47.00, MGO=0.30),
     0.90, 1500, "美国纽约硅灰石典型值"),
    ("*其它原料*",),
    ("氧化铝(煅烧)", dict(SIO2=0.05, AL2O3=99.50, FE2O3=0.03, NA2O=0.30),
     0.10, 6500, "煅烧氧化铝典型值"),
    ("氢氧化铝", dict(SIO2=0.02, AL2O3=65.00, FE2O3=0.02, NA2O=0.30),
     34.60, 3500, "氢氧化铝典型值"),
    ("熔块(Ferro 3134)", dict(SIO2=46.50, CAO=20.10, NA2O=10.30, QTCF1=23.10),
     0.00, 9000, "含硼熔块典型值,其它1为B2O3"),
    ("氧化锌", dict(QTCF2=99.50, FE2O3=0.01),
     0.30, 23000, "氧化锌典型值,其它2为ZnO"),
    ("碳酸钡", dict(SIO2=0.20, FE2O3=0.01, QTCF3=77.20),
     22.30, 4800, "碳酸钡典型值,其它3为BaO"),
    ("氧化铁(红)", dict(SIO2=0.50, AL2O3=0.30, FE2O3=98.00),
     1.00, 5500, "氧化铁红典型值"),
]

# Target library (pfk.dbf): (name, analysis, IL, remark) or a category.
# The transparent lime glaze is the one the working target table holds.
TRANSPARENT_GLAZE = "透明釉(石灰釉)"

TARGETS = [
    ("*坯料*",),
    ("硬质瓷坯", dict(SIO2=65.80, AL2O3=22.60, FE2O3=0.45, TIO2=0.20, CAO=0.60, MGO=0.35, K2O=3.10, NA2O=1.10),
     5.60, "硬质瓷坯典型组成(生坯分析)"),
    ("炻器坯", dict(SIO2=66.20, AL2O3=21.00, FE2O3=1.40, TIO2=0.90, CAO=0.50, MGO=0.60, K2O=2.40, NA2O=0.90),
     6.00, "炻器坯典型组成(生坯分析)"),
    ("卫生瓷坯", dict(SIO2=64.50, AL2O3=22.80, FE2O3=0.70, TIO2=0.40, CAO=0.80, MGO=0.50, K2O=2.20, NA2O=1.30),
     6.50, "卫生瓷坯典型组成(生坯分析)"),
    ("*釉料*",),
    # Filled in from WORKING_MIX below.
    (TRANSPARENT_GLAZE, None, 0.00, "1250℃石灰透明釉(烧后组成)"),
    ("亚光釉(镁质)", dict(SIO2=58.00, AL2O3=19.20, FE2O3=0.20, CAO=11.00, MGO=6.60, K2O=3.50, NA2O=1.50),
     0.00, "1250℃镁质亚光釉(烧后组成)"),
    ("青瓷釉", dict(SIO2=67.50, AL2O3=14.80, FE2O3=1.60, TIO2=0.10, CAO=10.20, MGO=0.80, K2O=3.80, NA2O=0.90),
     0.00, "还原焰青瓷釉(烧后组成)"),
    ("锌光泽釉", dict(SIO2=62.00, AL2O3=13.00, FE2O3=0.10, CAO=9.50, MGO=0.60, K2O=3.60, NA2O=2.20, QTCF2=9.00),
     0.00, "1200℃锌光泽釉(烧后组成),其它2为ZnO"),
    ("低温熔块釉", dict(SIO2=55.00, AL2O3=9.50, FE2O3=0.10, CAO=11.50, MGO=0.50, K2O=1.00, NA2O=6.00, QTCF1=16.40),
     0.00, "1050℃含硼熔块釉(烧后组成),其它1为B2O3"),
]

# The raw materials of the working formula table, in table order, and the
# mixture (raw proportions, loss on ignition included) whose fired
# composition is the bundled transparent glaze.
WORKING_MIX = [
    ("钾长石(Custer)", 30.0),
    ("钠长石(Minspar 200)", 10.0),
    ("石英(325目)", 27.0),
    ("方解石(碳酸钙)", 14.0),
    ("白云石", 6.0),
    ("滑石", 3.0),
    ("高岭土(EPK)", 8.0),
    ("硅灰石(NYAD)", 2.0),
]


def library_records():
    """Material library records with BH, HJ (the rounded sum of the eleven
    oxides and IL, as the library window computes it) and the date."""
    records = []
    for bh, row in enumerate(MATERIALS, start=1):
        if len(row) == 1:
            records.append(dict(BH=bh, NAME=row[0]))
            continue
        name, analysis, il, price, remark = row
        rec = dict(BH=bh, NAME=name, IL=il, DJ=price, BZ=remark, DATE=DATA_DATE)
        for f in OXIDES:
            rec[f] = analysis.get(f, 0.0)
        rec["HJ"] = hj_of(rec)
        records.append(rec)
    return records


def hj_of(rec):
    total = 0.0
    for f in OXIDES + ["IL"]:
        total += rec[f]
    return round2(total)


def ignition_free(rec):
    """The transfer's conversion: each oxide x 100 / (HJ - IL), "%8.2f"."""
    d = rec["HJ"] - rec["IL"]
    return {f: round2(rec[f] / d * 100) for f in OXIDES}


def working_glaze(materials):
    """Fired composition of WORKING_MIX in weight per cent, rounded to two
    decimals: the bundled transparent glaze."""
    by_name = {m["NAME"]: m for m in materials}
    fired = {f: 0.0 for f in OXIDES}
    weight = 0.0
    for name, raw in WORKING_MIX:
        m = by_name[name]
        for f in OXIDES:
            fired[f] += raw * m[f]
        weight += raw * (m["HJ"] - m["IL"])
    return {f: round2(fired[f] / weight * 100) for f in OXIDES if round2(fired[f] / weight * 100) != 0}


def target_records(materials):
    records = []
    for bh, row in enumerate(TARGETS, start=1):
        if len(row) == 1:
            records.append(dict(BH=bh, NAME=row[0]))
            continue
        name, analysis, il, remark = row
        if analysis is None:
            analysis = working_glaze(materials)
        rec = dict(BH=bh, NAME=name, IL=il, BZ=remark, DATE=DATA_DATE)
        for f in OXIDES:
            rec[f] = analysis.get(f, 0.0)
        rec["HJ"] = hj_of(rec)
        records.append(rec)
    return records


def formula_records(materials):
    """The working formula table as the transfer of each WORKING_MIX
    material leaves it: ignition-free oxides, the library's IL, HJ, DJ, BZ
    and DATE; NUM1, NUM2, BH and the mandatory marks empty."""
    by_name = {m["NAME"]: m for m in materials}
    records = []
    for name, _ in WORKING_MIX:
        m = by_name[name]
        rec = dict(NAME=name, IL=m["IL"], HJ=m["HJ"], DJ=m["DJ"], BZ=m["BZ"], DATE=m["DATE"])
        rec.update(ignition_free(m))
        records.append(rec)
    return records


def target_table_record(targets):
    """The working target table as the transfer of the transparent glaze
    leaves it: ignition-free oxides, IL kept, HJ the sum of the eleven
    stored values."""
    t = next(r for r in targets if r["NAME"] == TRANSPARENT_GLAZE)
    rec = dict(NAME=t["NAME"], IL=t["IL"], BZ=t["BZ"], DATE=t["DATE"])
    rec.update(ignition_free(t))
    total = 0.0
    for f in OXIDES:
        total += rec[f]
    rec["HJ"] = round2(total)
    return rec


# ---------------------------------------------------------------------------
# Table layouts, fields in file order: (name, type, width, decimals).

def n(name, width, decimals):
    return (name, "N", width, decimals)


def c(name, width):
    return (name, "C", width, 0)


DATE_FIELD = ("DATE", "D", 8, 0)

# Library analyses keep three decimals; working compositions are written
# with two but may be typed with three, and IL, HJ and DJ are copied from
# the library, so the working tables keep three as well.
LIB_N = (10, 3)
PRICE_N = (12, 3)
PROP_N = (10, 2)       # raw proportions: at most two decimals
PROPERTY_N = (16, 6)   # oxide formula numbers and properties

FORMULA_FIELDS = (
    [c("NAME", 30)]
    + [n(f, *LIB_N) for f in ["SIO2", "AL2O3", "CAO", "MGO", "K2O", "NA2O", "FE2O3", "TIO2", "QTCF1", "QTCF2", "QTCF3", "IL", "HJ"]]
    + [c("BXL1", 8), c("BXL2", 8), c("BXL3", 8), n("DJ", *PRICE_N), n("NUM1", *PROP_N), n("NUM2", *PROP_N),
       DATE_FIELD, c("BZ", 50), c("BH", 10)]
)

TARGET_FIELDS = (
    [c("NAME", 30)]
    + [n(f, *LIB_N) for f in ["SIO2", "AL2O3", "CAO", "MGO", "K2O", "NA2O", "FE2O3", "TIO2", "QTCF1", "QTCF2", "QTCF3", "IL", "HJ"]]
    + [c("BXL1", 8), c("BXL2", 8), c("BXL3", 8), DATE_FIELD, c("BZ", 50), c("BH", 10)]
)

RESULT_FIELDS = (
    [c("NAME", 8)]
    + [n(f, *LIB_N) for f in ["SIO2", "AL2O3", "CAO", "MGO", "K2O", "NA2O", "FE2O3", "TIO2", "QTCF1", "QTCF2", "QTCF3", "IL", "HJ"]]
    + [c("BXL1", 8), c("BXL2", 8), c("BXL3", 8), n("DJ", *PRICE_N), DATE_FIELD, c("BZ", 50), c("BH", 30)]
)

PROPERTY_FIELDS = []
for side in "01":
    PROPERTY_FIELDS += [c("NAME" + side, 20), c("RONAME" + side, 8), n("RO" + side, *PROPERTY_N),
                        c("R2O3NAME" + side, 8), n("R2O3" + side, *PROPERTY_N),
                        c("RO2NAME" + side, 8), n("RO2" + side, *PROPERTY_N)]

MATERIAL_LIBRARY_FIELDS = (
    [n("BH", 6, 0), c("NAME", 30)]
    + [n(f, *LIB_N) for f in OXIDES + ["IL", "HJ"]]
    + [n("DJ", *PRICE_N), c("BZ", 50), DATE_FIELD]
)

TARGET_LIBRARY_FIELDS = (
    [n("BH", 6, 0), c("NAME", 30)]
    + [n(f, *LIB_N) for f in OXIDES + ["IL", "HJ"]]
    + [c("BZ", 50), DATE_FIELD]
)


# ---------------------------------------------------------------------------
# dBASE III writer.

LANGUAGE_DRIVER_GBK = 0x7A


def encode_field(field, value):
    name, kind, width, decimals = field
    if value is None or value == "":
        return b" " * width
    if kind == "C":
        raw = str(value).encode("gbk")
        if len(raw) > width:
            raise ValueError(f"{name}: {value!r} is longer than {width} bytes")
        return raw.ljust(width, b" ")
    if kind == "N":
        text = str(fixed(value, decimals))
        if Decimal(text) != Decimal(format(value, ".15g")):
            raise ValueError(f"{name}: {value!r} does not keep its value with {decimals} decimals")
        if len(text) > width:
            raise ValueError(f"{name}: {value!r} does not fit N({width},{decimals})")
        return text.rjust(width).encode("ascii")
    if kind == "D":
        return value.strftime("%Y%m%d").encode("ascii")
    raise ValueError(kind)


def dbf_bytes(fields, records):
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1
    header = struct.pack(
        "<BBBBIHH20x", 0x03, DATA_DATE.year - 1900, DATA_DATE.month, DATA_DATE.day,
        len(records), header_length, record_length)
    header = bytearray(header)
    header[29] = LANGUAGE_DRIVER_GBK
    out = bytearray(header)
    for name, kind, width, decimals in fields:
        descriptor = struct.pack("<11sc4xBB14x", name.encode("ascii"), kind.encode("ascii"), width, decimals)
        out += descriptor
    out += b"\x0d"
    for rec in records:
        row = bytearray(b" ")
        for field in fields:
            row += encode_field(field, rec.get(field[0]))
        assert len(row) == record_length
        out += row
    out += b"\x1a"
    assert len(out) == header_length + record_length * len(records) + 1
    return bytes(out)


# ---------------------------------------------------------------------------
# KuTitle.ini

OXIDE_CAPTIONS = ["SiO2", "Al2O3", "Fe2O3", "TiO2", "CaO", "MgO", "K2O", "Na2O", "其它1", "其它2", "其它3"]

SETTINGS = [
    ("配方", ["原料名称", "1＃配比(%)", "2＃配比(%)", "必选1", "必选2", "必选3"] + OXIDE_CAPTIONS
     + ["灼减", "合计", "单价(元/吨)", "备注", "日期", "选用"]),
    ("目标配方", {0: "目标配方名称", 1: "必选量1(%)", 2: "必选量2(%)", 3: "必选量3(%)",
              16: "合计", 17: "备注", 18: "日期"}),
    ("结果", {0: "配比", 1: "单价(元/吨)", 13: "合计", 14: "平均误差率", 15: "日期"}),
    ("原料库", ["编号", "原料名称"] + OXIDE_CAPTIONS + ["灼减", "合计", "单价(元/吨)", "备注", "日期"]),
    ("pfk", ["编号", "目标配方名称"] + OXIDE_CAPTIONS + ["灼减", "合计", "备注", "日期"]),
    ("其它", {"QTCF1": "1", "QTCF2": "1", "QTCF3": "1"}),
]


def settings_bytes():
    lines = ["; Tessaro 表格列标题和其它氧化物分子量"]
    for section, entries in SETTINGS:
        if isinstance(entries, list):
            entries = dict(enumerate(entries))
        lines.append("")
        lines.append(f"[{section}]")
        for key, value in entries.items():
            lines.append(f"{key}={value}")
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


# ---------------------------------------------------------------------------
# Thermal-expansion factor sets 膨胀系数_<name>.ini
#
# Each set is a settings file the user may edit. The factors are the
# published ones, in 10^-7 per degree C; every factor line is preceded by a
# comment naming its source.

EXPANSION_HEADER = [
    "; 格式 / Format",
    "; 文件名中“膨胀系数_”之后的部分是这套因子的名称。本文件为 GBK 编码，可用记事本编辑。",
    "; The part of the file name after \"膨胀系数_\" names the set. The file is GBK encoded.",
    "; 以“;”开头的行是注释。Lines starting with \";\" are comments.",
    ";",
    "; [set]  basis=mol：因子按摩尔百分数计；basis=wt：按质量百分数计。",
    ";        basis=mol: factors per mole per cent; basis=wt: per weight per cent.",
    ";        divisor=除数。膨胀系数 α = Σ(百分数 × 因子) ÷ divisor，单位 10^-7/℃。",
    ";        divisor: alpha = sum(per cent x factor) / divisor, in 10^-7 per degree C.",
    ";        釉的成分先按所含氧化物换算并归一到 100%。",
    ";        The glaze's composition is first normalised to 100 % over its oxides.",
    ";",
    "; [factors]  氧化物=因子            固定因子，例如 CaO=130。",
    ";            OXIDE=FACTOR           a constant factor, e.g. CaO=130.",
    ";            氧化物=因子 | 条件     随成分变化的因子，条件写作",
    ";            OXIDE=FACTOR | RULE    a factor that depends on the composition; RULE is",
    ";              above|below 变量 起点 slope 斜率 [min 下限] [max 上限]",
    ";              above|below VARIABLE START slope SLOPE [min LOW] [max HIGH]",
    ";            变量大于(above)或小于(below)起点时，因子 = 因子 + 斜率 × (变量 - 起点)；",
    ";            结果再限制在下限与上限之间（可只写其一，或都不写）。",
    ";            While the variable is above (below) START: factor = FACTOR + SLOPE x (variable - START),",
    ";            then kept between LOW and HIGH (either may be left out).",
    ";            变量：用“+”连接的氧化物名，取它们的百分数之和，例如 Na2O+K2O+Li2O；",
    ";            或 psi = (RO 组摩尔% - Al2O3 摩尔%) ÷ B2O3 摩尔%，RO 组为 K2O、Na2O、CaO、MgO",
    ";            和名称属 RO 类的其它氧化物；釉中没有 B2O3 时该条件不起作用。",
    ";            VARIABLE: oxide names joined by \"+\" (the sum of their per cents), or",
    ";            psi = (RO-group mol% - Al2O3 mol%) / B2O3 mol%, the RO group being K2O, Na2O, CaO,",
    ";            MgO and the other oxides of RO kind; without B2O3 in the glaze the rule does not apply.",
    ";",
    "; 氧化物名不分大小写。其它氧化物（其它1～3）按其列名与这里的氧化物名对照；",
    "; 按摩尔计的因子还需要设置文件中该氧化物的分子量。",
    "; 釉中含有而本表没有因子的氧化物会被指出，此时不计算膨胀系数（绝不按 0 计）。",
    "; Oxide names ignore letter case. The other oxides (其它1-3) are matched by their column names;",
    "; a mole-per-cent set also needs their molecular weights from the settings file.",
    "; An oxide of the glaze that has no factor here is named, and no coefficient is given.",
    "; K2O 与 Na2O 合并时，合并量按 K2O 的因子计。With K2O and Na2O merged, the sum counts as K2O.",
]

APPEN_SOURCE = ("А. А. Аппен (A. A. Appen)，《玻璃化学》Химия стекла (Chemistry of Glass)，"
                "第 2 版 2nd ed.，Leningrad: Khimiya，1974")

APPEN_FACTORS = [
    ("SiO2", "38 | above SiO2 67 slope -1.0",
     "SiO2 超过 67 mol% 时为 38 - 1.0 × (SiO2 - 67) / above 67 mol% SiO2: 38 - 1.0 x (SiO2 - 67)"),
    ("TiO2", "30 | above SiO2 50 slope -1.5 min -15",
     "SiO2 超过 50 mol% 时为 30 - 1.5 × (SiO2 - 50)，不低于 -15 / above 50 mol% SiO2: 30 - 1.5 x (SiO2 - 50), not below -15"),
    ("PbO", "130 | above Na2O+K2O+Li2O 3 slope 5 max 190",
     "R2O (Na2O+K2O+Li2O) 超过 3 mol% 时为 130 + 5 × (R2O - 3)，不超过 190 / above 3 mol% R2O: 130 + 5 x (R2O - 3), at most 190"),
    ("B2O3", "-50 | below psi 4 slope -12.5 max 0",
     "psi 小于 4 时为 -50 + 12.5 × (4 - psi)，不超过 0 / psi below 4: -50 + 12.5 x (4 - psi), at most 0"),
    ("Li2O", "270", None), ("Na2O", "395", None), ("K2O", "465", None),
    ("BeO", "45", None), ("MgO", "60", None), ("CaO", "130", None), ("SrO", "160", None), ("BaO", "200", None),
    ("ZnO", "50", None), ("CdO", "115", None), ("MnO", "105", None), ("FeO", "55", None), ("CoO", "50", None),
    ("NiO", "50", None), ("Fe2O3", "55", None), ("Al2O3", "-30", None), ("ZrO2", "-60", None),
    ("SnO2", "-45", None),
]

WS_SOURCE = ("A. Winkelmann, O. Schott, Ueber thermische Widerstandscoefficienten verschiedener Glaeser "
             "in ihrer Abhaengigkeit von der chemischen Zusammensetzung, Annalen der Physik und Chemie 51, 1894")
ET_SOURCE = ("S. English, W. E. S. Turner, The Thermal Expansion of Magnesia-containing Glasses, "
             "J. Soc. Glass Technol. 4, T115-T120, 1920")

APPEN_SHORT = "Appen，《玻璃化学》Химия стекла，1974"
WS_SHORT = "Winkelmann & Schott，Annalen der Physik und Chemie 51，1894"
ET_SHORT = "English & Turner，J. Soc. Glass Technol. 4，1920"

WS_FACTORS = [
    ("SiO2", "0.8", True), ("B2O3", "0.1", True), ("Na2O", "10.0", False), ("K2O", "8.5", False),
    ("MgO", "0.1", True), ("CaO", "5.0", False), ("BaO", "3.0", False), ("ZnO", "1.8", False),
    ("PbO", "3.0", False), ("Al2O3", "5.0", False), ("P2O5", "2.0", False), ("As2O5", "2.0", False),
]


def expansion_bytes(title, basis, divisor, source_lines, factors):
    lines = [f"; Tessaro 热膨胀系数因子 / thermal expansion factors: {title}"]
    lines += source_lines + [";"] + EXPANSION_HEADER
    lines += ["", "[set]", f"basis={basis}", f"divisor={divisor}", "", "[factors]"]
    for oxide, value, comment in factors:
        lines.append(f"; {oxide}: {comment}")
        lines.append(f"{oxide}={value}")
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def appen_bytes():
    factors = [(oxide, value, APPEN_SHORT + (f"；{rule}" if rule else "；固定因子 / constant factor"))
               for oxide, value, rule in APPEN_FACTORS]
    return expansion_bytes("Appen", "mol", 100, [
        f"; 来源 / source: {APPEN_SOURCE}。",
        "; 线膨胀系数的摩尔百分数加和因子，单位 10^-7/℃；SiO2、TiO2、PbO、B2O3 的因子随成分变化。",
        "; Additive factors of the linear coefficient per mole per cent, 10^-7 per degree C;",
        "; those of SiO2, TiO2, PbO and B2O3 depend on the composition.",
    ], factors)


def winkelmann_schott_bytes():
    factors = []
    for oxide, value, confirmed in WS_FACTORS:
        comment = f"{WS_SHORT}；体膨胀因子 / cubic factor"
        if confirmed:
            comment += f"；亦见 / also in {ET_SHORT}"
        factors.append((oxide, value, comment))
    return expansion_bytes("Winkelmann-Schott", "wt", 3, [
        f"; 来源 / source: {WS_SOURCE}。",
        f"; SiO2、B2O3、MgO 的因子亦见 / SiO2, B2O3 and MgO also in: {ET_SOURCE}。",
        "; 表中为原文的体膨胀因子（每 1 质量% 的 10^-7/℃）；线膨胀系数为其三分之一，故 divisor=3。",
        "; The factors are the source's cubic ones (10^-7 per degree C per weight per cent);",
        "; the linear coefficient is a third of the cubic, hence divisor=3.",
        "; 原文没有 Fe2O3、TiO2 等的因子：釉中含有它们时不给出膨胀系数。",
        "; The source has no factor for Fe2O3, TiO2 and others: a glaze holding them gets no coefficient.",
    ], factors)


# ---------------------------------------------------------------------------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(here), "数据库")
    os.makedirs(folder, exist_ok=True)

    materials = library_records()
    targets = target_records(materials)
    files = {
        "配方.DBF": dbf_bytes(FORMULA_FIELDS, formula_records(materials)),
        "目标配方.DBF": dbf_bytes(TARGET_FIELDS, [target_table_record(targets)]),
        "结果.DBF": dbf_bytes(RESULT_FIELDS, []),
        "性能.dbf": dbf_bytes(PROPERTY_FIELDS, []),
        "YLK.DBF": dbf_bytes(MATERIAL_LIBRARY_FIELDS, materials),
        "pfk.dbf": dbf_bytes(TARGET_LIBRARY_FIELDS, targets),
        "KuTitle.ini": settings_bytes(),
        "膨胀系数_Appen.ini": appen_bytes(),
        "膨胀系数_Winkelmann-Schott.ini": winkelmann_schott_bytes(),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
