// The program's resources, checked from inside a running executable that
// links the same resource object as the program: the version record as the
// shell reads it, the icon group, the banner bitmap, the two GIF pictures
// (decoded by OLE, as the window does) and the manifest.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "version_rc.h"

namespace {

// The bytes of one resource of this executable; empty when it is missing.
std::string ResourceBytes(int id, LPCSTR type) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return std::string();
  HGLOBAL loaded = LoadResource(self, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return std::string();
  return std::string(static_cast<const char*>(data), SizeofResource(self, found));
}

template <typename T>
T ReadAt(const std::string& bytes, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// ---------------------------------------------------------------------------
// Version record, read the way Explorer's property sheet reads it: from the
// file on disk, not from the loaded image.

class VersionRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0xdeadbeef;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u) << "no version record, error " << GetLastError();
    data_.assign(size, '\xbd');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &data_[0]));
  }

  // The value at a sub-block path, or nullptr; its length in *length.
  const void* Query(const char* sub_block, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueA(&data_[0], sub_block, &value, length)) return nullptr;
    return value;
  }

  std::string data_;
};

TEST_F(VersionRecord, FixedPartHoldsTheProjectVersionOfAnApplication) {
  UINT length = 0;
  auto fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\", &length));
  ASSERT_NE(fixed, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD ms = MAKELONG(QT_RC_VERSION_MINOR, QT_RC_VERSION_MAJOR);
  const DWORD ls = MAKELONG(QT_RC_VERSION_REVISION, QT_RC_VERSION_BUILD);
  EXPECT_EQ(fixed->dwFileVersionMS, ms);
  EXPECT_EQ(fixed->dwFileVersionLS, ls);
  EXPECT_EQ(fixed->dwProductVersionMS, ms);
  EXPECT_EQ(fixed->dwProductVersionLS, ls);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or patched flags";
  EXPECT_TRUE(fixed->dwFileOS == VOS__WINDOWS32 || fixed->dwFileOS == VOS_NT_WINDOWS32)
      << "got FILEOS 0x" << std::hex << fixed->dwFileOS;
}

TEST_F(VersionRecord, StringTableHoldsEveryEntry) {
  // The version text is major, two-digit minor, four-digit revision: formatted
  // here independently of the build's own formatting.
  char version[32];
  std::snprintf(version, sizeof version, "%d.%02d.%04d", QT_RC_VERSION_MAJOR, QT_RC_VERSION_MINOR,
                QT_RC_VERSION_REVISION);
  EXPECT_STREQ(version, QT_RC_VERSION_TEXT);

  struct Entry {
    const char* name;
    std::string expected;
  };
  const Entry entries[] = {
      {"FileVersion", "0.03.0006"},
      {"ProductVersion", "0.03.0006"},
      {"FileDescription", "Simple Tweaker"},
      {"ProductName", "Qorvel Tweaker"},
      {"InternalName", "Qorvel Tweaker"},
      {"OriginalFilename", "Qorvel Tweaker.exe"},
      {"CompanyName", "Valdrin dot Net"},
  };
  for (const Entry& entry : entries) {
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + entry.name;
    UINT length = 0;
    auto text = static_cast<const char*>(Query(path.c_str(), &length));
    ASSERT_NE(text, nullptr) << entry.name << " missing";
    EXPECT_EQ(std::string(text), entry.expected) << entry.name;
  }

  for (const char* name : {"Comments", "LegalCopyright", "LegalTrademarks"}) {
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    UINT length = 0;
    auto text = static_cast<const char*>(Query(path.c_str(), &length));
    ASSERT_NE(text, nullptr) << name << " missing";
    EXPECT_GT(std::strlen(text), 5u) << name << " is empty or a stub";
  }
}

TEST_F(VersionRecord, TranslationIsUsEnglishUnicodeOnly) {
  UINT length = 0;
  auto pairs = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation", &length));
  ASSERT_NE(pairs, nullptr);
  ASSERT_EQ(length, 2 * sizeof(WORD)) << "exactly one language and code page";
  EXPECT_EQ(pairs[0], 0x0409);
  EXPECT_EQ(pairs[1], 0x04B0);
}

// ---------------------------------------------------------------------------
// Icon.

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colour_count;
  BYTE reserved;
  WORD planes;
  WORD bit_count;
  DWORD bytes_in_resource;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
#pragma pack(pop)

TEST(Icon, GroupOneHoldsOne32x32TrueColourImage) {
  const std::string group = ResourceBytes(IDI_QORVEL, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
  const auto header = ReadAt<GroupIconHeader>(group, 0);
  EXPECT_EQ(header.reserved, 0);
  EXPECT_EQ(header.type, 1) << "1 = icon, 2 = cursor";
  ASSERT_EQ(header.count, 1);
  const auto entry = ReadAt<GroupIconEntry>(group, sizeof(GroupIconHeader));
  EXPECT_EQ(entry.width, 32);
  EXPECT_EQ(entry.height, 32);
  EXPECT_EQ(entry.colour_count, 0) << "0 for more than 256 colours";
  EXPECT_EQ(entry.planes, 1);
  EXPECT_EQ(entry.bit_count, 24);

  // The image the entry names: a DIB with colour and mask stacked (height 64).
  const std::string image = ResourceBytes(entry.id, MAKEINTRESOURCEA(3) /* RT_ICON */);
  ASSERT_EQ(image.size(), entry.bytes_in_resource);
  const auto info = ReadAt<BITMAPINFOHEADER>(image, 0);
  EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info.biWidth, 32);
  EXPECT_EQ(info.biHeight, 64);
  EXPECT_EQ(info.biBitCount, 24);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + 32 * 32 * 3 + 32 * 4) << "colour plus AND mask";
}

TEST(Icon, LoadsAsA32x32IconWithColourAndMask) {
  HICON icon = static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QORVEL), IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(icon, nullptr) << "error " << GetLastError();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_TRUE(info.fIcon);
  ASSERT_NE(info.hbmColor, nullptr);
  BITMAP colour{};
  ASSERT_TRUE(GetObjectA(info.hbmColor, sizeof colour, &colour));
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

// ---------------------------------------------------------------------------
// Banner.

// One pixel of the banner resource (a bottom-up 5-5-5 DIB), channels 0..31.
struct Rgb555 {
  int r, g, b;
};
Rgb555 BannerPixel(const std::string& dib, int x, int y_from_top) {
  const int width = 240, height = 40;
  const size_t offset = sizeof(BITMAPINFOHEADER) + (height - 1 - y_from_top) * width * 2 + x * 2;
  const WORD v = ReadAt<WORD>(dib, offset);
  return {(v >> 10) & 31, (v >> 5) & 31, v & 31};
}

TEST(Banner, ResourceIsAn240x40BottomUp555Bitmap) {
  const std::string dib = ResourceBytes(IDB_BANNER, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
  const auto info = ReadAt<BITMAPINFOHEADER>(dib, 0);
  EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info.biWidth, 240);
  EXPECT_EQ(info.biHeight, 40) << "positive: rows stored bottom-up";
  EXPECT_EQ(info.biPlanes, 1);
  EXPECT_EQ(info.biBitCount, 16);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB)) << "BI_RGB at 16 bpp means 5-5-5";
  EXPECT_EQ(info.biClrUsed, 0u);
  ASSERT_EQ(dib.size(), sizeof(BITMAPINFOHEADER) + 240 * 2 * 40) << "uncompressed, no colour table";
}

TEST(Banner, ShadesFromBlackAtTheTopToGreenAtTheBottom) {
  const std::string dib = ResourceBytes(IDB_BANNER, MAKEINTRESOURCEA(2));
  ASSERT_EQ(dib.size(), sizeof(BITMAPINFOHEADER) + 240 * 2 * 40);
  // The corners are background, clear of the lettering.
  for (int x : {0, 1, 238, 239}) {
    const Rgb555 top = BannerPixel(dib, x, 0);
    const Rgb555 bottom = BannerPixel(dib, x, 39);
    EXPECT_LE(top.r + top.g + top.b, 2) << "x " << x << ": top row should be black";
    EXPECT_GE(bottom.g, 14) << "x " << x << ": bottom row should be green";
    EXPECT_GT(bottom.g, 2 * bottom.b) << "x " << x;
    EXPECT_EQ(bottom.r, 0) << "x " << x;
  }
}

TEST(Banner, MiddleRowsCarryPaleBlueLettering) {
  const std::string dib = ResourceBytes(IDB_BANNER, MAKEINTRESOURCEA(2));
  ASSERT_EQ(dib.size(), sizeof(BITMAPINFOHEADER) + 240 * 2 * 40);
  int pale_blue = 0;
  int leftmost = 240, rightmost = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 240; ++x) {
      const Rgb555 p = BannerPixel(dib, x, y);
      if (p.b >= 24 && p.b >= p.r && p.r >= 16 && p.g >= 18) {
        ++pale_blue;
        leftmost = std::min(leftmost, x);
        rightmost = std::max(rightmost, x);
      }
    }
  }
  EXPECT_GT(pale_blue, 800) << "too little lettering";
  EXPECT_LT(leftmost, 30) << "the name spans the banner";
  EXPECT_GT(rightmost, 210);
}

TEST(Banner, LoadImageGivesA240x40Bitmap) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BANNER),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr) << "error " << GetLastError();
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 240);
  EXPECT_EQ(info.bmHeight, 40);
  EXPECT_EQ(info.bmBitsPixel, 16);
  DeleteObject(bitmap);
}

// ---------------------------------------------------------------------------
// GIF pictures: their block structure, and decoding through OLE.

struct GifInfo {
  bool ok = false;
  std::string error;
  std::string signature;
  int width = 0, height = 0;
  int frames = 0;
  std::vector<int> delays;                 // one per graphic control extension
  std::vector<std::string> applications;   // application extension identifiers
  int loop_count = -1;                     // from NETSCAPE2.0, -1 when absent
};

// Walks the blocks of a GIF file (header, colour tables, extensions, images,
// trailer), skipping image data by its sub-block lengths, so that bytes inside
// compressed data are never mistaken for blocks.
GifInfo ParseGif(const std::string& b) {
  GifInfo g;
  auto fail = [&g](const char* why) {
    g.error = why;
    return g;
  };
  if (b.size() < 13) return fail("short header");
  g.signature = b.substr(0, 6);
  g.width = ReadAt<WORD>(b, 6);
  g.height = ReadAt<WORD>(b, 8);
  const unsigned char packed = b[10];
  size_t pos = 13;
  if (packed & 0x80) pos += 3u << ((packed & 7) + 1);
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
      g.ok = pos == b.size();
      if (!g.ok) g.error = "bytes after the trailer";
      return g;
    }
    if (block == 0x21) {
      if (pos >= b.size()) return fail("truncated extension");
      const unsigned char label = b[pos++];
      if (label == 0xF9) {
        if (pos + 6 > b.size() || b[pos] != 4) return fail("bad graphic control extension");
        g.delays.push_back(ReadAt<WORD>(b, pos + 2));
      } else if (label == 0xFF) {
        if (pos + 12 > b.size() || b[pos] != 11) return fail("bad application extension");
        g.applications.push_back(b.substr(pos + 1, 11));
        if (b.substr(pos + 1, 11) == "NETSCAPE2.0" && pos + 16 <= b.size() && b[pos + 12] == 3 &&
            b[pos + 13] == 1)
          g.loop_count = ReadAt<WORD>(b, pos + 14);
      }
      if (!skip_sub_blocks()) return fail("truncated extension data");
    } else if (block == 0x2C) {
      if (pos + 9 > b.size()) return fail("truncated image descriptor");
      const unsigned char image_packed = b[pos + 8];
      pos += 9;
      if (image_packed & 0x80) pos += 3u << ((image_packed & 7) + 1);
      ++pos;  // LZW minimum code size
      if (!skip_sub_blocks()) return fail("truncated image data");
      ++g.frames;
    } else {
      return fail("unknown block");
    }
  }
  return fail("no trailer");
}

TEST(Gif, MascotIsALoopingTwoFrameGif89a) {
  const std::string bytes = ResourceBytes(IDR_MASCOT_GIF, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.compare(0, 6, "GIF89a"), 0);
  EXPECT_NE(bytes.find("NETSCAPE2.0"), std::string::npos);
  const GifInfo gif = ParseGif(bytes);
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.width, 50);
  EXPECT_EQ(gif.height, 50);
  EXPECT_EQ(gif.frames, 2);
  EXPECT_EQ(gif.delays, (std::vector<int>{6000, 500})) << "60 s, then 5 s";
  EXPECT_EQ(gif.applications, std::vector<std::string>{"NETSCAPE2.0"});
  EXPECT_EQ(gif.loop_count, 0) << "0 = loop for ever";
}

TEST(Gif, PortraitIsAPlainOneFrameGif87a) {
  const std::string bytes = ResourceBytes(IDR_PORTRAIT_GIF, MAKEINTRESOURCEA(10));
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes.compare(0, 6, "GIF87a"), 0);
  const GifInfo gif = ParseGif(bytes);
  ASSERT_TRUE(gif.ok) << gif.error;
  EXPECT_EQ(gif.width, 59);
  EXPECT_EQ(gif.height, 64);
  EXPECT_EQ(gif.frames, 1);
  EXPECT_TRUE(gif.delays.empty()) << "GIF87a has no extension blocks";
  EXPECT_TRUE(gif.applications.empty());
}

class OlePicture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  // Decodes a resource the way the window does: OleLoadPicture on a stream
  // over a copy of the bytes in movable global memory.
  static IPicture* Load(int id) {
    const std::string bytes = ResourceBytes(id, MAKEINTRESOURCEA(10));
    if (bytes.empty()) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) return nullptr;
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
      GlobalFree(memory);
      return nullptr;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    stream->Release();
    return SUCCEEDED(hr) ? picture : nullptr;
  }

  // HIMETRIC (0.01 mm) extent of a number of pixels at the screen's DPI.
  static long Himetric(int pixels, int dpi) { return MulDiv(pixels, 2540, dpi); }
};

TEST_F(OlePicture, GifsDecodeToTheirPixelSizes) {
  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  struct Case {
    int id;
    const char* name;
    int width, height;
  };
  const Case cases[] = {{IDR_MASCOT_GIF, "mascot", 50, 50}, {IDR_PORTRAIT_GIF, "portrait", 59, 64}};
  for (const Case& c : cases) {
    IPicture* picture = Load(c.id);
    ASSERT_NE(picture, nullptr) << c.name << " did not decode";
    SHORT type = 0;
    EXPECT_TRUE(SUCCEEDED(picture->get_Type(&type)));
    EXPECT_EQ(type, PICTYPE_BITMAP) << c.name;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    EXPECT_TRUE(SUCCEEDED(picture->get_Width(&width)));
    EXPECT_TRUE(SUCCEEDED(picture->get_Height(&height)));
    // Rounding of the pixel-to-HIMETRIC conversion differs by one between
    // implementations.
    EXPECT_NEAR(width, Himetric(c.width, dpi_x), 1) << c.name << " at " << dpi_x << " DPI";
    EXPECT_NEAR(height, Himetric(c.height, dpi_y), 1) << c.name << " at " << dpi_y << " DPI";
    picture->Release();
  }
}

// ---------------------------------------------------------------------------
// Manifest.

TEST(Manifest, AsksForCommonControls6AsInvokerAndDpiAwareness) {
  const std::string xml = ResourceBytes(1, MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  ASSERT_FALSE(xml.empty());
  EXPECT_EQ(xml.find("@"), std::string::npos) << "unfilled template placeholder";
  for (const char* needle :
       {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
        "<dpiAware>true</dpiAware>", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
    EXPECT_NE(xml.find(needle), std::string::npos) << needle;
}

TEST(Manifest, LoaderActivatesCommonControls6) {
  // The process's activation context comes from the manifest: only through
  // it does "comctl32.dll" resolve to the side-by-side version 6 assembly
  // instead of the system folder's version 5. (Wine's copy reports 5 from
  // DllGetVersion either way, so the path is the evidence.)
  HMODULE comctl = LoadLibraryA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  EXPECT_NE(lower.find("winsxs"), std::string::npos) << path;
  EXPECT_NE(lower.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
  FreeLibrary(comctl);
}

TEST(Manifest, ProcessIsDpiAware) {
  // IsProcessDPIAware arrived with Vista: looked up, not imported, so the
  // program still loads on XP (which has no DPI virtualisation to opt out of).
  auto is_dpi_aware = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
  if (is_dpi_aware == nullptr) GTEST_SKIP() << "no IsProcessDPIAware before Vista";
  EXPECT_TRUE(is_dpi_aware());
}

}  // namespace
