#pragma once

#include <vector>

#include "core/cHOFEntry.h"

// The hall of fame in memory: in file order as loaded, sorted once an entry has been added.
class cHOF {
public:
    std::vector<cHOFEntry> vEntries;
};
