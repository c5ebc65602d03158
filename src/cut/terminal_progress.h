#pragma once
// A one-line progress bar for a terminal, redrawn in place only when what it
// shows changes, so a long cut costs next to nothing to draw.

#include <cstdint>
#include <cstdio>

namespace snipwell {

class TerminalProgress {
public:
    // Draws nothing unless `out` is a terminal (nothing at all for nullptr).
    explicit TerminalProgress(std::FILE* out);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void start(std::int64_t totalBytes);
    // Shows `doneBytes` of the total.
    void show(std::int64_t doneBytes);
    // Shows 100 % and ends the line.
    void complete();
    // Ends the line where it stands, so whatever is written next starts on a
    // fresh one.
    void finish();
    // Takes the bar off its line, so a line written next stands alone there;
    // the next show() draws it again below.
    void clear();

private:
    void draw(int permille);

    std::FILE* out_;
    bool enabled_;
    bool drawn_ = false;
    std::int64_t total_ = 0;
    int shownPermille_ = -1;
};

}  // namespace snipwell
