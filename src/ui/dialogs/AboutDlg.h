#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutDlg;
}

// The program's name and version.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

private:
    std::unique_ptr<Ui::AboutDlg> ui_;
};
