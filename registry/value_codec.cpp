#include "registry/value_codec.h"

#include <algorithm>
#include <cstring>

namespace value_codec {

LONG ReadValue(HKEY key, const std::string& name, DWORD& type, std::vector<BYTE>& data) {
    data.assign(kFirstReadSize, 0);
    DWORD size = kFirstReadSize;
    type = REG_NONE;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr /* reserved */, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
        // A value may be anything up to the registry's limits; read it whole.
        data.assign(size, 0);
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (status != ERROR_SUCCESS) {
        data.clear();
        return status;
    }
    // The platform never reports more than the buffer holds; keep the data
    // exactly as long as reported.
    if (size < data.size()) data.resize(size);
    return status;
}

std::string StringData(const std::vector<BYTE>& data) {
    std::size_t n = data.size();
    if (n > 0 && data[n - 1] == 0) --n;
    return std::string(reinterpret_cast<const char*>(data.data()), n);
}

std::string MultiStringData(const std::vector<BYTE>& data) {
    std::size_t n = data.size();
    for (int terminators = 0; terminators < 2 && n > 0 && data[n - 1] == 0; ++terminators) --n;
    return std::string(reinterpret_cast<const char*>(data.data()), n);
}

std::string Expand(const std::string& text) {
    // The needed size may change between the two calls if the environment
    // does; a few rounds settle it, and the last answer is used regardless.
    std::vector<char> out(text.size() + 1 + 256);
    for (int round = 0; round < 4; ++round) {
        const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (needed == 0) return text;  // the call failed: show the text unexpanded
        if (needed <= out.size()) break;
        out.assign(needed, '\0');
    }
    out.back() = '\0';
    return std::string(out.data());
}

TaggedValue Decode(DWORD type, const std::vector<BYTE>& data, const TaggedValue& fallback) {
    switch (type) {
        case REG_SZ:
            if (data.empty()) return fallback;
            return TaggedValue(StringData(data));
        case REG_EXPAND_SZ:
            if (data.empty()) return fallback;
            return TaggedValue(Expand(StringData(data)));
        case REG_BINARY: return TaggedValue(TaggedValue::Bytes(data.begin(), data.end()));
        case REG_DWORD: {
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < 4 && i < data.size(); ++i) v |= std::uint32_t{data[i]} << (8 * i);
            return TaggedValue(static_cast<std::int32_t>(v));
        }
        case REG_MULTI_SZ: {
            std::string text = MultiStringData(data);
            if (text.empty() || text[0] == '\0') return fallback;
            return TaggedValue(std::move(text));
        }
        default: return fallback;
    }
}

LONG EnumValue(HKEY key, DWORD index, DWORD& nameCapacity, std::string& name, DWORD& type, std::vector<BYTE>& data) {
    data.assign(kFirstListSize, 0);
    std::vector<char> nameBuffer;
    LONG status = ERROR_MORE_DATA;
    // ERROR_MORE_DATA does not say which buffer was short: the data size it
    // reports tells. When the data would have fit, the name did not.
    for (int round = 0; round < 16 && status == ERROR_MORE_DATA; ++round) {
        nameBuffer.assign(nameCapacity, '\0');
        DWORD nameSize = nameCapacity;
        DWORD size = static_cast<DWORD>(data.size());
        type = REG_NONE;
        status =
            RegEnumValueA(key, index, nameBuffer.data(), &nameSize, nullptr /* reserved */, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            name.assign(nameBuffer.data(), std::min<std::size_t>(nameSize, nameBuffer.size()));
            if (size < data.size()) data.resize(size);
            return status;
        }
        if (status != ERROR_MORE_DATA) break;
        if (size > data.size()) {
            data.assign(size, 0);
        } else if (nameCapacity < kMaxNameCapacity) {
            nameCapacity = std::min<DWORD>(std::max<DWORD>(nameCapacity, 130) * 2, kMaxNameCapacity);
        } else {
            break;  // neither buffer can be the reason: give up on this value
        }
    }
    name.clear();
    data.clear();
    return status;
}

std::string HexPairs(const std::vector<BYTE>& data) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    if (data.empty()) return out;
    out.reserve(data.size() * 3 - 1);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) out += ' ';
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0x0F];
    }
    return out;
}

TaggedValue ListedValue(DWORD type, const std::vector<BYTE>& data) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_DWORD: return Decode(type, data, TaggedValue(std::string()));
        case REG_BINARY: return TaggedValue(HexPairs(data));
        case REG_MULTI_SZ: {
            std::string text = MultiStringData(data);
            std::replace(text.begin(), text.end(), '\0', ',');
            return TaggedValue(std::move(text));
        }
        default: return TaggedValue();
    }
}

TaggedValue ReadDecoded(HKEY key, const std::string& name, const TaggedValue& fallback) {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (ReadValue(key, name, type, data) != ERROR_SUCCESS) return fallback;
    return Decode(type, data, fallback);
}

bool IsWritableType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY || type == REG_DWORD || type == REG_MULTI_SZ;
}

std::vector<BYTE> Encode(const TaggedValue& value, DWORD type) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            const std::string text = value.ToText();
            std::vector<BYTE> out(text.begin(), text.end());
            out.push_back(0);
            return out;
        }
        case REG_MULTI_SZ: {
            // The caller's text carries every separator and the list's end.
            const std::string text = value.ToText();
            return std::vector<BYTE>(text.begin(), text.end());
        }
        case REG_BINARY: return value.ToBytes();
        case REG_DWORD: {
            const auto v = static_cast<std::uint32_t>(value.ToInt32());
            return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                    static_cast<BYTE>(v >> 24)};
        }
        default: throw TypeMismatch("Type mismatch: registry type " + std::to_string(type) + " is not written");
    }
}

LONG WriteValue(HKEY key, const std::string& name, const TaggedValue& value, DWORD type) {
    std::vector<BYTE> data = Encode(value, type);
    const auto size = static_cast<DWORD>(data.size());
    // RegSetValueExA looks at the byte after string data to decide whether
    // the caller forgot to count a terminator; give it one to look at.
    data.push_back(0);
    return RegSetValueExA(key, name.c_str(), 0 /* reserved */, type, data.data(), size);
}

}  // namespace value_codec
