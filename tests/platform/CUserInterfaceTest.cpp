#include <gtest/gtest.h>

#include "platform/CMemoryProfile.h"
#include "support/CRecordingUserInterface.h"

TEST(CUserInterface, WithoutAnApplicationEveryQuestionIsDeclined) {
    // Nothing may be deleted or overwritten on a machine without a display because nobody answered.
    EXPECT_FALSE(CUserInterface::current().askYesNo("削除しますか？"));
    EXPECT_FALSE(CUserInterface::current().askOkCancel("削除しますか？", MessageIcon::Warning));
    EXPECT_EQ(CUserInterface::current().askYesNoCancel("保存しますか?"), Answer::Cancel);
}

TEST(CUserInterface, RecordingInterfaceScriptsAnswersAndUninstallsItself) {
    {
        CRecordingUserInterface ui;
        ui.scriptAnswers({true, false});
        CUserInterface::current().message("相対パスが誤っています", MessageIcon::Warning);
        EXPECT_TRUE(CUserInterface::current().askYesNo("A"));
        EXPECT_FALSE(CUserInterface::current().askYesNo("B"));
        EXPECT_FALSE(CUserInterface::current().askOkCancel("C", MessageIcon::Question));
        EXPECT_EQ(ui.texts(), (std::vector<std::string>{"相対パスが誤っています", "A", "B", "C"}));
        ui.scriptThreeWayAnswers({Answer::Cancel, Answer::Yes});
        EXPECT_EQ(CUserInterface::current().askYesNoCancel("E"), Answer::Cancel);
        EXPECT_EQ(CUserInterface::current().askYesNoCancel("F"), Answer::Yes);
        EXPECT_EQ(CUserInterface::current().askYesNoCancel("G"), Answer::No);  // the fallback
        EXPECT_EQ(ui.shown().back().kind, CRecordingUserInterface::Shown::Kind::YesNoCancel);
    }
    EXPECT_FALSE(CUserInterface::current().askYesNo("D"));
}

TEST(CMemoryProfile, MissingEntriesGiveTheDefaultAndIntsAndStringsAreSeparate) {
    CMemoryProfile profile;
    EXPECT_EQ(profile.readInt("System", "FirstExec", 1), 1);
    profile.writeInt("System", "FirstExec", 0);
    profile.writeString("Folder", "Catalog00", "/home/u/Documents/Quillory");
    EXPECT_EQ(profile.readInt("System", "FirstExec", 1), 0);
    EXPECT_EQ(profile.readString("Folder", "Catalog00", ""), "/home/u/Documents/Quillory");
    EXPECT_EQ(profile.readString("Folder", "Catalog01", "none"), "none");
    EXPECT_EQ(profile.readString("System", "FirstExec", "x"), "x");
}
