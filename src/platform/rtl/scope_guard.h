#pragma once
// Runs a function when the scope ends, also when an exception passes: every
// begin-update gets its end-update. While an exception is already unwinding,
// an error from the function is dropped so that the first one travels on.
#include <exception>
#include <utility>

namespace corvida {

template <typename F>
class ScopeGuard {
 public:
  explicit ScopeGuard(F f) : f_(std::move(f)), uncaught_(std::uncaught_exceptions()) {}
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  ~ScopeGuard() noexcept(false) {
    if (!active_) return;
    if (std::uncaught_exceptions() > uncaught_) {
      try {
        f_();
      } catch (...) {
      }
    } else {
      f_();
    }
  }
  void Dismiss() { active_ = false; }

 private:
  F f_;
  int uncaught_;
  bool active_ = true;
};

}  // namespace corvida
