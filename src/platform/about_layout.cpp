#include "platform/about_layout.h"

AboutOrigin aboutScreenOrigin(int screenWidth, int screenHeight, int pictureWidth,
                              int pictureHeight) {
    return {screenWidth / 2 - pictureWidth / 2, screenHeight / 2 - pictureHeight / 2};
}
