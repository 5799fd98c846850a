#!/usr/bin/env python3
"""Writes the seed corpora of the browser session and shortcut fuzzers: Chromium session logs
(tests/fuzz/snss-corpus/), Firefox session store JSON (tests/fuzz/firefox-session-corpus/) and internet
shortcuts and desktop links (tests/fuzz/shortcut-corpus/). Each seed is small and between them they use
every command, member and entry the readers look at, plus a few damaged files."""

import json
import os
import struct

FUZZ = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz")


# Chromium session logs: "SNSS", a version, then commands of u16 size, u8 id and payload.
def i32(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def pad4(data):
    return data + b"\x00" * (-len(data) % 4)


def command(command_id, payload):
    return struct.pack("<HB", len(payload) + 1, command_id) + payload


def fields(command_id, *values):
    return command(command_id, i32(*values))


def navigation(tab, index, url, title):
    units = title.encode("utf-16-le", "surrogatepass")
    pickle = i32(tab, index, len(url)) + pad4(url) + i32(len(units) // 2) + pad4(units) + i32(0)
    return command(6, struct.pack("<I", len(pickle)) + pickle)


def snss(version, *commands):
    return b"SNSS" + i32(version) + b"".join(commands)


def snss_seeds():
    yield "header-only", snss(1)
    yield "two-windows", snss(
        3, command(255, b""),
        fields(0, 1, 11), fields(2, 11, 0), navigation(11, 0, b"https://one.example/", "一つ目"), fields(7, 11, 0),
        fields(0, 2, 20), fields(2, 20, 1), navigation(20, 0, b"https://a.example/", "A"),
        navigation(20, 1, b"https://b.example/", "B \U0001F600"), fields(7, 20, 1),
        fields(0, 2, 21), fields(2, 21, 0), navigation(21, 0, b"https://c.example/", "C"),
        fields(8, 2, 1), fields(20, 2))
    history = [navigation(5, i, b"https://h.example/%d" % i, "page %d" % i) for i in range(6)]
    yield "pruned-history", snss(
        3, fields(0, 1, 5), *history, fields(7, 5, 4),
        fields(11, 5, 2), fields(24, 5, 1, 1), fields(5, 5, 2), fields(24, 5, 0, -3))
    yield "closed-tab-and-window", snss(
        1, fields(0, 1, 1), navigation(1, 0, b"https://kept.example/", "kept"),
        fields(0, 1, 2), navigation(2, 0, b"https://closed.example/", "closed"), fields(16, 2, 0, 0, 0),
        fields(0, 9, 3), navigation(3, 0, b"https://gone.example/", "gone"), fields(17, 9, 0, 0, 0),
        fields(0, 9, 1), fields(20, 9))
    yield "odd-titles", snss(
        3, fields(0, 1, 1), navigation(1, 0, b"x" * 300, "\ud800 lone \udc00 and \U0001F600"),
        navigation(1, -1, b"", ""), fields(7, 1, 99), command(40, b"\x01\x02\x03"))
    # The browser was still writing the last command: 0x30 bytes announced, five there.
    yield "half-written-tail", snss(
        3, fields(0, 1, 1), navigation(1, 0, b"https://whole.example/", "whole")) + b"\x30\x00\x06abcd"
    yield "encrypted", snss(4, fields(0, 1, 1))
    yield "short-command", snss(3, fields(0, 1, 1), command(0, i32(1)))
    pickle = i32(1, 0, 0x7FFFFFF0)
    yield "long-url-length", snss(3, command(6, struct.pack("<I", 0xFFFFFFFF) + pickle))


# Firefox session store JSON.
def firefox_seeds():
    def entry(url, title, **more):
        return dict(url=url, title=title, **more)

    session = {
        "version": ["sessionrestore", 1],
        "windows": [
            {"tabs": [{"entries": [entry("https://a.example/", "A"), entry("https://b.example/", "ページ")],
                       "index": 2, "attributes": {}},
                      {"index": 1, "entries": [entry("https://c.example/", "C", children=[entry("x", "y")])]},
                      {"entries": []}, 7],
             "selected": 2, "width": 1280},
            {"tabs": [{"entries": [entry("https://d.example/", "D")]}], "selected": "x"}],
        "selectedWindow": 2,
        "_closedWindows": [{"tabs": [{"entries": [entry("https://closed.example/", "closed")]}]}],
        "session": {"lastUpdate": 1.5e12, "flags": [True, False, None, -0.25e-3]},
    }
    yield "session.json", json.dumps(session, ensure_ascii=False).encode()
    yield "escaped.json", json.dumps(session, indent=1).encode()
    yield "escapes.json", (r'{"windows":[{"tabs":[{"entries":[{"url":"a\/b\"c\\d\q",'
                           r'"title":"\ud83d\ude00 \ud800 \udc00x \u00e9\b\f\n\r\t"}],"index":1.0}],'
                           r'"selected":1e0}],"selectedWindow":-0}').encode()
    yield "numbers.json", (b'{"selectedWindow":2e400,"windows":[{"selected":9007199254740993,"tabs":['
                           b'{"index":-1,"entries":[{"url":1,"title":null}]}]}],"windows2":[0,-1.5E+3,0.0]}')
    yield "empty.json", b"{}"
    yield "not-lists.json", b'{"windows":{"tabs":1},"selectedWindow":[1]}'
    deep = b"[" * 120 + b"]" * 120
    yield "deep.json", b'{"skipped":' + deep + b',"windows":[{"tabs":[{"entries":[' + b'{"x":' * 40 + b"1" + \
        b"}" * 40 + b"]}]}]}"
    yield "unterminated.json", b'{"windows":[{"tabs":[{"entries":[{"url":"https://cut.example/'
    yield "trailing.json", b'{"windows":[]} x'
    yield "bad-utf8.json", b'{"windows":[{"tabs":[{"entries":[{"title":"\xc0\xaf\xed\xa0\x80"}]}]}]}'


# Internet shortcuts (INI) and desktop entries of type Link.
def shortcut_seeds():
    yield "shortcut.url", b"[InternetShortcut]\r\nURL=https://example.org/page?q=1\r\nIconIndex=0\r\n"
    yield "bom-and-case.url", ("\ufeff[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,11\n"
                               "[internetshortcut]\n  url = https://例え.jp/パス \n").encode()
    yield "empty-first.url", b"[InternetShortcut]\nURL=\n[Other]\nURL=https://other.example/\n" \
        b"[InternetShortcut]\nurl=https://second.example/"
    yield "link.desktop", b"[Desktop Entry]\nType=Link\nName=Example\n# URL=https://comment.example/\n" \
        b"URL=https://example.org/a\\sb\\\\c\\td\\x\\\n"
    yield "application.desktop", b"[Desktop Entry]\nType=Application\nExec=true\nURL=https://no.example/\n"
    yield "other-group.desktop", b"[Desktop Action x]\nURL=https://no.example/\n[Desktop Entry]\r\n" \
        b"URL=https://yes.example/\r\nType=Link\r\n[Desktop Action y]\nType=Application\n"
    yield "empty", b""


def write(folder, seeds):
    path = os.path.join(FUZZ, folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds:
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)


def main():
    write("snss-corpus", snss_seeds())
    write("firefox-session-corpus", firefox_seeds())
    write("shortcut-corpus", shortcut_seeds())


if __name__ == "__main__":
    main()
