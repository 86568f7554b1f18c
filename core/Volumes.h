#pragma once

class cGameInstance;

// Sets the volumes of the settings: the music's Allegro's MIDI volume (0 while muted), the effects'
// the sound table's.
void ApplyVolumes(cGameInstance& game);
// Mutes the music or lets it be heard again, and remembers that in the settings.
void ToggleMusic(cGameInstance& game);
