"""Runs "qlry export" as a process on catalogs built byte by byte, and reads its output back with real
readers: xmllint and Python's XML parser for the XML file and the HTML table, Python's csv module for the
CSV file. The exported items are checked against what "qlry list" displays with the same options."""

import csv
import json
import os
import subprocess
import unittest
import xml.etree.ElementTree as ET

from catalog_builder import catalog_bytes
from qlry_session import QlrySession

MTIME = 1700000000  # 2023-11-14 22:13:20 UTC
HOSTILE = "&<>\"' R&D"


class QlryExportTest(QlrySession):
    PREFIX = "qlry-export-test-"
    EXTRA_ENV = {"TZ": "UTC"}

    def listed_paths(self, path, *options):
        return [item["path"] for item in json.loads(self.qlry("list", path, *options, "--json")[0])]

    def file(self, name):
        path = os.path.join(self.folder, "files", name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(name)
        os.utime(path, (MTIME, MTIME))
        return path

    def catalog(self):
        a, b, c = self.file("a.txt"), self.file("b&c <d>.md"), self.file("写真.jpg")
        categories = [("ジャンル", [], 4), ("Art & \"Artist\"", ["Bob"], 4)]
        items = [
            ("", "memo <b>bold</b> & more", HOSTILE, a, ["Rock,Pop", "Bob"]),
            ("", "", "Bee", b, ["Jazz", "Ann,Bob"]),
            ("", "", "", c, ["Rock", "Cid"]),
            ("https://example.org/?a=1&b=2", "", "Link", "https://example.org/?a=1&b=2", ["a,,b", ""]),
        ]
        folder = os.path.join(self.folder, "Music")
        os.makedirs(folder)
        path = os.path.join(folder, "Music.qlry")
        with open(path, "wb") as f:
            f.write(catalog_bytes(categories, items, filters=[(101, 4, "memo", 0, 0)]))
        return path, (a, b, c)

    def testXml(self):
        path, (a, b, c) = self.catalog()
        out = os.path.join(self.folder, "out.xml")
        self.qlry("export", path, "--xml", out, "--all")
        subprocess.run(["xmllint", "--noout", out], check=True)
        with open(out, "rb") as f:
            data = f.read()
        self.assertTrue(data.startswith(b'<?xml version="1.0" encoding="utf-8" ?>\r\n<quillory>\r\n\t<item>'))
        self.assertTrue(data.endswith(b"\r\n\t</item>\r\n</quillory>"))
        items = ET.parse(out).getroot().findall("item")
        self.assertEqual([i.findtext("filename") for i in items], self.listed_paths(path, "--all"))
        first = next(i for i in items if i.findtext("filename") == a)
        self.assertEqual(first.findtext("title"), HOSTILE)
        self.assertEqual(first.findtext("memo"), "memo <b>bold</b> & more")
        self.assertEqual(first.findtext("date"), "2023-11-14 22:13:20")
        self.assertEqual([(e.get("name"), e.text) for e in first.find("category")],
                         [("ジャンル", "Rock,Pop"), ("Art & \"Artist\"", "Bob")])
        link = next(i for i in items if i.findtext("filename").startswith("https://"))
        self.assertEqual([e.tag for e in link], ["title", "filename", "category"])
        # The stored selection (Bob) and the filter (memo contains "memo") narrow the export.
        self.qlry("export", path, "--xml", out, "--filter")
        self.assertEqual([i.findtext("filename") for i in ET.parse(out).getroot()], [a])

    def testCsv(self):
        path, (a, b, c) = self.catalog()
        out = os.path.join(self.folder, "out.csv")
        self.qlry("export", path, "--csv", out, "--all", "--select", "ジャンル=Rock")
        with open(out, newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["ファイル名", "タイトル", "更新日時", "ジャンル", "Art & \"Artist\""])
        self.assertEqual([r[0] for r in rows[1:]], self.listed_paths(path, "--all", "--select", "ジャンル=Rock"))
        self.assertIn([a, HOSTILE, "2023-11-14 22:13:20", "Rock,Pop", "Bob"], rows)
        self.assertIn([c, "", "2023-11-14 22:13:20", "Rock", "Cid"], rows)
        self.assertTrue(all(len(r) == 5 for r in rows))

    def testHtml(self):
        path, (a, b, c) = self.catalog()
        out, _ = self.qlry("export", path, "--html")
        self.assertTrue(out.startswith('<table border="1" class="quillory">\r\n<tr>\r\n\t<td>ファイル名</td>'))
        self.assertTrue(out.endswith("\r\n</tr>\r\n</table>"))
        rows = ET.fromstring(out).findall("tr")
        self.assertEqual([[td.text or "" for td in tr] for tr in rows[:1]],
                         [["ファイル名", "タイトル", "ジャンル", "Art & \"Artist\""]])
        self.assertEqual([tr[0].text for tr in rows[1:]], self.listed_paths(path))
        self.assertEqual([[td.text or "" for td in tr] for tr in rows[1:] if tr[0].text == a],
                         [[a, HOSTILE, "Rock,Pop", "Bob"]])

    def testErrors(self):
        path, _ = self.catalog()
        out = os.path.join(self.folder, "out.xml")
        self.qlry("export", path, expect=2)
        self.qlry("export", path, "--xml", out, "--html", expect=2)
        self.qlry("export", path, "--csv", out, "--select", "Nope=x", expect=2)
        missing = os.path.join(self.folder, "no", "out.csv")
        _, err = self.qlry("export", path, "--csv", missing, expect=2)
        self.assertIn("ファイルのオープンに失敗しました:" + missing, err)
        self.assertFalse(os.path.exists(out))
        help_text, _ = self.qlry("export", "--help")
        self.assertIn("--xml FILE", help_text)


if __name__ == "__main__":
    unittest.main()
