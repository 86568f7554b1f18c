#include "media/cSound.h"

void cSound::Play(int iVolume) const {
    play_sample(pSample, iVolume, 128, 1000, 0);
}
