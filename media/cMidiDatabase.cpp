#include "media/cMidiDatabase.h"

#include <cstdlib>

cMidiDatabase::~cMidiDatabase() {
    for (cMidi* pEntry : vMidis)
        delete pEntry;
    vMidis.clear();
    if (pDatafile)
        unload_datafile(pDatafile);
}

void cMidiDatabase::BuildMidis(DATAFILE* pData) {
    pDatafile = pData;
    for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject) {
        cMidi* pEntry = new cMidi;
        pEntry->SetMidi(static_cast<MIDI*>(pObject->dat));
        pEntry->SetID(atoi(get_datafile_property(pObject, DAT_ID('M', 'D', 'I', 'D'))));
        vMidis.push_back(pEntry);
    }
}

void cMidiDatabase::PlayMidi(int iId) {
    StopPlaying();
    // Every entry of the id is started in turn, so the last one is left playing.
    for (cMidi* pEntry : vMidis) {
        if (pEntry->GetID() == iId) {
            pEntry->Play();
            pCurrent = pEntry;
        }
    }
}

void cMidiDatabase::StopPlaying() {
    if (!pCurrent)
        return;
    pCurrent->Stop();
    pCurrent = nullptr;
}
