// Chromium session files built command by command: the replay, a half-written tail, and damaged files.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/CSnssReader.h"

namespace {

// Writes a session file the way the browser appends it.
class CSnssWriter final {
public:
    explicit CSnssWriter(std::int32_t version = 3) {
        m_bytes = "SNSS";
        i32(m_bytes, version);
    }
    CSnssWriter& command(std::uint8_t id, std::initializer_list<std::int32_t> fields) {
        std::string payload;
        for (const std::int32_t field : fields) {
            i32(payload, field);
        }
        return raw(id, payload);
    }
    CSnssWriter& navigation(std::int32_t tab, std::int32_t index, const std::string& url, const std::u16string& title) {
        std::string pickle;
        i32(pickle, tab);
        i32(pickle, index);
        i32(pickle, static_cast<std::int32_t>(url.size()));
        pickle += url;
        pad(pickle);
        i32(pickle, static_cast<std::int32_t>(title.size()));
        for (const char16_t unit : title) {
            pickle += static_cast<char>(unit & 0xFF);
            pickle += static_cast<char>(unit >> 8);
        }
        pad(pickle);
        i32(pickle, 0);  // page state and the fields after it, which the capture does not read
        std::string payload;
        i32(payload, static_cast<std::int32_t>(pickle.size()));
        return raw(6, payload + pickle);
    }
    CSnssWriter& raw(std::uint8_t id, const std::string& payload) {
        const std::size_t size = payload.size() + 1;
        m_bytes += static_cast<char>(size & 0xFF);
        m_bytes += static_cast<char>(size >> 8);
        m_bytes += static_cast<char>(id);
        m_bytes += payload;
        return *this;
    }
    const std::string& bytes() const { return m_bytes; }

private:
    static void i32(std::string& out, std::int32_t value) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
        }
    }
    static void pad(std::string& out) { out.append((4 - out.size() % 4) % 4, '\0'); }
    std::string m_bytes;
};

std::optional<CBrowserSession> replay(const std::string& bytes, CSessionError* error = nullptr) {
    return CSnssReader(bytes, "/p/Session_1").read(error);
}

// Two windows; the second is active. Window 2's tab 21 went from page A to page B, back to A, and its
// title changed after the page loaded; tab 22 was closed.
CSnssWriter twoWindows() {
    CSnssWriter writer;
    writer.command(0, {1, 11}).command(2, {11, 0}).navigation(11, 0, "https://one.example/", u"一つ目")
        .command(7, {11, 0}).command(8, {1, 0});
    writer.command(0, {2, 20}).command(2, {20, 0}).navigation(20, 0, "https://two.example/", u"二つ目")
        .command(7, {20, 0});
    writer.command(0, {2, 21}).command(2, {21, 1}).navigation(21, 0, "https://a.example/", u"")
        .navigation(21, 1, "https://b.example/", u"B").command(7, {21, 1});
    writer.command(0, {2, 22}).command(2, {22, 2}).navigation(22, 0, "https://closed.example/", u"閉じた")
        .command(16, {22, 0, 0, 0});
    writer.command(8, {2, 1}).command(7, {21, 0}).navigation(21, 0, "https://a.example/", u"ページＡ\U0001F600")
        .command(20, {2});
    return writer;
}

}  // namespace

TEST(SnssReaderTest, ReplaysTheLogToTheSelectedTabOfTheActiveWindow) {
    CSessionError error;
    const auto session = replay(twoWindows().bytes(), &error);
    ASSERT_TRUE(session) << error.message();
    ASSERT_EQ(session->windows().size(), 2u);
    EXPECT_EQ(session->windows()[1].tabs.size(), 2u);  // the closed tab is gone
    const auto shown = session->shownTab();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->url, "https://a.example/");
    EXPECT_EQ(shown->title, "ページＡ\U0001F600");

    // The window's title names another tab than the file's selection (the file lags): that tab wins, in
    // the same window first, then in the others; a title naming no tab keeps the selection.
    EXPECT_EQ(session->shownTab("二つ目")->url, "https://two.example/");
    EXPECT_EQ(session->shownTab("一つ目")->url, "https://one.example/");
    EXPECT_EQ(session->shownTab("閉じた")->url, "https://a.example/");

    // Pruned history: navigations 0 and 1 of tab 21 removed from the front leaves none selected there,
    // so the last remaining page stands.
    CSnssWriter pruned = twoWindows();
    pruned.navigation(21, 2, "https://c.example/", u"C").command(7, {21, 2}).command(24, {21, 0, 2});
    EXPECT_EQ(replay(pruned.bytes())->shownTab()->url, "https://c.example/");

    // A closed active window: the other one shows.
    CSnssWriter closed = twoWindows();
    closed.command(17, {2, 0, 0, 0});
    EXPECT_EQ(replay(closed.bytes())->shownTab()->url, "https://one.example/");
}

TEST(SnssReaderTest, StopsAtAHalfWrittenTailAndRejectsDamagedOrEncryptedFiles) {
    // A command cut off anywhere: the state of the whole commands before it.
    const std::string whole = twoWindows().bytes();
    CSnssWriter more = twoWindows();
    more.navigation(21, 0, "https://later.example/", u"later");
    for (std::size_t cut = whole.size() + 1; cut < more.bytes().size(); cut += 7) {
        CSessionError error;
        const auto session = replay(more.bytes().substr(0, cut), &error);
        ASSERT_TRUE(session) << "cut at " << cut << ": " << error.message();
        EXPECT_EQ(session->shownTab()->url, "https://a.example/");
    }
    EXPECT_EQ(replay(more.bytes())->shownTab()->url, "https://later.example/");

    const auto errorOf = [](const std::string& bytes) {
        CSessionError error;
        EXPECT_FALSE(replay(bytes, &error));
        return std::to_string(error.offset) + " " + error.what;
    };
    EXPECT_EQ(errorOf("SNS"), "0 truncated session file header");
    EXPECT_EQ(errorOf("SNSX" + whole.substr(4)), "0 not a session file (bad signature)");
    EXPECT_EQ(errorOf(CSnssWriter(5).bytes() + whole.substr(8)), "4 encrypted or unknown session file version 5");
    EXPECT_EQ(errorOf(CSnssWriter(2).bytes()), "4 encrypted or unknown session file version 2");

    // Lengths inside a whole command that point past it.
    std::string hugeUrl = CSnssWriter().navigation(1, 0, "https://x/", u"x").bytes();
    hugeUrl[8 + 3 + 12] = '\x7F';  // high byte of the URL length
    EXPECT_EQ(errorOf(hugeUrl), "8 tab navigation: URL length past the end of the command");
    std::string negativeTitle = CSnssWriter().navigation(1, 0, "abcd", u"x").bytes();
    negativeTitle[8 + 3 + 4 + 12 + 4 + 3] = '\x80';
    EXPECT_EQ(errorOf(negativeTitle), "8 tab navigation: title length past the end of the command");
    EXPECT_EQ(errorOf(CSnssWriter().command(0, {1}).bytes()), "8 command 0 too short (4 bytes)");

    // A file with no tabs reads, and shows nothing.
    EXPECT_FALSE(replay(CSnssWriter(1).bytes())->shownTab());
}

TEST(SnssReaderTest, ReplayStaysLinearWhenEveryCommandTouchesMuchState) {
    // 32,768 navigations of one tab pruned one by one from the middle, then 32,768 tabs in one window and
    // as many closes of windows that hold none of them. Replaying each visited every page or tab per
    // command (over a minute); linear replay takes milliseconds, so ten seconds leaves room for sanitizers
    // and a busy machine.
    constexpr std::int32_t kCount = 32768;
    CSnssWriter pruned;
    pruned.command(0, {1, 1});
    for (std::int32_t i = 0; i < kCount; ++i) {
        pruned.navigation(1, i, "https://p.example/" + std::to_string(i), u"");
    }
    pruned.command(7, {1, kCount - 1});
    for (std::int32_t i = 0; i < kCount - 2; ++i) {
        pruned.command(24, {1, 1, 1});  // removes the second page, the later ones move down
    }
    CSnssWriter closed;
    for (std::int32_t i = 0; i < kCount; ++i) {
        closed.command(0, {1, 100 + i});
    }
    closed.navigation(100 + kCount - 1, 0, "https://last.example/", u"");
    for (std::int32_t i = 0; i < kCount; ++i) {
        closed.command(17, {1000000 + i, 0, 0, 0});
    }

    const auto start = std::chrono::steady_clock::now();
    const auto afterPruning = replay(pruned.bytes());
    const auto afterClosing = replay(closed.bytes());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(afterPruning && afterClosing);
    // The selection followed the last page down to index 1, next to the first page, the only other one left.
    EXPECT_EQ(afterPruning->shownTab()->url, "https://p.example/" + std::to_string(kCount - 1));
    EXPECT_EQ(afterClosing->shownTab()->url, "https://last.example/");
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 10000);

    // Closing the window that holds the tabs still removes them all.
    closed.command(17, {1, 0, 0, 0});
    EXPECT_FALSE(replay(closed.bytes())->shownTab());
}
