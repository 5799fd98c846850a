"""Runs qlry as a process on real catalogs in temporary folders.

Catalog files are built byte by byte by catalog_builder, independently of the C++ writer,
so that qlry's reader is checked against a second implementation; JSON output is read with Python's json.
"""

import json
import os
import unittest

from catalog_builder import catalog_bytes, i32, string, utf16_string
from qlry_session import QlrySession


class QlryTest(QlrySession):
    def qlry_json(self, *args):
        return json.loads(self.qlry(*args, "--json")[0])

    def file(self, name, text="x"):
        path = os.path.join(self.folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def write_catalog(self, name, data):
        folder = os.path.join(self.folder, name)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".qlry")
        with open(path, "wb") as f:
            f.write(data)
        return path

    def music_catalog(self, **options):
        a = self.file("files/a.txt", "needle in a")
        b = self.file("files/b.md", "needle in b")
        c = self.file("files/c.jpg", "jpeg")
        categories = [("ジャンル", [], 4), ("Artist", ["Bob"], 4)]
        items = [
            ("", "memo a", "", a, ["Rock,Pop", "Bob"]),
            ("", "", "Bee", b, ["Jazz", "Ann,Bob"]),
            ("", "", "", c, ["Rock", "Cid"]),
            ("https://example.org/x", "", "Link", "https://example.org/x", ["a,,b", ""]),
        ]
        return self.write_catalog("Music", catalog_bytes(categories, items, **options)), (a, b, c)

    def testCreate(self):
        out, _ = self.qlry("new", "cats", "Books", "--category", "著者", "--category", "Genre")
        path = os.path.join(self.folder, "cats", "Books", "Books.qlry")
        self.assertEqual(out.strip(), path)
        # Byte for byte what the layout gives for two new categories after the recompute.
        expected = catalog_bytes([("著者", [], 4), ("Genre", [], 4)], [], sort_keys=(-1, -2, -3, -4, -5, 0, 1))
        with open(path, "rb") as f:
            self.assertEqual(f.read(), expected)
        info = self.qlry_json("info", path)
        self.assertEqual([c["name"] for c in info["categories"]], ["著者", "Genre"])
        self.assertEqual(info["item_count"], 0)
        # The wizard's checks, with its messages; an existing catalog is never overwritten.
        _, err = self.qlry("new", "cats", "Books", "--category", "A", expect=2)
        self.assertIn("既存のカタログがあります", err)
        _, err = self.qlry("new", "cats", "Other", expect=2)
        self.assertIn("カテゴリを最低一つは入力してください", err)
        eleven = [arg for i in range(11) for arg in ("--category", f"c{i}")]
        _, err = self.qlry("new", "cats", "Many", *eleven, expect=2)
        self.assertIn("カテゴリは１０個までです", err)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "cats", "Many", "Many.qlry")))

    def testRead(self):
        path, (a, b, c) = self.music_catalog(filters=[(100, 3, "files", 0, 0), (101, 3, "b.md", 0, 1)])
        info = self.qlry_json("info", path)
        self.assertEqual(set(info), {"path", "reserved", "show_name", "show_date", "show_size", "use_shortcuts",
                                     "relative_paths", "categories", "sort_keys", "filters", "item_count"})
        self.assertEqual(info["path"], path)
        self.assertEqual(info["categories"][1], {"name": "Artist", "list_width": -1, "column_width": -1,
                                                 "flags": 4, "selection": ["Bob"]})
        self.assertEqual(info["sort_keys"][0], {"key": -1, "ascending": 1})
        # The condition marked 100 has its target 3 read as 5; the one marked 101 keeps 3.
        self.assertEqual(info["filters"], [{"target": 5, "value": "files", "operator": 0, "conjunction": 0},
                                           {"target": 3, "value": "b.md", "operator": 0, "conjunction": 1}])
        self.assertEqual(info["item_count"], 4)

        # The stored selection (Artist = Bob) applies; display order is by name.
        listed = self.qlry_json("list", path)
        self.assertEqual([i["name"] for i in listed], ["a.txt", "Bee"])
        first = listed[0]
        self.assertEqual(set(first), {"name", "title", "memo", "path", "kind", "size", "date", "values"})
        self.assertEqual((first["path"], first["kind"], first["size"], first["memo"]), (a, 0, 11, "memo a"))
        self.assertEqual(first["values"], ["Rock,Pop", "Bob"])
        self.assertRegex(first["date"], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")
        text, _ = self.qlry("list", path)
        self.assertEqual(text.splitlines()[1], f"Bee\t{b}\tJazz\tAnn,Bob")
        # Saved unchanged, the file keeps its bytes except for the condition marked 100, which is now
        # written with the target it means and the mark 101.
        with open(path, "rb") as f:
            before = f.read()
        self.qlry("set", path, a, "--set", "Artist=Bob")
        with open(path, "rb") as f:
            after = f.read()
        old_record = i32(100) + i32(3) + string("files")
        self.assertIn(old_record, before)
        self.assertEqual(after, before.replace(old_record, i32(101) + i32(5) + string("files")))

    def testSelect(self):
        path, _ = self.music_catalog()
        names = lambda *args: [i["name"] for i in self.qlry_json("list", path, *args)]
        self.assertEqual(names("--all"), ["a.txt", "Bee", "c.jpg", "Link"])
        self.assertEqual(names("--select", "Artist="), ["a.txt", "Bee", "c.jpg", "Link"])
        self.assertEqual(names("--all", "--select", "ジャンル=Rock"), ["a.txt", "c.jpg"])
        self.assertEqual(names("--select", "#0=Jazz,Pop", "--select", "Artist="), ["a.txt", "Bee"])
        self.assertEqual(names("--all", "--select", "ジャンル=a,,b"), ["Link"])
        # The values the pane lists: the drill-down narrows the values of later categories.
        self.assertEqual(self.qlry_json("values", path, "ジャンル"), ["a,,b", "Jazz", "Pop", "Rock"])
        self.assertEqual(self.qlry_json("values", path, "Artist", "--select", "ジャンル=Jazz"), ["Ann", "Bob"])
        self.assertEqual(self.qlry_json("values", path, "Artist", "--all", "--select", "ジャンル=Rock"),
                         ["Bob", "Cid"])
        text, _ = self.qlry("values", path, "#1", "--all")
        self.assertEqual(text, "Ann\nBob\nCid\n")
        _, err = self.qlry("values", path, "Nope", expect=2)
        self.assertIn("Nope", err)
        self.qlry("list", path, "--select", "Nope=x", expect=2)

    def testChange(self):
        path, (a, b, c) = self.music_catalog()
        d = self.file("files/d.txt", "new")
        self.qlry("add", path, d, "https://example.net/y", "--set", "ジャンル=Rock,Folk", "--title", "Dee",
                  "--memo", "café ☕")
        listed = {i["path"]: i for i in self.qlry_json("list", path, "--all")}
        self.assertEqual(listed[d]["values"], ["Rock,Folk", ""])
        self.assertEqual((listed[d]["title"], listed[d]["memo"]), ("Dee", "café ☕"))
        self.assertEqual(listed["https://example.net/y"]["kind"], 2)
        # The memo needs the UTF-16 form in the file.
        with open(path, "rb") as f:
            self.assertIn(utf16_string("café ☕"), f.read())

        self.qlry("set", path, b, "--set", "Artist=Zed", "--set", "#0=")
        listed = {i["path"]: i for i in self.qlry_json("list", path, "--all")}
        self.assertEqual(listed[b]["values"], ["", "Zed"])
        self.qlry("set", path, "files/nothere.txt", "--set", "Artist=x", expect=2)

        self.qlry("remove", path, a, "https://example.org/x")
        paths = [i["path"] for i in self.qlry_json("list", path, "--all")]
        self.assertEqual(sorted(paths), sorted([b, c, d, "https://example.net/y"]))
        # Nothing is removed when one of the paths is not registered.
        self.qlry("remove", path, b, "files/nothere.txt", expect=2)
        self.assertEqual(self.qlry_json("info", path)["item_count"], 4)
        self.qlry("add", path, "files/missing.txt", expect=2)

        os.remove(c)
        report = self.qlry_json("check", path, "--files")
        self.assertEqual(report["missing"], [c])
        text, _ = self.qlry("check", path, "--files")
        self.assertIn("missing: " + c, text)

    def testShortcuts(self):
        path, (a, b, c) = self.music_catalog(use_shortcuts=1)
        folder = os.path.dirname(path)
        e = self.file("other/e.txt", "e")
        self.qlry("add", path, e)
        self.assertTrue(os.path.exists(os.path.join(folder, "e.lnk")))
        listed = {i["path"]: i for i in self.qlry_json("list", path, "--all")}
        self.assertIn(e, listed)
        self.assertEqual(self.qlry_json("info", path)["use_shortcuts"], 1)
        self.qlry("remove", path, e)
        self.assertFalse(os.path.exists(os.path.join(folder, "e.lnk")))

        # With relative paths and no shortcuts, the file stores paths relative to the catalog folder.
        relative, _ = self.music_catalog(relative_paths=1)
        f = self.file("files/f.txt", "f")
        self.qlry("add", relative, f)
        with open(relative, "rb") as data:
            self.assertIn(string("../files/f.txt"), data.read())
        self.assertIn(f, [i["path"] for i in self.qlry_json("list", relative, "--all")])

    def testSettings(self):
        # A text-file condition: contents that hold "e". The default list has txt, htm and html.
        path, (a, b, c) = self.music_catalog(filters=[(101, 5, "e", 0, 0)])
        names = lambda: [i["name"] for i in self.qlry_json("list", path, "--all", "--filter")]
        self.assertEqual(names(), ["a.txt"])
        self.assertEqual(len(self.qlry_json("list", path, "--all")), 4)
        # The settings file the application writes names the text-file extensions. b.md is shown by its
        # title "Bee", which has no extension, so only c.jpg is searched.
        config = os.path.join(self.home, ".config", "Vemto")
        os.makedirs(config)
        with open(os.path.join(config, "Quillory.conf"), "w") as f:
            f.write("[General]\nx=1\n\n[TextFile]\nCount=2\nExt00=md\nExt01=JPG\n")
        self.assertEqual(names(), ["c.jpg"])

    def testMalformed(self):
        path, _ = self.music_catalog()
        with open(path, "rb") as f:
            good = f.read()
        cut = os.path.join(self.folder, "cut.qlry")
        with open(cut, "wb") as f:
            f.write(good[:60])
        out, err = self.qlry("check", cut, expect=1)
        self.assertIn("予期しないﾌｧｲﾙ形式です。", err)
        self.assertIn("at byte", out)
        report = json.loads(self.qlry("check", cut, "--json", expect=1)[0])
        self.assertEqual(report["ok"], False)
        self.assertIn(report["kind"], ("end of file", "count too large"))
        self.assertLessEqual(report["offset"], 60)
        # A category whose schema word is 2.
        bad = good.replace(b"\xff\xff\x01\x00\x09\x00CCategory", b"\xff\xff\x02\x00\x09\x00CCategory")
        with open(cut, "wb") as f:
            f.write(bad)
        report = json.loads(self.qlry("check", cut, "--json", expect=1)[0])
        self.assertEqual((report["kind"], report["offset"]), ("bad schema", good.index(b"CCategory") - 6))
        for command in (["info", cut], ["list", cut], ["values", cut, "x"], ["add", cut, path]):
            _, err = self.qlry(*command, expect=1)
            self.assertIn("予期しないﾌｧｲﾙ形式です。", err)
        # A missing file is a file-system error.
        _, err = self.qlry("info", "none.qlry", expect=2)
        self.assertIn("このﾌｧｲﾙが見つかりません。", err)
        # An empty file is an empty catalog.
        with open(cut, "wb"):
            pass
        self.assertEqual(self.qlry_json("info", cut)["item_count"], 0)
        self.assertEqual(self.qlry("check", cut)[0].strip(), cut + ": ok, 0 items, 0 categories")

    def testHelp(self):
        out, _ = self.qlry("--help")
        for command in ("info", "list", "values", "check", "new", "add", "set", "remove"):
            self.assertIn(command, out)
            sub, _ = self.qlry(command, "--help")
            self.assertTrue(sub.startswith("usage: qlry " + command), sub)
        self.qlry(expect=2)
        self.qlry("frobnicate", expect=2)
        self.qlry("list", expect=2)
        self.qlry("list", "x.qlry", "--bogus", expect=2)


if __name__ == "__main__":
    unittest.main()
