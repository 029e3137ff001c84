// GetRegistryValue and ReadRemoteRegistryValue over one value of any type
// number, name and data bytes, written into the stand-in.
// Input: type, name length, name, data (the rest).
#include <cstring>

#include "fuzz_support.h"
#include "platform/standin_control.h"
#include "registry/registry_routines.h"

namespace fuzz {

void RegistryValue(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    standin::Reset();
    const DWORD type = in.Type();
    std::string name = in.Text(in.Byte() % 64);
    name.erase(std::min(name.find('\0'), name.size()));  // the platform reads the name up to its NUL
    std::vector<BYTE> bytes = in.Rest();
    const auto length = static_cast<DWORD>(bytes.size());
    bytes.push_back(0xFF);  // no terminator for the platform to count in

    const std::string path = "Software\\Fuzz";
    HKEY key = nullptr;
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
              ERROR_SUCCESS,
          "create the key");
    const bool written = RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), length) == ERROR_SUCCESS;
    RegCloseKey(key);
    bytes.pop_back();

    RegistryRoutines r;
    r.hKey(HKEY_CURRENT_USER);
    r.KeyRoot("Software");
    r.Subkey("Fuzz");
    const TaggedValue fallback("<fallback>");
    const TaggedValue got = r.GetRegistryValue(name, fallback);
    if (!written) {
        Check(got == fallback, "a missing value gives the fallback");
    } else if (type == REG_BINARY) {
        Check(got == TaggedValue(TaggedValue::Bytes(bytes.begin(), bytes.end())), "binary data comes back whole");
    } else if (type == REG_DWORD && bytes.size() == 4) {
        std::int32_t number;
        std::memcpy(&number, bytes.data(), sizeof number);
        Check(got == TaggedValue(number), "a DWORD reads as its number");
    } else if (type == REG_SZ) {
        if (bytes.empty()) {
            Check(got == fallback, "an empty string gives the fallback");
        } else {
            const std::size_t n = bytes.size() - (bytes.back() == 0 ? 1 : 0);
            Check(got == TaggedValue(std::string(bytes.begin(), bytes.begin() + n)), "string data less its NUL");
        }
    } else if (type != REG_DWORD && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
        Check(got == fallback, "other types give the fallback");
    }
    // The remote read of this computer converts the same way, with the empty
    // value as its fallback.
    const TaggedValue plain = r.GetRegistryValue(name);
    Check(r.ReadRemoteRegistryValue("", HKEY_CURRENT_USER, name, path) == plain, "remote read of this computer");
    Check(
        r.ReadRemoteRegistryValue(std::string("\\\\") + standin::LocalComputerName(), HKEY_CURRENT_USER, name) == plain,
        "remote read by this computer's name");
    Check(standin::OpenHandles() == 0, "no handle left open");
}

}  // namespace fuzz

QT_FUZZ_TARGET(fuzz::RegistryValue)
