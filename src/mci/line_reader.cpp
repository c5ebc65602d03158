#include "mci/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace snipwell::mci {

bool LineReader::fill() {
    if (atEnd_) return false;
    while (true) {
        const ssize_t got = ::read(fd_, buffer_, sizeof buffer_);
        if (got > 0) {
            begin_ = 0;
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        atEnd_ = true;
        return false;
    }
}

InputLine LineReader::next() {
    std::string text;
    bool tooLong = false;
    bool readAnything = false;
    while (true) {
        if (begin_ == end_ && !fill()) break;
        readAnything = true;
        const char* start = buffer_ + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        const std::size_t take =
            newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                               : available;
        if (!tooLong) {
            if (text.size() + take > maxLineBytes_) {
                tooLong = true;
                text.clear();
                text.shrink_to_fit();
            } else {
                text.append(start, take);
            }
        }
        begin_ += take;
        if (newline != nullptr) {
            ++begin_;
            return tooLong ? InputLine{InputLine::Kind::tooLong, {}}
                           : InputLine{InputLine::Kind::line, std::move(text)};
        }
    }
    if (!readAnything || (!tooLong && text.empty())) return {InputLine::Kind::end, {}};
    return tooLong ? InputLine{InputLine::Kind::tooLong, {}}
                   : InputLine{InputLine::Kind::line, std::move(text)};
}

}  // namespace snipwell::mci
