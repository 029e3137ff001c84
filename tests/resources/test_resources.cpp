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
    UINT length = 0;
    auto query = [&](const std::string& sub_block) -> const void* {
        void* value = nullptr;
        return VerQueryValueA(&data[0], sub_block.c_str(), &value, &length) ? value : nullptr;
    };

    auto fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    const DWORD ms = MAKELONG(QT_RC_VERSION_MINOR, QT_RC_VERSION_MAJOR);
    const DWORD ls = MAKELONG(QT_RC_VERSION_REVISION, QT_RC_VERSION_BUILD);
    EXPECT_EQ((std::vector<DWORD>{ms, ls, ms, ls, VFT_APP, 0}),
              (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS, fixed->dwFileType,
                                  fixed->dwFileFlags & fixed->dwFileFlagsMask}));

    const std::pair<const char*, const char*> entries[] = {
        {"FileVersion", "0.03.0006"},          {"ProductVersion", "0.03.0006"},
        {"FileDescription", "Simple Tweaker"}, {"ProductName", "Qorvel Tweaker"},
        {"InternalName", "Qorvel Tweaker"},    {"OriginalFilename", "Qorvel Tweaker.exe"},
        {"CompanyName", "Valdrin dot Net"},    {"Comments", nullptr},
        {"LegalCopyright", nullptr},           {"LegalTrademarks", nullptr},
    };
    for (const auto& entry : entries) {
        auto text = static_cast<const char*>(query(std::string("\\StringFileInfo\\040904B0\\") + entry.first));
        ASSERT_NE(text, nullptr) << entry.first << " missing";
        if (entry.second)
            EXPECT_STREQ(text, entry.second) << entry.first;
        else
            EXPECT_GT(std::strlen(text), 5u) << entry.first << " is empty or a stub";
    }

    auto pairs = static_cast<const WORD*>(query("\\VarFileInfo\\Translation"));
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(length, 2 * sizeof(WORD)) << "exactly one language and code page";
    EXPECT_EQ(pairs[0], 0x0409);
    EXPECT_EQ(pairs[1], 0x04B0);
}

TEST(Images, IconIs32x32TrueColourAndBannerIs240x40BottomUp555) {
    // GRPICONDIR (6 bytes) then one GRPICONDIRENTRY (14 bytes).
    const std::string group = ResourceBytes(IDI_QORVEL, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(ReadAt<WORD>(group, 2), 1) << "1 = icon";
    ASSERT_EQ(ReadAt<WORD>(group, 4), 1) << "image count";
    EXPECT_EQ(ReadAt<WORD>(group, 6), 32 | 32 << 8) << "32x32";
    EXPECT_EQ(ReadAt<WORD>(group, 12), 24) << "bits per pixel";
    const std::string image = ResourceBytes(ReadAt<WORD>(group, 18), MAKEINTRESOURCEA(3) /* RT_ICON */);
    ASSERT_EQ(image.size(), ReadAt<DWORD>(group, 14));
    auto info = ReadAt<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ((std::vector<LONG>{32, 64, 24}), (std::vector<LONG>{info.biWidth, info.biHeight, info.biBitCount}))
        << "colour and mask stacked";
    EXPECT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + 32 * 32 * 3 + 32 * 4) << "colour plus AND mask";

    const std::string dib = ResourceBytes(IDB_BANNER, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    info = ReadAt<BITMAPINFOHEADER>(dib, 0);
    // Positive height: rows bottom-up; BI_RGB at 16 bpp means 5-5-5.
    EXPECT_EQ((std::vector<LONG>{240, 40, 16, BI_RGB}),
              (std::vector<LONG>{info.biWidth, info.biHeight, info.biBitCount, static_cast<LONG>(info.biCompression)}));
    EXPECT_EQ(dib.size(), sizeof(BITMAPINFOHEADER) + 240 * 2 * 40) << "uncompressed, no colour table";
}

// Walks the mascot GIF's blocks, skipping data by sub-block lengths so bytes
// inside compressed data are never taken for blocks.
TEST(Gif, MascotLoopsTwoFramesOf60And5Seconds) {
    const std::string b = ResourceBytes(IDR_MASCOT_GIF, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    ASSERT_EQ(b.compare(0, 6, "GIF89a"), 0);
    int frames = 0, loop_count = -1;
    std::vector<int> delays;
    size_t pos = 13;
    if (b[10] & 0x80) pos += 3u << ((b[10] & 7) + 1);
    while (pos < b.size() && b[pos] != 0x3B) {
        const unsigned char block = b[pos++];
        if (block == 0x21 && pos < b.size()) {
            const unsigned char label = b[pos++];
            if (label == 0xF9) delays.push_back(ReadAt<WORD>(b, pos + 2));
            if (label == 0xFF && b.compare(pos + 1, 11, "NETSCAPE2.0") == 0) loop_count = ReadAt<WORD>(b, pos + 14);
        } else {
            ASSERT_TRUE(block == 0x2C && pos + 9 <= b.size()) << "unknown or truncated block at " << pos - 1;
            const unsigned char packed = b[pos + 8];
            pos += 10;  // descriptor and LZW minimum code size
            if (packed & 0x80) pos += 3u << ((packed & 7) + 1);
            ++frames;
        }
        while (pos < b.size() && b[pos] != 0) pos += 1 + static_cast<unsigned char>(b[pos]);
        ++pos;
    }
    EXPECT_EQ(pos + 1, b.size()) << "trailer missing or not last";
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(delays, (std::vector<int>{6000, 500}));
    EXPECT_EQ(loop_count, 0) << "0 = loop for ever";
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

TEST(Manifest, AsksForAndActivatesCommonControls6AndDpiAwareness) {
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
