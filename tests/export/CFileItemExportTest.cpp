#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"
#include "export/CFileItemCSVExport.h"
#include "export/CFileItemHtmlExport.h"
#include "export/CFileItemXMLExport.h"
#include "search/CSortItem.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"

namespace {

struct ItemData {
    std::string path;
    std::string title;
    std::string memo;
    std::vector<std::string> values;
    COleDate::Fields date;
    ItemKind kind = ItemKind::File;
};

void addItem(CFileCatalog& catalog, const ItemData& data) {
    auto item = catalog.newItem(false);
    item->setStoredPath(data.path);
    item->setShortcutName(data.kind == ItemKind::Url ? data.path : "");
    item->setTitle(data.title);
    item->setMemo(data.memo);
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        item->setValueString(static_cast<int>(i), data.values[i]);
    }
    item->setDate(COleDate::fromFields(data.date));
    item->setKind(data.kind);
    const std::string name = data.title.empty() ? data.path.substr(data.path.rfind('/') + 1) : data.title;
    item->setDisplayName(name);
    catalog.addItem(std::move(item));
}

// Three items that the default name order shows as the URL, the photo, the report.
void fillSample(CFileCatalog& catalog) {
    catalog.addCategory("ジャンル");
    catalog.addCategory("作者");
    addItem(catalog,
            {"/home/u/docs/report.txt", "報告書", "月次", {"仕事,月次", "山田"}, {2024, 3, 5, 14, 7, 9}});
    addItem(catalog, {"/home/u/pics/photo.jpg", "", "", {"", ""}, {2023, 12, 31, 23, 59, 59}});
    addItem(catalog,
            {"https://example.com/", "Example", "", {"", "web"}, {2025, 1, 1, 0, 0, 0}, ItemKind::Url});
    catalog.recomputeWithoutRefresh();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string hex(std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// One line per record: the fields as hex, separated by "|".
std::string hexLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        line += (line.empty() ? "" : "|") + hex(field);
    }
    return line + "\n";
}

// Python's expat-based parser reads the XML file back: per item, "tag=text" for each child, and
// "attr:name=text" for each category value.
std::string readXmlWithPython(const CTempFolder& folder, const std::string& xmlPath) {
    const std::string script = folder / "readxml.py";
    std::ofstream(script) << "import sys, xml.etree.ElementTree as ET\n"
                             "h = lambda s: (s or '').encode().hex()\n"
                             "for item in ET.parse(sys.argv[1]).getroot():\n"
                             "    out = []\n"
                             "    for c in item:\n"
                             "        if c.tag == 'category':\n"
                             "            out += ['attr:' + h(a.get('name')) + '=' + h(a.text) for a in c]\n"
                             "        else:\n"
                             "            out.append(c.tag + '=' + h(c.text))\n"
                             "    print(' '.join(out))\n";
    return CToolRunner::run("python3 " + script + " " + xmlPath).output;
}

std::string readCsvWithPython(const CTempFolder& folder, const std::string& csvPath) {
    const std::string script = folder / "readcsv.py";
    std::ofstream(script) << "import csv, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    for row in csv.reader(f):\n"
                             "        print('|'.join(x.encode().hex() for x in row))\n";
    return CToolRunner::run("python3 " + script + " " + csvPath).output;
}

bool xmllintAccepts(const std::string& path) {
    return CToolRunner::run("xmllint --noout " + path + " 2>&1").exitStatus == 0;
}

}  // namespace

TEST(CFileItemExport, LayoutsAreExactForPlainTexts) {
    CRecordingUserInterface ui;
    const CTempFolder folder;
    CFileCatalog catalog;
    fillSample(catalog);
    ASSERT_EQ(catalog.displayedCount(), 3);
    ASSERT_EQ(catalog.displayedItem(0)->title(), "Example");
    ASSERT_EQ(catalog.displayedItem(2)->title(), "報告書");

    const std::string xmlPath = folder / "out.xml";
    ASSERT_TRUE(CFileItemXMLExport(catalog).exportToFile(xmlPath));
    EXPECT_EQ(readFile(xmlPath),
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<quillory>\r\n"
              "\t<item>\r\n\t\t<title>Example</title>\r\n\t\t<filename>https://example.com/</filename>\r\n"
              "\t\t<category>\r\n\t\t\t<attr name=\"作者\">web</attr>\r\n\t\t</category>\r\n\t</item>\r\n"
              "\t<item>\r\n\t\t<date>2023-12-31 23:59:59</date>\r\n"
              "\t\t<filename>/home/u/pics/photo.jpg</filename>\r\n\t</item>\r\n"
              "\t<item>\r\n\t\t<title>報告書</title>\r\n\t\t<memo>月次</memo>\r\n"
              "\t\t<date>2024-03-05 14:07:09</date>\r\n\t\t<filename>/home/u/docs/report.txt</filename>\r\n"
              "\t\t<category>\r\n\t\t\t<attr name=\"ジャンル\">仕事,月次</attr>\r\n"
              "\t\t\t<attr name=\"作者\">山田</attr>\r\n\t\t</category>\r\n\t</item>\r\n</quillory>");
    EXPECT_TRUE(xmllintAccepts(xmlPath));
    EXPECT_EQ(CToolRunner::run("file -b " + xmlPath).output,
              "XML 1.0 document, Unicode text, UTF-8 text, with CRLF line terminators\n");

    const std::string csvPath = folder / "out.csv";
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_EQ(readFile(csvPath),
              "\"ファイル名\",\"タイトル\",\"更新日時\",\"ジャンル\",\"作者\"\r\n"
              "\"https://example.com/\",\"Example\",\"\",\"\",\"web\"\r\n"
              "\"/home/u/pics/photo.jpg\",\"\",\"2023-12-31 23:59:59\",\"\",\"\"\r\n"
              "\"/home/u/docs/report.txt\",\"報告書\",\"2024-03-05 14:07:09\",\"仕事,月次\",\"山田\"\r\n");

    CFileItemHtmlExport html(catalog);
    std::string table;
    ASSERT_TRUE(html.exportToText(table));
    EXPECT_EQ(
        table,
        "<table border=\"1\" class=\"quillory\">\r\n"
        "<tr>\r\n\t<td>ファイル名</td>\r\n\t<td>タイトル</td>\r\n\t<td>ジャンル</td>\r\n\t<td>作者</td>\r\n</"
        "tr>"
        "<tr>\r\n\t<td>https://example.com/</td>\r\n\t<td>Example</td>\r\n\t<td />\r\n\t<td>web</td>\r\n</tr>"
        "<tr>\r\n\t<td>/home/u/pics/photo.jpg</td>\r\n\t<td />\r\n\t<td />\r\n\t<td />\r\n</tr>"
        "<tr>\r\n\t<td>/home/u/docs/report.txt</td>\r\n\t<td>報告書</td>\r\n\t<td>仕事,月次</td>\r\n"
        "\t<td>山田</td>\r\n</tr>\r\n</table>");
    EXPECT_EQ(html.footer(), "\r\n</table>");
    EXPECT_EQ(html.row(1),
              "<tr>\r\n\t<td>/home/u/pics/photo.jpg</td>\r\n\t<td />\r\n\t<td />\r\n\t<td />\r\n</tr>");

    // The same table reaches the clipboard; the XML export has no text form.
    struct KeptClipboard final : CTextClipboard {
        void setText(std::string_view text) override { kept = text; }
        std::string kept = "untouched";
    } clipboard;
    EXPECT_TRUE(html.copyToClipboard(clipboard));
    EXPECT_EQ(clipboard.kept, table);
    EXPECT_TRUE(CFileItemXMLExport(catalog).copyToClipboard(clipboard));
    EXPECT_EQ(clipboard.kept, "");
    EXPECT_TRUE(ui.shown().empty());
}

TEST(CFileItemExport, EmptyListsAndCatalogsWithoutCategories) {
    CRecordingUserInterface ui;
    const CTempFolder folder;
    CFileCatalog catalog;
    const std::string xmlPath = folder / "empty.xml";
    ASSERT_TRUE(CFileItemXMLExport(catalog).exportToFile(xmlPath));
    EXPECT_EQ(readFile(xmlPath), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<quillory />");
    EXPECT_TRUE(xmllintAccepts(xmlPath));
    const std::string csvPath = folder / "empty.csv";
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_EQ(readFile(csvPath), "\"ファイル名\",\"タイトル\",\"更新日時\"\r\n");
    std::string table;
    CFileItemHtmlExport(catalog).exportToText(table);
    EXPECT_EQ(table,
              "<table border=\"1\" class=\"quillory\">\r\n<tr>\r\n\t<td>ファイル名</td>\r\n"
              "\t<td>タイトル</td>\r\n</tr>\r\n</table>");

    addItem(catalog, {"/d/a.txt", "", "", {}, {2020, 2, 29, 8, 0, 1}});
    addItem(catalog, {"/d/b.txt", "B", "", {}, {2021, 1, 2, 3, 4, 5}});
    catalog.recomputeWithoutRefresh();
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_EQ(readFile(csvPath),
              "\"ファイル名\",\"タイトル\",\"更新日時\"\r\n"
              "\"/d/a.txt\",\"\",\"2020-02-29 08:00:01\"\r\n"
              "\"/d/b.txt\",\"B\",\"2021-01-02 03:04:05\"\r\n");
    EXPECT_EQ(CItemTexts::date(COleDate::invalid(), DateStyle::Export), "");

    // Failures name the file; nothing is left half-reported.
    const std::string missing = folder / "no/such/out.csv";
    EXPECT_FALSE(CFileItemCSVExport(catalog).exportToFile(missing));
    EXPECT_FALSE(CFileItemXMLExport(catalog).exportToFile("/dev/full"));
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"ファイルのオープンに失敗しました:" + missing,
                                                    "ファイルのクローズに失敗しました:/dev/full"}));
}

TEST(CFileItemExport, AnyTextReadsBackUnchangedFromXmlAndCsv) {
    CRecordingUserInterface ui;
    const CTempFolder folder;
    const std::string hostile = "&<>\"'";
    const std::string markup = "<b>太字</b> &amp; <!-- x --> ]]> <![CDATA[y]]>";
    const std::string outside = "é 😀 𠮷 ①";  // the first three have no code page 932 form
    CFileCatalog catalog;
    catalog.addCategory("\"種類\" & <型>");
    catalog.addCategory("");
    addItem(
        catalog,
        {"/tmp/a&b/<c>\"d\".txt", hostile, markup + "\n二行目", {"x&y,<z>", "a,,b"}, {2024, 1, 1, 0, 0, 0}});
    addItem(catalog, {"/tmp/" + outside, outside, hostile, {outside, "\"q\""}, {2024, 1, 2, 0, 0, 0}});
    catalog.setPrimaryAndSort(CSortItem::kDate, true);
    catalog.recomputeWithoutRefresh();
    ASSERT_EQ(catalog.displayedItem(0)->title(), hostile);

    const std::string xmlPath = folder / "texts.xml";
    ASSERT_TRUE(CFileItemXMLExport(catalog).exportToFile(xmlPath));
    EXPECT_TRUE(xmllintAccepts(xmlPath));
    const std::string name0 = hex("\"種類\" & <型>");
    EXPECT_EQ(readXmlWithPython(folder, xmlPath),
              "title=" + hex(hostile) + " memo=" + hex(markup + "\n二行目") +
                  " date=" + hex("2024-01-01 00:00:00") + " filename=" + hex("/tmp/a&b/<c>\"d\".txt") +
                  " attr:" + name0 + "=" + hex("x&y,<z>") + " attr:=" + hex("a,,b") + "\n" +
                  "title=" + hex(outside) + " memo=" + hex(hostile) + " date=" + hex("2024-01-02 00:00:00") +
                  " filename=" + hex("/tmp/" + outside) + " attr:" + name0 + "=" + hex(outside) +
                  " attr:=" + hex("\"q\"") + "\n");
    // The empty category name leaves the attribute out.
    EXPECT_NE(readFile(xmlPath).find("\t\t\t<attr>a,,b</attr>\r\n"), std::string::npos);

    const std::string csvPath = folder / "texts.csv";
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_EQ(readCsvWithPython(folder, csvPath),
              hexLine({"ファイル名", "タイトル", "更新日時", "\"種類\" & <型>", ""}) +
                  hexLine({"/tmp/a&b/<c>\"d\".txt", hostile, "2024-01-01 00:00:00", "x&y,<z>", "a,,b"}) +
                  hexLine({"/tmp/" + outside, outside, "2024-01-02 00:00:00", outside, "\"q\""}));
    EXPECT_EQ(CToolRunner::run("iconv -f UTF-8 -t UTF-8 " + csvPath + " >/dev/null 2>&1 && echo valid").output,
              "valid\n");

    // The HTML table escapes its cells and parses as XML.
    std::string table;
    CFileItemHtmlExport(catalog).exportToText(table);
    EXPECT_NE(table.find("\t<td>&amp;&lt;&gt;\"'</td>\r\n"), std::string::npos);
    const std::string htmlPath = folder / "table.xml";
    std::ofstream(htmlPath, std::ios::binary) << table;
    EXPECT_TRUE(xmllintAccepts(htmlPath));
    EXPECT_TRUE(ui.shown().empty());
}

TEST(CFileItemExport, OnlyTheDisplayedItemsAreExportedInSortOrder) {
    const CTempFolder folder;
    CFileCatalog catalog;
    catalog.addCategory("ジャンル");
    addItem(catalog, {"/d/1.txt", "", "重要", {"仕事"}, {2024, 1, 1, 0, 0, 0}});
    addItem(catalog, {"/d/2.txt", "", "", {"仕事"}, {2024, 2, 1, 0, 0, 0}});
    addItem(catalog, {"/d/3.txt", "", "重要", {"趣味"}, {2024, 4, 1, 0, 0, 0}});
    addItem(catalog, {"/d/4.txt", "", "重要な件", {"仕事,趣味"}, {2024, 3, 1, 0, 0, 0}});
    catalog.recomputeWithoutRefresh();
    catalog.setSelection(0, {"仕事"});
    catalog.filters().append(CItemFilter(CItemFilter::kTargetMemo, "重要", 0));
    catalog.setFilterOn(true);
    catalog.sortKeys().setPrimary(CSortItem::kDate, false);
    catalog.recomputeWithoutRefresh();

    const std::string csvPath = folder / "shown.csv";
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_EQ(readFile(csvPath),
              "\"ファイル名\",\"タイトル\",\"更新日時\",\"ジャンル\"\r\n"
              "\"/d/4.txt\",\"\",\"2024-03-01 00:00:00\",\"仕事,趣味\"\r\n"
              "\"/d/1.txt\",\"\",\"2024-01-01 00:00:00\",\"仕事\"\r\n");
    const std::string xmlPath = folder / "shown.xml";
    ASSERT_TRUE(CFileItemXMLExport(catalog).exportToFile(xmlPath));
    const std::string xml = readXmlWithPython(folder, xmlPath);
    const std::string firstItem = xml.substr(0, xml.find('\n'));
    EXPECT_NE(firstItem.find("filename=" + hex("/d/4.txt")), std::string::npos);
    EXPECT_NE(xml.find("filename=" + hex("/d/1.txt"), firstItem.size()), std::string::npos);
    EXPECT_EQ(std::count(xml.begin(), xml.end(), '\n'), 2);
    std::string table;
    CFileItemHtmlExport(catalog).exportToText(table);
    EXPECT_LT(table.find("/d/4.txt"), table.find("/d/1.txt"));
    EXPECT_EQ(table.find("/d/2.txt"), std::string::npos);
    EXPECT_EQ(table.find("/d/3.txt"), std::string::npos);
}

// A catalog large enough that the file is written in many pieces, over an older and longer file: the bytes
// are those of every displayed row written one after the other the plain way, and nothing of the old file
// remains. A failure while the pieces are written is shown once.
TEST(CFileItemExport, LargeCsvHoldsEveryRowInDisplayOrder) {
    CRecordingUserInterface ui;
    const CTempFolder folder;
    CFileCatalog catalog;
    catalog.addCategory("ジャンル");
    catalog.addCategory("作者");
    std::mt19937 random(3);
    for (int i = 0; i < 30000; ++i) {
        const std::string n = std::to_string(random() % 100000);
        addItem(catalog, {"/home/u/文書/" + n + (i % 7 == 0 ? "\"引用\"" : "") + ".txt",
                          i % 3 == 0 ? "" : "題 " + n, "", {i % 2 ? "仕事,会議" : "", "著者" + n},
                          {2000 + static_cast<int>(random() % 30), 1 + static_cast<int>(random() % 12), 28,
                           static_cast<int>(random() % 24), static_cast<int>(random() % 60), 7},
                          i % 11 == 0 ? ItemKind::Url : ItemKind::File});
    }
    catalog.recomputeWithoutRefresh();

    const auto quoted = [](std::string_view field) {
        std::string text = "\"";
        for (const char c : field) {
            text += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        return text + "\"";
    };
    std::string expected = "\"ファイル名\",\"タイトル\",\"更新日時\",\"ジャンル\",\"作者\"\r\n";
    for (const CFileItem* item : catalog.displayedItems()) {
        const COleDate::Fields f = item->date().fields();
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                      f.minute, f.second);
        expected += quoted(item->path()) + "," + quoted(item->title()) + "," +
                    quoted(item->kind() == ItemKind::Url ? "" : date);
        for (int c = 0; c < item->valueCount(); ++c) {
            expected += "," + quoted(item->valueString(c));
        }
        expected += "\r\n";
    }
    ASSERT_GT(expected.size(), 2u << 20);

    const std::string csvPath = folder / "large.csv";
    std::ofstream(csvPath, std::ios::binary) << expected << expected;
    ASSERT_TRUE(CFileItemCSVExport(catalog).exportToFile(csvPath));
    EXPECT_TRUE(readFile(csvPath) == expected);
    EXPECT_TRUE(ui.shown().empty());

    EXPECT_FALSE(CFileItemCSVExport(catalog).exportToFile("/dev/full"));
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"ファイルの書込に失敗しました:/dev/full"}));
}
