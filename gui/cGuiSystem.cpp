#include "gui/cGuiSystem.h"

namespace {

// Windows draw the eight frame pieces by position; a file with fewer would be read past its end.
const int kFramePieces = 8;

bool HoldsFramePieces(const DATAFILE* pData) {
    for (int i = 0; i < kFramePieces; ++i)
        if (pData[i].type != DAT_BITMAP)
            return false;
    return true;
}

} // namespace

cGuiSystem::~cGuiSystem() {
    if (pElements)
        unload_datafile(pElements);
}

bool cGuiSystem::LoadElements(const std::string& sFile) {
    DATAFILE* pData = load_datafile(sFile.c_str());
    if (!pData)
        return false;
    if (!HoldsFramePieces(pData)) {
        unload_datafile(pData);
        return false;
    }
    pElements = pData;
    return true;
}

BITMAP* cGuiSystem::GetGuiElement(int i) const {
    return static_cast<BITMAP*>(pElements[i].dat);
}
