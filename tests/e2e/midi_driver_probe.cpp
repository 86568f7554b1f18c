// Preloaded into the game (LD_PRELOAD) by the sound test: each time the game starts a piece of
// music, the name of the MIDI driver that Allegro chose is appended as a line to the file named by
// ZENITH_MIDI_DRIVER_LOG; then the piece is played as usual. (Allegro stops music by playing none,
// which is not logged.)
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include <allegro.h>

extern "C" int play_midi(MIDI* pMidi, int iLoop) {
    using tPlayMidi = int (*)(MIDI*, int);
    static const tPlayMidi pPlayMidi = reinterpret_cast<tPlayMidi>(dlsym(RTLD_NEXT, "play_midi"));
    const char* sLog = std::getenv("ZENITH_MIDI_DRIVER_LOG");
    if (FILE* pLog = pMidi && sLog ? std::fopen(sLog, "a") : nullptr) {
        std::fprintf(pLog, "%s\n", midi_driver ? midi_driver->ascii_name : "(none)");
        std::fclose(pLog);
    }
    return pPlayMidi ? pPlayMidi(pMidi, iLoop) : -1;
}
