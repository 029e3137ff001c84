// KeyHandle owns one open registry key, like a unique_ptr for HKEY. It is
// move-only; it closes its key when it goes out of scope, on every path,
// including a conversion error thrown half-way through an operation. It never
// closes a predefined root key. Closing never throws.
#pragma once

#include <string>
#include <utility>

#include "platform/platform.h"

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() { Close(); }

    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    KeyHandle(KeyHandle&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    KeyHandle& operator=(KeyHandle&& other) noexcept {
        if (this != &other) {
            Close();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }

    // Opens `path` below `parent`; on failure the handle stays empty.
    LONG Open(HKEY parent, const std::string& path, REGSAM access) {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(parent, path.c_str(), 0 /* options */, access, &opened);
        if (status == ERROR_SUCCESS) Reset(opened);
        return status;
    }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // Takes ownership of `key`, closing the one held before.
    void Reset(HKEY key = nullptr) {
        Close();
        key_ = key;
    }

    // Closes the key now; returns the close status (0 when there was none).
    LONG Close() noexcept {
        LONG status = ERROR_SUCCESS;
        if (key_ && !IsPredefinedKey(key_)) status = RegCloseKey(key_);
        key_ = nullptr;
        return status;
    }

private:
    HKEY key_ = nullptr;
};
