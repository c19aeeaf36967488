#pragma once

#include "platform/pictures.h"
#include "win/sprite_window.h"

// A sprite window of the set: its strip drawn for the window's scale.
class SetSpriteWindow : public SpriteWindow {
public:
    using SpriteWindow::SpriteWindow;

    HBITMAP pictureAt(unsigned dpi) override { return loadPicture(instance, bitmapId, dpi); }
};
