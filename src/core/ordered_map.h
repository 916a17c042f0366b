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
// Small maps (a data row has one entry per column) are searched linearly and carry no hash index, so that
// copying a table of many rows stays cheap; larger maps build the index once they grow past the limit.
template <typename V> class OrderedMap {
    static constexpr std::size_t kIndexFrom = 16;

  public:
    using value_type = std::pair<std::string, V>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    bool contains(const std::string& key) const { return position(key) != npos; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // Returns the value for key, appending a default-constructed one when the key is new.
    V& operator[](const std::string& key) {
        const std::size_t at = position(key);
        if (at != npos)
            return entries_[at].second;
        entries_.emplace_back(key, V{});
        if (!index_.empty())
            index_.emplace(key, entries_.size() - 1);
        else if (entries_.size() > kIndexFrom)
            rebuild_index();
        return entries_.back().second;
    }

    const V& at(const std::string& key) const {
        const std::size_t at = position(key);
        if (at == npos)
            throw std::out_of_range("Reference to non-existent field '" + key + "'.");
        return entries_[at].second;
    }
    V& at(const std::string& key) { return const_cast<V&>(std::as_const(*this).at(key)); }

    const V* find(const std::string& key) const {
        const std::size_t at = position(key);
        return at == npos ? nullptr : &entries_[at].second;
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
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    std::size_t position(const std::string& key) const {
        if (!index_.empty()) {
            auto it = index_.find(key);
            return it == index_.end() ? npos : it->second;
        }
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].first == key)
                return i;
        return npos;
    }

    void rebuild_index() {
        index_.clear();
        index_.reserve(entries_.size() * 2);
        for (std::size_t i = 0; i < entries_.size(); ++i)
            index_.emplace(entries_[i].first, i);
    }

    std::vector<value_type> entries_;
    std::unordered_map<std::string, std::size_t> index_;
};

} // namespace tarvik
