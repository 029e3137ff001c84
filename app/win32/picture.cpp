#include "app/win32/picture.h"

#include <cstring>

#include "app/gif_decoder.h"
#include "controls/units.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

std::unique_ptr<Picture> Picture::FromBitmap(HINSTANCE module, int id) {
    std::unique_ptr<Picture> picture(new Picture);
    picture->bitmap_.reset(
        static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    picture->pixels_ = BitmapSize(picture->bitmap_.get());
    return picture->bitmap_ ? std::move(picture) : nullptr;
}

std::unique_ptr<Picture> Picture::FromGif(HINSTANCE module, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    const DWORD size = found ? SizeofResource(module, found) : 0;
    const void* data = size ? LockResource(LoadResource(module, found)) : nullptr;
    // Uncovered pixels show the picture box's face colour (COLORREF is
    // 0x00BBGGRR, the decoder's colours 0x00RRGGBB).
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const gif::Colour background =
        (gif::Colour{GetRValue(face)} << 16) | (gif::Colour{GetGValue(face)} << 8) | GetBValue(face);
    gif::Image image;
    if (!data || !gif::DecodeFirstFrame(static_cast<const std::uint8_t*>(data), size, background, image))
        return nullptr;
    // A top-down 32-bit section, whose pixels are the decoder's colours as they are.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<Picture> picture(new Picture);
    picture->bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture->bitmap_ || !bits) return nullptr;
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(gif::Colour));
    picture->pixels_ = SIZE{image.width, image.height};
    return picture;
}

SIZE Picture::DrawnSize(int dpi) const {
    return SIZE{units::ScalePixels(pixels_.cx, dpi), units::ScalePixels(pixels_.cy, dpi)};
}

void Picture::Draw(HDC dc, int dpi) const {
    const SIZE drawn = DrawnSize(dpi);
    ui::MemoryDc memory(dc);
    ui::Selected selected(memory.get(), bitmap_.get());
    const ui::StretchMode mode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, drawn.cx, drawn.cy, memory.get(), 0, 0, pixels_.cx, pixels_.cy, SRCCOPY);
}
