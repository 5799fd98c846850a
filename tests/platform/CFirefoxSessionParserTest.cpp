// Firefox's session store JSON read in one pass: the current entries, hostile shapes and their limits.

#include <gtest/gtest.h>

#include "platform/CFirefoxSessionParser.h"

namespace {

std::optional<CBrowserSession> parse(const std::string& json, CSessionError* error = nullptr) {
    return CFirefoxSessionParser(json, "/p/recovery.json").parse(error);
}

std::string errorOf(const std::string& json) {
    CSessionError error;
    EXPECT_FALSE(parse(json, &error)) << json.substr(0, 80);
    EXPECT_EQ(error.path, "/p/recovery.json");
    return std::to_string(error.offset) + " " + error.what;
}

}  // namespace

TEST(CFirefoxSessionParserTest, KeepsTheCurrentEntryOfEachTabWhereverItsIndexStands) {
    // The index after the entries (as Firefox writes it), before them, missing, out of range; entries
    // holding frames of their own; escapes and a surrogate pair; members nobody reads in between.
    const std::string json = R"({"version":["sessionrestore",1],"windows":[
        {"tabs":[{"entries":[{"url":"https://a.example/","title":"A","children":[{"url":"x","title":"子"}]},
                             {"url":"https://b.example/","title":"\u30da\u30fc\u30b8 \"B\" \ud83d\ude00"}],
                  "attributes":{},"index":2},
                 {"index":1,"entries":[{"title":"only title","url":"https://c.example/"}]},
                 {"entries":[{"url":"https://d.example/"},{"url":"https://e.example/"}],"index":7.0},
                 {"entries":[{"url":"https://f.example/"},{"url":"https://g.example/"}],"index":2.5},
                 {"entries":[]}, 5],
         "selected":3},
        {"tabs":[],"selected":"x"}],
      "selectedWindow":1,"_closedWindows":[{"tabs":[{"entries":[{"url":"https://closed.example/"}]}]}],
      "session":{"lastUpdate":1.5e12,"flags":[true,false,null,-0.25E-3]}})";
    CSessionError error;
    const auto session = parse(json, &error);
    ASSERT_TRUE(session) << error.message();
    ASSERT_EQ(session->windows().size(), 2u);
    const auto& tabs = session->windows()[0].tabs;
    ASSERT_EQ(tabs.size(), 6u);  // a tab without history keeps its place
    EXPECT_EQ(tabs[0].url, "https://b.example/");
    EXPECT_EQ(tabs[0].title, "ページ \"B\" \U0001F600");
    EXPECT_EQ(tabs[1].url, "https://c.example/");
    EXPECT_EQ(tabs[1].title, "only title");
    EXPECT_EQ(tabs[2].url, "https://d.example/");  // out of range: the first entry
    EXPECT_EQ(tabs[3].url, "https://f.example/");  // not a whole number: the first entry
    EXPECT_EQ(tabs[4].url, "");
    EXPECT_EQ(session->windows()[0].selectedTab, 2u);
    EXPECT_EQ(session->shownTab()->url, "https://d.example/");
}

TEST(CFirefoxSessionParserTest, RefusesMalformedDeepAndOverfullStoresWithTheirOffsets) {
    EXPECT_EQ(errorOf("[1,2]"), "0 session store is not a JSON object");
    EXPECT_EQ(errorOf("  "), "2 session store is not a JSON object");
    EXPECT_EQ(errorOf(R"({"windows":[{"tabs":[}]})"), "21 malformed JSON: bad value");
    EXPECT_EQ(errorOf(R"({"a":"open)"), "5 malformed JSON: unterminated string");
    EXPECT_EQ(errorOf(R"({"a":01})"), "5 malformed JSON: bad value");
    EXPECT_EQ(errorOf(R"({"a":[1 2]})"), "8 malformed JSON: expected ',' or ']'");
    EXPECT_EQ(errorOf(R"({"a":"\u12G4"})"), "10 malformed JSON: bad \\u escape");
    EXPECT_EQ(errorOf("{\"a\":\"\xE3\x81\"}"), "6 malformed JSON: invalid UTF-8 in a string");
    EXPECT_EQ(errorOf("{\"a\":\"\xED\xA0\x80\"}"), "6 malformed JSON: invalid UTF-8 in a string");
    EXPECT_EQ(errorOf(R"({} {})"), "3 text after the end of the session store");
    // Every cut of a good store fails, never reads past the end.
    const std::string good = R"({"windows":[{"tabs":[{"entries":[{"url":"u","title":"t"}],"index":1}]}]})";
    ASSERT_TRUE(parse(good));
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(parse(good.substr(0, cut))) << cut;
    }

    // Nesting is bounded without recursion, in skipped values as in read ones.
    const std::size_t depth = CFirefoxSessionParser::kMaxDepth;
    EXPECT_EQ(errorOf("{\"x\":" + std::string(1000000, '[')),
              std::to_string(5 + depth - 1) + " nested deeper than " + std::to_string(depth) + " levels");
    std::string deepest = "{\"x\":" + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}";
    EXPECT_TRUE(parse(deepest));

    // A store of millions of empty tabs is refused at the first one past the limit; the same bytes in a
    // part that is only skipped read.
    std::string tabs;
    for (std::size_t i = 0; i < CFirefoxSessionParser::kMaxWindowsAndTabs + 10; ++i) {
        tabs += "{},";
    }
    tabs += "{}";
    const std::string overfull = R"({"windows":[{"tabs":[)" + tabs + "]}]}";
    EXPECT_EQ(errorOf(overfull), std::to_string(21 + 3 * (CFirefoxSessionParser::kMaxWindowsAndTabs - 1)) +
                                     " more than " + std::to_string(CFirefoxSessionParser::kMaxWindowsAndTabs) +
                                     " windows and tabs");
    const auto skipped = parse(R"({"_closedWindows":[{"tabs":[)" + tabs + "]}],\"windows\":[]}");
    ASSERT_TRUE(skipped);
    EXPECT_TRUE(skipped->windows().empty());
}
