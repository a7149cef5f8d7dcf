#pragma once
// Published-property tables: one TClassInfo per class that publishes
// properties, listing each property's name, kind, getter, setter, nested
// class and enumeration names. The property walker, the component stream and
// the main window's stored layout all work from these tables.
//
// A class publishes its table by overriding TPersistent::ClassInfo():
//
//   const TClassInfo* TFoo::ClassInfo() const {
//     static const TClassInfo info{"TFoo", TBase::StaticInfo(), {
//         IntProp<TFoo, &TFoo::Width, &TFoo::SetWidth>("Width"),
//         EnumProp<TFoo, &TFoo::Style, &TFoo::SetStyle>("Style", {"csA", "csB"}),
//         ObjectProp<TFoo, &TFoo::Font>("Font", TFont::StaticInfo()),
//     }, &Create};
//     return &info;
//   }
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

class TComponent;

enum TPropKind {
  pkInteger,    // 32-bit signed
  pkBool,       // False / True
  pkString,     // CP932 bytes
  pkEnum,       // index into enumNames
  pkSet,        // bit n set = enumNames[n] present
  pkObject,     // an owned sub-object (persistent, string list, collection), written nested
  pkComponent,  // a reference to another component, written by name
};

struct TClassInfo;

struct TPropInfo {
  const char* name = nullptr;
  TPropKind kind = pkInteger;
  int64_t (*getOrd)(const TObject*) = nullptr;
  void (*setOrd)(TObject*, int64_t) = nullptr;
  std::string (*getStr)(const TObject*) = nullptr;
  void (*setStr)(TObject*, const std::string&) = nullptr;
  TPersistent* (*getObject)(const TObject*) = nullptr;
  void (*setComponent)(TObject*, TComponent*) = nullptr;
  const TClassInfo* nested = nullptr;
  std::vector<const char*> enumNames;
  // For integers with named values (colours such as clBlack): the name of a
  // value, or none, and the value of a name, or none.
  std::optional<std::string> (*intToIdent)(int32_t) = nullptr;
  std::optional<int32_t> (*identToInt)(std::string_view) = nullptr;
};

struct TClassInfo {
  const char* name = nullptr;
  const TClassInfo* parent = nullptr;
  std::vector<TPropInfo> props;
  // Creates an instance for a reader; null for classes that are never read
  // as components.
  TComponent* (*create)(TComponent* owner) = nullptr;

  // Every property, the parent's first, in declaration order.
  std::vector<const TPropInfo*> AllProps() const;
  const TPropInfo* FindProp(std::string_view name) const;
  bool InheritsFrom(const TClassInfo* other) const;
};

namespace typeinfo_detail {
template <typename M>
struct SetterArg;
template <typename C, typename A>
struct SetterArg<void (C::*)(A)> {
  using type = std::remove_cvref_t<A>;
};
}  // namespace typeinfo_detail

template <class C, auto Get, auto Set>
TPropInfo OrdProp(const char* name, TPropKind kind, std::vector<const char*> enumNames = {}) {
  using Arg = typename typeinfo_detail::SetterArg<decltype(Set)>::type;
  TPropInfo p;
  p.name = name;
  p.kind = kind;
  p.getOrd = [](const TObject* o) -> int64_t { return static_cast<int64_t>((static_cast<const C*>(o)->*Get)()); };
  p.setOrd = [](TObject* o, int64_t v) { (static_cast<C*>(o)->*Set)(static_cast<Arg>(v)); };
  p.enumNames = std::move(enumNames);
  return p;
}

template <class C, auto Get, auto Set>
TPropInfo IntProp(const char* name) {
  return OrdProp<C, Get, Set>(name, pkInteger);
}

// An integer written by name where its value has one.
template <class C, auto Get, auto Set>
TPropInfo IdentIntProp(const char* name, std::optional<std::string> (*toIdent)(int32_t),
                       std::optional<int32_t> (*fromIdent)(std::string_view)) {
  TPropInfo p = OrdProp<C, Get, Set>(name, pkInteger);
  p.intToIdent = toIdent;
  p.identToInt = fromIdent;
  return p;
}

template <class C, auto Get, auto Set>
TPropInfo BoolProp(const char* name) {
  return OrdProp<C, Get, Set>(name, pkBool);
}

template <class C, auto Get, auto Set>
TPropInfo EnumProp(const char* name, std::vector<const char*> names) {
  return OrdProp<C, Get, Set>(name, pkEnum, std::move(names));
}

template <class C, auto Get, auto Set>
TPropInfo SetProp(const char* name, std::vector<const char*> names) {
  return OrdProp<C, Get, Set>(name, pkSet, std::move(names));
}

template <class C, auto Get, auto Set>
TPropInfo StrProp(const char* name) {
  TPropInfo p;
  p.name = name;
  p.kind = pkString;
  p.getStr = [](const TObject* o) -> std::string { return std::string((static_cast<const C*>(o)->*Get)()); };
  p.setStr = [](TObject* o, const std::string& v) { (static_cast<C*>(o)->*Set)(v); };
  return p;
}

// An owned sub-object; its setter assigns into it, so only a getter is needed.
template <class C, auto Get>
TPropInfo ObjectProp(const char* name, const TClassInfo* nested) {
  TPropInfo p;
  p.name = name;
  p.kind = pkObject;
  p.getObject = [](const TObject* o) -> TPersistent* {
    return (const_cast<C*>(static_cast<const C*>(o))->*Get)();
  };
  p.nested = nested;
  return p;
}

template <class C, auto Get, auto Set>
TPropInfo ComponentProp(const char* name, const TClassInfo* nested) {
  TPropInfo p;
  p.name = name;
  p.kind = pkComponent;
  p.getObject = [](const TObject* o) -> TPersistent* { return (static_cast<const C*>(o)->*Get)(); };
  p.setComponent = [](TObject* o, TComponent* v) {
    using Arg = typename typeinfo_detail::SetterArg<decltype(Set)>::type;
    (static_cast<C*>(o)->*Set)(dynamic_cast<Arg>(v));
  };
  p.nested = nested;
  return p;
}

// The classes a reader may create by name. Filled by the program at start.
class TClassRegistry {
 public:
  void Register(const TClassInfo* info);
  const TClassInfo* Find(std::string_view name) const;

 private:
  std::vector<const TClassInfo*> classes_;
};

}  // namespace corvida
