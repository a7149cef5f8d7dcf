#pragma once
// The `View` settings: a private default fountain with a front whose every
// setting reports a change, so that the editor rescans and repaints.
#include <memory>
#include <string>

#include "editor/control/editor_setting_types.h"
#include "editor/highlight/editor_fountain.h"

namespace corvida {

// Any change of the private fountain (colours, brackets, reserved words) is
// a change of the view settings.
class TEditorViewInfo : public TNotifyPersistent {
 public:
  CORVIDA_CLASS_NAME(TEditorViewInfo)

  // Makes view settings of class T with the fountain T's factory makes.
  // owner names the settings (the editor); it may be null.
  template <class T = TEditorViewInfo>
  static std::unique_ptr<T> Create(TPersistent* owner) {
    std::unique_ptr<T> view(new T(owner));
    view->AfterConstruction();
    return view;
  }
  ~TEditorViewInfo() override;

  // The private fountain: the editor's active fountain while no other is
  // attached, and the keeper of its reserved-word list.
  TEditorFountain* Fountain() const { return fountain_.get(); }

  // A TEditorFountain always makes its brackets as a TEditorBracketCollection.
  TEditorBracketCollection* Brackets() const { return static_cast<TEditorBracketCollection*>(fountain_->Brackets()); }
  void SetBrackets(const TFountainBracketCollection* value);
  TEditorColors* Colors() const { return fountain_->Colors(); }
  void SetColors(const TEditorColors* value);
  const std::string& Commenter() const { return fountain_->Commenter(); }
  void SetCommenter(const std::string& value);
  bool ControlCode() const { return fountain_->ControlCode(); }
  void SetControlCode(bool value);
  const std::string& HexPrefix() const { return fountain_->HexPrefix(); }
  void SetHexPrefix(const std::string& value);
  bool Mail() const { return fountain_->Mail(); }
  void SetMail(bool value);
  // One single-byte character or empty. A longer value keeps its first
  // character; a double-byte one cannot be a quote and leaves it empty.
  const std::string& Quotation() const { return fountain_->Quotation(); }
  void SetQuotation(const std::string& value);
  bool Url() const { return fountain_->Url(); }
  void SetUrl(bool value);

  // The editor's ReserveWordList, kept by the private fountain also while
  // another fountain is attached. Not stored with the view. A different list
  // is a change of the view; an equal one is none.
  TStringList* ReserveWordList() const { return fountain_->ReserveWordList(); }
  void SetReserveWordList(const TStrings* value);

  void Assign(const TPersistent* source) override;
  TPersistent* GetOwner() const override { return owner_; }

  static const TClassInfo* StaticInfo();
  const TClassInfo* ClassInfo() const override { return StaticInfo(); }

 protected:
  explicit TEditorViewInfo(TPersistent* owner) : owner_(owner) {}
  // The second step of construction, where the descendant's factory is
  // reached.
  virtual void AfterConstruction();
  virtual std::unique_ptr<TEditorFountain> CreateViewFountain();

 private:
  TNotifyEvent FountainListener();

  std::unique_ptr<TEditorFountain> fountain_;
  TPersistent* owner_;
};

}  // namespace corvida
