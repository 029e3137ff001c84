#include "fixed_keys.h"

#include <cstdlib>

void FixedKeysTest::SetUp() {
    RegistryTest::SetUp();
    const char* throwaway = std::getenv("QT_THROWAWAY_MACHINE");
    if (!kStandIn && !OnWine() && !(throwaway && std::string(throwaway) == "1"))
        GTEST_SKIP() << "changes the machine's own shell and class keys: set QT_THROWAWAY_MACHINE=1 on a throw-away "
                        "machine";
    for (const auto& [root, path] :
         {std::pair{HKEY_LOCAL_MACHINE, fixed::kClassKey}, std::pair{HKEY_CURRENT_USER, fixed::kShellKey},
          std::pair{HKEY_CURRENT_USER, fixed::kShellNoRoamKey}}) {
        Saved saved{root, path, {}, ReadTree(root, path)};
        for (std::size_t end = 0; !saved.tree && saved.firstMissing.empty() && end != std::string::npos;) {
            end = saved.path.find('\\', end + 1);
            if (!KeyPresentAt(root, saved.path.substr(0, end))) saved.firstMissing = saved.path.substr(0, end);
        }
        saved_.push_back(std::move(saved));
    }
}

void FixedKeysTest::TearDown() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {  // newest first
        RemoveTree(it->root, it->tree ? it->path : it->firstMissing);
        if (!it->tree) continue;
        HKEY parent = nullptr;
        try {
            if (RegOpenKeyExA(it->root, it->path.substr(0, it->path.rfind('\\')).c_str(), 0, KEY_ALL_ACCESS, &parent) !=
                ERROR_SUCCESS)
                throw SetupError("its parent does not open");
            const KeyPtr owner(parent, &RegCloseKey);
            WriteTree(parent, *it->tree);
        } catch (const SetupError& e) {
            ADD_FAILURE() << "cannot restore " << it->path << ": " << e.what();
        }
    }
    saved_.clear();
    RegistryTest::TearDown();
}
