#pragma once
// The options of snipwell-cut, one row each. The table is the only list of
// them: the parser looks words up in it, the refusals name options from it,
// and the usage lines, --help and the manual's synopsis and option list are
// written from it. A new option is one row here and the field it fills in
// CutArguments.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cut/cut_arguments.h"

namespace snipwell {

// Which command an option belongs to.
enum class OptionUse {
    clip,         // one clip only; a split lets it be (--exact)
    split,        // a split only; refused in a clip
    both,         // a clip or a split
    splitSource,  // selects the split mode and where its points come from
    request,      // asks for something instead of a cut: --help, --version
};

// Nothing when reading went well, else why the value is none.
using OptionProblem = std::optional<std::string>;

struct OptionDef {
    const char* name;                 // "--cue"
    const char* valueName = nullptr;  // "SHEET"; none for a switch
    OptionUse use = OptionUse::both;
    SplitSource selects = SplitSource::none;  // the source a splitSource row selects
    // A split option only this source uses (the silence rules); refused with
    // any other.
    SplitSource onlyWith = SplitSource::none;
    // The value may be left out ("--trim"); given, it is joined to the name
    // ("--trim=0.5"), since the next word may be an operand.
    bool valueOptional = false;
    const char* help = "";    // its line in --help
    const char* manual = "";  // roff: its entry in the manual, after its name
    // Stores the value (empty for a switch), or says why it is none.
    OptionProblem (*read)(CutCommandLine& into, const std::string& value) = nullptr;
};

// Every option, in the order the usage lines, --help and the manual list them.
std::span<const OptionDef> cutOptionTable();

// The rows of one use, in the table's order.
std::vector<const OptionDef*> optionsOfUse(OptionUse use);

// What a usage line lists in brackets: for a clip its own options and the
// shared ones in the table's order; for a split its own first, then the
// shared ones.
std::vector<const OptionDef*> clipUsageOptions();
std::vector<const OptionDef*> splitUsageOptions();

// "--cue, --at, --every, --labels", or with `lastJoin` " or " before the last.
std::string splitSourceNames(const char* lastJoin = ", ");

}  // namespace snipwell
