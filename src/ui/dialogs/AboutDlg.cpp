#include "ui/dialogs/AboutDlg.h"

#include "ui/Images.h"
#include "ui_AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutDlg>()) {
    ui_->setupUi(this);
    ui_->iconLabel->setPixmap(ApplicationIcon().pixmap(48, 48));
}

CAboutDlg::~CAboutDlg() = default;
