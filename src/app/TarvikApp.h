#pragma once

#include <QApplication>
#include <memory>

class CMainFrame;
class CTarvikDoc;

// The application: sets the data folder, creates the document and the main window.
class CTarvikApp : public QApplication {
    Q_OBJECT
public:
    CTarvikApp(int& argc, char** argv);
    ~CTarvikApp() override;

    // The start-up sequence; false ends the program.
    bool InitInstance();

private:
    std::unique_ptr<CTarvikDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};
