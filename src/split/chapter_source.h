#pragma once
// Split points from the source's own chapters: the CHAP frames of its ID3v2
// tag, in the order its table of contents (or their start times) gives, each
// chapter a track titled by its TIT2. A file without chapters, and a table a
// split cannot follow, are refused naming the chapter's element id.

#include "split/split_point_source.h"

namespace snipwell {

class ChapterSource : public SplitPointSource {
public:
    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;
};

}  // namespace snipwell
