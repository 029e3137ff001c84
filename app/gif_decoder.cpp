#include "app/gif_decoder.h"

#include <array>

namespace {

// Bounds-checked reading of the file's bytes.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Byte(std::uint8_t& b) {
        if (at_ >= size_) return false;
        b = data_[at_++];
        return true;
    }
    bool Word(int& w) {  // little-endian 16 bits
        std::uint8_t lo = 0, hi = 0;
        if (!Byte(lo) || !Byte(hi)) return false;
        w = lo | (hi << 8);
        return true;
    }
    bool Skip(std::size_t n) {
        if (n > size_ - at_) return false;
        at_ += n;
        return true;
    }
    const std::uint8_t* Here() const { return data_ + at_; }
    // Skips a chain of sub-blocks up to and including its empty terminator.
    bool SkipSubBlocks() {
        for (std::uint8_t length = 1; length != 0;)
            if (!Byte(length) || !Skip(length)) return false;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

using Palette = std::array<gif::Colour, 256>;

bool ReadPalette(Reader& in, int entries, Palette& palette) {
    for (int i = 0; i < entries; ++i) {
        std::uint8_t r = 0, g = 0, b = 0;
        if (!in.Byte(r) || !in.Byte(g) || !in.Byte(b)) return false;
        palette[static_cast<std::size_t>(i)] = (gif::Colour{r} << 16) | (gif::Colour{g} << 8) | b;
    }
    return true;
}

// The frame's compressed data, gathered from its sub-blocks, read as LZW
// codes of growing width (least significant bit first).
class CodeStream {
public:
    explicit CodeStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    // False at the end of the data.
    bool Next(int width, int& code) {
        while (bits_ < width) {
            if (at_ >= bytes_.size()) return false;
            buffer_ |= static_cast<std::uint32_t>(bytes_[at_++]) << bits_;
            bits_ += 8;
        }
        code = static_cast<int>(buffer_ & ((1u << width) - 1));
        buffer_ >>= width;
        bits_ -= width;
        return true;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Decodes the frame's colour indices (count of them at most) into `indices`.
// Data that ends early leaves the rest as it was; a code that cannot occur is
// an error.
bool Decompress(CodeStream& codes, int minimumSize, std::size_t count, std::vector<std::uint8_t>& indices) {
    constexpr int kMaxCodes = 4096;
    const int clear = 1 << minimumSize;
    const int end = clear + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{};
    std::array<std::uint8_t, kMaxCodes> first{};  // each string's first index
    std::array<std::uint8_t, kMaxCodes> stack{};
    for (int i = 0; i < clear; ++i) first[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    int width = minimumSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::size_t written = 0;
    int code = 0;
    while (written < count && codes.Next(width, code)) {
        if (code == clear) {
            width = minimumSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (code > next || (code == next && previous < 0)) return false;
        if (previous >= 0 && next < kMaxCodes) {
            // The new string: the previous one and the first index of this one
            // (of the previous one itself when this code is the one being made).
            const int head = code == next ? previous : code;
            prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
            suffix[static_cast<std::size_t>(next)] = first[static_cast<std::size_t>(head)];
            first[static_cast<std::size_t>(next)] = first[static_cast<std::size_t>(previous)];
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        } else if (code >= clear) {
            return false;  // a string code before any string was made
        }
        // Unwind the string, last index first, down to its one-index root.
        std::size_t depth = 0;
        int c = code;
        for (; c >= clear + 2; c = prefix[static_cast<std::size_t>(c)])
            stack[depth++] = suffix[static_cast<std::size_t>(c)];
        stack[depth++] = static_cast<std::uint8_t>(c);
        while (depth > 0 && written < count) indices[written++] = stack[--depth];
        previous = code;
    }
    return true;
}

// The row of the frame that the `n`th decoded row fills: interlaced frames
// store every 8th row from 0, every 8th from 4, every 4th from 2, then every
// 2nd from 1.
int FrameRow(int n, int height, bool interlaced) {
    if (!interlaced) return n;
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (n < rows) return kStart[pass] + n * kStep[pass];
        n -= rows;
    }
    return -1;
}

bool Decode(Reader& in, gif::Colour background, gif::Image& out) {
    std::uint8_t signature[6] = {};
    for (auto& b : signature)
        if (!in.Byte(b)) return false;
    const bool known = signature[0] == 'G' && signature[1] == 'I' && signature[2] == 'F' && signature[3] == '8' &&
                       (signature[4] == '7' || signature[4] == '9') && signature[5] == 'a';
    std::uint8_t flags = 0, ignored = 0;
    int width = 0, height = 0;
    if (!known || !in.Word(width) || !in.Word(height) || !in.Byte(flags) || !in.Byte(ignored) || !in.Byte(ignored))
        return false;
    if (width == 0 || height == 0 || static_cast<std::size_t>(width) * height > gif::kMaxPixels) return false;
    Palette global{};
    const int globalEntries = (flags & 0x80) ? 2 << (flags & 7) : 0;
    if (!ReadPalette(in, globalEntries, global)) return false;

    int transparent = -1;
    for (;;) {
        std::uint8_t introducer = 0;
        if (!in.Byte(introducer)) return false;
        if (introducer == 0x3B) return false;  // the end, and no frame
        if (introducer == 0x21) {              // an extension
            std::uint8_t label = 0, length = 0;
            if (!in.Byte(label)) return false;
            if (label == 0xF9 && in.Byte(length)) {  // graphic control: the frame's transparent colour
                if (length < 4) return false;
                const std::uint8_t* block = in.Here();
                if (!in.Skip(length)) return false;
                transparent = (block[0] & 1) ? block[3] : -1;
            }
            if (!in.SkipSubBlocks()) return false;
            continue;
        }
        if (introducer != 0x2C) return false;
        break;
    }

    int left = 0, top = 0, frameWidth = 0, frameHeight = 0;
    std::uint8_t frameFlags = 0, minimumSize = 0;
    if (!in.Word(left) || !in.Word(top) || !in.Word(frameWidth) || !in.Word(frameHeight) || !in.Byte(frameFlags))
        return false;
    Palette local{};
    const int localEntries = (frameFlags & 0x80) ? 2 << (frameFlags & 7) : 0;
    if (!ReadPalette(in, localEntries, local)) return false;
    const Palette& palette = localEntries ? local : global;
    const int entries = localEntries ? localEntries : globalEntries;
    if (!in.Byte(minimumSize) || minimumSize < 2 || minimumSize > 8) return false;
    std::vector<std::uint8_t> compressed;
    for (std::uint8_t length = 1; length != 0;) {
        if (!in.Byte(length)) return false;
        const std::uint8_t* block = in.Here();
        if (!in.Skip(length)) return false;
        compressed.insert(compressed.end(), block, block + length);
    }

    // Indices the data leaves out are 0, as other decoders have them.
    const std::size_t count = static_cast<std::size_t>(frameWidth) * frameHeight;
    if (count > gif::kMaxPixels) return false;
    std::vector<std::uint8_t> indices(count, 0);
    CodeStream codes(std::move(compressed));
    if (!Decompress(codes, minimumSize, count, indices)) return false;

    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, background);
    const bool interlaced = (frameFlags & 0x40) != 0;
    for (int n = 0; n < frameHeight; ++n) {
        const int y = top + FrameRow(n, frameHeight, interlaced);
        if (y >= height) continue;
        for (int x = 0; x < frameWidth && left + x < width; ++x) {
            const int index = indices[static_cast<std::size_t>(n) * frameWidth + x];
            if (index == transparent) continue;
            out.pixels[static_cast<std::size_t>(y) * width + left + x] =
                index < entries ? palette[static_cast<std::size_t>(index)] : 0;
        }
    }
    return true;
}

}  // namespace

bool gif::DecodeFirstFrame(const std::uint8_t* data, std::size_t size, Colour background, Image& out) {
    out = Image();
    Reader in(data, size);
    if (data && Decode(in, background, out)) return true;
    out = Image();
    return false;
}
