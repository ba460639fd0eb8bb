#include "support/TempBench.h"
#include "ui/dialogs/FleetRunDialog.h"

#include <QAccessible>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Each row's cells as a screen reader reads them.
QStringList ReadRow(QTreeWidget& rows, int row) {
    QStringList cells;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&rows);
    for (int column = 0; column < rows.columnCount(); ++column) {
        QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
        cells << (cell ? cell->text(QAccessible::Name) : QStringLiteral("<none>"));
    }
    return cells;
}

TEST(FleetRunDialogTest, EachTerminalsRowTellsItsProgressAndResultToAScreenReader) {
    TempBench bench;
    bench.Add({.folder = "a", .port = "COM3", .serial = "10000042"});
    bench.Add({.folder = "gone", .port = "COM6", .offline = true});
    FleetRunDialog dialog("Status", {{"COM3", "10000042"}, {"COM6", ""}});
    dialog.Run({{"COM3", {"--worker", "status", "--to", "COM3"}}, {"COM6", {"--worker", "status", "--to", "COM6"}}});
    EXPECT_EQ(ReadRow(*dialog.Rows(), 0), (QStringList{"COM3", "10000042", "", "100%", "Done"}));
    EXPECT_EQ(ReadRow(*dialog.Rows(), 1), (QStringList{"COM6", "", "", "0%", "Device is Off-line!"}));
}

}  // namespace
