#pragma once
// TRegManager: named settings kept in an INI file or in the per-user
// registry store. The owner declares each setting as a TRegItem (name,
// section, key, default) and reads or writes it through the manager's filer:
//
//   reg->Filer("SortMode")->WriteInteger(2);
//
// Every access opens the backend, does its work and closes it; nothing is
// cached. The keys of one setting (a list, a font) are read from one copy of
// the store and written back in one atomic replacement of its file.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"

namespace corvida {

class TClassRegistry;
struct TClassInfo;
class TFont;
class TRegFiler;
class TRegManager;
class TSettingsStore;
class TStream;
class TStrings;

// The texts of the store's error boxes.
inline constexpr const char* kCannotCreateRegistry = "can not create Registry object.";
inline constexpr const char* kCannotCreateIniFile = "can not create Inifile object.";

enum TRegType { rtReg, rtIni };

class TRegItem : public TCollectionItem {
 public:
  CORVIDA_CLASS_NAME(TRegItem)
  explicit TRegItem(TCollection* collection) : TCollectionItem(collection) {}

  // The name by which the owner asks for the setting.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  // The INI section, or the registry subkey.
  const std::string& Section() const { return section_; }
  void SetSection(const std::string& section) { section_ = section; }
  // The key in the section (registry: value name); also the stem of the
  // keys of lists, fonts and streams.
  const std::string& Ident() const { return ident_; }
  void SetIdent(const std::string& ident) { ident_ = ident; }
  // The text read when nothing is stored.
  const std::string& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const std::string& value) { defaultValue_ = value; }

  void Assign(const TPersistent* source) override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string name_;
  std::string section_;
  std::string ident_;
  std::string defaultValue_;
};

class TRegItems : public TCollection {
 public:
  CORVIDA_CLASS_NAME(TRegItems)
  explicit TRegItems(TRegManager* manager);

  virtual TRegItem* GetItem(int index) const;
  // Assigns item to the item at index.
  virtual void SetItem(int index, const TRegItem* item);
  // The first item whose Name equals name with case ignored; null if none.
  virtual TRegItem* FindItem(std::string_view name) const;

  TRegItem* Add() { return static_cast<TRegItem*>(TCollection::Add()); }
  TRegItem* Items(int index) const { return GetItem(index); }
  TPersistent* GetOwner() const override;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  TRegManager* manager_;
};

class TRegManager : public TComponent {
 public:
  CORVIDA_CLASS_NAME(TRegManager)
  explicit TRegManager(TComponent* owner);
  ~TRegManager() override;

  // The INI file; the INI backend needs it non-empty.
  const std::string& IniFileName() const { return iniFileName_; }
  void SetIniFileName(const std::string& name) { iniFileName_ = name; }
  // The key path below the user's root; the registry backend needs it
  // non-empty.
  const std::string& RegDir() const { return regDir_; }
  void SetRegDir(const std::string& dir) { regDir_ = dir; }
  TRegItems* RegItems() const { return regItems_.get(); }
  void SetRegItems(const TRegItems* items) { regItems_->Assign(items); }
  TRegType RegType() const { return regType_; }
  void SetRegType(TRegType type) { regType_ = type; }

  // The registry store file; empty means the user's default store.
  const std::string& RegistryStorePath() const { return registryStorePath_; }
  void SetRegistryStorePath(const std::string& path) { registryStorePath_ = path; }
  // The classes that ReadComponent may create; none when not set.
  const TClassRegistry* ClassRegistry() const { return classRegistry_; }
  void SetClassRegistry(const TClassRegistry* classes) { classRegistry_ = classes; }

  // Binds the manager's one filer to the item called name and returns it.
  // With no such item an error box says so, and the filer, bound to none,
  // does nothing. Use the filer for one operation at once.
  TRegFiler* Filer(std::string_view name);
  // The store that RegType names, made for one access or batch; none for a
  // RegType without one.
  std::unique_ptr<TSettingsStore> CreateStore() const;

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  // Makes the filer; a descendant may supply its own. Called at the first
  // Filer call, when the descendant is complete.
  virtual std::unique_ptr<TRegFiler> CreateFiler();

 private:
  // Declared first, so it is destroyed after RegItems.
  std::unique_ptr<TRegFiler> filer_;
  std::string iniFileName_;
  std::string regDir_;
  std::unique_ptr<TRegItems> regItems_;
  TRegType regType_ = rtReg;
  std::string registryStorePath_;
  const TClassRegistry* classRegistry_ = nullptr;
};

class TRegFiler : public TObject {
 public:
  CORVIDA_CLASS_NAME(TRegFiler)
  explicit TRegFiler(TRegManager* manager) : manager_(manager) {}

  TRegManager* Manager() const { return manager_; }
  // The bound item; null when bound to none or when the item is gone.
  TRegItem* Item() const;
  void SetItem(TRegItem* item);

  // The backend accesses. Empty section or key: reads give the default,
  // writes do nothing. A refused INI write raises "%s に書き込めません".
  virtual std::string ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue);
  virtual void WriteValue(std::string_view section, std::string_view key, std::string_view value);

  // The typed operations work on the bound item's Section and Ident and do
  // nothing when bound to none (reads give empty text, 0 or false).
  virtual bool ReadBool();
  virtual void WriteBool(bool value);
  virtual int32_t ReadInteger();
  virtual void WriteInteger(int32_t value);
  virtual std::string ReadString();
  virtual void WriteString(const std::string& value);
  // The settings of several keys (fonts and lists) are read from one state
  // of the store and written in one atomic replacement of it.
  //
  // Five keys: Ident + "_FontName", "_FontSize", "_FontColor", "_FontStyle"
  // and "_FontCharset". Reading changes the font at once, after every key is
  // read; an invalid colour raises EConvertError and leaves it as it was.
  virtual void ReadFont(TFont& font);
  virtual void WriteFont(const TFont& font);
  // Ident + "_ItemCount" and Ident + "_Item" + index.
  virtual void ReadStrings(TStrings& strings);
  virtual void WriteStrings(const TStrings& strings);
  // The stored bytes are written at the stream's position.
  virtual void ReadStream(TStream& stream);
  // Stores the bytes from the stream's position; rewind it first.
  virtual void WriteStream(TStream& stream);
  // Restores the component's published state; a failed read leaves it as it
  // was.
  virtual void ReadComponent(TComponent& control);
  // Stores the component's published state; forms are not stored.
  virtual void WriteComponent(TComponent& component);

  void DeleteKey(std::string_view section, std::string_view key);

 protected:
  // The names of the keys stored in section, for limiting damaged counts. A
  // filer that reads another backend answers for that backend.
  virtual std::vector<std::string> ReadKeys(std::string_view section);

 private:
  enum TBatchKind { bkRead, bkWrite };
  // Runs the backend accesses of one setting of several keys against one
  // copy of the store: reads see one state of it, and writes reach it in one
  // atomic replacement, other writers held off from the first read on.
  void Batch(TBatchKind kind, const std::function<void()>& accesses);
  // The store for one access: the batch's, else own, made for it alone;
  // none when RegType names none.
  TSettingsStore* Store(std::unique_ptr<TSettingsStore>& own) const;
  // The same for a key access, which also needs the store's location: none
  // without it, after an error box that says so.
  TSettingsStore* KeyStore(std::unique_ptr<TSettingsStore>& own) const;
  // The stored count of a list, limited to the items actually stored.
  int StoredCount(std::string_view section, const std::string& countKey, const std::string& itemPrefix);

  TRegManager* manager_;
  int itemId_ = -1;
  TSettingsStore* batch_ = nullptr;
};

}  // namespace corvida
