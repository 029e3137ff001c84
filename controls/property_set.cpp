#include "controls/property_set.h"

#include <algorithm>

#include "platform/names.h"

PropertySet::PropertySet(std::initializer_list<std::pair<std::string, TaggedValue>> entries) {
    for (const auto& [key, value] : entries) Set(key, value);
}

std::vector<PropertySet::Entry>::iterator PropertySet::Locate(const std::string& key) {
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return names::Same(e.key, key); });
}

const TaggedValue* PropertySet::Find(const std::string& key) const {
    for (const Entry& e : entries_)
        if (names::Same(e.key, key)) return &e.value;
    return nullptr;
}

TaggedValue PropertySet::Read(const std::string& key, const TaggedValue& defaultValue) const {
    const TaggedValue* found = Find(key);
    return found ? *found : defaultValue;
}

void PropertySet::Write(const std::string& key, const TaggedValue& value, const TaggedValue& defaultValue) {
    if (value == defaultValue)
        Remove(key);
    else
        Set(key, value);
}

void PropertySet::Set(const std::string& key, const TaggedValue& value) {
    auto it = Locate(key);
    if (it != entries_.end())
        it->value = value;
    else
        entries_.push_back({key, value});
}

void PropertySet::Remove(const std::string& key) {
    auto it = Locate(key);
    if (it != entries_.end()) entries_.erase(it);
}

bool operator==(const PropertySet& a, const PropertySet& b) {
    if (a.size() != b.size()) return false;
    for (const auto& e : a.entries_) {
        const TaggedValue* other = b.Find(e.key);
        if (!other || *other != e.value) return false;
    }
    return true;
}
