#pragma once
// Runs a function when the scope ends, also when an exception passes: every
// begin-update gets its end-update. While an exception is already unwinding,
// an error from the function is dropped so that the first one travels on.
#include <exception>
#include <utility>

namespace corvida {

// Runs f at the end of a scope entered with uncaughtAtEntry exceptions in
// flight.
template <typename F>
void RunAtScopeEnd(F& f, int uncaughtAtEntry) {
  if (std::uncaught_exceptions() > uncaughtAtEntry) {
    try {
      f();
    } catch (...) {
    }
  } else {
    f();
  }
}

template <typename F>
class ScopeGuard {
 public:
  explicit ScopeGuard(F f) : f_(std::move(f)), uncaught_(std::uncaught_exceptions()) {}
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  ~ScopeGuard() noexcept(false) {
    if (active_) RunAtScopeEnd(f_, uncaught_);
  }
  void Dismiss() { active_ = false; }

 private:
  F f_;
  int uncaught_;
  bool active_ = true;
};

// An update bracket as a scope: Begin on the object now, End when the scope
// ends. Nested brackets are counted by the object, so only the outermost
// pair acts.
//
//   TUpdateBracket update(strings);  // strings.BeginUpdate() ... EndUpdate()
template <class T, auto Begin = &T::BeginUpdate, auto End = &T::EndUpdate>
class TUpdateBracket {
 public:
  explicit TUpdateBracket(T& object) : object_(object), uncaught_(std::uncaught_exceptions()) { (object_.*Begin)(); }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;
  ~TUpdateBracket() noexcept(false) {
    auto end = [this] { (object_.*End)(); };
    RunAtScopeEnd(end, uncaught_);
  }

 private:
  T& object_;
  int uncaught_;
};

}  // namespace corvida
