#include "ui/dialogs/NameDialog.h"

#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The dialog as the user meets it, with its controls found by name.
class NameDialogTest : public ::testing::Test {
protected:
    void Open(bool pcTree, int purpose, bool isFile) {
        dialog = std::make_unique<NameDialog>(pcTree, purpose, isFile);
        dialog->show();
        edit = dialog->findChild<QLineEdit*>("nameEdit");
        label = dialog->findChild<QLabel*>("nameLabel");
        hint = dialog->findChild<QLabel*>("hintLabel");
        ASSERT_TRUE(edit && label && hint);
    }
    // Types as the keyboard would, so the edit's own limit applies.
    void Type(const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    // Types the name and presses OK; true when the dialog closed with it.
    bool Confirm(const QString& typed) {
        Type(typed);
        dialog->findChild<QPushButton*>("okButton")->click();
        return !dialog->isVisible() && dialog->result() == QDialog::Accepted;
    }

    ScriptedPrompter prompter;
    std::unique_ptr<NameDialog> dialog;
    QLineEdit* edit = nullptr;
    QLabel* label = nullptr;
    QLabel* hint = nullptr;
};

struct LookCase {
    const char* name;
    bool pcTree;
    int purpose;
    bool isFile;
    const char* title;
    const char* label;
    const char* hint;  // empty: hidden
    int maxLength;     // 0: no limit
};

void PrintTo(const LookCase& c, std::ostream* out) {
    *out << c.name;
}

class NameDialogLookTest : public NameDialogTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(NameDialogLookTest, ShowsTitleLabelHintAndLimitForItsPurpose) {
    const LookCase& c = GetParam();
    Open(c.pcTree, c.purpose, c.isFile);

    EXPECT_EQ(dialog->windowTitle(), c.title);
    EXPECT_EQ(label->text(), c.label);
    EXPECT_EQ(hint->isVisible(), *c.hint != '\0');
    if (*c.hint) {
        EXPECT_EQ(hint->text(), c.hint);
    }
    EXPECT_EQ(edit->maxLength(), c.maxLength ? c.maxLength : QLineEdit().maxLength());
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(edit->accessibleName() + ":", c.label);
}

INSTANTIATE_TEST_SUITE_P(
    , NameDialogLookTest,
    ::testing::Values(LookCase{"PcNewFolder", true, NameDialog::kNewFolder, false,
                               "Create New Folder", "New Folder:", "", 0},
                      LookCase{"PcRenameFile", true, NameDialog::kRename, true, "Modify Name",
                               "New File Name:", "", 0},
                      LookCase{"PcRenameFolder", true, NameDialog::kRename, false, "Modify Name",
                               "New Folder Name:", "", 0},
                      LookCase{"TerminalNewFolder", false, NameDialog::kNewFolder, false,
                               "Create New Folder", "New Folder:", "Max. 8 char. ", 8},
                      // A new folder is a folder, whatever the caller says of the item.
                      LookCase{"TerminalNewFolderFromAFile", false, NameDialog::kNewFolder, true,
                               "Create New Folder", "New Folder:", "Max. 8 char. ", 8},
                      LookCase{"TerminalRenameFile", false, NameDialog::kRename, true,
                               "Modify Name", "New File Name:", "Format: 8.3", 11},
                      LookCase{"TerminalRenameFolder", false, NameDialog::kRename, false,
                               "Modify Name", "New Folder Name:", "Max. 8 char.", 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NameDialogTest, TheEditTakesNoMoreThanATerminalNameHolds) {
    Open(false, NameDialog::kRename, true);
    // Eleven, as the terminal's dialog always had: a full 8.3 name does not fit.
    Type("ABCDEFGH.TXT");
    EXPECT_EQ(edit->text(), "ABCDEFGH.TX");

    Open(false, NameDialog::kNewFolder, false);
    Type("ABCDEFGHI");
    EXPECT_EQ(edit->text(), "ABCDEFGH");

    Open(true, NameDialog::kNewFolder, false);
    const QString longName(300, u'x');
    Type(longName);
    EXPECT_EQ(edit->text(), longName);
}

struct OkCase {
    const char* name;
    bool pcTree;
    int purpose;
    bool isFile;
    const char* typed;
    bool accepted;
    const char* result;  // the name returned and shown in the edit
};

void PrintTo(const OkCase& c, std::ostream* out) {
    *out << c.name;
}

class NameDialogOkTest : public NameDialogTest, public ::testing::WithParamInterface<OkCase> {};

TEST_P(NameDialogOkTest, AcceptsAUsableNameAndKeepsTheDialogOpenForAnotherOne) {
    const OkCase& c = GetParam();
    Open(c.pcTree, c.purpose, c.isFile);

    EXPECT_EQ(Confirm(c.typed), c.accepted);

    if (c.accepted) {
        EXPECT_TRUE(prompter.messages.isEmpty());
        EXPECT_EQ(dialog->Name(), c.result);
    } else {
        EXPECT_EQ(prompter.messages, QStringList{"Invalid file name!"});
        EXPECT_EQ(prompter.captions, QStringList{"Tarvik"});
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->Name().isEmpty());
    }
    EXPECT_EQ(edit->text(), c.result);
}

constexpr int kFolder = NameDialog::kNewFolder;
constexpr int kRename = NameDialog::kRename;

INSTANTIATE_TEST_SUITE_P(
    , NameDialogOkTest,
    ::testing::Values(
        OkCase{"TerminalFileWithoutDot", false, kRename, true, "README", false, "README"},
        OkCase{"TerminalFileDotAfterNinth", false, kRename, true, "ABCDEFGHI.T", false,
               "ABCDEFGHI.T"},
        OkCase{"TerminalFileEightDotTwo", false, kRename, true, "ABCDEFGH.TX", true, "ABCDEFGH.TX"},
        OkCase{"TerminalFileLongExtensionCut", false, kRename, true, "A.TEXT", true, "A.TEX"},
        OkCase{"TerminalFileEmptyBase", false, kRename, true, ".BAS", true, ".BAS"},
        OkCase{"TerminalFileSecondDotKept", false, kRename, true, "A.B.C", true, "A.B.C"},
        OkCase{"TerminalFileWithBackslash", false, kRename, true, "A\\B.TXT", false, "A\\B.TXT"},
        OkCase{"TerminalFolderAnyText", false, kRename, false, "NODOT", true, "NODOT"},
        OkCase{"TerminalNewFolderWithBackslash", false, kFolder, false, "A\\B", false, "A\\B"},
        OkCase{"PcLongNameWithSpacesAndDots", true, kRename, true, "my notes.2024.old.txt", true,
               "my notes.2024.old.txt"},
        OkCase{"PcFileWithoutDot", true, kRename, true, "README", true, "README"},
        OkCase{"PcEmpty", true, kFolder, false, "", false, ""},
        OkCase{"PcDot", true, kFolder, false, ".", false, "."},
        OkCase{"PcDotDot", true, kRename, false, "..", false, ".."},
        OkCase{"PcSlash", true, kRename, true, "a/b.txt", false, "a/b.txt"},
        OkCase{"PcBackslashIsAName", true, kFolder, false, "a\\b", true, "a\\b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NameDialogTest, AnInvalidNameCanBeCorrectedAndThenCancelLeavesNoName) {
    Open(false, kRename, true);
    EXPECT_FALSE(Confirm("README"));
    edit->clear();
    EXPECT_TRUE(Confirm("READ.ME"));
    EXPECT_EQ(dialog->Name(), "READ.ME");

    Open(true, kFolder, false);
    Type("NEW");
    dialog->findChild<QPushButton*>("cancelButton")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(dialog->Name().isEmpty());
}

TEST_F(NameDialogTest, EveryControlHasANameForAssistiveTechnology) {
    Open(false, kRename, true);
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        if (widget->isWindow()) continue;
        QString spoken = widget->accessibleName();
        if (auto* text = qobject_cast<QLabel*>(widget)) spoken += text->text();
        if (auto* button = qobject_cast<QPushButton*>(widget)) spoken += button->text();
        EXPECT_FALSE(spoken.trimmed().isEmpty()) << widget->objectName().toStdString();
    }
}

}  // namespace
