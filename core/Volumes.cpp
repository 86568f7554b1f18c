#include "core/Volumes.h"

#include <allegro.h>
#include <iostream>

#include "core/cGameInstance.h"
#include "media/cSoundDatabase.h"

void ApplyVolumes(cGameInstance& game) {
    set_volume(-1, game.Settings.bMusicMuted ? 0 : cSettings::Volume(game.Settings.iMusicVolume));
    game.pSounds->iVolume = cSettings::Volume(game.Settings.iEffectsVolume);
}

void ToggleMusic(cGameInstance& game) {
    game.Settings.bMusicMuted = !game.Settings.bMusicMuted;
    ApplyVolumes(game);
    game.Settings.Save(std::cerr);
}
