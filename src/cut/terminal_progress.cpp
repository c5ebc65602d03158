#include "cut/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <string>

namespace snipwell {
namespace {
constexpr int kBarWidth = 40;
}

TerminalProgress::TerminalProgress(std::FILE* out)
    : out_(out), enabled_(out != nullptr && ::isatty(::fileno(out)) == 1) {}

TerminalProgress::~TerminalProgress() { finish(); }

void TerminalProgress::start(std::int64_t totalBytes) {
    total_ = std::max<std::int64_t>(totalBytes, 1);
    draw(0);
}

void TerminalProgress::show(std::int64_t doneBytes) {
    const auto permille =
        static_cast<int>(std::clamp<std::int64_t>(doneBytes * 1000 / total_, 0, 1000));
    if (permille != shownPermille_) draw(permille);
}

void TerminalProgress::complete() {
    if (shownPermille_ != 1000) draw(1000);
    finish();
}

void TerminalProgress::finish() {
    if (enabled_ && drawn_) std::fputc('\n', out_);
    drawn_ = false;
}

void TerminalProgress::clear() {
    if (enabled_ && drawn_) {
        // "[" bar "] " and "100.0%": as wide as the widest bar drawn.
        std::fprintf(out_, "\r%*s\r", kBarWidth + 9, "");
        std::fflush(out_);
    }
    drawn_ = false;
    shownPermille_ = -1;
}

void TerminalProgress::draw(int permille) {
    shownPermille_ = permille;
    if (!enabled_) return;
    const int filled = permille * kBarWidth / 1000;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
    std::fprintf(out_, "\r[%s] %3d.%d%%", bar.c_str(), permille / 10, permille % 10);
    std::fflush(out_);
    drawn_ = true;
}

}  // namespace snipwell
