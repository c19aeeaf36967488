#pragma once

// The program's pictures at the scale of a display.
#include <windows.h>

// The picture `bitmapId` (IDB_BALL, IDB_BACKBOARD, IDB_NET, IDB_SCOREBOARD, IDB_DIGITS,
// IDB_ABOUT) for a display of `dpi` dots per inch: at 96 the 100 % bitmap resource itself, pixel
// for pixel; at any other DPI drawn from its embedded high-resolution master with the program's
// own filter. A vertical strip (ball: 7 frames; digits: 10 cells) is scaled frame by frame, each
// frame to MulDiv(width, dpi, 96) x MulDiv(height, dpi, 96).
// Always a top-down 32-bit DIB section whose top byte is the picture's straight alpha, or 0 in
// every pixel of a picture that has none.
// Returns a bitmap the caller owns (DeleteObject), or null on failure.
HBITMAP loadPicture(HINSTANCE instance, unsigned bitmapId, unsigned dpi);

// COM and the imaging factory for the thread that makes it, while it lives: started with the
// first picture drawn from a master on that thread and kept, so that the codecs are loaded once,
// not again for each picture of each change of scale (at 100 % nothing is started). Without one,
// each decode starts and ends COM for itself. The first of nested ones keeps them.
class PictureCodecs {
public:
    PictureCodecs();
    ~PictureCodecs();
    PictureCodecs(const PictureCodecs&) = delete;
    PictureCodecs& operator=(const PictureCodecs&) = delete;

private:
    bool keeps;
};
