#pragma once

#include "platform/pictures.h"
#include "platform/soft_edges.h"
#include "win/sprite_window.h"

// A sprite window of the set: its strip drawn for the window's scale, with soft edges where
// the desktop blends them.
class SetSpriteWindow : public SpriteWindow {
public:
    template <class... Args>
    explicit SetSpriteWindow(Args&&... args) : SpriteWindow(static_cast<Args&&>(args)...) {
        layered = soft_edges::on();
    }

    HBITMAP pictureAt(unsigned dpi) override { return loadPicture(instance, bitmapId, dpi); }
};
