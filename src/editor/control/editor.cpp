#include "editor/control/editor.h"

#include <algorithm>

#include "editor/control/editor_popup_menu.h"
#include "platform/toolkit/forms.h"
#include "platform/winsys/window_system.h"

namespace corvida {

TEditor::TEditor(TComponent* owner)
    : TCustomControl(owner), fountainLink_(this, TNotifyEvent::Of<&TEditor::SettingsChanged>(this)) {}

void TEditor::AfterConstruction() {
  InitDelimiters();
  JoinStore(CreateScreenStrings());
  lines_ = CreateEditorStrings();
  screen_ = CreateEditorScreen();
  view_ = CreateViewInfo();
  const TNotifyEvent changed = TNotifyEvent::Of<&TEditor::SettingsChanged>(this);
  view_->SetOnChange(changed);
  SetColor(clWhite);
  Font()->SetColor(clBlack);
  Font()->SetName(kEditorFontName);
  caret_ = CreateEditorCaret();
  marks_ = CreateEditorMarks();
  margin_ = CreateEditorMargin();
  imagebar_ = CreateEditorImagebar();
  leftbar_ = CreateEditorLeftbar();
  ruler_ = CreateEditorRuler();
  for (TNotifyPersistent* s : std::initializer_list<TNotifyPersistent*>{
           caret_.get(), marks_.get(), margin_.get(), imagebar_.get(), leftbar_.get(), ruler_.get()})
    s->SetOnChange(changed);
  marginView_ = CreateBitmaps();
  BuildDigitGlyphs();
  BuildRulerEdge();
  speed_ = CreateEditorSpeed();
  SetBounds(Left(), Top(), 185, 89);
  SetBorderStyle(bsSingle);
  SetCursor(crIBeam);
  SetTabStop(true);
  UpdateMetrics();
  if (HasState(csDesigning)) return;
  TEditorPopupMenu* menu = CreateEditorPopupMenu();
  menu->SetEditor(this);
  SetPopupMenu(menu);
  Application().AddIdleHandler(TIdleEvent::Of<&TEditor::ScanAheadWhenIdle>(this));
}

void TEditor::ScanAheadWhenIdle(TObject*, bool& done) {
  // A few milliseconds of scanning a step, so that input waits no longer.
  constexpr int kRowsPerStep = 4096;
  if (store_->ScanAhead(kRowsPerStep)) done = false;
}

TEditor::~TEditor() {
  Application().RemoveIdleHandler(TIdleEvent::Of<&TEditor::ScanAheadWhenIdle>(this));
  fountainLink_.Attach(nullptr);
  // The window goes first: its messages reach the objects freed below.
  DestroyHandle();
  screen_.reset();
  view_.reset();
  LeaveStore();
  lines_.reset();
  caret_.reset();
  marks_.reset();
  margin_.reset();
  imagebar_.reset();
  leftbar_.reset();
  ruler_.reset();
  FreeBitmaps();
  speed_.reset();
}

void TEditor::InitDelimiters() { delimiters_ = DefaultDelimiters(); }
TEditorScreenStrings* TEditor::CreateScreenStrings() { return new TEditorScreenStrings; }
std::unique_ptr<TEditorStrings> TEditor::CreateEditorStrings() { return std::make_unique<TEditorStrings>(this); }
std::unique_ptr<TEditorScreen> TEditor::CreateEditorScreen() { return std::make_unique<TEditorScreen>(this); }
std::unique_ptr<TEditorViewInfo> TEditor::CreateViewInfo() { return TEditorViewInfo::Create(this); }
std::unique_ptr<TEditorCaret> TEditor::CreateEditorCaret() { return std::make_unique<TEditorCaret>(); }
std::unique_ptr<TEditorMarks> TEditor::CreateEditorMarks() { return std::make_unique<TEditorMarks>(); }
std::unique_ptr<TEditorMargin> TEditor::CreateEditorMargin() { return std::make_unique<TEditorMargin>(); }
std::unique_ptr<TEditorImagebar> TEditor::CreateEditorImagebar() { return std::make_unique<TEditorImagebar>(); }
std::unique_ptr<TEditorLeftbar> TEditor::CreateEditorLeftbar() { return std::make_unique<TEditorLeftbar>(); }
std::unique_ptr<TEditorRuler> TEditor::CreateEditorRuler() { return std::make_unique<TEditorRuler>(); }
std::unique_ptr<TEditorSpeed> TEditor::CreateEditorSpeed() { return std::make_unique<TEditorSpeed>(); }
TEditorPopupMenu* TEditor::CreateEditorPopupMenu() { return TEditorPopupMenu::Create(this); }

void TEditor::JoinStore(TEditorScreenStrings* store) {
  store_ = store;
  store_->AddView(this);
}

void TEditor::LeaveStore() {
  TEditorScreenStrings* store = store_;
  store_ = nullptr;
  // The last view to leave frees the store.
  if (store) store->RemoveView(this);
}

void TEditor::ExchangeScreenStrings(TEditor* other) {
  if (!other || other == this || other->store_ == store_) return;
  TEditorScreenStrings* shared = other->store_;
  LeaveStore();
  JoinStore(shared);
  row_ = col_ = topRow_ = topCol_ = 0;
  colKept_ = false;
  if (!HandleAllocated()) return;
  UpdateMetrics();
  InitScroll();
  BuildMarginBitmap();
  Invalidate();
}

TEditorSettingsSet TEditor::SettingsSet() const {
  return {caret_.get(), marks_.get(), margin_.get(), view_.get(), leftbar_.get(), ruler_.get(), imagebar_.get()};
}

void TEditor::SettingsChanged(TObject* sender) { EditorSettingsChanged(sender, SettingsSet(), *this); }

void TEditor::SetView(const TEditorViewInfo* value) {
  view_->Assign(value);
  ScrollCaret();
  PlaceCaret();
}

void TEditor::SetLines(const TStrings* value) { lines_->Assign(value); }

void TEditor::SetFountain(TFountain* value) {
  if (!fountainLink_.Attach(value)) return;
  ActiveFountainChanged();
}

void TEditor::ActiveFountainChanged() {
  store_->InitScan();
  if (!HandleAllocated()) return;
  // The italic mode follows the fountain's colours.
  UpdateMetrics();
  Invalidate();
}

void TEditor::SetImageList(TImageList*& field, TImageList* value) {
  if (field == value) return;
  if (field) field->RemoveFreeNotification(this);
  field = value;
  if (field) field->FreeNotification(this);
  if (imagebar_->Visible()) Invalidate();
}

void TEditor::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  // The view's own fountain takes over: its scan states replace the
  // removed one's.
  if (fountainLink_.Removed(component) && !HasState(csDestroying)) ActiveFountainChanged();
  bool removed = false;
  if (component == imageDigits_) {
    imageDigits_ = nullptr;
    removed = true;
  }
  if (component == imageMarks_) {
    imageMarks_ = nullptr;
    removed = true;
  }
  if (removed) Invalidate();
}

void TEditor::SetHitStyle(TEditorHitStyle value) {
  if (SelectedOrHit()) CleanSelection();
  hitStyle_ = value;
}

void TEditor::SetReadOnly(bool value) {
  if (SelDragState() == TSelDragState::Dragging) return;
  // The pointer no longer offers to drag the selection.
  if (value && !readOnly_ && Selected()) SetCursor(caret_->Cursors()->DefaultCursor());
  readOnly_ = value;
}

void TEditor::SetScrollBars(TScrollStyle value) {
  if (value == ScrollBars()) return;
  TCustomControl::SetScrollBars(value);
  if (!HandleAllocated()) return;
  UpdateMetrics();
  InitScroll();
}

void TEditor::SetRowMarks(int row, TRowMarks marks) {
  store_->SetRowMarks(row, marks);
  store_->IncludeMarks(marks);
  // The image bar's cell of the row shows the marks.
  if (!imagebar_->Visible() || !HandleAllocated() || row < topRow_ || row > topRow_ + visibleRows_) return;
  const int top = TextTop() + rowHeight_ * (row - topRow_);
  const TRect cell{0, top, barSizes_.ImagebarWidth(), top + rowHeight_};
  Window()->InvalidateRect(&cell, false);
}

void TEditor::SetRowMark(int row, int mark) {
  if (mark < 0 || mark > 15) return;
  const int count = store_->Count();
  if (mark < 10) {
    for (int r = 0; r < count; ++r) {
      TRowMarks marks = store_->RowMarks(r);
      if (!marks.Contains(mark)) continue;
      marks.Exclude(mark);
      SetRowMarks(r, marks);
      store_->ExcludeMarks(TRowMarks{mark});
      break;
    }
  }
  if (row < 0 || row >= count) return;
  TRowMarks marks = store_->RowMarks(row);
  marks.Include(mark);
  SetRowMarks(row, marks);
}

void TEditor::DeleteRowMark(int row, int mark) {
  if (row < 0 || row >= store_->Count()) return;
  TRowMarks marks = store_->RowMarks(row);
  if (!marks.Contains(mark)) return;
  marks.Exclude(mark);
  SetRowMarks(row, marks);
  // The store's index of marks in use follows the rows.
  for (int r = 0; r < store_->Count(); ++r)
    if (store_->RowMarks(r).Contains(mark)) return;
  store_->ExcludeMarks(TRowMarks{mark});
}

void TEditor::GotoRowMark(int mark) {
  for (int r = 0; r < store_->Count(); ++r) {
    if (!store_->RowMarks(r).Contains(mark)) continue;
    if (r < topRow_ || r > topRow_ + visibleRows_ - 1) SetTopRow(r - visibleRows_ / 2);
    SetRow(r);
    return;
  }
}

void TEditor::StringsChange() {
  // Every edit of this view drops the selection first; one that survives was
  // made through another view of the store and would now cover other text.
  if (store_->UpdatePending() && SelectedOrHit()) CleanSelection();
  // An anchor not yet extended (a click without a drag) ends with the edit too.
  if (store_->UpdatePending() && selection_.State() == TSelectionState::Anchored) selection_.ForgetAnchor();
  if (HasState(csDesigning) && store_->WordWrap()) {
    store_->WrapAll();
    store_->InitScan();
  }
  screen_->Update();
  if (HandleAllocated()) {
    const int oldWidth = barSizes_.LeftbarWidth();
    if (leftbar_->Visible() && leftbar_->ShowNumber() && UpdateLeftbarDigits()) {
      UpdateMetrics();
      BuildLeftbarEdge();
      BuildMarginBitmap();
      LeftbarResized(oldWidth, barSizes_.LeftbarWidth());
    }
    InitScroll();
  }
  if (store_->UpdatePending()) {
    modified_ = true;
    if (onChange_) onChange_(this);
  }
}

TLeftbarText TEditor::LeftbarText() const {
  const int count = store_->Count();
  return {count, RowToLine(std::max(0, count - 1)), GetRowAttribute(count - 1)};
}

void TEditor::Loaded() {
  TCustomControl::Loaded();
  if (store_->WordWrap()) store_->WrapAll();
  store_->InitScan();
  modified_ = false;
}

void TEditor::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateMetrics();
  InitScroll();
  BuildLeftbarEdge();
  RebuildRuler();
  BuildMarginBitmap();
}

void TEditor::FontChanged() {
  TCustomControl::FontChanged();
  if (!HandleAllocated() || !caret_) return;
  if (topCol_ > 0) SetCol(0);
  UpdateMetrics();
  InitScroll();
  RebuildRuler();
  BuildMarginBitmap();
  UpdateCaret();
}

// The bars' colours may fall back on the editor's.
void TEditor::ColorChanged() {
  if (HandleAllocated() && marginView_) {
    BuildLeftbarEdge();
    RebuildRuler();
    BuildMarginBitmap();
  }
  TCustomControl::ColorChanged();
}

void TEditor::SetRedraw(bool redraw) {
  if (TWindow* w = Window()) w->Perform(WM_SETREDRAW, redraw ? 1 : 0);
}

void TEditor::RefreshView() {
  if (!HandleAllocated()) return;
  UpdateMetrics();
  InitScroll();
  Invalidate();
}

int TEditor::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

std::unique_ptr<TRowScanner> TEditor::CreateRowScanner() {
  TFountain* fountain = ActiveFountain();
  if (!fountain) return nullptr;
  return fountain->CreateParser();
}

const TClassInfo* TEditor::StaticInfo() {
  using C = TEditor;
  static const TClassInfo info{"TEditor", TCustomControl::StaticInfo(), {
      ObjectProp<C, &C::Caret>("Caret", TEditorCaret::StaticInfo()),
      ComponentProp<C, &C::Fountain, &C::SetFountain>("Fountain", nullptr),
      EnumProp<C, &C::HitStyle, &C::SetHitStyle>("HitStyle", HitStyleNames()),
      ComponentProp<C, &C::ImageDigits, &C::SetImageDigits>("ImageDigits", nullptr),
      ComponentProp<C, &C::ImageMarks, &C::SetImageMarks>("ImageMarks", nullptr),
      ObjectProp<C, &C::Imagebar>("Imagebar", TEditorImagebar::StaticInfo()),
      ObjectProp<C, &C::Leftbar>("Leftbar", TEditorLeftbar::StaticInfo()),
      ObjectProp<C, &C::Lines>("Lines", nullptr),
      ObjectProp<C, &C::Marks>("Marks", TEditorMarks::StaticInfo()),
      ObjectProp<C, &C::Margin>("Margin", TEditorMargin::StaticInfo()),
      BoolProp<C, &C::ReadOnly, &C::SetReadOnly>("ReadOnly"),
      ObjectProp<C, &C::ReserveWordList>("ReserveWordList", nullptr),
      ObjectProp<C, &C::Ruler>("Ruler", TEditorRuler::StaticInfo()),
      ObjectProp<C, &C::Speed>("Speed", TEditorSpeed::StaticInfo()),
      IntProp<C, &C::UndoListMax, &C::SetUndoListMax>("UndoListMax"),
      ObjectProp<C, &C::View>("View", TEditorViewInfo::StaticInfo()),
      BoolProp<C, &C::WantReturns, &C::SetWantReturns>("WantReturns"),
      BoolProp<C, &C::WantTabs, &C::SetWantTabs>("WantTabs"),
      BoolProp<C, &C::WordWrap, &C::SetWordWrap>("WordWrap"),
      ObjectProp<C, &C::WrapOption>("WrapOption", TEditorWrapOption::StaticInfo()),
  }, [](TComponent* owner) -> TComponent* { return TEditor::Create(owner); }};
  return &info;
}

}  // namespace corvida
