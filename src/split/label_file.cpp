#include "split/label_file.h"

#include <charconv>

#include "common/clip_time.h"
#include "common/shown_value.h"
#include "split/sheet_text.h"

namespace snipwell {
namespace {

constexpr std::int64_t kMicroseconds = 1'000'000;

std::vector<std::string_view> splitAtTabs(std::string_view line, std::size_t fields) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < fields) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        out.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    out.push_back(line);
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<SplitTime> parseLabelSeconds(std::string_view text) {
    text = trimmed(text);
    const std::size_t point = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() || whole.size() > 7) return std::nullopt;
    std::int64_t seconds = 0;
    const auto [stop, error] = std::from_chars(whole.data(), whole.data() + whole.size(), seconds);
    if (error != std::errc{} || stop != whole.data() + whole.size() || seconds < 0)
        return std::nullopt;
    if (seconds >= kLongestSplitSeconds) return std::nullopt;
    std::int64_t micro = 0;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        if (fraction[i] < '0' || fraction[i] > '9') return std::nullopt;
        if (i < 6) micro = micro * 10 + (fraction[i] - '0');
    }
    for (std::size_t i = fraction.size(); i < 6; ++i) micro *= 10;
    return SplitTime{seconds * kMicroseconds + micro, kMicroseconds};
}

namespace {

// One label line, checked against the label before it; nullopt for a line
// that holds no label.
std::variant<std::optional<Label>, SheetError> readLabel(std::string_view line, int lineNumber,
                                                         const Label* before) {
    if (trimmed(line).empty() || line.starts_with('\\')) return std::optional<Label>{};
    const auto fields = splitAtTabs(line, 3);
    if (fields.size() < 2) return SheetError{"", lineNumber, "a label is START<TAB>END<TAB>TITLE"};
    const auto start = parseLabelSeconds(fields[0]);
    const auto end = parseLabelSeconds(fields[1]);
    if (!start || !end) {
        return SheetError{
            "", lineNumber,
            "\"" + shownValue(!start ? fields[0] : fields[1]) + "\" is no time in seconds (12.5)"};
    }
    if (*end < *start) return SheetError{"", lineNumber, "the label ends before it starts"};
    if (before != nullptr && *start < before->start) {
        return SheetError{
            "", lineNumber,
            "the label starts before the one on line " + std::to_string(before->line)};
    }
    if (before != nullptr && !before->isSplitPoint() && *start < before->end) {
        return SheetError{"", lineNumber,
                          "the label starts inside the one on line " +
                              std::to_string(before->line) + " (which ends at " +
                              formatClipTime(before->end.milliseconds()) + ")"};
    }
    return std::optional<Label>{
        Label{*start, *end, fields.size() >= 3 ? std::string(fields[2]) : "", lineNumber}};
}

}  // namespace

std::variant<std::vector<Label>, SheetError> parseLabelFile(std::string_view bytes) {
    const auto text = decodeSheetText(bytes);
    if (!text) return notTextError(bytes, "the label file");
    std::vector<Label> labels;
    const std::vector<std::string_view> lines = splitLines(text->utf8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto read =
            readLabel(lines[i], static_cast<int>(i + 1), labels.empty() ? nullptr : &labels.back());
        if (auto* error = std::get_if<SheetError>(&read)) return *error;
        if (auto& label = std::get<std::optional<Label>>(read)) labels.push_back(std::move(*label));
    }
    return labels;
}

}  // namespace snipwell
