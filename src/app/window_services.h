#pragma once
// Everything the window's handlers may do to the world, in one interface:
// the controls by name, dialogs and message boxes, the event pump, the clock,
// opening web addresses and ending the program. Files reach Form1 from
// the program's main(), beside the media service. The Qt window provides
// it for real; tests provide a headless model that records and scripts it.

#include <string>

#include "app/controls.h"
#include "common/event_pump.h"

namespace snipwell {

// Message box buttons: the information icon with OK, or with Yes and No.
inline constexpr int kOkInformation = 64;
inline constexpr int kYesNoInformation = 68;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class WindowServices : public EventPump, public Clock {
public:
    virtual Slider& H() = 0;
    virtual ProgressBar& pb() = 0;
    virtual FileDialog& Cdlg() = 0;
    virtual Timer& T() = 0;
    virtual Timer& Timer1() = 0;
    virtual Label& Label1() = 0;
    virtual Label& Label3() = 0;
    virtual Label& Label4() = 0;
    virtual Label& Label7() = 0;
    virtual Label& Label9() = 0;
    virtual Line& Line1() = 0;
    virtual Line& Line2() = 0;
    // Command1 ... Command9.
    virtual PictureButton& command(int number) = 0;
    virtual Frame& P() = 0;
    virtual MainWindow& window() = 0;
    virtual WebBrowser& WebBrowser1() = 0;

    // Modal; returns the button pressed (kAnswerOk, kAnswerYes, kAnswerNo).
    // Throws ProgramEnded when the window was closed while it was shown.
    virtual int messageBox(const std::string& text, int buttons, const std::string& title) = 0;

    // Hands a web address to the user's default browser. Throws
    // RuntimeError(ServiceFailure) when no browser could be started.
    virtual void openWebAddress(const std::string& address) = 0;

    // Ends the program: the event loop is left, and every pump, dialog or
    // message box still on the stack throws ProgramEnded as soon as it returns.
    virtual void endProgram() = 0;
};

}  // namespace snipwell
