#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/CFileCatalog.h"
#include "model/CExtArray.h"
#include "platform/CMemoryProfile.h"
#include "search/CFileSearchCondition.h"
#include "search/CSearchHistory.h"
#include "search/CTextFileSearch.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"

namespace {

using Strings = std::vector<std::string>;

// Writes UTF-8 text converted by a real tool (iconv or nkf) and returns the path.
std::string writeConverted(const CTempFolder& temp, const std::string& name, const std::string& utf8,
                           const std::string& converter) {
    const std::string source = temp.write(name + ".utf8", utf8);
    const std::string target = temp / name;
    const std::string command = converter + " < '" + source + "' > '" + target + "'";
    EXPECT_EQ(CToolRunner::run(command).exitStatus, 0) << command;
    return target;
}

CFileItem fileItem(const std::string& path, std::string_view displayName) {
    CFileItem item;
    item.setStoredPath(path);
    item.setDisplayName(displayName);
    return item;
}

}  // namespace

TEST(TextFileSearchTest, FindsTextInEveryJapaneseCodeAndAcrossReadPieces) {
    CTempFolder temp;
    const std::string text = "一行目です\n二行目に目的の語「検索語」があります\n";
    const std::string sjis = writeConverted(temp, "sjis.txt", text, "iconv -f UTF-8 -t CP932");
    const std::string euc = writeConverted(temp, "euc.txt", text, "iconv -f UTF-8 -t EUC-JP");
    const std::string jis = writeConverted(temp, "jis.txt", text, "nkf -j -W");
    const std::string utf8 = temp.write("utf8.txt", text);
    // The offset counts the file's own bytes: the first line, "二行目に目的の語「" in that code.
    EXPECT_EQ(CTextFileSearch::findInFile(sjis, "検索語"), 11 + 18);
    EXPECT_EQ(CTextFileSearch::findInFile(euc, "検索語"), 11 + 18);
    EXPECT_EQ(CTextFileSearch::findInFile(utf8, "検索語"), 16 + 27);
    EXPECT_GE(CTextFileSearch::findInFile(jis, "検索語"), 0);
    EXPECT_EQ(CTextFileSearch::findInFile(sjis, "見つからない"), -1);
    EXPECT_EQ(CTextFileSearch::findInFile(jis, "見つからない"), -1);
    // Raw bytes of the pattern never match across characters of another code.
    EXPECT_EQ(CTextFileSearch::findInFile(sjis, "二行目に目的"), 11);

    // A match that straddles any read boundary inside one very long line.
    std::string longLine(2040, 'a');
    longLine += "NEEDLE";
    longLine += std::string(40000, 'b');
    longLine += "ｶﾀｶﾅ";
    const std::string big = temp.write("long.txt", longLine);
    EXPECT_EQ(CTextFileSearch::findInFile(big, "needle"), 2040);
    EXPECT_EQ(CTextFileSearch::findInFile(big, "bｶﾀ"), 2046 + 40000 - 1);
    // Pieces of long lines are cut near 16 KiB; the text is placed across and around such cuts, in
    // Shift-JIS and in UTF-8.
    for (std::size_t at : {16370u, 16378u, 16379u, 16381u, 16383u, 16384u, 32760u, 32761u, 65530u}) {
        std::string straddling(at, 'x');
        straddling += "長い行の境目";
        straddling += std::string(40000, 'y');
        const std::string name = "edge" + std::to_string(at) + ".txt";
        const std::string path = writeConverted(temp, name, straddling, "iconv -f UTF-8 -t CP932");
        EXPECT_EQ(CTextFileSearch::findInFile(path, "長い行の境目"), static_cast<std::int64_t>(at)) << at;
        EXPECT_EQ(CTextFileSearch::findInFile(temp / (name + ".utf8"), "長い行の境目"),
                  static_cast<std::int64_t>(at))
            << at;
    }

    // Bad input gives no match: a missing file, a folder, an empty text, an extension not in the list.
    EXPECT_EQ(CTextFileSearch::findInFile(temp / "missing.txt", "x"), -1);
    EXPECT_EQ(CTextFileSearch::findInFile(temp.path(), "x"), -1);
    EXPECT_EQ(CTextFileSearch::findInFile(utf8, ""), -1);
    const CExtArray list({"txt"});
    EXPECT_EQ(CTextFileSearch::find(fileItem(utf8, "utf8.txt"), "検索語", list), 16 + 27);
    EXPECT_EQ(CTextFileSearch::find(fileItem(utf8, "utf8.TXT"), "検索語", list), 16 + 27);
    EXPECT_EQ(CTextFileSearch::find(fileItem(utf8, "utf8.md"), "検索語", list), -1);
    CFileItem url = fileItem("http://example.com/a.txt", "a.txt");
    url.setShortcutName("http://example.com/a.txt");
    EXPECT_EQ(CTextFileSearch::find(url, "a", list), -1);
}

TEST(FileSearchConditionTest, SearchesInOrderWalksWithoutWrappingAndKeepsItsHistory) {
    CTempFolder temp;
    CFileCatalog catalog;
    catalog.addCategory("Tag");
    const std::string notes = temp.write("notes.txt", "line one\nthe word notes is here\n");
    temp.write("other.doc", "");
    temp.write("third.doc", "");
    for (const auto& [name, memo, tag] :
         {std::tuple{"notes.txt", "", "red"}, std::tuple{"other.doc", "notes", ""},
          std::tuple{"third.doc", "", "blue,notes"}}) {
        CFileItem* item = catalog.addItem(catalog.newItem(false));
        item->setStoredPath(name == std::string("notes.txt") ? notes : temp / name);
        item->setTitle(name);
        item->setMemo(memo);
        item->setValueString(0, tag);
    }
    catalog.recompute();
    ASSERT_EQ(catalog.displayedCount(), 3);

    CFileSearchCondition condition;
    condition.text = "NOTES";
    condition.setTargetBits(CFileSearchCondition::kInName | CFileSearchCondition::kInTextFile);
    EXPECT_TRUE(condition.matches(*catalog.displayedItem(0)));
    EXPECT_EQ(condition.matchOffset, 18);  // the file is searched first, even though the name matches too
    condition.inTextFile = false;
    EXPECT_TRUE(condition.matches(*catalog.displayedItem(0)));
    EXPECT_EQ(condition.matchOffset, -1);

    condition.setTargetBits(CFileSearchCondition::kInMemo | CFileSearchCondition::kInCategory);
    EXPECT_EQ(catalog.findForward(0, condition), 1);
    EXPECT_EQ(catalog.findForward(2, condition), 2);
    EXPECT_EQ(catalog.findForward(3, condition), -1);
    EXPECT_EQ(catalog.findBackward(0, condition), -1);  // no wrap-around
    EXPECT_EQ(catalog.findBackward(5, condition), 2);
    // The walk reports each index before testing it and ends, without a hit, when told to stop.
    std::vector<int> reported;
    EXPECT_EQ(catalog.findBackward(2, condition, [&](int index) {
        reported.push_back(index);
        return true;
    }), 2);
    EXPECT_EQ(reported, std::vector<int>{2});
    reported.clear();
    EXPECT_EQ(catalog.findForward(0, condition, [&](int index) {
        reported.push_back(index);
        return index < 1;
    }), -1);
    EXPECT_EQ(reported, (std::vector<int>{0, 1}));
    condition.setTargetBits(0);
    EXPECT_EQ(catalog.findForward(0, condition), -1);
    condition.setTargetBits(CFileSearchCondition::kInPath);
    condition.text = "";
    EXPECT_EQ(catalog.findForward(0, condition), -1);  // an empty text is never found

    // History: the new text first, the earlier ones moved down, at most ten.
    CMemoryProfile profile;
    Strings history{"old0", "old1", "old2", "old3", "old4", "old5", "old6", "old7", "old8", "old9"};
    condition.text = "new";
    condition.setTargetBits(CFileSearchCondition::kInName | CFileSearchCondition::kInCategory);
    condition.category = 2;
    condition.save(profile, "Search", history);
    EXPECT_EQ(profile.readString("Search", "FileName00", ""), "new");
    EXPECT_EQ(profile.readString("Search", "FileName01", ""), "old0");
    EXPECT_EQ(profile.readString("Search", "FileName09", ""), "old8");
    EXPECT_EQ(profile.readInt("Search", "FindTarget", 0), 17);
    CFileSearchCondition loaded;
    Strings loadedHistory;
    loaded.load(profile, "Search", loadedHistory);
    EXPECT_EQ(loaded.text, "new");
    EXPECT_EQ(loadedHistory.size(), 10u);
    EXPECT_TRUE(loaded.inName && loaded.inCategory && !loaded.inPath);
    EXPECT_EQ(loaded.category, 2);
    // Searching the text that is already first keeps the order.
    loaded.save(profile, "Search", loadedHistory);
    EXPECT_EQ(profile.readString("Search", "FileName01", ""), "old0");
    // The attribute list search keeps its own history the same way.
    CSearchHistory::save(profile, "Search", "tag", {"older", "tag", "oldest"});
    EXPECT_EQ(CSearchHistory::load(profile, "Search"), (Strings{"tag", "older", "oldest"}));
    EXPECT_EQ(profile.readString("Search", "FileName00", ""), "new");

    // Defaults of an empty store: name, path and memo.
    CFileSearchCondition defaults;
    Strings none;
    defaults.load(CMemoryProfile(), "Search", none);
    EXPECT_EQ(defaults.targetBits(), 7);
    EXPECT_TRUE(none.empty());
}
