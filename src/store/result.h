// The outcome of a store function that has no object to keep its reason:
// the value, or the reason it could not be had (one sentence for the person,
// or the part of one that the function's comment names).
//
// An operation on an object (Table, FolderLock) returns bool, or an empty
// optional, and the object keeps the reason for errorString(); a function
// without an object returns Result<T>. Nothing in store throws.
#pragma once

#include <QString>

#include <cassert>
#include <optional>
#include <utility>

namespace tessaro::store {

// The reason of a failed Result; converts to a Result of any type.
struct Failure {
  QString reason;
};

inline Failure failure(QString reason) { return Failure{std::move(reason)}; }

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : error_(std::move(failure.reason)) {}

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  const T& value() const& {
    assert(ok());
    return *value_;
  }
  T&& value() && {
    assert(ok());
    return std::move(*value_);
  }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }
  // The value, or `fallback` when it failed.
  T valueOr(T fallback) const { return ok() ? *value_ : std::move(fallback); }

  // Why it failed; empty when ok().
  const QString& error() const { return error_; }

 private:
  std::optional<T> value_;
  QString error_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : ok_(false), error_(std::move(failure.reason)) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const QString& error() const { return error_; }

 private:
  bool ok_ = true;
  QString error_;
};

}  // namespace tessaro::store
