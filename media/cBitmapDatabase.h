#pragma once

#include <allegro.h>
#include <vector>

#include "media/cBitmap.h"

// The pictures of "data/sprites.dat", looked up by the id in each object's "BMPI" property.
class cBitmapDatabase {
public:
    cBitmapDatabase() = default;
    ~cBitmapDatabase();
    cBitmapDatabase(const cBitmapDatabase&) = delete;
    cBitmapDatabase& operator=(const cBitmapDatabase&) = delete;

    // Takes over every bitmap of the data file; the caller keeps the file itself loaded.
    void BuildBitmaps(DATAFILE* pData);
    // The first bitmap with this id, in data-file order, or null.
    BITMAP* GetBitmap(int iId) const;

    std::vector<cBitmap*> vBitmaps;
};
