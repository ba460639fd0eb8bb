#include "ui/dialogs/FilePropertiesDialog.h"
#include "ui/dialogs/TerminalPropertiesDialog.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

template <class Widget>
Widget* Control(QDialog& dialog, const char* name) {
    if (auto* widget = dialog.findChild<Widget*>(name)) return widget;
    throw std::runtime_error(std::string("the dialog has no control ") + name);
}

QString AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// What SetInfo is given and what the five rows then show, label and value.
struct FileCase {
    const char* name;
    PropertiesKind kind;
    QString location;
    QString itemName;
    int64_t first;
    int32_t second;
    QString date;
    QStringList labels;  // Type, Location, Size and Date rows
    QStringList values;  // Type, Location, Size and Date values
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class FilePropertiesDialogTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(FilePropertiesDialogTest, ShowsWhatItIsGiven) {
    const FileCase& c = GetParam();
    FilePropertiesDialog dialog;
    dialog.SetInfo(c.kind, c.location, c.itemName, c.first, c.second, 12345, c.date);
    EXPECT_EQ(dialog.windowTitle(), "Properties");
    EXPECT_EQ(Control<QLineEdit>(dialog, "nameEdit")->text(), c.itemName);

    const char* rows[][2] = {{"typeLabel", "typeEdit"},
                             {"locationLabel", "locationEdit"},
                             {"sizeLabel", "sizeEdit"},
                             {"dateLabel", "dateEdit"}};
    QStringList labels;
    QStringList values;
    for (const auto& [label, edit] : rows) {
        labels << Control<QLabel>(dialog, label)->text();
        auto* value = Control<QLineEdit>(dialog, edit);
        values << value->text();
        EXPECT_TRUE(value->isReadOnly()) << edit;
        // A screen reader names each value after the label in front of it.
        QString expected = labels.back();
        if (expected.endsWith(':')) expected.chop(1);
        EXPECT_EQ(AccessibleName(value), expected) << edit;
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(values, c.values);
    // The third number is kept, never shown.
    for (const QString& value : values) EXPECT_FALSE(value.contains("12345"));
}

const QStringList kDriveLabels{"Type:", "Used Space", "Free Space", "Capacity"};
const QStringList kItemLabels{"Type:", "Location:", "Size:", "Date:"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, FilePropertiesDialogTest,
    ::testing::Values(
        FileCase{"drive", PropertiesKind::Drive, "", "C:\\", 1024, 256, "", kDriveLabels,
                 {"Local Disc", "768 KB", "256 KB", "1024 KB"}},
        FileCase{"full_drive", PropertiesKind::Drive, "", "E:\\", 2048, 0, "", kDriveLabels,
                 {"Local Disc", "2048 KB", "0 KB", "2048 KB"}},
        FileCase{"unformatted_drive", PropertiesKind::Drive, "", "D:\\", 4096, -1, "",
                 kDriveLabels, {"Local Disc", "UnFormat", "UnFormat", "UnFormat"}},
        FileCase{"folder", PropertiesKind::Folder, "C:", "DATA", 175, 0, "2018/05/31 14:07:09",
                 kItemLabels, {"File Folder", "C:", "175 bytes", "2018/05/31 14:07:09"}},
        FileCase{"large_folder", PropertiesKind::Folder, "C:\\A", "B", 3'000'000'000LL, 0, "",
                 kItemLabels, {"File Folder", "C:\\A", "3000000000 bytes", ""}},
        FileCase{"empty_file", PropertiesKind::File, "C:\\", "EMPTY.TXT", 0, 0,
                 "2020/01/02 03:04:05", kItemLabels,
                 {"File", "C:\\", "0 bytes", "2020/01/02 03:04:05"}}));

TEST(FilePropertiesDialogLabels, AFileAfterADriveGetsItsOwnLabelsBack) {
    FilePropertiesDialog dialog;
    dialog.SetInfo(PropertiesKind::Drive, "", "C:\\", 10, 5, 0, "");
    dialog.SetInfo(PropertiesKind::File, "C:\\", "A.TXT", 7, 0, 0, "d");
    EXPECT_EQ(Control<QLabel>(dialog, "locationLabel")->text(), "Location:");
    EXPECT_EQ(Control<QLineEdit>(dialog, "sizeEdit")->text(), "7 bytes");
}

struct IdentityCase {
    const char* name;
    QString model, firmware, serial;
};

void PrintTo(const IdentityCase& c, std::ostream* os) { *os << c.name; }

class TerminalPropertiesDialogTest : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(TerminalPropertiesDialogTest, ShowsTheIdentityAsItIs) {
    const IdentityCase& c = GetParam();
    TerminalPropertiesDialog dialog(c.model, c.firmware, c.serial);
    EXPECT_EQ(dialog.windowTitle(), "Property");
    EXPECT_EQ(Control<QLabel>(dialog, "modelLabel")->text(), "Terminal:");
    EXPECT_EQ(Control<QLabel>(dialog, "firmwareLabel")->text(), "F/W Version:");
    EXPECT_EQ(Control<QLabel>(dialog, "serialLabel")->text(), "SN:");
    for (const auto& [name, expected] : {std::pair{"modelText", c.model},
                                         std::pair{"firmwareText", c.firmware},
                                         std::pair{"serialText", c.serial}}) {
        auto* text = Control<QLabel>(dialog, name);
        EXPECT_EQ(text->text(), expected) << name;
        EXPECT_EQ(text->textFormat(), Qt::PlainText) << name;
    }
    EXPECT_TRUE(Control<QLabel>(dialog, "modelLabel")->alignment() & Qt::AlignRight);
}

INSTANTIATE_TEST_SUITE_P(
    Identities, TerminalPropertiesDialogTest,
    ::testing::Values(IdentityCase{"read", "TQ-3100", "A00-1.10", "10000042"},
                      // An identity read that failed shows empty texts.
                      IdentityCase{"failed", "", "", ""},
                      // A module's text is never taken for markup.
                      IdentityCase{"markup", "<b>TQ</b>", "A&amp;B", "<i>1</i>"}));

}  // namespace
