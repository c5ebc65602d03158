#include "split/source_levels.h"

namespace snipwell {

std::variant<const level::WindowLevels*, SplitPlanError> SourceLevels::of(
    const SourceLength& source) {
    if (!scanned_) {
        if (scan_) {
            scanned_ = scan_(levelWindowSamples(source.sampleRate));
        } else {
            scanned_ = std::string("no level scan is available");
        }
    }
    if (const auto* reason = std::get_if<std::string>(&*scanned_)) {
        return SplitPlanError{"the levels of the source could not be measured: " + *reason};
    }
    return &std::get<level::WindowLevels>(*scanned_);
}

}  // namespace snipwell
