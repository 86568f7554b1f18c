#include "media/cBitmap.h"

cBitmap::~cBitmap() {
    if (pBitmap)
        destroy_bitmap(pBitmap);
}
