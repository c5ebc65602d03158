#pragma once
// WindowServices over the real Qt window: the controls by name, the file
// dialog, message boxes, the event pump and clock, web links and the end of
// the program.

#include <functional>
#include <memory>

#include <QElapsedTimer>
#include <QUrl>

#include "app/qt/program_end.h"
#include "app/qt/qt_controls.h"
#include "app/qt/qt_file_dialog.h"
#include "app/qt/snipwell_window.h"
#include "app/window_services.h"

namespace snipwell::qt {

// Hands an address to the desktop; false when nothing could take it.
using UrlOpener = std::function<bool(const QUrl&)>;

class QtWindowServices final : public WindowServices {
public:
    // The window is made here, with the web panel that the factory makes.
    // Links go to `openUrl`; the program's main() makes the real opener.
    QtWindowServices(const WebPanelFactory& makeWebPanel, UrlOpener openUrl);
    ~QtWindowServices() override;

    SnipwellWindow& qtWindow() { return *window_; }
    bool ended() const { return programEnd_.ended(); }

    Slider& H() override { return slider_; }
    ProgressBar& pb() override { return progressBar_; }
    FileDialog& Cdlg() override { return fileDialog_; }
    Timer& T() override { return T_; }
    Timer& Timer1() override { return Timer1_; }
    Label& Label1() override { return Label1_; }
    Label& Label3() override { return Label3_; }
    Label& Label4() override { return Label4_; }
    Label& Label7() override { return Label7_; }
    Label& Label9() override { return Label9_; }
    Line& Line1() override { return Line1_; }
    Line& Line2() override { return Line2_; }
    PictureButton& command(int number) override;
    Frame& P() override { return P_; }
    MainWindow& window() override { return mainWindow_; }
    WebBrowser& WebBrowser1() override { return webBrowser_; }

    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    void openWebAddress(const std::string& address) override;
    void endProgram() override;

    void pumpEvents() override;
    void waitForEvents(std::chrono::milliseconds timeout) override;
    double seconds() override;

private:
    std::unique_ptr<SnipwellWindow> window_;
    ProgramEnd programEnd_;
    UrlOpener openUrl_;
    QElapsedTimer clock_;

    QtSlider slider_;
    QtProgressBar progressBar_;
    QtFileDialog fileDialog_;
    QtTimer T_;
    QtTimer Timer1_;
    QtLabel Label1_;
    QtLabel Label3_;
    QtLabel Label4_;
    QtLabel Label7_;
    QtLabel Label9_;
    QtLine Line1_;
    QtLine Line2_;
    std::vector<std::unique_ptr<QtPictureButton>> commands_;
    QtFrame P_;
    QtMainWindow mainWindow_;
    QtWebBrowser webBrowser_;
};

}  // namespace snipwell::qt
