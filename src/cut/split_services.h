#pragma once
// The split's services on the local disk: the length from the frame scan,
// the source's tags, the free space (statvfs) and the making of FOLDER.

#include "cut/split_command.h"

namespace snipwell {

SplitServices diskSplitServices();

// The source's ID3v2 frames and ID3v1 tag, read through the tag walk.
// Throws RuntimeError(FileError) when the file cannot be read.
SourceTags readSourceTags(const std::string& path);

}  // namespace snipwell
