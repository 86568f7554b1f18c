#pragma once

#include "core/cHOFEntry.h"

// Orders the hall of fame with the highest score first.
class cHOFSort {
public:
    bool operator()(const cHOFEntry& a, const cHOFEntry& b) const { return a.iScore > b.iScore; }
};
