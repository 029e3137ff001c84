#include "reliability_support.h"

#include <algorithm>

namespace reliability {

bool MakeKeyAt(HKEY root, const std::string& path) {
    HKEY key = root;
    bool ok = true;
    for (std::size_t start = 0, end; ok && start <= path.size(); start = end + 1) {
        end = std::min(path.find('\\', start), path.size());
        if (end == start) continue;
        HKEY child = nullptr;
        ok = !RegCreateKeyExA(key, path.substr(start, end - start).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &child, nullptr);
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
    std::vector<BYTE> padded(data);
    padded.push_back(0xFF);  // keeps the platform from counting a terminator in
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, padded.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::vector<BYTE> Sz(const std::string& text) {
    std::vector<BYTE> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

}  // namespace reliability
