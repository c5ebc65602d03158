#include "clip/exact/encoder_name.h"

#include <cstring>

namespace snipwell::exact {

std::string clipEncoderName(const SourceEncoderInfo& source) {
    if (source.hasLameExtension) {
        return std::string(reinterpret_cast<const char*>(source.name.data()), source.name.size());
    }
    return "LAME3.100";
}

}  // namespace snipwell::exact
