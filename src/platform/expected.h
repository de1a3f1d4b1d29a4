#pragma once
// A value or the reason there is none: what a reader returns when it can fail.
// A small stand-in for std::expected, which the toolchain's library lacks.
#include <utility>
#include <variant>

template <typename E>
struct Unexpected {
  E error;
};
template <typename E>
Unexpected(E) -> Unexpected<E>;

template <typename T, typename E>
class Expected {
 public:
  Expected(T value)
      : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  Expected(Unexpected<E> failure)                            // NOLINT: implicit by design
      : state_(std::in_place_index<1>, std::move(failure.error)) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  // Only when has_value().
  T& operator*() { return std::get<0>(state_); }
  const T& operator*() const { return std::get<0>(state_); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  template <typename U>
  T value_or(U&& fallback) const& {
    return has_value() ? std::get<0>(state_) : static_cast<T>(std::forward<U>(fallback));
  }
  // Only when !has_value().
  const E& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};
