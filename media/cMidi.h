#pragma once

#include <allegro.h>

// One piece of music: a MIDI object of the music data file paired with its id. The data file owns
// the music.
class cMidi {
public:
    void SetMidi(MIDI* pNewMidi) { pMidi = pNewMidi; }
    void SetID(int iNewId) { iId = iNewId; }
    int GetID() const { return iId; }
    // Starts the music from its beginning, looping.
    void Play() const;
    void Stop() const;

    MIDI* pMidi = nullptr;
    int iId = 0;
};
