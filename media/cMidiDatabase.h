#pragma once

#include <allegro.h>
#include <vector>

#include "media/cMidi.h"

// The music of "data/midi.dat", looked up by the id in each object's "MDID" property; remembers
// which piece is playing.
class cMidiDatabase {
public:
    cMidiDatabase() = default;
    ~cMidiDatabase();
    cMidiDatabase(const cMidiDatabase&) = delete;
    cMidiDatabase& operator=(const cMidiDatabase&) = delete;

    // Takes ownership of the data file.
    void BuildMidis(DATAFILE* pData);
    // Stops what is playing and starts the music with this id (the last of several with one id).
    void PlayMidi(int iId);
    void StopPlaying();

    std::vector<cMidi*> vMidis;
    cMidi* pCurrent = nullptr;
    DATAFILE* pDatafile = nullptr;
};
