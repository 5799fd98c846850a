#!/usr/bin/env python3
"""Checks that includes only point down the layers: a source file may include headers of its own folder
and of the folders before it in LAYERS, never of a folder after it. The core comes first (standard library
only), then the command-line tool, then the floor of the Qt application and its rooms, then the roof.
Prints every include that points up and exits with 1 when there is one.

Usage: tools/check_layers.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

LAYERS = [
    # the core
    "text", "platform", "model", "search", "catalog", "catalogfile", "export",
    # the command-line tool, over the core only
    "cli",
    # the Qt application: the floor, the rooms from the lowest, the roof
    "gui", "grid", "dialogs", "desktop", "preview", "views", "commands", "app",
]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/')


def upward_includes(root):
    for folder in LAYERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".hpp", ".c", ".cpp"):
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in LAYERS and LAYERS.index(match.group(1)) > LAYERS.index(folder):
                    yield f"{path.relative_to(root)}:{number}: {folder}/ includes {match.group(1)}/, a layer above it"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(upward_includes(root))
    for line in found:
        print(line)
    print(f"{len(found)} include(s) point up the layers: {' < '.join(LAYERS)}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
