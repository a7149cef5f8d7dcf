#include "settings/reg_manager.h"

#include <algorithm>

#include "platform/rtl/colors.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/font.h"
#include "platform/rtl/int_reading.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/typeinfo.h"
#include "settings/ini_settings_store.h"
#include "settings/registry_settings_store.h"
#include "support/error_box.h"
#include "support/published_assign.h"
#include "support/stream_utils.h"

namespace corvida {
namespace {

TCollectionItem* NewRegItem(TCollection* collection) { return new TRegItem(collection); }

TComponent* NewRegManager(TComponent* owner) { return new TRegManager(owner); }

// Whether the component is a form: forms keep their state in their layout.
bool IsForm(const TComponent& component) {
  for (const TClassInfo* info = component.ClassInfo(); info != nullptr; info = info->parent)
    if (std::string_view(info->name) == "TForm") return true;
  return std::string_view(component.ClassName()) == "TForm";
}

}  // namespace

// TRegItem

void TRegItem::Assign(const TPersistent* source) {
  if (!AssignSettings(*this, source)) TCollectionItem::Assign(source);
}

const TClassInfo* TRegItem::StaticInfo() {
  static const TClassInfo info{"TRegItem", nullptr, {
      StrProp<TRegItem, &TRegItem::Name, &TRegItem::SetName>("Name"),
      StrProp<TRegItem, &TRegItem::Section, &TRegItem::SetSection>("Section"),
      StrProp<TRegItem, &TRegItem::Ident, &TRegItem::SetIdent>("Ident"),
      StrProp<TRegItem, &TRegItem::DefaultValue, &TRegItem::SetDefaultValue>("DefaultValue"),
  }};
  return &info;
}

// TRegItems

TRegItems::TRegItems(TRegManager* manager) : TCollection(&NewRegItem), manager_(manager) {}

TRegItem* TRegItems::GetItem(int index) const { return static_cast<TRegItem*>(TCollection::Items(index)); }

void TRegItems::SetItem(int index, const TRegItem* item) { GetItem(index)->Assign(item); }

TRegItem* TRegItems::FindItem(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(GetItem(i)->Name(), name)) return GetItem(i);
  return nullptr;
}

TPersistent* TRegItems::GetOwner() const { return manager_; }

const TClassInfo* TRegItems::StaticInfo() {
  static const TClassInfo info{"TRegItems", nullptr, {}};
  return &info;
}

// TRegManager

TRegManager::TRegManager(TComponent* owner) : TComponent(owner), regItems_(std::make_unique<TRegItems>(this)) {}

TRegManager::~TRegManager() = default;

std::unique_ptr<TRegFiler> TRegManager::CreateFiler() { return std::make_unique<TRegFiler>(this); }

std::unique_ptr<TSettingsStore> TRegManager::CreateStore() const {
  switch (regType_) {
    case rtReg: return std::make_unique<TRegistrySettingsStore>(regDir_, registryStorePath_);
    case rtIni: return std::make_unique<TIniSettingsStore>(iniFileName_);
  }
  return nullptr;
}

TRegFiler* TRegManager::Filer(std::string_view name) {
  if (!filer_) filer_ = CreateFiler();
  TRegItem* item = regItems_->FindItem(name);
  if (item == nullptr) ShowErrorBox("[' " + std::string(name) + " '] is invalid.");
  filer_->SetItem(item);
  return filer_.get();
}

const TClassInfo* TRegManager::StaticInfo() {
  static const TClassInfo info{"TRegManager", nullptr, {
      StrProp<TRegManager, &TRegManager::IniFileName, &TRegManager::SetIniFileName>("IniFileName"),
      StrProp<TRegManager, &TRegManager::RegDir, &TRegManager::SetRegDir>("RegDir"),
      ObjectProp<TRegManager, &TRegManager::RegItems>("RegItems", TRegItems::StaticInfo()),
      EnumProp<TRegManager, &TRegManager::RegType, &TRegManager::SetRegType>("RegType", {"rtReg", "rtIni"}),
  }, &NewRegManager};
  return &info;
}

// TRegFiler

TRegItem* TRegFiler::Item() const {
  return static_cast<TRegItem*>(manager_->RegItems()->FindItemID(itemId_));
}

void TRegFiler::SetItem(TRegItem* item) { itemId_ = item != nullptr ? item->ID() : -1; }

TSettingsStore* TRegFiler::Store(std::unique_ptr<TSettingsStore>& own) const {
  if (batch_ != nullptr) return batch_;
  own = manager_->CreateStore();
  return own.get();
}

TSettingsStore* TRegFiler::KeyStore(std::unique_ptr<TSettingsStore>& own) const {
  TSettingsStore* store = Store(own);
  if (store == nullptr || store->Located()) return store;
  ShowErrorBox(store->MissingLocationMessage());
  return nullptr;
}

void TRegFiler::Batch(TBatchKind kind, const std::function<void()>& accesses) {
  std::unique_ptr<TSettingsStore> store = manager_->CreateStore();
  // Without a store or its location every access reports on its own.
  if (store == nullptr || !store->Located()) {
    accesses();
    return;
  }
  batch_ = store.get();
  ScopeGuard done([this] { batch_ = nullptr; });
  store->Batch(kind == bkWrite, accesses);
}

std::string TRegFiler::ReadValue(std::string_view section, std::string_view key, std::string_view defaultValue) {
  std::unique_ptr<TSettingsStore> own;
  TSettingsStore* store = KeyStore(own);
  if (store == nullptr || section.empty() || key.empty()) return std::string(defaultValue);
  return store->ReadValue(section, key, defaultValue);
}

void TRegFiler::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
  std::unique_ptr<TSettingsStore> own;
  TSettingsStore* store = KeyStore(own);
  if (store != nullptr && !section.empty() && !key.empty()) store->WriteValue(section, key, value);
}

void TRegFiler::DeleteKey(std::string_view section, std::string_view key) {
  std::unique_ptr<TSettingsStore> own;
  TSettingsStore* store = KeyStore(own);
  if (store != nullptr && !section.empty() && !key.empty()) store->DeleteKey(section, key);
}

std::vector<std::string> TRegFiler::ReadKeys(std::string_view section) {
  std::unique_ptr<TSettingsStore> own;
  TSettingsStore* store = Store(own);
  return store != nullptr && store->Located() ? store->ReadKeys(section) : std::vector<std::string>{};
}

bool TRegFiler::ReadBool() {
  const TRegItem* item = Item();
  if (item == nullptr) return false;
  const std::string upper = AnsiUpperCase(item->DefaultValue());
  const char* defaultValue = (upper == "1" || upper == "TRUE" || upper == "YES") ? "1" : "0";
  return (StrToIntDef(ReadValue(item->Section(), item->Ident(), defaultValue), 0) & 0xFF) != 0;
}

void TRegFiler::WriteBool(bool value) {
  if (const TRegItem* item = Item()) WriteValue(item->Section(), item->Ident(), value ? "1" : "0");
}

int32_t TRegFiler::ReadInteger() {
  const TRegItem* item = Item();
  if (item == nullptr) return 0;
  return StrToIntDef(ReadValue(item->Section(), item->Ident(), item->DefaultValue()), 0);
}

void TRegFiler::WriteInteger(int32_t value) {
  if (const TRegItem* item = Item()) WriteValue(item->Section(), item->Ident(), std::to_string(value));
}

std::string TRegFiler::ReadString() {
  const TRegItem* item = Item();
  if (item == nullptr) return std::string();
  return ReadValue(item->Section(), item->Ident(), item->DefaultValue());
}

void TRegFiler::WriteString(const std::string& value) {
  if (const TRegItem* item = Item()) WriteValue(item->Section(), item->Ident(), value);
}

void TRegFiler::ReadFont(TFont& font) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  const std::string& s = item->Section();
  const std::string& k = item->Ident();
  TFont read;
  read.SetPixelsPerInch(font.PixelsPerInch());
  Batch(bkRead, [&] {
    read.SetName(ReadValue(s, k + "_FontName", font.Name()));
    read.SetSize(StrToIntDef(ReadValue(s, k + "_FontSize", std::to_string(font.Size())), font.Size()));
    read.SetColor(StringToColor(ReadValue(s, k + "_FontColor", ColorToString(font.Color()))));
    read.SetStyle(
        static_cast<TFontStyles>(StrToIntDef(ReadValue(s, k + "_FontStyle", std::to_string(font.Style())), 0)));
    read.SetCharset(
        static_cast<TFontCharset>(StrToIntDef(ReadValue(s, k + "_FontCharset", std::to_string(font.Charset())), 0)));
  });
  font.Assign(&read);
}

void TRegFiler::WriteFont(const TFont& font) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  const std::string& s = item->Section();
  const std::string& k = item->Ident();
  Batch(bkWrite, [&] {
    WriteValue(s, k + "_FontName", font.Name());
    WriteValue(s, k + "_FontSize", std::to_string(font.Size()));
    WriteValue(s, k + "_FontColor", ColorToString(font.Color()));
    WriteValue(s, k + "_FontStyle", std::to_string(font.Style()));
    WriteValue(s, k + "_FontCharset", std::to_string(font.Charset()));
  });
}

int TRegFiler::StoredCount(std::string_view section, const std::string& countKey, const std::string& itemPrefix) {
  const int count = StrToIntDef(ReadValue(section, countKey, "0"), 0);
  if (count <= 0) return 0;
  return std::min(count, StoredIndexLimit(ReadKeys(section), itemPrefix));
}

void TRegFiler::ReadStrings(TStrings& strings) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  const std::string& s = item->Section();
  const std::string prefix = item->Ident() + "_Item";
  TUpdateBracket update(strings);
  strings.Clear();
  Batch(bkRead, [&] {
    const int count = StoredCount(s, item->Ident() + "_ItemCount", prefix);
    for (int i = 0; i < count; ++i) strings.Add(ReadValue(s, prefix + std::to_string(i), ""));
  });
}

void TRegFiler::WriteStrings(const TStrings& strings) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  const std::string s = item->Section();
  const std::string countKey = item->Ident() + "_ItemCount";
  const std::string prefix = item->Ident() + "_Item";
  const int count = strings.Count();
  Batch(bkWrite, [&] {
    const int oldCount = StoredCount(s, countKey, prefix);
    for (int i = oldCount - 1; i >= count; --i) DeleteKey(s, prefix + std::to_string(i));
    if (count == 0) {
      DeleteKey(s, countKey);
      return;
    }
    WriteValue(s, countKey, std::to_string(count));
    for (int i = 0; i < count; ++i) WriteValue(s, prefix + std::to_string(i), strings.Strings(i));
  });
}

void TRegFiler::ReadStream(TStream& stream) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  std::unique_ptr<TSettingsStore> own;
  if (TSettingsStore* store = Store(own)) store->ReadStream(stream, item->Section(), item->Ident());
}

void TRegFiler::WriteStream(TStream& stream) {
  const TRegItem* item = Item();
  if (item == nullptr) return;
  std::unique_ptr<TSettingsStore> own;
  if (TSettingsStore* store = Store(own)) store->WriteStream(stream, item->Section(), item->Ident());
}

void TRegFiler::ReadComponent(TComponent& control) {
  if (Item() == nullptr) return;
  TMemoryStream stream;
  ReadStream(stream);
  stream.SetPosition(0);
  if (stream.Size() == 0) return;
  static const TClassRegistry kNoClasses;
  const TClassRegistry* classes = manager_->ClassRegistry();
  ReadComponentFromStream(stream, control, classes != nullptr ? *classes : kNoClasses);
}

void TRegFiler::WriteComponent(TComponent& component) {
  if (Item() == nullptr || IsForm(component)) return;
  TMemoryStream stream;
  WriteComponentToStream(component, stream);
  stream.SetPosition(0);
  WriteStream(stream);
}

}  // namespace corvida
