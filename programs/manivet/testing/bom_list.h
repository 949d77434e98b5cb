// For tests of manivet: the records it read from the list.
#pragma once

#include "programs/manivet/manivet.h"

// The first record of the list, or null.
BOMFile* FirstBOMFile();
