// PropertySet: the stored properties of one control instance, as a window
// layout keeps them: typed values (TaggedValue) under text keys.
//
// Keys keep their first spelling and their order of insertion, and are
// matched without regard to case, as registry names are (names::Same: "url"
// is found as "URL"). A value equal to the default its writer names is not
// stored, so a set holds only what differs from a new instance. The set is a
// plain value: it copies, and nothing in it throws beyond what std::vector
// and std::string do.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "registry/tagged_value.h"

class PropertySet {
public:
    struct Entry {
        std::string key;
        TaggedValue value;
    };

    PropertySet() = default;
    // The entries as a layout table writes them; a later duplicate key
    // replaces the earlier value.
    PropertySet(std::initializer_list<std::pair<std::string, TaggedValue>> entries);

    // The value under `key`, or `defaultValue` when the key is absent.
    TaggedValue Read(const std::string& key, const TaggedValue& defaultValue) const;
    // Stores `value` under `key`, or removes the key when the value equals
    // `defaultValue` (so reading it back yields the default).
    void Write(const std::string& key, const TaggedValue& value, const TaggedValue& defaultValue);

    // Stores `value` unconditionally (a host's own keys, such as "_extentx").
    void Set(const std::string& key, const TaggedValue& value);
    // The stored value under `key`, or nullptr.
    const TaggedValue* Find(const std::string& key) const;
    bool Contains(const std::string& key) const { return Find(key) != nullptr; }
    void Remove(const std::string& key);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // The entries in their order of insertion.
    const std::vector<Entry>& entries() const { return entries_; }

    // True when both hold the same keys (ignoring case) with equal values,
    // in any order.
    friend bool operator==(const PropertySet& a, const PropertySet& b);
    friend bool operator!=(const PropertySet& a, const PropertySet& b) { return !(a == b); }

private:
    std::vector<Entry>::iterator Locate(const std::string& key);

    std::vector<Entry> entries_;
};
