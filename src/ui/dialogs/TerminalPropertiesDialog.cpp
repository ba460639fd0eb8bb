#include "ui/dialogs/TerminalPropertiesDialog.h"

#include "ui_TerminalPropertiesDialog.h"

#include <QPushButton>

TerminalPropertiesDialog::TerminalPropertiesDialog(const QString& model, const QString& firmware,
                                                   const QString& serialNumber, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TerminalPropertiesDialog>()) {
    ui_->setupUi(this);
    // Texts read from a terminal are shown as they are, never as markup.
    for (QLabel* text : {ui_->modelText, ui_->firmwareText, ui_->serialText}) {
        text->setTextFormat(Qt::PlainText);
    }
    ui_->modelText->setText(model);
    ui_->firmwareText->setText(firmware);
    ui_->serialText->setText(serialNumber);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

TerminalPropertiesDialog::~TerminalPropertiesDialog() = default;
