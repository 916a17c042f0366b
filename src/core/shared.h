#pragma once

#include <cstddef>
#include <memory>
#include <ranges>
#include <string>
#include <utility>

namespace tarvik {

namespace shared_detail {
// The key of a table: its key_type, or text (OrderedMap).
template <typename T> struct Key {
    using type = std::string;
};
template <typename T>
    requires requires { typename T::key_type; }
struct Key<T> {
    using type = typename T::key_type;
};
} // namespace shared_detail

template <typename T> using KeyOf = typename shared_detail::Key<T>::type;

// A value of T with copy-on-write sharing. The record is copied on every callback and stored many times
// per operation; its large tables, its groups and its overlap table change rarely, so copies share one
// value until one of them is changed.
// Reading goes through the const members; any non-const member first makes this copy's table its own.
// A reference taken for changing belongs to this copy only until the record is copied again (a store):
// take it anew after a store rather than writing through the old one.
template <typename T> class Shared {
  public:
    Shared() : p_(std::make_shared<T>()) {}
    Shared(T value) : p_(std::make_shared<T>(std::move(value))) {}
    Shared& operator=(T value) {
        p_ = std::make_shared<T>(std::move(value));
        return *this;
    }

    const T& get() const { return *p_; }
    operator const T&() const { return *p_; }
    const T& operator*() const { return *p_; }
    const T* operator->() const { return p_.get(); }

    // The table to change: this copy's own.
    T& edit() {
        if (p_.use_count() > 1)
            p_ = std::make_shared<T>(*p_);
        return *p_;
    }

    // The container operations used on the record's tables, reading or changing as the overload says.
    // A Shared of a value that is no range is no range either (JSON's traits ask).
    std::size_t size() const { return p_->size(); }
    bool empty() const { return p_->empty(); }
    auto begin() const requires std::ranges::range<const T> { return std::as_const(*p_).begin(); }
    auto end() const requires std::ranges::range<const T> { return std::as_const(*p_).end(); }
    auto begin() requires std::ranges::range<T> { return edit().begin(); }
    auto end() requires std::ranges::range<T> { return edit().end(); }
    // A key written as a braced list ({1, 2}) is of the table's key type.
    template <typename K = KeyOf<T>> decltype(auto) at(const K& k) const { return p_->at(k); }
    template <typename K = KeyOf<T>> decltype(auto) at(const K& k) { return edit().at(k); }
    template <typename K = KeyOf<T>> decltype(auto) operator[](const K& k) const {
        return std::as_const(*p_)[k];
    }
    template <typename K = KeyOf<T>> decltype(auto) operator[](const K& k) { return edit()[k]; }
    template <typename K = KeyOf<T>> decltype(auto) find(const K& k) const {
        return std::as_const(*p_).find(k);
    }
    template <typename K = KeyOf<T>> decltype(auto) find(const K& k) { return edit().find(k); }
    template <typename K = KeyOf<T>> bool contains(const K& k) const { return p_->contains(k); }
    decltype(auto) front() const { return p_->front(); }
    decltype(auto) back() const { return p_->back(); }
    auto keys() const { return p_->keys(); }
    void clear() { edit().clear(); }
    template <typename... A> decltype(auto) push_back(A&&... a) { return edit().push_back(std::forward<A>(a)...); }
    template <typename... A> decltype(auto) emplace_back(A&&... a) {
        return edit().emplace_back(std::forward<A>(a)...);
    }
    void reserve(std::size_t n) { edit().reserve(n); }
    void resize(std::size_t n) { edit().resize(n); }

    friend bool operator==(const Shared& a, const Shared& b) { return a.p_ == b.p_ || *a.p_ == *b.p_; }
    friend bool operator==(const Shared& a, const T& b) { return *a.p_ == b; }

  private:
    std::shared_ptr<T> p_;
};

} // namespace tarvik
