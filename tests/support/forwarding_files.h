#pragma once
// The test doubles that change only how targets behave (a write that fails,
// a disk that fills, a sync that hangs or fails) derive from the program's
// own ForwardingFiles and override createTarget.

#include "common/forwarding_files.h"  // IWYU pragma: export
