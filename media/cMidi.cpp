#include "media/cMidi.h"

void cMidi::Play() const {
    if (pMidi)
        play_midi(pMidi, TRUE);
}

void cMidi::Stop() const {
    if (pMidi)
        stop_midi();
}
