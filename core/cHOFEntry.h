#pragma once

#include <string>
#include <utility>

// One line of the hall of fame: a player's name and score, and the file of the game's replay
// beside the hall of fame (empty: none).
class cHOFEntry {
public:
    cHOFEntry() = default;
    cHOFEntry(std::string sNewName, int iNewScore, std::string sNewReplay = "")
        : sName(std::move(sNewName)), iScore(iNewScore), sReplay(std::move(sNewReplay)) {}

    std::string sName;
    int iScore = 0;
    std::string sReplay;
};
