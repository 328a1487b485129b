#!/usr/bin/env python3
"""Compares the TSV records of rzt-modern-dump with those of JavacCheck.

Usage: compare.py MODERN.tsv JAVAC.tsv
Files with syntax errors on either side are left out. For every other file
the records are compared in order; the agreement per column and the first
disagreements of each column are printed.
"""
import collections
import sys

COLUMNS = {
    "F": ["path", "package", "allLoc", "loc", "commentLoc", "blankLoc", "classes", "imports", "errors"],
    "C": ["path", "class", "kind", "access", "extends", "implements", "statements", "publicMethods",
          "methods", "publicClassMethods", "classMethods", "publicVariables", "variables",
          "publicClassVariables", "classVariables", "constants", "innerClasses", "staticBlocks"],
    "M": ["path", "class", "method", "abstract", "type", "access", "returns", "final", "native",
          "synchronized", "arguments", "throws", "statements", "sends", "creations", "variables",
          "constants", "if", "for", "while", "do", "switch", "try", "return", "throw", "anonymous"],
}


def load(path):
    files = collections.OrderedDict()
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            row = line.rstrip("\n").split("\t")
            if len(row) < 2:
                continue
            files.setdefault(row[1], []).append(row)
    return files


def errors(records):
    for r in records:
        if r[0] == "F":
            return int(r[-1])
    return -1


def main():
    modern, javac = load(sys.argv[1]), load(sys.argv[2])
    compared = agreeing = skipped = 0
    record_total = collections.Counter()
    cell_total = collections.Counter()
    cell_diff = collections.Counter()
    examples = collections.defaultdict(list)
    shape_diffs = []
    for path, mrecs in modern.items():
        jrecs = javac.get(path)
        if jrecs is None or errors(mrecs) != 0 or errors(jrecs) != 0:
            skipped += 1
            continue
        compared += 1
        same = True
        if [r[0] for r in mrecs] != [r[0] for r in jrecs] or len(mrecs) != len(jrecs):
            same = False
            shape_diffs.append(path)
        for m, j in zip(mrecs, jrecs):
            if m[0] != j[0]:
                continue
            kind = m[0]
            record_total[kind] += 1
            names = COLUMNS[kind]
            last = len(names) - 1 if kind == "F" else len(names)  # the error column is not compared
            for i in range(2, last + 1):
                col = kind + "." + names[i - 1]
                cell_total[col] += 1
                if m[i] != j[i]:
                    same = False
                    cell_diff[col] += 1
                    if len(examples[col]) < 5:
                        examples[col].append((path, m[2] if kind != "F" else "", m[3] if kind == "M" else "", m[i], j[i]))
        agreeing += same
    print(f"files compared: {compared} (left out, syntax errors on either side or missing: {skipped})")
    print(f"files agreeing in every record and cell: {agreeing} ({100.0 * agreeing / max(compared, 1):.2f}%)")
    print("records compared: " + ", ".join(f"{k} {v}" for k, v in sorted(record_total.items())))
    print(f"files whose record sequences differ in length or kind: {len(shape_diffs)}")
    for p in shape_diffs[:10]:
        print("  " + p)
    cells = sum(cell_total.values())
    diffs = sum(cell_diff.values())
    print(f"cells compared: {cells}, disagreeing: {diffs} ({100.0 * (cells - diffs) / max(cells, 1):.4f}% agree)")
    for col, n in cell_diff.most_common():
        print(f"  {col}: {n} of {cell_total[col]}")
        for ex in examples[col]:
            print("    " + " | ".join(ex) + "  (modern | javac)")


if __name__ == "__main__":
    main()
