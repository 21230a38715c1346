#!/usr/bin/env python3
"""Reports source files and functions that have grown too long.

    code_shape.py [--max-file N] [--max-function N] [--list K] SRC

A file is too long past --max-file lines (600), a function past
--max-function lines (60), counted from the line of its name to its closing
brace. A file whose first lines carry the marker "code-shape: data" holds
tables of data and is measured for its functions only. An include of another
layer's header must be one that layer may use (LAYERS below). Exit status 1
when anything is wrong; --list K also prints the K longest files and functions.
"""

import argparse
import os
import re
import sys

SOURCE_SUFFIXES = (".cpp", ".h")
DATA_MARKER = "code-shape: data"
# Words that open a brace which is not a function body.
# What each layer's files may include besides their own layer: whole layers,
# or single headers (the cursor and the value types that app hands the views).
HANDED_OUT = {"store/table.h", "core/format.h"}
LAYERS = {
    "core": set(),
    "store": {"core"},
    "app": {"core", "store"},
    "ui": {"app"} | HANDED_OUT,
    "report": {"app"} | HANDED_OUT,
    "cli": {"app", "report"} | HANDED_OUT,
    "main.cpp": {"ui", "report"},
}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*"([a-z]+)/([^"]+)"', re.M)
NOT_A_FUNCTION = re.compile(r"\b(namespace|class|struct|union|enum|if|for|while|switch|catch|do|else|try)\b")


def strip(text):
    """The text with comments, string and character literals blanked out, line breaks kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            delim = ")" + text[i + 2:k] + '"'
            j = text.find(delim, k)
            j = n if j < 0 else j + len(delim)
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            if c == "'" and 0 < i < n - 1 and text[i - 1].isdigit() and text[i + 1].isalnum():  # 1'000
                out.append(c)
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + c if j - i >= 2 else " " * (j - i))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(text):
    """(name line, first line, last line) of every function body outside another function."""
    code = strip(text)
    # Preprocessor lines are no code of a function's head.
    code = re.sub(r"(?m)^[ \t]*#.*$", lambda m: " " * len(m.group(0)), code)
    found = []
    stack = []  # for each open brace: True when it opens a function body
    start = 0  # where the code before the next brace begins
    depth_in_function = 0
    line = 1
    line_at = []
    for ch in code:
        line_at.append(line)
        if ch == "\n":
            line += 1
    for i, ch in enumerate(code):
        if ch == "{":
            head = code[start:i]
            is_function = False
            if depth_in_function == 0:
                h = head.strip()
                if ")" in h and not NOT_A_FUNCTION.search(h.split("(")[0]) and not h.endswith("=") \
                        and "=" not in h.split("(")[0].split("<")[0]:
                    is_function = True
            stack.append((is_function, i, head))
            if is_function or depth_in_function:
                depth_in_function += 1
            start = i + 1
        elif ch == "}":
            if stack:
                is_function, opened, head = stack.pop()
                if depth_in_function:
                    depth_in_function -= 1
                if is_function:
                    lead = len(head) - len(head.lstrip())
                    first = line_at[opened - len(head) + lead] if head.strip() else line_at[opened]
                    name = head.split("(")[0].split()[-1] if head.split("(")[0].split() else "?"
                    found.append((name, first, line_at[i]))
            start = i + 1
        elif ch == ";":
            if not depth_in_function:
                start = i + 1
    return found


def layer_faults(src, path, text):
    rel = os.path.relpath(path, src)
    layer = rel.split(os.sep)[0]
    allowed = LAYERS.get(layer)
    if allowed is None:
        return []
    faults = []
    for m in INCLUDE.finditer(text):
        other, header = m.group(1), m.group(1) + "/" + m.group(2)
        if other == layer or other not in LAYERS or other in allowed or header in allowed:
            continue
        line = text.count("\n", 0, m.start()) + 1
        faults.append(f"{path}:{line}: {layer} may not include {header}")
    return faults


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("src")
    p.add_argument("--max-file", type=int, default=600)
    p.add_argument("--max-function", type=int, default=60)
    p.add_argument("--list", type=int, default=0)
    a = p.parse_args()
    files, funcs, bad = [], [], []
    for d in [a.src]:
        for root, _, names in os.walk(d):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(root, name)
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                lines = text.count("\n") + (0 if text.endswith("\n") else 1)
                data = DATA_MARKER in "".join(text.splitlines(True)[:5])
                files.append((lines, path))
                bad.extend(layer_faults(a.src, path, text))
                if lines > a.max_file and not data:
                    bad.append(f"{path}: {lines} lines (at most {a.max_file})")
                for fname, first, last in functions(text):
                    length = last - first + 1
                    funcs.append((length, f"{path}:{first} {fname}"))
                    if length > a.max_function:
                        bad.append(f"{path}:{first}: function {fname} has {length} lines (at most {a.max_function})")
    if a.list:
        print("longest files:")
        for lines, path in sorted(files, reverse=True)[:a.list]:
            print(f"  {lines:5} {path}")
        print("longest functions:")
        for length, where in sorted(funcs, reverse=True)[:a.list]:
            print(f"  {length:5} {where}")
    for b in bad:
        print(b)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
