#include "ui/dialogs/FilePropertiesDialog.h"

#include "ui_FilePropertiesDialog.h"

#include <QPushButton>

namespace {

// An edit is named after the label in front of it, which a drive renames.
void NameAfter(QLabel* label, QLineEdit* edit) {
    QString name = label->text();
    if (name.endsWith(u':')) name.chop(1);
    edit->setAccessibleName(name);
}

QString Kilobytes(int64_t value) { return QStringLiteral("%1 KB").arg(value); }

}  // namespace

FilePropertiesDialog::FilePropertiesDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FilePropertiesDialog>()) {
    ui_->setupUi(this);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    ShowValues();
}

FilePropertiesDialog::~FilePropertiesDialog() = default;

void FilePropertiesDialog::SetInfo(PropertiesKind kind, const QString& location,
                                   const QString& name, int64_t first, int32_t second,
                                   int32_t third, const QString& date) {
    kind_ = kind;
    location_ = location;
    name_ = name;
    first_ = first;
    second_ = second;
    third_ = third;
    date_ = date;
    ShowValues();
}

int FilePropertiesDialog::exec() {
    ShowValues();
    return QDialog::exec();
}

void FilePropertiesDialog::ShowValues() {
    ui_->nameEdit->setText(name_);
    if (kind_ == PropertiesKind::Drive) {
        ui_->typeEdit->setText(QStringLiteral("Local Disc"));
        ui_->locationLabel->setText(QStringLiteral("Used Space"));
        ui_->sizeLabel->setText(QStringLiteral("Free Space"));
        ui_->dateLabel->setText(QStringLiteral("Capacity"));
        if (second_ < 0) {
            const QString unformatted = QStringLiteral("UnFormat");
            ui_->locationEdit->setText(unformatted);
            ui_->sizeEdit->setText(unformatted);
            ui_->dateEdit->setText(unformatted);
        } else {
            ui_->locationEdit->setText(Kilobytes(first_ - second_));
            ui_->sizeEdit->setText(Kilobytes(second_));
            ui_->dateEdit->setText(Kilobytes(first_));
        }
    } else {
        ui_->typeEdit->setText(kind_ == PropertiesKind::Folder ? QStringLiteral("File Folder")
                                                               : QStringLiteral("File"));
        ui_->locationLabel->setText(QStringLiteral("Location:"));
        ui_->sizeLabel->setText(QStringLiteral("Size:"));
        ui_->dateLabel->setText(QStringLiteral("Date:"));
        ui_->locationEdit->setText(location_);
        ui_->sizeEdit->setText(QStringLiteral("%1 bytes").arg(first_));
        ui_->dateEdit->setText(date_);
    }
    NameAfter(ui_->nameLabel, ui_->nameEdit);
    NameAfter(ui_->typeLabel, ui_->typeEdit);
    NameAfter(ui_->locationLabel, ui_->locationEdit);
    NameAfter(ui_->sizeLabel, ui_->sizeEdit);
    NameAfter(ui_->dateLabel, ui_->dateEdit);
}
