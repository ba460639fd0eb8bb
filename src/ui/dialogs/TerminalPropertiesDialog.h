#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TerminalPropertiesDialog;
}

// Shows the identity of a roster terminal: model, firmware version and serial number.
class TerminalPropertiesDialog : public QDialog {
    Q_OBJECT

public:
    TerminalPropertiesDialog(const QString& model, const QString& firmware,
                             const QString& serialNumber, QWidget* parent = nullptr);
    ~TerminalPropertiesDialog() override;

private:
    std::unique_ptr<Ui::TerminalPropertiesDialog> ui_;
};
