// EnumRegistryValues over a key holding values of any type numbers, names and
// data bytes, written into the stand-in.
// Input: records of type, name length (2 bytes), name, data length (2
// bytes), data; until the input ends.
#include <algorithm>
#include <map>

#include "fuzz_support.h"
#include "platform/names.h"
#include "platform/standin_control.h"
#include "registry/registry_routines.h"

namespace fuzz {

void EnumValues(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    standin::Reset();
    const std::string path = "Software\\Fuzz";
    HKEY key = nullptr;
    Check(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
              ERROR_SUCCESS,
          "create the key");
    std::map<std::string, DWORD> written;  // folded name -> type
    for (int record = 0; record < 64 && !in.Empty(); ++record) {
        const DWORD type = in.Type();
        const std::size_t nameLength = in.U16() % 17000;
        std::string name = in.Text(nameLength);
        name.erase(std::min(name.find('\0'), name.size()));
        std::vector<BYTE> bytes = in.Take(in.U16() % 9000);
        const auto length = static_cast<DWORD>(bytes.size());
        bytes.push_back(0xFF);
        if (RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), length) == ERROR_SUCCESS)
            written[names::FoldKey(name)] = type;
    }
    RegCloseKey(key);

    RegistryRoutines r;
    const KeyedCollection values = r.EnumRegistryValues(HKEY_CURRENT_USER, path);
    Check(values.Count() == written.size(), "every value listed once");
    for (const auto& [name, item] : values) {
        const auto it = written.find(names::FoldKey(name));
        Check(it != written.end(), "a listed name was written");
        Check(item.kind() == TaggedValue::Kind::List && item.ToList().size() == 2, "items are [name, data]");
        Check(item.ToList()[0] == TaggedValue(name), "the item's first element is its name");
    }
    Check(standin::OpenHandles() == 0, "no handle left open");
}

}  // namespace fuzz

QT_FUZZ_TARGET(fuzz::EnumValues)
