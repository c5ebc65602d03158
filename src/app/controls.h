#pragma once
// The window's controls as the handlers see them: just the operations the
// handlers use. The Qt window and the headless test model both provide them.

#include <cstdint>
#include <string>

namespace snipwell {

// Horizontal position slider; Value and Max are whole seconds.
class Slider {
public:
    virtual ~Slider() = default;
    virtual std::int32_t value() const = 0;
    // A value written here never counts as a user move: it does not seek.
    virtual void setValue(std::int32_t value) = 0;
    virtual std::int32_t max() const = 0;
    virtual void setMax(std::int32_t max) = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual float max() const = 0;
    virtual void setMax(float max) = 0;
    virtual float value() const = 0;
    virtual void setValue(float value) = 0;
};

// The open/save file dialog. The filter is "description|pattern".
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual void setFilter(const std::string& filter) = 0;
    virtual void setFileName(const std::string& fileName) = 0;
    virtual std::string fileName() const = 0;
    virtual void setDialogTitle(const std::string& title) = 0;
    virtual void setFlags(std::int16_t flags) = 0;
    // Which pair of the filter is chosen, counted from 1: set before the
    // dialog is shown to offer it, read after a choice to learn the one the
    // person took. An index the filter does not have offers the first pair.
    virtual void setFilterIndex(std::int16_t index) = 0;
    virtual std::int16_t filterIndex() const = 0;
    // Modal. After a choice fileName() holds the path; a cancel throws a
    // RuntimeError of kind DialogCancelled and leaves fileName() unchanged.
    virtual void showOpen() = 0;
    virtual void showSave() = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class Label {
public:
    virtual ~Label() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setUnderline(bool underline) = 0;
};

// A marker line; X in twips.
class Line {
public:
    virtual ~Line() = default;
    virtual float x1() const = 0;
    virtual float x2() const = 0;
    virtual void setX1(float x) = 0;
    virtual void setX2(float x) = 0;
};

// A picture button: a disabled one looks the same and just raises no click.
class PictureButton {
public:
    virtual ~PictureButton() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

// The hidden frame whose native window handle parents the media service's
// video window.
class Frame {
public:
    virtual ~Frame() = default;
    virtual std::int32_t nativeHandle() const = 0;
};

class MainWindow {
public:
    virtual ~MainWindow() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::int32_t left() const = 0;
    virtual std::int32_t top() const = 0;
};

// The embedded web panel: navigate() returns at once, the page loads by itself.
class WebBrowser {
public:
    virtual ~WebBrowser() = default;
    virtual void navigate(const std::string& address) = 0;
};

}  // namespace snipwell
