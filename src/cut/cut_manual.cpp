#include "cut/cut_manual.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "cut/cut_options.h"

namespace snipwell {
namespace {

// Minus signs that stay minus signs when the page is typeset.
std::string roff(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '-') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

bool isLiteral(std::string_view word) {
    return !word.empty() && std::islower(static_cast<unsigned char>(word[0])) != 0;
}

// The choices of a value name such as "DB|max": placeholders in italics,
// literal words (all lower case) in bold.
std::vector<std::string> valueChoices(std::string_view valueName) {
    std::vector<std::string> choices;
    for (std::size_t from = 0; from <= valueName.size();) {
        const std::size_t bar = std::min(valueName.find('|', from), valueName.size());
        const std::string_view choice = valueName.substr(from, bar - from);
        choices.push_back(isLiteral(choice) ? "\\fB" + roff(choice) + "\\fP" : roff(choice));
        from = bar + 1;
    }
    return choices;
}

// ".IR DB | \fBmax\fP ]": the value in italics, the choices apart, and what
// follows it in roman.
std::string italicValue(const char* valueName, const std::string& after) {
    std::string line = ".IR";
    bool first = true;
    for (const std::string& choice : valueChoices(valueName)) {
        line += (first ? " " : " | ") + choice;
        first = false;
    }
    return line + " " + after + "\n";
}

// "[--force]", "[--gain DB|max]" or "[--trim[=DURATION]]".
std::string bracketed(const OptionDef& option) {
    if (option.valueName == nullptr) return ".RB [ " + roff(option.name) + " ]\n";
    if (option.valueOptional) {
        return ".RB [ " + roff(option.name) + " [=\\fI" + roff(option.valueName) + "\\fR]]\n";
    }
    return ".RB [ " + roff(option.name) + "\n" + italicValue(option.valueName, "]");
}

std::string bracketed(const std::vector<const OptionDef*>& options) {
    std::string lines;
    for (const OptionDef* option : options) lines += bracketed(*option);
    return lines;
}

// "(--cue SHEET | --at T1,T2,... | …)": the parenthesis opens on the first
// name and closes on the last name or value.
std::string splitSourceChoice() {
    const std::vector<const OptionDef*> sources = optionsOfUse(OptionUse::splitSource);
    std::string lines;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const OptionDef& source = *sources[i];
        const bool closes = i + 1 == sources.size();
        const bool closesOnName = closes && source.valueName == nullptr;
        if (i > 0) lines += "|\n";
        lines += i == 0         ? ".RB ( " + roff(source.name) + (closesOnName ? " )" : "")
                 : closesOnName ? ".BR " + roff(source.name) + " )"
                                : ".B " + roff(source.name);
        lines += "\n";
        if (source.valueName == nullptr) continue;
        lines +=
            closes ? italicValue(source.valueName, ")") : ".I " + roff(source.valueName) + "\n";
    }
    return lines;
}

std::string requestChoice() {
    std::string lines;
    for (const OptionDef* request : optionsOfUse(OptionUse::request)) {
        lines += (lines.empty() ? ".B " : "|\n.B ") + roff(request->name) + "\n";
    }
    return lines;
}

// The tag line of an option's paragraph: ".B \-\-force", ".BI \-\-cue " SHEET"".
std::string tag(const OptionDef& option) {
    if (option.valueName == nullptr) return ".B " + roff(option.name) + "\n";
    if (option.valueOptional) {
        return ".B " + roff(option.name) + "\\fR[=\\fI" + roff(option.valueName) + "\\fR]\n";
    }
    std::string line = ".BI " + roff(option.name);
    bool first = true;
    for (const std::string& choice : valueChoices(option.valueName)) {
        line += first ? " \" " + choice + "\"" : " | " + choice;
        first = false;
    }
    return line + "\n";
}

}  // namespace

std::string cutManualSynopsis() {
    const std::string program = ".B snipwell\\-cut\n";
    return program + bracketed(clipUsageOptions()) + ".I SOURCE BEGIN END TARGET\n.br\n" + program +
           splitSourceChoice() + bracketed(splitUsageOptions()) + ".I SOURCE FOLDER\n.br\n" +
           program + requestChoice();
}

std::string cutManualOptions() {
    std::string page;
    for (const OptionDef& option : cutOptionTable()) {
        page += ".TP\n" + tag(option) + option.manual + "\n";
    }
    return page;
}

}  // namespace snipwell
