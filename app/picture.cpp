#ifdef _WIN32

#include "app/picture.h"

#include <olectl.h>

#include <cstring>

#include "controls/units.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

// A stream over a copy of the resource's bytes; the stream frees the copy.
ui::ComOwner<IStream> ResourceStream(HINSTANCE module, int id, DWORD& size) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    size = found ? SizeofResource(module, found) : 0;
    const void* data = size ? LockResource(LoadResource(module, found)) : nullptr;
    HGLOBAL copy = data ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    void* target = copy ? GlobalLock(copy) : nullptr;
    if (!target) {
        if (copy) GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE /* the stream frees the memory */, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    return ui::ComOwner<IStream>(stream);
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
    DWORD size = 0;
    const ui::ComOwner<IStream> stream = ResourceStream(module, id, size);
    if (!stream) return nullptr;
    IPicture* decoded = nullptr;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&decoded))) ||
        !decoded)
        return nullptr;
    std::unique_ptr<Picture> picture(new Picture);
    picture->picture_.reset(decoded);
    // The decoded frame's own pixels; OLE's HIMETRIC size depends on the
    // screen's DPI at decoding time.
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(decoded->get_Handle(&handle)))  // a 32-bit value, sign-extended as GDI handles are
        picture->pixels_ = BitmapSize(reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(static_cast<LONG>(handle))));
    return picture->pixels_.cx > 0 ? std::move(picture) : nullptr;
}

SIZE Picture::DrawnSize(int dpi) const {
    return SIZE{units::ScalePixels(pixels_.cx, dpi), units::ScalePixels(pixels_.cy, dpi)};
}

void Picture::Draw(HDC dc, int dpi) const {
    const SIZE drawn = DrawnSize(dpi);
    if (picture_) {
        OLE_XSIZE_HIMETRIC w = 0;
        OLE_YSIZE_HIMETRIC h = 0;
        picture_->get_Width(&w);
        picture_->get_Height(&h);
        // The source rectangle in HIMETRIC runs bottom-up.
        picture_->Render(dc, 0, 0, drawn.cx, drawn.cy, 0, h, w, -h, nullptr);
        return;
    }
    ui::MemoryDc memory(dc);
    ui::Selected selected(memory.get(), bitmap_.get());
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, drawn.cx, drawn.cy, memory.get(), 0, 0, pixels_.cx, pixels_.cy, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
}

#endif
