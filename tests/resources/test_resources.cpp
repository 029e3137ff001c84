// The program's resources, checked from inside an executable that links the
// same resource object: version record, icon, banner, GIFs as the window's
// picture loader decodes and draws them (the first frame only), manifest.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/gif_decoder.h"
#include "app/win32/picture.h"
#include "app/version.h"
#include "platform/names.h"
#include "resource.h"
#include "window_pixels.h"

namespace {

std::string ResourceBytes(int id, LPCSTR type) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(self, found)) : std::string();
}

template <typename T>
T ReadAt(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// Read from the file on disk, as Explorer's property sheet does.
TEST(VersionRecord, FixedPartStringsAndTranslation) {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u) << "no version record";
    std::string data(size, '\xbd');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &data[0]));
    UINT length = 0;
    auto query = [&](const std::string& sub_block) -> const void* {
        void* value = nullptr;
        return VerQueryValueA(&data[0], sub_block.c_str(), &value, &length) ? value : nullptr;
    };

    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    // The build's version, as a user reads it in the file's properties.
    const DWORD ms = MAKELONG(QT_VERSION_MINOR, QT_VERSION_MAJOR);
    const DWORD ls = MAKELONG(QT_VERSION_REVISION, QT_VERSION_BUILD);
    EXPECT_EQ((std::vector<DWORD>{ms, ls, ms, ls, VFT_APP, 0}),
              (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS, fixed->dwFileType,
                                  fixed->dwFileFlags & fixed->dwFileFlagsMask}));

    // The text entries: the version with its minor in two digits and its
    // revision in four; each of the others there and more than a stub.
    char version[32];
    std::snprintf(version, sizeof version, "%d.%02d.%04d", QT_VERSION_MAJOR, QT_VERSION_MINOR, QT_VERSION_REVISION);
    for (const std::string entry :
         {"FileVersion", "ProductVersion", "FileDescription", "ProductName", "InternalName", "OriginalFilename",
          "CompanyName", "Comments", "LegalCopyright", "LegalTrademarks"}) {
        auto text = static_cast<const char*>(query("\\StringFileInfo\\040904B0\\" + entry));
        ASSERT_NE(text, nullptr) << entry << " missing";
        if (entry.find("Version") != std::string::npos)
            EXPECT_STREQ(version, text) << entry;
        else
            EXPECT_GT(std::strlen(text), 5u) << entry << " is empty or a stub";
    }

    auto pairs = static_cast<const WORD*>(query("\\VarFileInfo\\Translation"));
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(length, 2 * sizeof(WORD)) << "exactly one language and code page";
    EXPECT_EQ((std::vector<WORD>{0x0409, 0x04B0}), (std::vector<WORD>{pairs[0], pairs[1]}));
}

// Not PNG, which Windows XP cannot read.
TEST(Images, IconIs32x32TrueColour) {
    // GRPICONDIR (6 bytes) then one GRPICONDIRENTRY (14 bytes).
    const std::string group = ResourceBytes(IDI_QORVEL, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(ReadAt<WORD>(group, 2), 1) << "1 = icon";
    ASSERT_EQ(ReadAt<WORD>(group, 4), 1) << "image count";
    EXPECT_EQ(ReadAt<WORD>(group, 6), 32 | 32 << 8) << "32x32";
    EXPECT_EQ(ReadAt<WORD>(group, 12), 24) << "bits per pixel";
    const std::string image = ResourceBytes(ReadAt<WORD>(group, 18), MAKEINTRESOURCEA(3) /* RT_ICON */);
    ASSERT_EQ(image.size(), ReadAt<DWORD>(group, 14));
    const auto info = ReadAt<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ((std::vector<LONG>{32, 64, 24}), (std::vector<LONG>{info.biWidth, info.biHeight, info.biBitCount}))
        << "colour and mask stacked";
    EXPECT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + 32 * 32 * 3 + 32 * 4) << "colour plus AND mask";
}

// The three pictures through the window's loader: their own sizes, and all
// three drawn scaled by one rule at 120 DPI (5/4), nothing beyond.
TEST(Pictures, DecodeToTheirPixelSizesAndScaleTogether) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    const struct {
        std::unique_ptr<Picture> picture;
        LONG width, height, at120x, at120y;
    } cases[] = {
        {Picture::FromBitmap(self, IDB_BANNER), 240, 40, 300, 50},
        {Picture::FromGif(self, IDR_MASCOT_GIF), 50, 50, 63, 63},
        {Picture::FromGif(self, IDR_PORTRAIT_GIF), 59, 64, 74, 80},
    };
    const COLORREF sentinel = RGB(255, 0, 255);
    for (const auto& c : cases) {
        ASSERT_TRUE(c.picture) << c.width << " did not load";
        EXPECT_EQ((std::vector<LONG>{c.width, c.height, c.at120x, c.at120y}),
                  (std::vector<LONG>{c.picture->PixelSize().cx, c.picture->PixelSize().cy, c.picture->DrawnSize(120).cx,
                                     c.picture->DrawnSize(120).cy}));
        const Canvas canvas(400, 100);
        ui::GdiOwner<HBRUSH> fill(CreateSolidBrush(sentinel));
        RECT all{0, 0, 400, 100};
        FillRect(canvas.dc(), &all, fill.get());
        c.picture->Draw(canvas.dc(), 120);
        // The last drawn column and row, and nothing after them.
        int lastX = -1, lastY = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 400; ++x)
                if (canvas.At(x, y) != sentinel) lastX = std::max(lastX, x), lastY = std::max(lastY, y);
        EXPECT_EQ((std::vector<int>{c.at120x - 1, c.at120y - 1}), (std::vector<int>{lastX, lastY})) << c.width;
    }
}

// Common controls 6, DPI awareness, and the user's own rights: nobody is
// asked at start (the Video page's elevated copy asks when it must).
TEST(Manifest, AsksForAndActivatesCommonControls6DpiAwarenessAndTheUsersRights) {
    const std::string xml = ResourceBytes(1, MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    EXPECT_EQ(xml.find("@"), std::string::npos) << "unfilled template placeholder";
    for (const char* needle : {"version=\"6.0.0.0\"", "level=\"asInvoker\"", "<dpiAware>true</dpiAware>"})
        EXPECT_NE(xml.find(needle), std::string::npos) << needle;

    // Only through the manifest's activation context does comctl32.dll resolve
    // to the side-by-side v6 assembly (Wine's DllGetVersion says 5 either way).
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
    FreeLibrary(comctl);
    const std::string lower = names::LowerCase(path);
    EXPECT_NE(lower.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << path;

    // Looked up, not imported, so the program still loads on XP.
    auto is_dpi_aware = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
    EXPECT_TRUE(!is_dpi_aware || is_dpi_aware()) << "the manifest makes the process DPI aware";
}

// The program decodes its GIFs itself: the first frame of each shipped GIF
// has the pixels the platform's own picture loader gives it.
TEST(Pictures, GifsDecodeAsThePlatformsLoaderDecodesThem) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    for (int id : {IDR_MASCOT_GIF, IDR_PORTRAIT_GIF}) {
        const std::string bytes = ResourceBytes(id, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
        gif::Image ours;
        ASSERT_TRUE(gif::DecodeFirstFrame(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 0, ours));

        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        ASSERT_NE(copy, nullptr);
        std::memcpy(GlobalLock(copy), bytes.data(), bytes.size());
        GlobalUnlock(copy);
        IStream* stream = nullptr;
        ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(copy, TRUE, &stream)));
        IPicture* picture = nullptr;
        const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                              reinterpret_cast<void**>(&picture));
        stream->Release();
        ASSERT_TRUE(SUCCEEDED(loaded) && picture) << id;
        OLE_XSIZE_HIMETRIC w = 0;
        OLE_YSIZE_HIMETRIC h = 0;
        picture->get_Width(&w);
        picture->get_Height(&h);

        // Rendered at its own size into 32-bit pixels, top row first.
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, ours.width, -ours.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        ui::WindowDc screen(nullptr);
        ui::MemoryDc dc(screen.get());
        ui::GdiOwner<HBITMAP> canvas(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(canvas && bits);
        {
            ui::Selected selected(dc.get(), canvas.get());
            picture->Render(dc.get(), 0, 0, ours.width, ours.height, 0, h, w, -h, nullptr);
            GdiFlush();
        }
        picture->Release();
        const auto* theirs = static_cast<const std::uint32_t*>(bits);
        int differing = 0;
        for (std::size_t i = 0; i < ours.pixels.size(); ++i)
            if ((theirs[i] & 0xFFFFFF) != ours.pixels[i]) ++differing;
        EXPECT_EQ(differing, 0) << "of " << ours.pixels.size() << " pixels, GIF resource " << id;
    }
    CoUninitialize();
}

}  // namespace
