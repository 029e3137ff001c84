// Value data of every shape, well-formed and hostile as other programs may
// write it (short, unterminated, empty, huge, of foreign types, under long
// names), read through both decoders of the program: GetRegistryValue (which
// ReadRemoteRegistryValue and the Video page's status fields share) and
// EnumRegistryValues. Each shape is one row, checked on both. Runs against the
// stand-in and the real registry alike.
#include <string>
#include <vector>

#include "registry/registry_routines.h"
#include "test_key.h"

namespace {

using B = std::vector<BYTE>;
using T = TaggedValue;
using namespace std::string_literals;

const T kFallback("<fallback>");

// Reference hex form, built independently of the code under test.
std::string Hex(const B& data) {
    static const char digit[] = "0123456789ABCDEF";
    std::string out;
    for (BYTE b : data) out += std::string(out.empty() ? "" : " ") + digit[b >> 4] + digit[b & 15];
    return out;
}

B Pattern(std::size_t size) {
    B data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 13 + 5);
    return data;
}

struct Shape {
    std::string what;
    DWORD type;
    B data;
    T got;               // GetRegistryValue with kFallback
    T listed;            // the data element of the EnumRegistryValues item
    std::string name{};  // the value's name; "v<row>" when empty
};

const std::string kLongDir(5000, 'd');  // expands past every first buffer

std::vector<Shape> Shapes() {
    std::vector<Shape> rows = {
        // Strings lose the one terminating NUL and nothing else.
        {"REG_SZ", REG_SZ, Bytes("Both\0"s), T("Both"), T("Both")},
        {"REG_SZ with an inner NUL", REG_SZ, Bytes("a\0b\0"s), T("a\0b"s), T("a\0b"s)},
        {"REG_SZ unterminated", REG_SZ, Bytes("abc"), T("abc"), T("abc")},
        {"REG_SZ of one NUL", REG_SZ, {0}, T(""), T("")},
        {"REG_SZ of zero bytes", REG_SZ, {}, kFallback, T("")},
        // Expandable strings are expanded, up to the first NUL.
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, Bytes("%QT_TEST_DIR%\\x.dll\0"s), T("C:\\Qt\\x.dll"), T("C:\\Qt\\x.dll")},
        {"REG_EXPAND_SZ with an inner NUL", REG_EXPAND_SZ, Bytes("ab\0cd\0"s), T("ab"), T("ab")},
        {"REG_EXPAND_SZ expanding to 5000 characters", REG_EXPAND_SZ, Bytes("%QT_LONG_DIR%\\x\0"s), T(kLongDir + "\\x"),
         T(kLongDir + "\\x")},
        {"REG_EXPAND_SZ of zero bytes", REG_EXPAND_SZ, {}, kFallback, T("")},
        // DWORDs are little endian; missing bytes read as zero, extra ones are ignored.
        {"REG_DWORD 4000", REG_DWORD, {0xA0, 0x0F, 0, 0}, T(4000), T(4000)},
        {"REG_DWORD of zero bytes", REG_DWORD, {}, T(0), T(0)},
        {"REG_DWORD of 3 bytes", REG_DWORD, {0xFF, 0xFF, 0xFF}, T(0xFFFFFF), T(0xFFFFFF)},
        {"REG_DWORD of 8 bytes", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}, T(-1), T(-1)},
        // Multi-strings lose the list's end; listed with "," between the strings.
        {"REG_MULTI_SZ", REG_MULTI_SZ, Bytes("a\0b\0c\0\0"s), T("a\0b\0c"s), T("a,b,c")},
        {"REG_MULTI_SZ without the list's end", REG_MULTI_SZ, Bytes("a\0b\0"s), T("a\0b"s), T("a,b")},
        {"REG_MULTI_SZ without any terminator", REG_MULTI_SZ, {'a', 0, 'b'}, T("a\0b"s), T("a,b")},
        {"REG_MULTI_SZ ending in an empty string", REG_MULTI_SZ, Bytes("a\0\0\0"s), T("a\0"s), T("a,")},
        {"REG_MULTI_SZ with an empty first string", REG_MULTI_SZ, Bytes("\0b\0\0"s), kFallback, T(",b")},
        {"REG_MULTI_SZ of an empty list", REG_MULTI_SZ, {0, 0}, kFallback, T("")},
        {"REG_MULTI_SZ of zero bytes", REG_MULTI_SZ, {}, kFallback, T("")},
        // Other types give the fallback and are listed empty.
        {"REG_NONE", REG_NONE, {1, 2}, kFallback, T()},
        {"REG_QWORD", 11, {1, 0, 0, 0, 0, 0, 0, 0}, kFallback, T()},
        {"type 0xFFFFFFFF", 0xFFFFFFFF, {1, 2}, kFallback, T()},
        // The longest name the registry allows.
        {"name of 16,383 characters", REG_DWORD, {5, 0, 0, 0}, T(5), T(5), std::string(16383, 'L')},
    };
    // Binary data comes back whole, at and past the first buffers of a read
    // (1024 bytes) and of a listing (4096 bytes).
    for (std::size_t size : {0u, 4u, 1024u, 1025u, 4096u, 4097u, 70000u, 1u << 20}) {
        const B data = Pattern(size);
        rows.push_back({"REG_BINARY of " + std::to_string(size) + " bytes", REG_BINARY, data,
                        T(T::Bytes(data.begin(), data.end())), T(Hex(data))});
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].name.empty()) rows[i].name = "v" + std::to_string(i);
    return rows;
}

class MalformedDataTest : public RegistryTest {};

TEST_F(MalformedDataTest, ReadAndListingGiveTheDefinedResult) {
    ASSERT_TRUE(SetEnvironmentVariableA("QT_TEST_DIR", "C:\\Qt"));
    ASSERT_TRUE(SetEnvironmentVariableA("QT_LONG_DIR", kLongDir.c_str()));
    const auto rows = Shapes();
    for (const auto& row : rows) SetRawExact("", row.name, row.type, row.data);
    // KeyRoot + "\" ends in a separator, which the platform ignores.
    RegistryRoutines r = Aimed(HKEY_CURRENT_USER, Base(), "");
    const KeyedCollection listed = r.EnumRegistryValues(HKEY_CURRENT_USER, Base());
    EXPECT_EQ(rows.size(), listed.Count());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.got, r.GetRegistryValue(row.name, kFallback));
        EXPECT_EQ(T(T::List{T(row.name), row.listed}), listed.Contains(row.name) ? listed.Item(row.name) : T());
    }
    SetEnvironmentVariableA("QT_TEST_DIR", nullptr);
    SetEnvironmentVariableA("QT_LONG_DIR", nullptr);
}

}  // namespace
