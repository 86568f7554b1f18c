#include "media/cBitmapDatabase.h"

#include <cstdlib>

cBitmapDatabase::~cBitmapDatabase() {
    for (cBitmap* pEntry : vBitmaps)
        delete pEntry;
}

void cBitmapDatabase::BuildBitmaps(DATAFILE* pData) {
    for (DATAFILE* pObject = pData; pObject->type != DAT_END; ++pObject) {
        cBitmap* pEntry = new cBitmap;
        pEntry->SetBitmap(static_cast<BITMAP*>(pObject->dat));
        pEntry->SetId(atoi(get_datafile_property(pObject, DAT_ID('B', 'M', 'P', 'I'))));
        vBitmaps.push_back(pEntry);
    }
}

BITMAP* cBitmapDatabase::GetBitmap(int iId) const {
    for (const cBitmap* pEntry : vBitmaps)
        if (pEntry->Id() == iId)
            return pEntry->Data();
    return nullptr;
}
