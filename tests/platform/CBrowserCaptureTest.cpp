// The capture client over a scripted transport: which browser is asked, and how each browser's reply and
// window titles give the URL and title.

#include <gtest/gtest.h>

#include <map>

#include "platform/CBrowserCapture.h"

namespace {

// Browsers by service name, each with its version and page replies; windows from the top down.
class CScriptedTransport final : public CBrowserTransport {
public:
    struct Browser {
        std::optional<std::string> version;
        std::optional<std::string> page;
    };
    std::map<std::string, Browser> browsers;
    std::vector<CTopLevelWindow> windows;
    std::vector<std::string> asked;  // "service/topic" of every connect
    int openConversations = 0;

    bool connect(const std::string& service, const std::string& topic) override {
        asked.push_back(service + "/" + topic);
        if (!browsers.count(service)) {
            return false;
        }
        m_service = service;
        ++openConversations;
        return true;
    }
    std::optional<std::string> request(const std::string& item, int timeoutMs) override {
        EXPECT_EQ(timeoutMs, 10000);
        const Browser& browser = browsers.at(m_service);
        return item == "WWW_Version" ? browser.version : browser.page;
    }
    void disconnect() override { --openConversations; }
    std::vector<CTopLevelWindow> topLevelWindows() override { return windows; }
    std::string failureReason() const override { return "no session"; }

private:
    std::string m_service;
};

std::string versionBytes(std::uint32_t version) {
    return std::string({static_cast<char>(version), static_cast<char>(version >> 8), static_cast<char>(version >> 16),
                        static_cast<char>(version >> 24)});
}

struct Page {
    bool ok;
    std::string url;
    std::string title;
    bool operator==(const Page&) const = default;
};

Page captureWith(const std::string& service, std::uint32_t version, const std::string& reply,
                 std::vector<CTopLevelWindow> windows = {}) {
    CScriptedTransport transport;
    transport.browsers[service] = {versionBytes(version), reply};
    transport.windows = std::move(windows);
    CBrowserCapture capture(transport);
    Page page{false, "x", "x"};
    page.ok = capture.capture(page.url, page.title);
    EXPECT_EQ(transport.openConversations, 0);
    return page;
}

}  // namespace

TEST(BrowserCaptureTest, AsksTheFirstBrowserOfTheTableAndClosesEveryConversation) {
    CScriptedTransport transport;
    transport.browsers["Firefox"] = {versionBytes(0), "\"http://f/\",\"F\",\"\""};
    transport.browsers["IExplore"] = {versionBytes(0x10000), "\"http://ie/\",\"IE\""};
    {
        CBrowserCapture capture(transport);
        std::string url, title;
        ASSERT_TRUE(capture.capture(url, title));
        EXPECT_EQ(capture.serviceIndex(), 1);
        EXPECT_EQ(url, "http://ie/");
        EXPECT_EQ(title, "IE");
        EXPECT_EQ(transport.asked, (std::vector<std::string>{"Netscape/WWW_Version", "IExplore/WWW_Version",
                                                             "Netscape/WWW_GetWindowInfo",
                                                             "IExplore/WWW_GetWindowInfo"}));
        EXPECT_EQ(capture.version(), 0x10000u);
    }
    EXPECT_EQ(transport.openConversations, 0);

    // No browser: failure with the transport's reason; a version of 0.
    CScriptedTransport none;
    CBrowserCapture nobody(none);
    std::string url = "old", title = "old";
    EXPECT_FALSE(nobody.capture(url, title));
    EXPECT_EQ(nobody.failureReason(), "no session");
    EXPECT_EQ(nobody.version(), 0u);

    // A browser that accepts but sends nothing within the limit: success, empty page.
    EXPECT_EQ(captureWith("Mozilla", 0, ""), (Page{true, "", ""}));
    CScriptedTransport silent;
    silent.browsers["Mozilla"] = {std::nullopt, std::nullopt};
    CBrowserCapture quiet(silent);
    EXPECT_TRUE(quiet.capture(url, title));
    EXPECT_EQ(url + title, "");
    EXPECT_EQ(quiet.version(), 0u);
}

TEST(BrowserCaptureTest, ParsesEachBrowsersReplyAndCompletesTitlesFromWindows) {
    // Opera 7 and later, and Netscape from version 2: the title is in the reply.
    EXPECT_EQ(captureWith("Opera", 0x20000, "\"http://a/b?c=1\",\"ページ題名\",\"\""),
              (Page{true, "http://a/b?c=1", "ページ題名"}));
    // Netscape 1: the title sits in "Netscape - [...]".
    EXPECT_EQ(captureWith("Netscape", 0x00001, "\"http://n/\",\"Netscape - [Title]\""),
              (Page{true, "http://n/", "Title"}));
    // Internet Explorer: a further "," after the title goes; a title cut inside a character is completed
    // from the first window that begins with it, up to " - ".
    EXPECT_EQ(captureWith("IExplore", 0, "\"http://i/\",\"Title\",\"\""), (Page{true, "http://i/", "Title"}));
    const std::string cut = std::string("日本語") + "\xE3\x81";  // "日本語" and two bytes of "の"
    EXPECT_EQ(captureWith("Sleipnir", 0, "\"http://s/\",\"" + cut + "\"",
                          {{"Other", "", {}}, {"日本語のページ - Sleipnir", "", {}}}),
              (Page{true, "http://s/", "日本語のページ"}));
    EXPECT_EQ(captureWith("IExplore", 0, "\"http://s/\",\"" + cut + "\""), (Page{true, "http://s/", "日本語"}));
    // Firefox: URL from the reply, title from the window whose text holds " - Mozilla Firefox".
    EXPECT_EQ(captureWith("Firefox", 0, "\"file:///p.html\",\"ignored\",\"\"",
                          {{"Terminal", "", {}}, {"日本語 - Mozilla Firefox", "", {}}}),
              (Page{true, "file:///p.html", "日本語"}));
    EXPECT_EQ(captureWith("Firefox", 0, "\"file:///p.html\",\"ignored\",\"\""), (Page{true, "file:///p.html", ""}));
    EXPECT_EQ(captureWith("Netscape6", 0, "\"http://6/\",\"\",\"\"", {{"Six - Netscape 6", "", {}}}),
              (Page{true, "http://6/", "Six"}));
    // Mozilla: a title starting with "." is looked up from the "... - Mozilla {" window.
    EXPECT_EQ(captureWith("Mozilla", 0, "\"http://m/\",\"M\",\"\""), (Page{true, "http://m/", "M"}));
    EXPECT_EQ(captureWith("Mozilla", 0, "\"http://m/\",\".dot\",\"\"", {{".dot page - Mozilla {Build}", "", {}}}),
              (Page{true, "http://m/", ".dot page"}));
    // Opera 6 (first in the table as "Netscape"): a reply without "]\"" at the end is completed from the
    // Opera frame's documents; under its own name only from a "[ ... ] - Opera" window.
    const CTopLevelWindow frame{"Opera", "", {{"", "MDIClient", {{"  Long title of page  ", "", {}}}}}};
    EXPECT_EQ(captureWith("Netscape", 0x10000, "\"http://o/\",\"Opera - [Long", {frame}),
              (Page{true, "http://o/", "Long title of page"}));
    EXPECT_EQ(captureWith("Netscape", 0x10000, "\"http://o/\",\"Opera - [Long title]\"", {frame}),
              (Page{true, "http://o/", "Long title"}));
    EXPECT_EQ(captureWith("Opera", 0x10000, "\"http://o/\",\"Opera - [Lo", {{"x Long one ] - Opera", "", {}}}),
              (Page{true, "http://o/", "Long one"}));
    // A reply without the separator gives no URL.
    EXPECT_EQ(captureWith("Opera", 0x20000, "\"http://o/ no separator"), (Page{true, "", ""}));
}
