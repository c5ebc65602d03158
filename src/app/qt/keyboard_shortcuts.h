#pragma once
// The window's keys: each presses one picture button, wherever the focus is
// in the window, and does nothing while that button is disabled. A focused
// picture button keeps Space and Return for itself; the slider keeps its
// arrows, Page Up/Down, Home and End.

#include <functional>

#include <QObject>

namespace snipwell::qt {

class SnipwellWindow;

// Which button a key presses; kPlayOrPause stands for Space, whose button
// depends on whether the track plays.
inline constexpr int kPlayOrPause = 0;

struct ButtonKey {
    const char* keys;  // in QKeySequence's portable text
    int button;        // 1 ... 9, or kPlayOrPause
};

inline constexpr ButtonKey kButtonKeys[] = {
    {"Ctrl+O", 4},            // Open
    {"Space", kPlayOrPause},  // Play, or Pause while playing
    {"S", 2},                 // Stop
    {"I", 5},                 // Select Start
    {"O", 6},                 // Select End
    {"P", 9},                 // Play Selected
    {"Ctrl+S", 7},            // Save
};

class KeyboardShortcuts : public QObject {
    Q_OBJECT
public:
    // `choosePlayOrPause` names the button Space presses now (1 or 3);
    // `press` presses a button, which is enabled when it is called.
    KeyboardShortcuts(SnipwellWindow& window, std::function<int()> choosePlayOrPause,
                      std::function<void(int button)> press);

private:
    void onKey(int button);

    SnipwellWindow& window_;
    std::function<int()> choosePlayOrPause_;
    std::function<void(int)> press_;
};

}  // namespace snipwell::qt
