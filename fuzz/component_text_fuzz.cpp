// Any bytes given to the component text reader either become a tree or
// raise EReadError; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/rtl/collection.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace corvida {
namespace {

TCollectionItem* NewFuzzItem(TCollection* collection);

class TFuzzItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& v) { text_ = v; }
  TStringList* Lines() { return &lines_; }
  TCollection* Nested() { return &nested_; }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TFuzzItem", nullptr, {
        StrProp<TFuzzItem, &TFuzzItem::Text, &TFuzzItem::SetText>("Text"),
        ObjectProp<TFuzzItem, &TFuzzItem::Lines>("Lines", nullptr),
        ObjectProp<TFuzzItem, &TFuzzItem::Nested>("Nested", nullptr),
    }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 private:
  std::string text_;
  TStringList lines_;
  TCollection nested_{&NewFuzzItem};
};

TCollectionItem* NewFuzzItem(TCollection* collection) { return new TFuzzItem(collection); }

class TFuzzNode : public TComponent {
 public:
  using TComponent::TComponent;
  int Number() const { return number_; }
  void SetNumber(int v) { number_ = v; }
  bool Flag() const { return flag_; }
  void SetFlag(bool v) { flag_ = v; }
  int Kind() const { return kind_; }
  void SetKind(int v) { kind_ = v; }
  int Bits() const { return bits_; }
  void SetBits(int v) { bits_ = v; }
  TFuzzItem* Sub() { return &sub_; }
  TCollection* Items() { return &items_; }
  TFuzzNode* Link() const { return link_; }
  void SetLink(TFuzzNode* v) {
    if (link_ != nullptr) RemoveFreeNotification(link_);
    link_ = v;
    if (link_ != nullptr) FreeNotification(link_);
  }

  static const TClassInfo* StaticInfo() {
    static const TClassInfo info{"TFuzzNode", nullptr, {
        IntProp<TFuzzNode, &TFuzzNode::Number, &TFuzzNode::SetNumber>("Number"),
        BoolProp<TFuzzNode, &TFuzzNode::Flag, &TFuzzNode::SetFlag>("Flag"),
        EnumProp<TFuzzNode, &TFuzzNode::Kind, &TFuzzNode::SetKind>("Kind", {"kA", "kB"}),
        SetProp<TFuzzNode, &TFuzzNode::Bits, &TFuzzNode::SetBits>("Bits", {"b0", "b1", "b2"}),
        ObjectProp<TFuzzNode, &TFuzzNode::Sub>("Sub", TFuzzItem::StaticInfo()),
        ObjectProp<TFuzzNode, &TFuzzNode::Items>("Items", nullptr),
        ComponentProp<TFuzzNode, &TFuzzNode::Link, &TFuzzNode::SetLink>("Link", &info),
    }, [](TComponent* owner) -> TComponent* { return new TFuzzNode(owner); }};
    return &info;
  }
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == link_) link_ = nullptr;
  }

 private:
  int number_ = 0;
  bool flag_ = false;
  int kind_ = 0;
  int bits_ = 0;
  TFuzzItem sub_{nullptr};
  TCollection items_{&NewFuzzItem};
  TFuzzNode* link_ = nullptr;
};

const TClassRegistry& Registry() {
  static const TClassRegistry registry = [] {
    TClassRegistry r;
    r.Register(TFuzzNode::StaticInfo());
    return r;
  }();
  return registry;
}

}  // namespace
}  // namespace corvida

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvida;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TFuzzNode owner(nullptr);
  TComponent* root = nullptr;
  try {
    root = ReadComponentText(text, owner, Registry());
  } catch (const EReadError&) {
    return 0;
  }
  // What the writer wrote must read back, and from then on the text is
  // stable (the first writing may leave out references it cannot name).
  TFuzzNode again(nullptr);
  TFuzzNode third(nullptr);
  try {
    ReadComponentText(WriteComponentText(*root), again, Registry());
    const std::string written = WriteComponentText(again);
    ReadComponentText(written, third, Registry());
    if (WriteComponentText(third) != written) std::abort();
  } catch (const EReadError&) {
    std::abort();
  }
  return 0;
}
