#pragma once

class cGuiSystem;

// Creates the game's six windows in the manager, placed on a play field iWidth by iHeight, in the
// order they are drawn in when several are active.
void AddGameWindows(cGuiSystem* pGui, int iWidth, int iHeight);
