// The fuzz targets' committed corpora, each input run once through its
// target as a regression case (under ASan and UBSan in the asan build).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/standin_control.h"

namespace {

struct Target {
    const char* corpus;
    void (*run)(const std::uint8_t*, std::size_t);
};

class FuzzCorpus : public ::testing::TestWithParam<Target> {
protected:
    void TearDown() override {
        fuzz::OnFailure = &fuzz::AbortOnFailure;
        standin::Reset();
    }
};

TEST_P(FuzzCorpus, EveryInputKeepsTheInvariants) {
    const Target target = GetParam();
    fuzz::OnFailure = [](const char* what) { throw std::logic_error(what); };
    std::size_t inputs = 0;
    for (const auto& file :
         std::filesystem::directory_iterator(std::string(QT_FUZZ_CORPUS_DIR) + "/" + target.corpus)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++inputs;
        try {
            target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << file.path() << ": " << e.what();
        }
    }
    EXPECT_GE(inputs, 3u) << "corpus missing: " << target.corpus;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         ::testing::Values(Target{"registry_value", &fuzz::RegistryValue},
                                           Target{"enum_values", &fuzz::EnumValues}),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.corpus); });

}  // namespace
