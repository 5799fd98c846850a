#!/usr/bin/python3
"""Adds up the command sweep's files (sweep-<menu>.json, written by sweep_test.py) and prints the figures:
commands tried, acting, greyed, silent. Usage: sweep_tally.py OUTPUT-FOLDER"""

import json
import os
import sys

MENUS = ["file", "edit", "item", "view", "view-sort", "category", "preview", "tools", "help"]


def print_tally(folder):
    """Adds up the sweep files of every menu and prints the figures. Only a report: each menu's own test
    fails for its silent commands."""
    total = {"tried": 0, "acting": 0, "greyed": 0, "silent": 0}
    silent, missing, lines = [], [], []
    say = lines.append  # the lines go to the terminal and into sweep-tally.txt
    for slug in MENUS:
        path = os.path.join(folder, f"sweep-{slug}.json")
        if not os.path.exists(path):
            missing.append(slug)
            continue
        with open(path, encoding="utf-8") as f:
            summary = json.load(f)
        for k in total:
            total[k] += summary[k]
        silent += summary["silent_commands"]
        say(f"{summary['menu']}{' (' + slug + ')' if slug.startswith('view') else ''}: tried {summary['tried']}, "
              f"acting {summary['acting']} {summary['by_outcome']}, greyed {summary['greyed']}, "
              f"silent {summary['silent']} ({summary['seconds']} s, {summary['starts']} starts)")
    say(f"command sweep: tried {total['tried']}, acting {total['acting']}, greyed {total['greyed']}, "
          f"silent {total['silent']}{': ' + ', '.join(silent) if silent else ''}")
    if missing:
        say(f"menus not swept: {', '.join(missing)}")
    text = "\n".join(lines) + "\n"
    sys.stdout.write(text)
    with open(os.path.join(folder, "sweep-tally.txt"), "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(print_tally(sys.argv[1]))
