#include "app/qt/keyboard_shortcuts.h"

#include <QKeySequence>
#include <QShortcut>

#include "app/qt/snipwell_window.h"

namespace snipwell::qt {

KeyboardShortcuts::KeyboardShortcuts(SnipwellWindow& window, std::function<int()> choosePlayOrPause,
                                     std::function<void(int button)> press)
    : QObject(&window),
      window_(window),
      choosePlayOrPause_(std::move(choosePlayOrPause)),
      press_(std::move(press)) {
    for (const ButtonKey& key : kButtonKeys) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key.keys)), &window,
                                       nullptr, nullptr, Qt::WindowShortcut);
        // A held key presses its button once, as a held mouse button does.
        shortcut->setAutoRepeat(false);
        const int button = key.button;
        connect(shortcut, &QShortcut::activated, this, [this, button] { onKey(button); });
    }
}

// Play and Pause are locked together (during a save), so a disabled Play
// means Space does nothing and the media service is not even asked.
void KeyboardShortcuts::onKey(int button) {
    if (button == kPlayOrPause) {
        if (!window_.command(1).isEnabled()) return;
        button = choosePlayOrPause_();
    }
    if (window_.command(button).isEnabled()) press_(button);
}

}  // namespace snipwell::qt
