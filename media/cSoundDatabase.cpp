#include "media/cSoundDatabase.h"

#include <cstdlib>

cSoundDatabase::~cSoundDatabase() {
    for (cSound* pEntry : vSounds)
        delete pEntry;
    vSounds.clear();
    if (pDatafile)
        unload_datafile(pDatafile);
}

void cSoundDatabase::BuildSounds(DATAFILE* pData) {
    pDatafile = pData;
    for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject) {
        cSound* pEntry = new cSound;
        pEntry->SetSample(static_cast<SAMPLE*>(pObject->dat));
        pEntry->SetID(atoi(get_datafile_property(pObject, DAT_ID('S', 'M', 'I', 'D'))));
        vSounds.push_back(pEntry);
    }
}

void cSoundDatabase::PlaySound(int iId) const {
    for (const cSound* pEntry : vSounds) {
        if (pEntry->GetID() == iId) {
            pEntry->Play(iVolume);
            return;
        }
    }
}
