#include "reliability_support.h"

#include <cstdio>

namespace reliability {

bool MakeKeyAt(HKEY root, const std::string& path) {
    HKEY key = root;
    std::size_t start = 0;
    bool ok = true;
    while (ok && start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string level = path.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        HKEY child = nullptr;
        ok = RegCreateKeyExA(key, level.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr) ==
             ERROR_SUCCESS;
        if (key != root) RegCloseKey(key);
        key = ok ? child : root;
    }
    if (key != root) RegCloseKey(key);
    return ok;
}

bool SetValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type,
                const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    // A non-NUL byte after the data keeps the platform from counting a
    // terminator into it.
    std::vector<BYTE> padded(data);
    padded.push_back(0xFF);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, padded.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

namespace {

void ListInto(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    out.push_back("[" + prefix + "]");
    std::vector<char> name(16384 + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size + 1);
        const std::string valueName(name.data(), nameSize);
        DWORD size2 = size;
        RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &size2);
        std::string line = "  \"" + valueName + "\" " + std::to_string(type) + " =";
        char hex[4];
        for (DWORD b = 0; b < size2 && b < size; ++b) {
            std::snprintf(hex, sizeof hex, " %02X", data[b]);
            line += hex;
        }
        out.push_back(line);
    }
    for (DWORD i = 0;; ++i) {
        char child[512];
        DWORD childSize = sizeof child;
        if (RegEnumKeyExA(key, i, child, &childSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, child, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            ListInto(sub, prefix + "\\" + child, out);
            RegCloseKey(sub);
        } else {
            out.push_back("[" + prefix + "\\" + child + "] unreadable");
        }
    }
}

}  // namespace

std::vector<std::string> Listing(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    ListInto(key, path, out);
    RegCloseKey(key);
    return out;
}

}  // namespace reliability
