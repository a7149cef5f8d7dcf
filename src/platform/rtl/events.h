#pragma once
// Comparable method pointers: an event is a (code, data) pair made from a
// member function and an object. Two events are equal when both parts are,
// which lets listener lists find and remove entries.
#include <type_traits>

namespace corvida {

class TObject;

// The untyped form of any event, as kept by method lists.
struct TMethod {
  void (*code)() = nullptr;
  void* data = nullptr;
  bool operator==(const TMethod&) const = default;
};

template <typename... Args>
class TEvent {
 public:
  using Code = void (*)(void*, Args...);

  TEvent() = default;
  TEvent(Code code, void* data) : code_(code), data_(data) {}
  explicit TEvent(const TMethod& m) : code_(reinterpret_cast<Code>(m.code)), data_(m.data) {}

  // The event that calls Member on object.
  template <auto Member, typename T>
  static TEvent Of(T* object) {
    return TEvent(&Thunk<Member, T>, object);
  }

  // An event is assigned when its code part is set.
  explicit operator bool() const { return code_ != nullptr; }
  void operator()(Args... args) const { code_(data_, args...); }
  bool operator==(const TEvent&) const = default;

  TMethod Method() const { return TMethod{reinterpret_cast<void (*)()>(code_), data_}; }
  void* Data() const { return data_; }

 private:
  template <auto Member, typename T>
  static void Thunk(void* object, Args... args) {
    (static_cast<T*>(object)->*Member)(args...);
  }

  Code code_ = nullptr;
  void* data_ = nullptr;
};

// The change event of the system: called with the sender.
using TNotifyEvent = TEvent<TObject*>;

}  // namespace corvida
