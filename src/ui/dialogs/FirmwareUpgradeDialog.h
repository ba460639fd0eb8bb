#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

namespace Ui {
class FirmwareUpgradeDialog;
}

// Project Mode's F/W Upgrade: picks an image file and the roster terminals to send it to.
class FirmwareUpgradeDialog : public QDialog {
    Q_OBJECT

public:
    explicit FirmwareUpgradeDialog(QWidget* parent = nullptr);
    ~FirmwareUpgradeDialog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillTerminalList();
    void RefreshCount();
    void Browse();
    void Upgrade();
    std::vector<bool> CheckedFlags() const;

    std::unique_ptr<Ui::FirmwareUpgradeDialog> ui_;
    QString imagePath_;
};
