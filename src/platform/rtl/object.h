#pragma once
// The root classes: TObject (virtual destructor, class name) and TPersistent
// (assignment between objects and the owner query).
#include <string>

namespace corvida {

struct TClassInfo;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  virtual const char* ClassName() const { return "TObject"; }
};

// Declares the class name of a TObject descendant.
#define CORVIDA_CLASS_NAME(Name) \
  const char* ClassName() const override { return #Name; }

class TPersistent : public TObject {
 public:
  CORVIDA_CLASS_NAME(TPersistent)

  // Copies the state of source into this object. The base lets the source
  // try AssignTo, and otherwise raises EConvertError; a null source is
  // refused the same way, naming "nil".
  virtual void Assign(const TPersistent* source);
  virtual TPersistent* GetOwner() const { return nullptr; }

  // The table of published properties; null for classes that publish none.
  virtual const TClassInfo* ClassInfo() const { return nullptr; }

 protected:
  virtual void AssignTo(TPersistent* dest) const;
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

}  // namespace corvida
