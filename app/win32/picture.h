// Picture: one picture a picture box shows at its top-left corner, loaded
// from the program's resources: a bitmap, or the first frame of a GIF, still
// (app/gif_decoder.h). Every picture is drawn at its own pixel size scaled
// with the DPI, as every other size of the window is, so the banner and the
// GIFs grow together.
//
// Ownership: a picture holds its bitmap and releases it when destroyed.
// Failures: the loaders answer nullptr.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/win32/window_kit.h"

class Picture {
public:
    // The bitmap resource `id` of `module`.
    static std::unique_ptr<Picture> FromBitmap(HINSTANCE module, int id);
    // The GIF file stored as RCDATA resource `id` of `module`.
    static std::unique_ptr<Picture> FromGif(HINSTANCE module, int id);

    // The picture's own width and height in pixels.
    SIZE PixelSize() const { return pixels_; }
    // Its width and height as drawn at `dpi`.
    SIZE DrawnSize(int dpi) const;
    // Draws it with its top-left corner at the origin of `dc`.
    void Draw(HDC dc, int dpi) const;

private:
    Picture() = default;

    SIZE pixels_{0, 0};
    ui::GdiOwner<HBITMAP> bitmap_;
};
