#pragma once

// Top-left corner that centres a picture of the given size on a screen of the given size.
// Each half is truncated on its own, as the dialog's placement always has been.
struct AboutOrigin {
    int x;
    int y;
};

AboutOrigin aboutScreenOrigin(int screenWidth, int screenHeight, int pictureWidth,
                              int pictureHeight);

