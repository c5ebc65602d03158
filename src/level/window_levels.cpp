#include "level/window_levels.h"

#include <cmath>

namespace snipwell::level {

double decibels(double rms) {
    if (!(rms > 0)) return kQuietestDb;
    return std::max(kQuietestDb, 20.0 * std::log10(rms));
}

double rmsOf(double decibelLevel) { return std::pow(10.0, decibelLevel / 20.0); }

}  // namespace snipwell::level
