#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarvik {

// A map from text keys to values that remembers the order in which keys were first added.
// Subjects, vowel labels, columns and categories are walked in that order everywhere.
template <typename V> class OrderedMap {
  public:
    using value_type = std::pair<std::string, V>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    bool contains(const std::string& key) const { return index_.count(key) != 0; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // Returns the value for key, appending a default-constructed one when the key is new.
    V& operator[](const std::string& key) {
        auto it = index_.find(key);
        if (it != index_.end())
            return entries_[it->second].second;
        index_.emplace(key, entries_.size());
        entries_.emplace_back(key, V{});
        return entries_.back().second;
    }

    const V& at(const std::string& key) const {
        auto it = index_.find(key);
        if (it == index_.end())
            throw std::out_of_range("Reference to non-existent field '" + key + "'.");
        return entries_[it->second].second;
    }
    V& at(const std::string& key) { return const_cast<V&>(std::as_const(*this).at(key)); }

    const V* find(const std::string& key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &entries_[it->second].second;
    }
    V* find(const std::string& key) { return const_cast<V*>(std::as_const(*this).find(key)); }

    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        out.reserve(entries_.size());
        for (const auto& e : entries_)
            out.push_back(e.first);
        return out;
    }

    void clear() {
        entries_.clear();
        index_.clear();
    }

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

    friend bool operator==(const OrderedMap& a, const OrderedMap& b) { return a.entries_ == b.entries_; }

  private:
    std::vector<value_type> entries_;
    std::unordered_map<std::string, std::size_t> index_;
};

} // namespace tarvik
