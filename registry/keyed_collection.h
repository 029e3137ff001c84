// KeyedCollection: the result of the registry enumerations. An ordered
// sequence of items, in the order they were added, each stored under a unique
// text key so that an item can be found by name as well as visited in order.
// Keys compare without regard to case, as registry names do (names::FoldKey).
// The caller owns the collection; it holds no registry handle.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tagged_value.h"

class KeyedCollection {
public:
    using Entry = std::pair<std::string, TaggedValue>;

    // Appends `item` under `key`. A key already present (in any case) is
    // refused: the collection is unchanged and the result is false.
    bool Add(const std::string& key, TaggedValue item);

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    bool Contains(const std::string& key) const;

    // The item at a 1-based position, or under a key; std::out_of_range when
    // there is none.
    const TaggedValue& Item(std::size_t position) const;
    const TaggedValue& Item(const std::string& key) const;
    // The key of the item at a 1-based position.
    const std::string& KeyAt(std::size_t position) const;

    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> index_;  // folded key -> 0-based position
};
