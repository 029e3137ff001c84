// Hostile registry data, as other programs may write it, read through every
// read path of the program: GetRegistryValue, EnumRegistryValues,
// ReadRemoteRegistryValue (this computer, by its name) and the Video page's
// status fields. Runs against the stand-in and the real registry alike.
#include <string>
#include <vector>

#include "registry/registry_routines.h"
#include "test_key.h"
#include "tweaks/video_page.h"

namespace {

using B = std::vector<BYTE>;
const TaggedValue kFallback("<fallback>");

std::string LocalName() {
#ifdef _WIN32
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return std::string("\\\\") + name;
#else
    return std::string("\\\\") + standin::LocalComputerName();
#endif
}

struct Hostile {
    const char* what;
    std::string name;
    DWORD type;
    B data;
    TaggedValue got;     // GetRegistryValue with kFallback
    TaggedValue listed;  // the data element of EnumRegistryValues' item
};

// The platform's own expansion (Wine spells SystemRoot in lower case).
std::string Expanded(const std::string& text) {
    char out[1024] = {};
    ExpandEnvironmentStringsA(text.c_str(), out, sizeof out);
    return out;
}

std::vector<Hostile> Table() {
    const std::string big(1 << 20, 'M');
    B bigSz(big.begin(), big.end());
    B bigBinary(1 << 20, 0x5A);
    return {
        {"unterminated string", "sz", REG_SZ, Bytes("abc"), TaggedValue("abc"), TaggedValue("abc")},
        {"unterminated string of one character", "s1", REG_SZ, Bytes("x"), TaggedValue("x"), TaggedValue("x")},
        {"unterminated expandable", "ex", REG_EXPAND_SZ, Bytes("x%SystemRoot%"), TaggedValue(Expanded("x%SystemRoot%")),
         TaggedValue(Expanded("x%SystemRoot%"))},
        {"string of one NUL", "nul", REG_SZ, {0}, TaggedValue(""), TaggedValue("")},
        {"zero-length string", "zsz", REG_SZ, {}, kFallback, TaggedValue("")},
        {"zero-length binary", "zbin", REG_BINARY, {}, TaggedValue(TaggedValue::Bytes{}), TaggedValue("")},
        {"zero-length DWORD", "d0", REG_DWORD, {}, TaggedValue(0), TaggedValue(0)},
        {"DWORD of 1 byte", "d1", REG_DWORD, {0x7F}, TaggedValue(0x7F), TaggedValue(0x7F)},
        {"DWORD of 2 bytes", "d2", REG_DWORD, {0x01, 0x02}, TaggedValue(0x0201), TaggedValue(0x0201)},
        {"DWORD of 3 bytes", "d3", REG_DWORD, {0xFF, 0xFF, 0xFF}, TaggedValue(0xFFFFFF), TaggedValue(0xFFFFFF)},
        {"DWORD of 5 bytes", "d5", REG_DWORD, {1, 0, 0, 0, 9}, TaggedValue(1), TaggedValue(1)},
        {"DWORD of 8 bytes", "d8", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}, TaggedValue(-1), TaggedValue(-1)},
        {"multi-string without the final NUL",
         "m1",
         REG_MULTI_SZ,
         {'a', 0, 'b'},
         TaggedValue(std::string("a\0b", 3)),
         TaggedValue("a,b")},
        {"multi-string without any NUL", "m2", REG_MULTI_SZ, Bytes("ab"), TaggedValue("ab"), TaggedValue("ab")},
        {"zero-length multi-string", "m3", REG_MULTI_SZ, {}, kFallback, TaggedValue("")},
        {"multi-string of one NUL", "m4", REG_MULTI_SZ, {0}, kFallback, TaggedValue("")},
        {"unknown type", "t99", 99, {1, 2, 3}, kFallback, TaggedValue()},
        {"REG_QWORD", "q", 11, {1, 0, 0, 0, 0, 0, 0, 0}, kFallback, TaggedValue()},
        {"1 MB string", "bigsz", REG_SZ, bigSz, TaggedValue(big), TaggedValue(big)},
        {"1 MB binary", "bigbin", REG_BINARY, bigBinary, TaggedValue(TaggedValue::Bytes(bigBinary)), TaggedValue()},
        {"name of 255 characters", std::string(255, 'N'), REG_SZ, Bytes("n255"), TaggedValue("n255"),
         TaggedValue("n255")},
        {"name of 16,383 characters", std::string(16383, 'L'), REG_DWORD, {5, 0, 0, 0}, TaggedValue(5), TaggedValue(5)},
    };
}

class MalformedDataTest : public RegistryTest {};

TEST_F(MalformedDataTest, EveryReadPathGivesTheDefinedResult) {
    const auto table = Table();
    for (const auto& h : table) SetRawExact("", h.name, h.type, h.data);
    RegistryRoutines r;
    r.hKey(HKEY_CURRENT_USER);
    r.KeyRoot(Base());
    r.Subkey("");
    // KeyRoot + "\" + "" ends in a separator, which the platform ignores.
    const KeyedCollection listed = r.EnumRegistryValues(HKEY_CURRENT_USER, Base());
    EXPECT_EQ(table.size(), listed.Count());
    const std::string local = LocalName();
    for (const auto& h : table) {
        SCOPED_TRACE(h.what);
        EXPECT_EQ(h.got, r.GetRegistryValue(h.name, kFallback));
        // The remote reads have the empty value as their fallback.
        const TaggedValue plain = h.got == kFallback ? TaggedValue() : h.got;
        EXPECT_EQ(plain, r.ReadRemoteRegistryValue(local, HKEY_CURRENT_USER, h.name, Base()));
        EXPECT_EQ(plain, r.ReadRemoteRegistryValue("", HKEY_CURRENT_USER, h.name, Base()));
        ASSERT_TRUE(listed.Contains(h.name));
        const TaggedValue& item = listed.Item(h.name);
        ASSERT_EQ(2u, item.ToList().size());
        EXPECT_EQ(TaggedValue(h.name), item.ToList()[0]);
        if (h.type == REG_BINARY) {
            // "5A 5A ..." for each byte.
            EXPECT_EQ(h.data.empty() ? 0u : h.data.size() * 3 - 1, item.ToList()[1].ToText().size());
        } else {
            EXPECT_EQ(h.listed, item.ToList()[1]);
        }
    }
}

class RecordingView : public AviStatusView {
public:
    void AVI_Output_Text1(const std::string& text) override { text1.push_back(text); }
    void AVI_Output_Text2(const std::string& text) override { text2.push_back(text); }
    std::vector<std::string> text1, text2;
};

// The status fields show texts only; data with no text form shows empty
// (every other shape shows as GetRegistryValue reads it, above).
TEST_F(MalformedDataTest, VideoStatusFieldsShowDefinedTexts) {
    struct Row {
        const char* what;
        DWORD type;
        B data;
        std::string shown;
    } rows[] = {
        {"binary", REG_BINARY, {1, 2}, ""},
        {"zero-length binary", REG_BINARY, {}, ""},
        {"short DWORD", REG_DWORD, {2}, "2"},
        {"unknown type", 1234, {1}, ""},
    };
    MakeKey("InProcServer32");
    RegistryRoutines avi;
    avi.hKey(HKEY_CURRENT_USER);
    avi.KeyRoot(Base());
    avi.Subkey("InProcServer32");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetRawExact("InProcServer32", "", row.type, row.data);
        SetRawExact("InProcServer32", "ThreadingModel", row.type, row.data);
        RecordingView view;
        VideoPage::RefreshAviStatus(avi, view);
        ASSERT_EQ(1u, view.text1.size());
        ASSERT_EQ(1u, view.text2.size());
        EXPECT_EQ(row.shown, view.text1[0]);
        EXPECT_EQ(row.shown, view.text2[0]);
    }
}

}  // namespace
