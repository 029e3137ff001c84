// Shared by the fuzz targets: a reader that takes typed pieces from the fuzz
// input (running out gives zeros, never an error), the targets' entry
// functions, and the check that reports a broken invariant.
//
// Each target is one function over the input bytes. Built with QT_FUZZ_ENTRY
// its file also defines libFuzzer's entry point; without it the corpus
// regression test calls the functions directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

void RegistryValue(const std::uint8_t* data, std::size_t size);
void EnumValues(const std::uint8_t* data, std::size_t size);

// What a broken invariant does: abort (libFuzzer keeps the input) unless a
// test installs its own handler. A handler never returns (the corpus test's
// throws): the targets go on as if each checked invariant held.
using FailureHandler = void (*)(const char* what);
inline void AbortOnFailure(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}
inline FailureHandler OnFailure = &AbortOnFailure;

inline void Check(bool ok, const char* what) {
    if (!ok) OnFailure(what);
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t U32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= std::uint32_t{Byte()} << (8 * i);
        return v;
    }
    std::uint16_t U16() {
        const std::uint8_t low = Byte();  // the two reads in this order, whatever the compiler
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    // Up to `n` bytes (fewer at the end of the input).
    std::vector<std::uint8_t> Take(std::size_t n) {
        const std::size_t got = n < size_ - pos_ ? n : size_ - (pos_ < size_ ? pos_ : size_);
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + got);
        pos_ += got;
        return out;
    }
    std::string Text(std::size_t n) {
        const auto bytes = Take(n);
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> Rest() { return Take(size_); }
    // A registry type: mostly the known ones and their neighbours, sometimes
    // any 32-bit number.
    std::uint32_t Type() {
        const std::uint8_t pick = Byte();
        return (pick & 0x80) ? U32() : pick % 13;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fuzz

#ifdef QT_FUZZ_ENTRY
#define QT_FUZZ_TARGET(function)                                                        \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        function(data, size);                                                           \
        return 0;                                                                       \
    }
#else
#define QT_FUZZ_TARGET(function)
#endif
