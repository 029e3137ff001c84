// The first frame of a GIF image (87a or 89a) as plain pixels: what a picture
// box shows of a GIF, decoded without the platform's picture loader, whose
// libraries would cost the program start-up time.
//
// The frame is composed on the image's logical screen. Pixels the frame does
// not cover, and pixels of the frame's transparent colour, take the caller's
// background colour. Later frames are never read. Any bytes give a defined
// result: malformed or truncated data, or an image of more than kMaxPixels
// pixels, is refused (false) and leaves `out` empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gif {

// 0x00RRGGBB.
using Colour = std::uint32_t;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // rows top to bottom, width × height
};

// Larger logical screens are refused rather than allocated.
constexpr std::size_t kMaxPixels = 4096u * 4096u;

bool DecodeFirstFrame(const std::uint8_t* data, std::size_t size, Colour background, Image& out);

}  // namespace gif
