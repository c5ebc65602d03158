#pragma once
// The media service's code for a file the MP3 layer could not read: the one
// place where the format's failures become reply codes.

#include "mci/mci_error.h"
#include "mp3/mp3_error.h"

namespace snipwell::mci {

MciError mciErrorOf(const mp3::Mp3Error& error);

}  // namespace snipwell::mci
