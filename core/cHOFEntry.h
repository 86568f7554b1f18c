#pragma once

#include <string>

// One line of the hall of fame: a player's name and score.
class cHOFEntry {
public:
    std::string sName;
    int iScore = 0;
};
