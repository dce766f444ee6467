#pragma once
// The result of an operation that can fail: a value, or a human-readable error
// that names the file, the place in it and what is wrong. Context is prepended
// as the error travels up ("x5abc.bin: page 3: ...").

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace quillan {

class CError {
public:
  CError() = default;
  explicit CError(std::string message) : m_message(std::move(message)) {}

  const std::string &Message() const { return m_message; }

  // Returns the error with "context: " in front of its message.
  CError WithContext(std::string_view context) const {
    if (context.empty()) return *this;
    return CError(std::string(context) + ": " + m_message);
  }

private:
  std::string m_message;
};

template <class T> class [[nodiscard]] CResult {
public:
  CResult(T value) : m_state(std::move(value)) {}
  CResult(CError error) : m_state(std::move(error)) {}

  bool Ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return Ok(); }

  T &Value() & { return std::get<0>(m_state); }
  const T &Value() const & { return std::get<0>(m_state); }
  T &&Value() && { return std::get<0>(std::move(m_state)); }
  T *operator->() { return &Value(); }
  const T *operator->() const { return &Value(); }
  T &operator*() & { return Value(); }
  const T &operator*() const & { return Value(); }

  const CError &Error() const { return std::get<1>(m_state); }

  CResult WithContext(std::string_view context) && {
    if (Ok()) return std::move(*this);
    return CResult(Error().WithContext(context));
  }

private:
  std::variant<T, CError> m_state;
};

// A result without a value.
class [[nodiscard]] CStatus {
public:
  CStatus() = default;
  CStatus(CError error) : m_failed(true), m_error(std::move(error)) {}

  static CStatus Success() { return {}; }

  bool Ok() const { return !m_failed; }
  explicit operator bool() const { return Ok(); }
  const CError &Error() const { return m_error; }

  CStatus WithContext(std::string_view context) const {
    if (Ok()) return *this;
    return CStatus(m_error.WithContext(context));
  }

private:
  bool m_failed = false;
  CError m_error;
};

inline CError MakeError(std::string message) { return CError(std::move(message)); }

} // namespace quillan
