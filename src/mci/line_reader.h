#pragma once
// Reads newline-terminated lines from a descriptor with a bound on how much
// of a line is ever held: a longer line is reported as too long and the rest
// of it is read and dropped, however long it runs.

#include <cstddef>
#include <string>

namespace snipwell::mci {

struct InputLine {
    enum class Kind { line, tooLong, end };
    Kind kind = Kind::end;
    std::string text;  // without the newline; empty unless kind is line
};

class LineReader {
public:
    LineReader(int fd, std::size_t maxLineBytes) : fd_(fd), maxLineBytes_(maxLineBytes) {}

    // The next line; the last line counts even without a newline. `end`
    // once the input is exhausted or unreadable.
    InputLine next();

private:
    bool fill();

    int fd_;
    std::size_t maxLineBytes_;
    char buffer_[16 * 1024];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
};

}  // namespace snipwell::mci
