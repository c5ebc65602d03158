#pragma once
// A window without a screen: it keeps what the handlers write to each control,
// logs every write in order, answers dialogs and message boxes from a script,
// and runs scripted user actions at given moments of a clock that only moves
// when the handlers wait. With it a test can replay any interleaving — a click
// inside a wait, a close inside a loop — in microseconds.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/window_services.h"

namespace snipwell::test {

class HeadlessWindow;

class HeadlessSlider : public Slider {
public:
    explicit HeadlessSlider(HeadlessWindow& window) : window_(window) {}
    std::int32_t value() const override { return value_; }
    void setValue(std::int32_t value) override;
    std::int32_t max() const override { return max_; }
    void setMax(std::int32_t max) override;
    void setEnabled(bool enabled) override;
    bool enabled() const { return enabled_; }
    // Refuses the next writes of a value, as a control can.
    bool refuseValues = false;

private:
    HeadlessWindow& window_;
    std::int32_t value_ = 0;
    std::int32_t max_ = 10;
    bool enabled_ = true;
};

class HeadlessProgressBar : public ProgressBar {
public:
    explicit HeadlessProgressBar(HeadlessWindow& window) : window_(window) {}
    float max() const override { return max_; }
    void setMax(float max) override;
    float value() const override { return value_; }
    void setValue(float value) override;

private:
    HeadlessWindow& window_;
    float max_ = 100;
    float value_ = 0;
};

// One scripted answer of the file dialog: a chosen path (with the filter
// pair it was chosen under, 0 for the one offered), or a cancel.
struct DialogAnswer {
    static DialogAnswer choose(std::string path, std::int16_t filterIndex = 0) {
        return {std::move(path), false, filterIndex};
    }
    static DialogAnswer cancel() { return {{}, true}; }
    std::string path;
    bool cancelled = false;
    std::int16_t filterIndex = 0;
};

// What the dialog looked like each time it was shown.
struct DialogShown {
    bool save = false;
    std::string filter;
    std::string title;
    std::string fileName;  // the name it offered
    std::int16_t flags = 0;
    std::int16_t filterIndex = 1;  // the pair it offered
};

class HeadlessFileDialog : public FileDialog {
public:
    explicit HeadlessFileDialog(HeadlessWindow& window) : window_(window) {}
    void setFilter(const std::string& filter) override;
    void setFileName(const std::string& fileName) override;
    std::string fileName() const override { return fileName_; }
    void setDialogTitle(const std::string& title) override;
    void setFlags(std::int16_t flags) override { flags_ = flags; }
    void setFilterIndex(std::int16_t index) override { filterIndex_ = index; }
    std::int16_t filterIndex() const override { return filterIndex_; }
    void showOpen() override { show(false); }
    void showSave() override { show(true); }

    std::deque<DialogAnswer> answers;  // an empty script answers with a cancel
    std::vector<DialogShown> shown;
    // Runs while the dialog is up, before it answers (a close, a timer tick).
    std::function<void()> whileShown;

private:
    void show(bool save);
    HeadlessWindow& window_;
    std::string filter_;
    std::string title_;
    std::string fileName_;
    std::int16_t flags_ = 0;
    std::int16_t filterIndex_ = 1;
};

class HeadlessTimer : public Timer {
public:
    HeadlessTimer(HeadlessWindow& window, std::string name, bool enabled)
        : window_(window), name_(std::move(name)), enabled_(enabled) {}
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override;

private:
    HeadlessWindow& window_;
    std::string name_;
    bool enabled_;
};

class HeadlessLabel : public Label {
public:
    HeadlessLabel(HeadlessWindow& window, std::string name)
        : window_(window), name_(std::move(name)) {}
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& caption) override;
    void setUnderline(bool underline) override;
    bool underlined() const { return underline_; }

private:
    HeadlessWindow& window_;
    std::string name_;
    std::string caption_;
    bool underline_ = false;
};

class HeadlessLine : public Line {
public:
    HeadlessLine(HeadlessWindow& window, std::string name, float x)
        : window_(window), name_(std::move(name)), x1_(x), x2_(x) {}
    float x1() const override { return x1_; }
    float x2() const override { return x2_; }
    void setX1(float x) override;
    void setX2(float x) override;

private:
    HeadlessWindow& window_;
    std::string name_;
    float x1_;
    float x2_;
};

class HeadlessButton : public PictureButton {
public:
    HeadlessButton(HeadlessWindow& window, std::string name)
        : window_(window), name_(std::move(name)) {}
    bool enabled() const override { return enabled_; }
    void setEnabled(bool enabled) override;

private:
    HeadlessWindow& window_;
    std::string name_;
    bool enabled_ = true;
};

class HeadlessFrame : public Frame {
public:
    std::int32_t nativeHandle() const override { return 4242; }
};

class HeadlessMainWindow : public MainWindow {
public:
    explicit HeadlessMainWindow(HeadlessWindow& window) : window_(window) {}
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& caption) override;
    std::int32_t left() const override { return 100; }
    std::int32_t top() const override { return 80; }

private:
    HeadlessWindow& window_;
    std::string caption_ = "Snipwell 3.4";
};

class HeadlessWebBrowser : public WebBrowser {
public:
    void navigate(const std::string& address) override { navigations.push_back(address); }
    std::vector<std::string> navigations;
};

struct MessageShown {
    std::string text;
    int buttons = 0;
    std::string title;
};

class HeadlessWindow : public WindowServices {
public:
    HeadlessWindow();

    // The form whose handlers scripted actions and timer ticks call.
    void attach(Form1& form) { form_ = &form; }
    Form1& form();

    // --- the script -------------------------------------------------------
    // Runs `action` the first time events are pumped at or after `atSeconds`
    // on the clock. Actions usually click: window.at(t, [&]{ click(Command9); }).
    void at(double atSeconds, std::function<void()> action);
    // Runs `action` at the next pump, whatever the time.
    void onNextPump(std::function<void()> action) { at(now_, std::move(action)); }
    // Sends an event to the form, as the real window would: a click on a
    // disabled button, or a move of a disabled slider, raises nothing.
    void raise(FormEvent event);
    // When true, the position timer T ticks every second of the clock while
    // events are pumped and it is enabled.
    bool timerTicks = false;
    // Clock time that one pass of pumpEvents() takes.
    double pumpCostSeconds = 0.001;

    std::deque<int> messageAnswers;  // an empty script answers OK (64) or No (68)
    std::vector<MessageShown> messages;
    std::function<void(const MessageShown&)> whileMessageShown;

    std::vector<std::string> openedAddresses;
    bool browserMissing = false;

    // Every write to a control, in order: "H.Value=0", "T.Enabled=false",
    // "Label7=0", "Line1.X1=240", "Command1.Enabled=false", "Caption=Saving",
    // "pb.Max=164097", "pb.Value=4096" ...
    std::vector<std::string> log;
    // Counts of pump calls, for tests of loops that must wait, not spin.
    int pumps = 0;
    int waits = 0;
    bool programEnded() const { return ended_; }

    // --- the clock --------------------------------------------------------
    // In real time the clock is the machine's steady clock and waits really
    // sleep: for tests against the real media service.
    void useRealTime();
    void setClock(double seconds) { now_ = seconds; }
    double clock() const { return now_; }

    // --- controls ---------------------------------------------------------
    HeadlessSlider slider{*this};
    HeadlessProgressBar progress{*this};
    HeadlessFileDialog dialog{*this};
    HeadlessTimer positionTimer{*this, "T", false};
    HeadlessTimer sampleTimer{*this, "Timer1", true};
    HeadlessLabel label1{*this, "Label1"}, label3{*this, "Label3"}, label4{*this, "Label4"},
        label7{*this, "Label7"}, label9{*this, "Label9"};
    HeadlessLine line1{*this, "Line1", 240}, line2{*this, "Line2", 4200};
    std::vector<HeadlessButton> buttons;
    HeadlessFrame frameP;
    HeadlessMainWindow mainWindow{*this};
    HeadlessWebBrowser browser;

    // --- WindowServices ---------------------------------------------------
    Slider& H() override { return slider; }
    ProgressBar& pb() override { return progress; }
    FileDialog& Cdlg() override { return dialog; }
    Timer& T() override { return positionTimer; }
    Timer& Timer1() override { return sampleTimer; }
    Label& Label1() override { return label1; }
    Label& Label3() override { return label3; }
    Label& Label4() override { return label4; }
    Label& Label7() override { return label7; }
    Label& Label9() override { return label9; }
    Line& Line1() override { return line1; }
    Line& Line2() override { return line2; }
    PictureButton& command(int number) override;
    Frame& P() override { return frameP; }
    MainWindow& window() override { return mainWindow; }
    WebBrowser& WebBrowser1() override { return browser; }
    int messageBox(const std::string& text, int buttons, const std::string& title) override;
    void openWebAddress(const std::string& address) override;
    void endProgram() override { ended_ = true; }
    void pumpEvents() override;
    void waitForEvents(std::chrono::milliseconds timeout) override;
    double seconds() override;

    void record(std::string entry) { log.push_back(std::move(entry)); }
    // Throws ProgramEnded once the window has been closed, as the real
    // services do when a wait or dialog returns after the close.
    void throwIfEnded() const;

private:
    struct Scheduled {
        double at;
        std::function<void()> action;
    };
    // Runs the actions and timer ticks that are due at the current time.
    void runDue();
    std::optional<double> nextDue() const;

    Form1* form_ = nullptr;
    double now_ = 1000.25;  // away from whole seconds, so rounding shows
    double nextTick_ = 0;
    bool ended_ = false;
    bool realTime_ = false;
    std::vector<Scheduled> schedule_;
};

}  // namespace snipwell::test
