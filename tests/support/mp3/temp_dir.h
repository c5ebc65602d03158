#pragma once
// TempDir lives in support/temp_dir.h; the media service's tests still
// include it by this older path.

#include "support/temp_dir.h"
