#include "platform/pictures.h"

HBITMAP loadPicture(HINSTANCE instance, unsigned bitmapId, unsigned dpi) {
    (void)dpi;
    return static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}
