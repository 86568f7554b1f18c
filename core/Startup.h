#pragma once

class cGameInstance;

// Starts Allegro for the game at the given screen size and loads the data files into its tables:
// 1 on success, 0 after a failure that has been shown to the player.
int StartSystem(cGameInstance& game, int iWidth, int iHeight);
// Releases what StartSystem made, as far as it got.
void ReleaseSystem(cGameInstance& game);
