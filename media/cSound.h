#pragma once

#include <allegro.h>

// One sound effect: a sample of the sound data file paired with its id. The data file owns the
// sample.
class cSound {
public:
    void SetSample(SAMPLE* pNewSample) { pSample = pNewSample; }
    void SetID(int iNewId) { iId = iNewId; }
    int GetID() const { return iId; }
    // Starts the sample once, centred, at its own pitch.
    void Play(int iVolume) const;

    SAMPLE* pSample = nullptr;
    int iId = 0;
};
