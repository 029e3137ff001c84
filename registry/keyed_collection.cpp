#include "keyed_collection.h"

#include <stdexcept>

#include "platform/names.h"

bool KeyedCollection::Add(const std::string& key, TaggedValue item) {
    const auto inserted = index_.emplace(names::FoldKey(key), entries_.size());
    if (!inserted.second) return false;
    entries_.emplace_back(key, std::move(item));
    return true;
}

bool KeyedCollection::Contains(const std::string& key) const {
    return index_.count(names::FoldKey(key)) != 0;
}

const TaggedValue& KeyedCollection::Item(std::size_t position) const {
    if (position < 1 || position > entries_.size())
        throw std::out_of_range("KeyedCollection: no item at that position");
    return entries_[position - 1].second;
}

const TaggedValue& KeyedCollection::Item(const std::string& key) const {
    const auto it = index_.find(names::FoldKey(key));
    if (it == index_.end()) throw std::out_of_range("KeyedCollection: no item under key " + key);
    return entries_[it->second].second;
}

const std::string& KeyedCollection::KeyAt(std::size_t position) const {
    if (position < 1 || position > entries_.size())
        throw std::out_of_range("KeyedCollection: no item at that position");
    return entries_[position - 1].first;
}
