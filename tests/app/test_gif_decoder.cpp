// The GIF decoder on small files built here. The two shipped GIFs are checked
// against the platform's own decoder in the resource tests (under Wine).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/gif_decoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr gif::Colour kBackground = 0x00C0C0C0;
constexpr gif::Colour kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0;

// A 10 × 10 four-colour GIF89a as a widely published example of the format
// has it (its pixels confirmed with another decoder): runs of one index that
// the compressor's dictionary codes, including the code it is still making.
const Bytes kSample = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0A, 0x00, 0x0A, 0x00, 0x91, 0x00, 0x00, 0xFF,
                       0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x0A, 0x00,
                       0x00, 0x02, 0x16, 0x8C, 0x2D, 0x99, 0x87, 0x2A, 0x1C, 0xDC, 0x33, 0xA0, 0x02, 0x75,
                       0xEC, 0x95, 0xFA, 0xA8, 0xDE, 0x60, 0x8C, 0x04, 0x91, 0x4C, 0x01, 0x00, 0x3B};
const char* const kSampleRows[] = {"1111122222", "1111122222", "1111122222", "1110000222", "1110000222",
                                   "2220000111", "2220000111", "2222211111", "2222211111", "2222211111"};

bool Decode(const Bytes& file, gif::Image& image) {
    return gif::DecodeFirstFrame(file.data(), file.size(), kBackground, image);
}

// A frame written the plain way: a clear code before every index, so the
// code width never grows and no dictionary string is used; or, `growing`,
// one clear code and then every index as a code of its own, so that the
// decoder makes a string of each, its code width grows to 12 bits and its
// table of 4,096 codes fills.
struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<gif::Colour> localPalette;  // empty: the global one
    std::vector<std::uint8_t> indices;      // in stored order
    int transparent = -1;
    int minimumSize = 2;
    bool growing = false;
};

// Palettes of 2 or 4 colours: the flag bits of a colour table of that size.
std::uint8_t PutPalette(Bytes& out, const std::vector<gif::Colour>& palette) {
    for (gif::Colour c : palette) out.insert(out.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    return palette.empty() ? 0 : std::uint8_t(0x80 | (palette.size() == 4 ? 1 : 0));
}

Bytes Build(int screenWidth, int screenHeight, const std::vector<gif::Colour>& global, const Frame& f) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&](int v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    word(screenWidth);
    word(screenHeight);
    Bytes palette;
    out.insert(out.end(), {PutPalette(palette, global), 0, 0});
    out.insert(out.end(), palette.begin(), palette.end());
    if (f.transparent >= 0) out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, std::uint8_t(f.transparent), 0});
    out.push_back(0x2C);
    word(f.left);
    word(f.top);
    word(f.width);
    word(f.height);
    palette.clear();
    out.push_back(std::uint8_t((f.interlaced ? 0x40 : 0) | PutPalette(palette, f.localPalette)));
    out.insert(out.end(), palette.begin(), palette.end());
    out.push_back(std::uint8_t(f.minimumSize));
    Bytes packed;
    std::uint32_t buffer = 0;
    int bits = 0;
    int width = f.minimumSize + 1, next = (1 << f.minimumSize) + 2;
    const int clear = 1 << f.minimumSize;
    auto code = [&](int c) {
        buffer |= std::uint32_t(c) << bits;
        for (bits += width; bits >= 8; bits -= 8, buffer >>= 8) packed.push_back(std::uint8_t(buffer));
    };
    if (f.growing) code(clear);
    for (std::size_t i = 0; i < f.indices.size(); ++i) {
        if (!f.growing) code(clear);
        code(f.indices[i]);
        // The string each code after the first makes; the width grows when
        // the next code no longer fits.
        if (f.growing && i > 0 && next < 4096 && ++next == (1 << width) && width < 12) ++width;
    }
    code(clear + 1);
    if (bits > 0) packed.push_back(std::uint8_t(buffer));
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.insert(out.end(), {0x00, 0x3B});
    return out;
}

TEST(GifDecoder, DecodesThePublishedSample) {
    gif::Image image;
    ASSERT_TRUE(Decode(kSample, image));
    ASSERT_EQ(image.width, 10);
    ASSERT_EQ(image.height, 10);
    const gif::Colour palette[] = {kWhite, kRed, kBlue, kBlack};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(image.pixels[y * 10 + x], palette[kSampleRows[y][x] - '0']) << x << "," << y;
}

// Where the frame's pixels land on the logical screen, and what shows where
// they do not.
TEST(GifDecoder, ComposesTheFrameOnItsScreen) {
    const std::vector<gif::Colour> global = {kWhite, kRed, kBlue, kBlack};
    struct Case {
        const char* what;
        Frame frame;
        int screenWidth, screenHeight;
        std::vector<gif::Colour> expected;
    };
    const gif::Colour B = kBackground;
    const Case cases[] = {
        {"offset frame, the rest background", {1, 1, 1, 1, false, {}, {2}}, 2, 2, {B, B, B, kBlue}},
        {"frame narrower than the screen", {0, 0, 1, 2, false, {}, {1, 2}}, 2, 2, {kRed, B, kBlue, B}},
        {"frame beyond the screen is clipped", {1, 0, 2, 2, false, {}, {1, 2, 3, 0}}, 2, 2, {B, kRed, B, kBlack}},
        {"transparent index shows the background", {0, 0, 2, 1, false, {}, {1, 2}, 2}, 2, 1, {kRed, B}},
        {"local palette over the global one", {0, 0, 2, 1, false, {kBlack, kBlue}, {1, 0}}, 2, 1, {kBlue, kBlack}},
        {"index beyond the palette is black", {0, 0, 1, 1, false, {}, {5}, -1, 3}, 1, 1, {kBlack}},
        // Stored rows 0, 4 | 2, 6 | 1, 3, 5, 7: index = the row it fills.
        {"interlaced rows",
         {0, 0, 1, 8, true, {}, {0, 0, 2, 2, 1, 1, 1, 1}},
         1,
         8,
         {kWhite, kRed, kBlue, kRed, kWhite, kRed, kBlue, kRed}},
        {"data ending early leaves index 0", {0, 0, 3, 1, false, {}, {2}}, 3, 1, {kBlue, kWhite, kWhite}},
    };
    // 5,000 codes: the table is full after about 4,090, and decoding goes on
    // at 12 bits without adding to it.
    Frame full{0, 0, 100, 50, false, {}, {}};
    full.growing = true;
    std::vector<gif::Colour> expected;
    for (int i = 0; i < 5000; ++i) {
        full.indices.push_back(std::uint8_t((i * 7 + i / 3) % 4));
        expected.push_back(global[full.indices.back()]);
    }
    gif::Image image;
    ASSERT_TRUE(Decode(Build(100, 50, global, full), image));
    EXPECT_EQ(image.pixels, expected) << "codes growing to 12 bits";
    for (const Case& c : cases) {
        gif::Image image;
        ASSERT_TRUE(Decode(Build(c.screenWidth, c.screenHeight, global, c.frame), image)) << c.what;
        EXPECT_EQ(image.pixels, c.expected) << c.what;
    }
}

// Malformed files are refused whole; no prefix of a file crashes or reads
// past its end (the sanitizers watch).
TEST(GifDecoder, RefusesMalformedFiles) {
    const Frame one{0, 0, 1, 1, false, {}, {1}};
    const std::vector<gif::Colour> palette = {kWhite, kRed, kBlue, kBlack};
    auto with = [](Bytes b, std::size_t at, std::uint8_t value) {
        b[at] = value;
        return b;
    };
    Frame badSize = one, withTransparent = one, beyond{0, 0, 2, 1, false, {}, {1, 7}};
    badSize.minimumSize = 9;
    withTransparent.transparent = 2;
    beyond.growing = true;  // the second code, 7, lies beyond the next string's 6
    Bytes wrongCode = kSample;
    wrongCode[45] = 0xBC;  // the second code (7) names a string not yet made
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"not a GIF", with(kSample, 0, 'X')},
        {"unknown version", with(kSample, 4, '8')},
        {"zero width", with(kSample, 6, 0)},
        {"no frame before the trailer", {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}},
        {"screen larger than allowed", Build(4097, 4097, palette, one)},
        {"code size beyond 8 bits", Build(1, 1, palette, badSize)},
        {"code for a string not yet made", wrongCode},
        {"code beyond the next string", Build(2, 1, palette, beyond)},
        {"unknown block", with(kSample, 25, 0x99)},
        {"graphic control block of 3 bytes", with(Build(1, 1, palette, withTransparent), 27, 3)},
    };
    for (const auto& c : cases) {
        gif::Image image;
        EXPECT_FALSE(Decode(c.file, image)) << c.what;
        EXPECT_TRUE(image.pixels.empty() && image.width == 0) << c.what;
    }
    for (std::size_t size = 0; size < kSample.size() - 1; ++size) {
        gif::Image image;
        const Bytes cut(kSample.begin(), kSample.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Decode(cut, image)) << size << " bytes";
    }
}

}  // namespace
