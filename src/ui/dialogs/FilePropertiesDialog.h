#pragma once

#include "terminal/ItemProperties.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

namespace Ui {
class FilePropertiesDialog;
}

// Shows the size and place of a terminal drive, folder or file that the Property command read.
class FilePropertiesDialog : public QDialog {
    Q_OBJECT

public:
    explicit FilePropertiesDialog(QWidget* parent = nullptr);
    ~FilePropertiesDialog() override;

    // A drive's first number is its capacity in KB and its second its free space in KB (below
    // 0: not formatted); a folder's or file's first number is its size in bytes. The third
    // number is kept and never shown.
    void SetInfo(PropertiesKind kind, const QString& location, const QString& name,
                 int64_t first, int32_t second, int32_t third, const QString& date);

    int exec() override;

private:
    void ShowValues();

    std::unique_ptr<Ui::FilePropertiesDialog> ui_;
    PropertiesKind kind_ = PropertiesKind::File;
    QString name_;
    QString location_;
    int64_t first_ = 0;
    int32_t second_ = 0;
    int32_t third_ = 0;
    QString date_;
};
