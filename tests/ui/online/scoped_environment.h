// Sets an environment variable of the process for the lifetime of the object.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace testing_support {

class ScopedEnvironment {
 public:
  // A value of nothing removes the variable.
  ScopedEnvironment(std::wstring name, const std::optional<std::wstring>& value)
      : name_(std::move(name)) {
    const DWORD size = ::GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
    if (size > 0) {
      std::wstring old(size, L'\0');
      old.resize(::GetEnvironmentVariableW(name_.c_str(), old.data(), size));
      previous_ = old;
    }
    Set(value);
  }
  ~ScopedEnvironment() { Set(previous_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Set(const std::optional<std::wstring>& value) {
    ::SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
  }
  std::wstring name_;
  std::optional<std::wstring> previous_;
};

}  // namespace testing_support
