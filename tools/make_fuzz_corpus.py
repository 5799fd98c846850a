#!/usr/bin/env python3
"""Writes the seed corpus of the catalog file fuzzer (tests/fuzz/corpus/): small real catalogs that between
them use every part of the format, built by the same independent builder as the qlry tests."""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "cli"))

from catalog_builder import catalog_bytes, count, i32, string, utf16_string  # noqa: E402

CORPUS = os.path.join(HERE, "..", "tests", "fuzz", "corpus")


def seeds():
    yield "empty.qlry", b""
    yield "one-category.qlry", catalog_bytes([("X", [], 4)], [], sort_keys=(-1, -2, -3, -4, -5, 0))
    yield "no-categories.qlry", catalog_bytes([], [])
    categories = [("ジャンル", ["ロック", "a,,b"], 4), ("Artist", [], 4 | 8 | 2), ("年", [""], 4)]
    items = [
        ("", "memo", "title", "/music/曲.mp3", ["ロック,Pop", "Ann", "2007"]),
        ("https://example.org/x", "", "Link", "https://example.org/x", ["a,,b", "", ""]),
        ("song.lnk", "x" * 300, "", "sub/song.txt", ["", "", ""]),
    ]
    filters = [(100, 3, "music", 0, 0), (101, 6, "ロック", 1, 1), (101, 1, "2007/1/5 10:30", 2, 0),
               (101, 5, "needle", 0, 1), (101, 2, "-1", 0, 0)]
    yield "features.qlry", catalog_bytes(categories, items, filters=filters,
                                         sort_keys=(1, -1, -2, -3, -4, -5, 0, 2), use_shortcuts=1)
    yield "relative.qlry", catalog_bytes(categories, items, relative_paths=1)
    many = [("", "", "", f"/files/item{i:03}.txt", [str(i % 7), "", ""]) for i in range(300)]
    yield "300-items.qlry", catalog_bytes(categories, many)
    # A UTF-16 string, a long-form class tag (0x7FFF, 0x80000000 + class index 1) and a null element.
    header = i32(100) + i32(0) + i32(1) * 3 + i32(0) * 2 + i32(0) * 4 + b"\x00" * 5
    key = i32(100) + i32(-1) + i32(1)
    special = header + count(0) + count(3) + b"\xff\xff" + struct.pack("<HH", 1, 9) + b"CSortItem" + key
    special += b"\xff\x7f" + struct.pack("<I", 0x80000001) + i32(100) + i32(-2) + i32(0) + b"\x00\x00"
    special += count(1) + b"\xff\xff" + struct.pack("<HH", 1, 9) + b"CCategory" + i32(100)
    special += utf16_string("café 😀") + i32(-1) + i32(-1) + i32(4) + count(0) + count(0)
    yield "tags.qlry", special
    tag_array = header + count(0) * 3 + count(1) + b"\xff\xff" + struct.pack("<HH", 1, 9) + b"CTagArray"
    yield "tag-array.qlry", tag_array + i32(100) + count(1) + string("t")


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(CORPUS, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
