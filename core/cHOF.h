#pragma once

#include <string>
#include <vector>

#include "core/cHOFEntry.h"

class cXmlFile;

// The hall of fame in memory: the best ten, highest score first, as they are saved. A save never
// loses what lies in the file: a file the game would not have written so is kept beside it first.
class cHOF {
public:
    // Takes the entries read from the file: keeps the best ten, equal scores in file order.
    void SetLoaded(std::vector<cHOFEntry> vRead);
    // True when the score earns a place: the table has room, or the score reaches the tenth.
    bool Qualifies(int iScore) const;
    // Enters the entry ahead of older ones with the same score; an eleventh drops out.
    void Add(const cHOFEntry& entry);
    // Writes the table to sFileName; on failure the old file stays and sError says why.
    bool Save();

    std::vector<cHOFEntry> vEntries;
    std::string sFileName = "HallOfFame.xml";
    // An entry was added that is not yet in the file.
    bool bChanged = false;
    // Why the last save failed, as the player is told; empty when it did not fail.
    std::string sError;

private:
    void Build(cXmlFile& document) const;
    // Copies the file aside unless it holds nothing or only what the game wrote or read.
    bool KeepUnseenFile();

    // The file content a save may replace without a copy: what the game would have written for the
    // table it read, what it wrote last, or what it has already kept aside.
    std::string sReplaceable;
};
