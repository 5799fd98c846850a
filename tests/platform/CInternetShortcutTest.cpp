// The addresses of favourites: Windows internet shortcuts as browsers and Explorer write them, and
// freedesktop link entries as file managers write them.

#include <gtest/gtest.h>

#include "platform/CInternetShortcut.h"

TEST(CInternetShortcutTest, ReadsTheAddressOfBothKindsOfFavourite) {
    // As Internet Explorer wrote them: CR LF, other sections around, keys in any case.
    EXPECT_EQ(CInternetShortcut::urlOf("[DEFAULT]\r\nBASEURL=https://other.example/\r\n"
                                       "[InternetShortcut]\r\nIDList=\r\nurl=https://example.com/a?b=1#c\r\n"
                                       "IconIndex=0\r\n"),
              "https://example.com/a?b=1#c");
    EXPECT_EQ(CInternetShortcut::urlOf("\xEF\xBB\xBF[internetshortcut]\nURL = http://例え.jp/ \n"), "http://例え.jp/");
    // A desktop link entry; escapes are undone, comments and other groups ignored.
    EXPECT_EQ(CInternetShortcut::urlOf("[Desktop Entry]\n# URL=https://comment.example/\nName=Docs\n"
                                       "URL=https://example.org/a\\sb\nType=Link\n[Desktop Action x]\nURL=no\n"),
              "https://example.org/a b");
}

TEST(CInternetShortcutTest, AFileWithoutAnAddressGivesNone) {
    EXPECT_FALSE(CInternetShortcut::urlOf(""));
    EXPECT_FALSE(CInternetShortcut::urlOf("[InternetShortcut]\nURL=\n"));
    // The entry must be in its section.
    EXPECT_FALSE(CInternetShortcut::urlOf("URL=https://example.com/\n[InternetShortcut]\n"));
    // An application entry is no link, even with a URL key; a link without URL is nothing either.
    EXPECT_FALSE(CInternetShortcut::urlOf("[Desktop Entry]\nType=Application\nExec=x\nURL=https://a.example/\n"));
    EXPECT_FALSE(CInternetShortcut::urlOf("[Desktop Entry]\nType=Link\nName=x\n"));
    // Desktop entry keys are case-sensitive.
    EXPECT_FALSE(CInternetShortcut::urlOf("[Desktop Entry]\nType=Link\nurl=https://a.example/\n"));
}
