#pragma once
// The file dialog's filter text, "description|pattern" pairs joined by "|",
// turned into the entries the dialog shows. Patterns match in any letter case.

#include <string>

#include <QStringList>

namespace snipwell::qt {

struct DialogFilter {
    // What the dialog's filter box shows, one entry per pair.
    QStringList shownEntries;
    // The patterns of the first pair, e.g. "*.mp3".
    QStringList firstPatterns;
};

// An entry shows its description as it reads when the description already
// ends in its own patterns in parentheses (in any letter case); otherwise
// the patterns follow it in parentheses, so the dialog knows them. A pattern
// list may hold several patterns split by ";". Empty text gives "*".
DialogFilter parseDialogFilter(const std::string& filter);

}  // namespace snipwell::qt
