// The per-type conversions between raw registry data and TaggedValue, shared
// by every value operation of RegistryRoutines (local and remote, single
// values and enumerations), and the two-step query that reads a value whole.
//
// Registry data is untrusted input: other programs may have written any type
// with any length. Every function here gives a defined result for any bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "registry/tagged_value.h"

namespace value_codec {

// Size of the first query's buffer; larger data takes a second query of
// exactly the size the platform reported.
constexpr DWORD kFirstReadSize = 1024;

// Reads value `name` of the open `key`: its type and exactly its data bytes.
// Returns the status of the last query (ERROR_MORE_DATA when the value grew
// again between the two queries).
LONG ReadValue(HKEY key, const std::string& name, DWORD& type, std::vector<BYTE>& data);

// The text of string data: the bytes with the one terminating NUL that
// well-formed data ends with removed (data written without it keeps its
// last character).
std::string StringData(const std::vector<BYTE>& data);

// The text of REG_MULTI_SZ data: the strings separated by single NULs, with
// the NUL that ends the last string and the one that ends the list removed
// (as far as they are present).
std::string MultiStringData(const std::vector<BYTE>& data);

// Expands %NAME% references with ExpandEnvironmentStringsA, however long the
// expansion; the result ends before the first NUL.
std::string Expand(const std::string& text);

// The converted value of GetRegistryValue: REG_SZ as text, REG_EXPAND_SZ as
// expanded text, REG_BINARY as bytes, REG_DWORD as integer (little endian,
// missing bytes read as zero), REG_MULTI_SZ as NUL-separated text. Empty
// strings, an empty first string of a multi-string, and every other type give
// `fallback`.
TaggedValue Decode(DWORD type, const std::vector<BYTE>& data, const TaggedValue& fallback);

// Size of the first data buffer of an enumerated value.
constexpr DWORD kFirstListSize = 4096;
// A value name has at most 16,383 characters; in a multi-byte ANSI code page
// each may take two bytes. The name buffer never grows past this.
constexpr DWORD kMaxNameCapacity = 2 * 16383 + 2;

// Reads the value at `index` of the open `key` for an enumeration: its name,
// type and exactly its data bytes. `nameCapacity` is the name buffer's size
// in characters (terminator included); it grows, and stays grown for the next
// call, when a name does not fit. The data buffer starts at kFirstListSize
// and grows to the reported size. A value that keeps outgrowing its buffers
// (another program rewriting it) gives up after a few rounds with
// ERROR_MORE_DATA. Returns the status of the last call (259 at the end).
LONG EnumValue(HKEY key, DWORD index, DWORD& nameCapacity, std::string& name, DWORD& type, std::vector<BYTE>& data);

// The bytes as upper-case hexadecimal pairs separated by single spaces
// ("01 AB 00"); "" for no bytes. Any length.
std::string HexPairs(const std::vector<BYTE>& data);

// The converted data of an enumerated value: REG_SZ and REG_EXPAND_SZ as in
// Decode, but "" rather than a fallback for zero bytes; REG_DWORD as in
// Decode; REG_BINARY as HexPairs; REG_MULTI_SZ as MultiStringData with every
// NUL replaced by ","; every other type the empty value.
TaggedValue ListedValue(DWORD type, const std::vector<BYTE>& data);

// Reads value `name` of the open `key` and converts it as Decode does;
// `fallback` when it cannot be read.
TaggedValue ReadDecoded(HKEY key, const std::string& name, const TaggedValue& fallback);

// True for the types Encode writes: 1, 2, 3, 4 and 7.
bool IsWritableType(DWORD type);

// The bytes SetRegistryValue writes for `value` as `type` (which must be
// writable): texts in the ANSI code page plus a NUL for 1 and 2, exactly the
// text's bytes for 7, the bytes for 3, four little-endian bytes for 4.
// Throws ConversionError when the value does not convert.
std::vector<BYTE> Encode(const TaggedValue& value, DWORD type);

// Writes `value` as `type` (which must be writable) into value `name` of the
// open `key`, with the bytes Encode gives. Returns the status of
// RegSetValueExA. Throws ConversionError, writing nothing, when the value does
// not convert.
LONG WriteValue(HKEY key, const std::string& name, const TaggedValue& value, DWORD type);

}  // namespace value_codec
