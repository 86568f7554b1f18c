#pragma once

#include <allegro.h>

// One picture of the sprite table: an Allegro bitmap paired with the id it is asked for by.
class cBitmap {
public:
    cBitmap() = default;
    ~cBitmap();
    cBitmap(const cBitmap&) = delete;
    cBitmap& operator=(const cBitmap&) = delete;

    void SetBitmap(BITMAP* pBmp) { pBitmap = pBmp; }
    BITMAP* Data() const { return pBitmap; }
    int Id() const { return iId; }
    void SetId(int iNewId) { iId = iNewId; }

    int iId = -1;
    BITMAP* pBitmap = nullptr; // owned
};
