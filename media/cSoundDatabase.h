#pragma once

#include <allegro.h>
#include <vector>

#include "media/cSound.h"

// The sound effects of "data/samples.dat", looked up by the id in each object's "SMID" property.
class cSoundDatabase {
public:
    cSoundDatabase() = default;
    ~cSoundDatabase();
    cSoundDatabase(const cSoundDatabase&) = delete;
    cSoundDatabase& operator=(const cSoundDatabase&) = delete;

    // Takes ownership of the data file.
    void BuildSounds(DATAFILE* pData);
    // Plays the first sample with this id; an unknown id plays nothing.
    void PlaySound(int iId) const;

    std::vector<cSound*> vSounds;
    DATAFILE* pDatafile = nullptr;
    int iVolume = 128;
};
