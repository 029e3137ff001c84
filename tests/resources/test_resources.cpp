// The program's resources, checked from inside an executable that links the
// same resource object: version record, icon, banner, GIFs, manifest.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "version_rc.h"

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
    auto query = [&data](const std::string& sub_block, UINT* length) -> const void* {
        void* value = nullptr;
        return VerQueryValueA(&data[0], sub_block.c_str(), &value, length) ? value : nullptr;
    };

    UINT length = 0;
    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\", &length));
    ASSERT_NE(fixed, nullptr);
    const DWORD ms = MAKELONG(QT_RC_VERSION_MINOR, QT_RC_VERSION_MAJOR);
    const DWORD ls = MAKELONG(QT_RC_VERSION_REVISION, QT_RC_VERSION_BUILD);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or patched flags";

    const std::pair<const char*, const char*> entries[] = {
        {"FileVersion", "0.03.0006"},          {"ProductVersion", "0.03.0006"},
        {"FileDescription", "Simple Tweaker"}, {"ProductName", "Qorvel Tweaker"},
        {"InternalName", "Qorvel Tweaker"},    {"OriginalFilename", "Qorvel Tweaker.exe"},
        {"CompanyName", "Valdrin dot Net"},    {"Comments", nullptr},
        {"LegalCopyright", nullptr},           {"LegalTrademarks", nullptr},
    };
    for (const auto& entry : entries) {
        auto text = static_cast<const char*>(query(std::string("\\StringFileInfo\\040904B0\\") + entry.first, &length));
        ASSERT_NE(text, nullptr) << entry.first << " missing";
        if (entry.second)
            EXPECT_STREQ(text, entry.second) << entry.first;
        else
            EXPECT_GT(std::strlen(text), 5u) << entry.first << " is empty or a stub";
    }

    auto pairs = static_cast<const WORD*>(query("\\VarFileInfo\\Translation", &length));
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(length, 2 * sizeof(WORD)) << "exactly one language and code page";
    EXPECT_EQ(pairs[0], 0x0409);
    EXPECT_EQ(pairs[1], 0x04B0);
}

TEST(Icon, GroupHoldsOne32x32TrueColourImage) {
    // GRPICONDIR (6 bytes) then one GRPICONDIRENTRY (14 bytes).
    const std::string group = ResourceBytes(IDI_QORVEL, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(ReadAt<WORD>(group, 2), 1) << "1 = icon";
    ASSERT_EQ(ReadAt<WORD>(group, 4), 1) << "image count";
    EXPECT_EQ(ReadAt<BYTE>(group, 6), 32);
    EXPECT_EQ(ReadAt<BYTE>(group, 7), 32);
    EXPECT_EQ(ReadAt<WORD>(group, 12), 24) << "bits per pixel";

    const std::string image = ResourceBytes(ReadAt<WORD>(group, 18), MAKEINTRESOURCEA(3) /* RT_ICON */);
    ASSERT_EQ(image.size(), ReadAt<DWORD>(group, 14));
    const auto info = ReadAt<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ(info.biWidth, 32);
    EXPECT_EQ(info.biHeight, 64) << "colour and mask stacked";
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + 32 * 32 * 3 + 32 * 4) << "colour plus AND mask";
}

TEST(Banner, IsA240x40BottomUp555Bitmap) {
    const std::string dib = ResourceBytes(IDB_BANNER, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    const auto info = ReadAt<BITMAPINFOHEADER>(dib, 0);
    EXPECT_EQ(info.biWidth, 240);
    EXPECT_EQ(info.biHeight, 40) << "positive: rows stored bottom-up";
    EXPECT_EQ(info.biBitCount, 16);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB)) << "BI_RGB at 16 bpp means 5-5-5";
    EXPECT_EQ(dib.size(), sizeof(BITMAPINFOHEADER) + 240 * 2 * 40) << "uncompressed, no colour table";
}

// Walks a GIF's blocks, skipping data by sub-block lengths so bytes inside
// compressed data are never taken for blocks.
struct GifInfo {
    std::string error;
    int frames = 0, loop_count = -1;
    std::vector<int> delays;
};
GifInfo ParseGif(const std::string& b) {
    GifInfo g;
    size_t pos = 13;
    if (b.size() < pos) return g.error = "short header", g;
    if (b[10] & 0x80) pos += 3u << ((b[10] & 7) + 1);
    auto skip_sub_blocks = [&b, &pos]() {
        while (pos < b.size()) {
            const unsigned char n = b[pos++];
            if (n == 0) return true;
            pos += n;
        }
        return false;
    };
    while (pos < b.size()) {
        const unsigned char block = b[pos++];
        if (block == 0x3B) {
            if (pos != b.size()) g.error = "bytes after the trailer";
            return g;
        }
        if (block == 0x21 && pos < b.size()) {
            const unsigned char label = b[pos++];
            if (label == 0xF9) g.delays.push_back(ReadAt<WORD>(b, pos + 2));
            if (label == 0xFF && b.size() > pos + 12 && b.compare(pos + 1, 11, "NETSCAPE2.0") == 0)
                g.loop_count = ReadAt<WORD>(b, pos + 14);
        } else if (block == 0x2C && pos + 9 <= b.size()) {
            const unsigned char packed = b[pos + 8];
            pos += 9;
            if (packed & 0x80) pos += 3u << ((packed & 7) + 1);
            ++pos;  // LZW minimum code size
            ++g.frames;
        } else {
            return g.error = "unknown or truncated block", g;
        }
        if (!skip_sub_blocks()) return g.error = "truncated data", g;
    }
    return g.error = "no trailer", g;
}

TEST(Gif, MascotLoopsTwoFramesOf60And5Seconds) {
    const std::string bytes = ResourceBytes(IDR_MASCOT_GIF, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    EXPECT_EQ(bytes.compare(0, 6, "GIF89a"), 0);
    const GifInfo gif = ParseGif(bytes);
    ASSERT_EQ(gif.error, "");
    EXPECT_EQ(gif.frames, 2);
    EXPECT_EQ(gif.delays, (std::vector<int>{6000, 500}));
    EXPECT_EQ(gif.loop_count, 0) << "0 = loop for ever";
}

// Decoded the way the window does: OleLoadPicture on a stream over the bytes.
TEST(Gif, BothDecodeThroughOleToTheirPixelSizes) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    HDC screen = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX), dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const struct { int id, width, height; } cases[] = {{IDR_MASCOT_GIF, 50, 50}, {IDR_PORTRAIT_GIF, 59, 64}};
    for (const auto& c : cases) {
        const std::string bytes = ResourceBytes(c.id, MAKEINTRESOURCEA(10));
        ASSERT_FALSE(bytes.empty()) << c.id;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        IStream* stream = nullptr;
        ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream)));
        IPicture* picture = nullptr;
        const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&picture));
        stream->Release();
        ASSERT_TRUE(SUCCEEDED(hr) && picture) << c.id << " did not decode";
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        picture->get_Width(&width);
        picture->get_Height(&height);
        // HIMETRIC rounding differs by one between implementations.
        EXPECT_NEAR(width, MulDiv(c.width, 2540, dpi_x), 1) << c.id;
        EXPECT_NEAR(height, MulDiv(c.height, 2540, dpi_y), 1) << c.id;
        picture->Release();
    }
    OleUninitialize();
}

TEST(Manifest, AsksForCommonControls6AndDpiAwareness) {
    const std::string xml = ResourceBytes(1, MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
    EXPECT_EQ(xml.find("@"), std::string::npos) << "unfilled template placeholder";
    for (const char* needle : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                               "level=\"asInvoker\"", "<dpiAware>true</dpiAware>"})
        EXPECT_NE(xml.find(needle), std::string::npos) << needle;
}

TEST(Manifest, LoaderActivatesCommonControls6AndDpiAwareness) {
    // Only through the manifest's activation context does comctl32.dll resolve
    // to the side-by-side v6 assembly (Wine's DllGetVersion says 5 either way).
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
    FreeLibrary(comctl);
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(lower.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << path;

    // Looked up, not imported, so the program still loads on XP.
    auto is_dpi_aware = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
    if (is_dpi_aware) {
        EXPECT_TRUE(is_dpi_aware());
    }
}

}  // namespace
