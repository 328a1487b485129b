#!/usr/bin/env python3
"""Writes a small tree of Java files, each with one control or other special
character in one place (string, character literal, text block, line and
block comment, between tokens, inside an identifier, at the end of the
file), for checking the syntax-tree analysis against javac on them:

    tools/javac-check/control-tree.py DIR && tools/javac-check/compare.sh DIR

Each file is DIR/PLACE_CODEPOINT/P.java.
"""
import os
import sys

CHARS = list(range(0x00, 0x20)) + [0x7F, 0x85, 0xA0, 0x200B, 0x2028, 0x2029, 0x3000, 0xFEFF]
PLACES = {
    "str": 'class P {{\n  String s = "a{c}b";\n  void m() {{ int x = 1; }}\n}}\n',
    "chr": "class P {{\n  char c = '{c}';\n  void m() {{ int x = 1; }}\n}}\n",
    "tb": 'class P {{\n  String s = """\n    a{c}b // "q" /* \\\\ */\n    """;\n  void m() {{ int x = 1; }}\n}}\n',
    "lc": "class P {{\n  // a{c}b\n  void m() {{ int x = 1; }}\n}}\n",
    "bc": "class P {{\n  /* a{c}b */\n  void m() {{ int x = 1; }}\n}}\n",
    "out": "class P {{\n  int y ={c} 2;\n  void m() {{ int x = 1; }}\n}}\n",
    "id": "class P {{\n  int y{c}z = 2;\n  void m() {{ int x = 1; }}\n}}\n",
    "eof": "class P {{\n  void m() {{ int x = 1; }}\n}}\n{c}",
}


def main():
    root = sys.argv[1]
    for cp in CHARS:
        for place, text in PLACES.items():
            folder = os.path.join(root, f"{place}_{cp:04x}")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "P.java"), "w", encoding="utf-8", newline="") as f:
                f.write(text.format(c=chr(cp)))


if __name__ == "__main__":
    main()
