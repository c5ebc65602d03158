#include "mp3/lame_gain_fields.h"

#include <algorithm>

#include "mp3/byte_order.h"
#include "mp3/crc16.h"

namespace snipwell::mp3 {

bool clearLameGainFields(std::uint8_t* frame, const LameExtension& lame) {
    std::uint8_t* fields = frame + lame.offset + lamePeakOffset;
    if (std::all_of(fields, fields + lameGainFieldsBytes, [](std::uint8_t b) { return b == 0; })) {
        return false;
    }
    std::fill(fields, fields + lameGainFieldsBytes, std::uint8_t{0});
    const std::size_t covered = lame.offset + lameTagCrcOffset;
    writeBigEndian16(frame + covered, crc16Update(0, frame, covered));
    return true;
}

}  // namespace snipwell::mp3
