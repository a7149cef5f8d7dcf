#include "platform/backends/qt/qt_widgets.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>

#include <cstdlib>

#include "platform/backends/qt/qt_backend.h"
#include "platform/backends/qt/qt_keys.h"
#include "platform/rtl/cp932.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/drop_files.h"
#include "platform/winsys/ime.h"
#include "platform/winsys/input.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

void SetKey(int vk, bool down) {
  uint8_t& k = WindowSystem().MutableInputKeyStates()[vk];
  if (down && !(k & 0x80)) k ^= 0x01;
  k = down ? (k | 0x80) : (k & 0x01);
}

// The local files a drag carries, as the file system's paths in order;
// none when it carries anything else, even beside files.
std::vector<std::string> DraggedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  return paths;
}

int ButtonKey(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return VK_RBUTTON;
    case Qt::MiddleButton: return VK_MBUTTON;
    default: return VK_LBUTTON;
  }
}

// Draws the part of top's framebuffer that falls under area (framebuffer
// coordinates) at target on painter.
void DrawFramebuffer(QPainter& p, TWindow* top, const QRect& area, QPoint target) {
  TSurface* fb = top ? top->Framebuffer() : nullptr;
  if (!fb || fb->Width() == 0 || fb->Height() == 0) {
    p.fillRect(QRect(target, area.size()), Qt::lightGray);
    return;
  }
  QImage image(reinterpret_cast<const uchar*>(fb->Pixels().data()), fb->Width(), fb->Height(), fb->Width() * 4,
               QImage::Format_RGB32);
  QRect inside = area.intersected(QRect(0, 0, fb->Width(), fb->Height()));
  if (inside != area) p.fillRect(QRect(target, area.size()), Qt::lightGray);
  if (!inside.isEmpty()) p.drawImage(target + (inside.topLeft() - area.topLeft()), image, inside);
}

}  // namespace

TRect OuterRectInTop(const TWindow* window) {
  const TRect& b = window->BoundsRect();
  if (!window->Parent()) return {0, 0, b.Width(), b.Height()};
  TPoint o = window->Parent()->ClientOffsetInTop();
  return b.Offset(o.x, o.y);
}

int BorderDepth(const TWindow* window) { return window->ClientOffsetInTop().x - OuterRectInTop(window).left; }

void TQtInput::SyncModifiers(Qt::KeyboardModifiers modifiers, int exceptVk) {
  if (exceptVk != VK_SHIFT) SetKey(VK_SHIFT, modifiers & Qt::ShiftModifier);
  if (exceptVk != VK_CONTROL) SetKey(VK_CONTROL, modifiers & Qt::ControlModifier);
  if (exceptVk != VK_MENU) SetKey(VK_MENU, modifiers & Qt::AltModifier);
}

void TQtInput::KeyPress(QKeyEvent* e) {
  int vk = QtKeyToVirtualKey(e->key(), e->modifiers(), e->nativeScanCode());
  SyncModifiers(e->modifiers(), vk);
  if (vk) InjectKeyDown(vk, e->isAutoRepeat());
  InjectText(TypedBytes(*e));
}

void TQtInput::KeyRelease(QKeyEvent* e) {
  if (e->isAutoRepeat()) return;  // a repeat is a press with the repeat bit
  int vk = QtKeyToVirtualKey(e->key(), e->modifiers(), e->nativeScanCode());
  SyncModifiers(e->modifiers(), vk);
  if (vk) InjectKeyUp(vk);
}

void TQtInput::MousePress(QMouseEvent* e, TPoint screen, bool doubleClick) {
  SyncModifiers(e->modifiers(), 0);
  InjectMouseDown(ButtonKey(e->button()), screen, doubleClick);
}

void TQtInput::MouseRelease(QMouseEvent* e, TPoint screen) {
  SyncModifiers(e->modifiers(), 0);
  InjectMouseUp(ButtonKey(e->button()), screen);
}

void TQtInput::MouseMove(QMouseEvent* e, TPoint screen) {
  SyncModifiers(e->modifiers(), 0);
  InjectMouseMove(screen);
}

void TQtInput::Wheel(QWheelEvent* e, TPoint screen) {
  // Fine-grained devices send parts of a step; whole steps become messages.
  if (!QtBackend()) return;
  int& accumulated = QtBackend()->WheelRemainder();
  SyncModifiers(e->modifiers(), 0);
  accumulated += e->angleDelta().y();
  while (std::abs(accumulated) >= WHEEL_DELTA) {
    int step = accumulated > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    InjectWheel(step, screen);
    accumulated -= step;
  }
}

TQtFormWidget::TQtFormWidget(TForm* form) : form_(form) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setAcceptDrops(true);
  move(form->Left(), form->Top());
  Sync();
}

void TQtFormWidget::Sync() {
  setWindowTitle(form_->DesktopTitle().empty() ? ToQString(form_->Caption())
                                               : QString::fromStdString(form_->DesktopTitle()));
  const TSize smallest = form_->MinClientSize();
  if (minimumSize() != QSize(smallest.cx, smallest.cy)) setMinimumSize(smallest.cx, smallest.cy);
  TRect client = form_->ClientRect();
  if (size() != QSize(client.Width(), client.Height())) resize(client.Width(), client.Height());
  if (!isVisible() && pos() != QPoint(form_->Left(), form_->Top())) move(form_->Left(), form_->Top());
  if (isVisible() != form_->Visible()) setVisible(form_->Visible());
}

TPoint TQtFormWidget::ToScreen(QPoint local) const { return TopWindow()->ClientToScreen({local.x(), local.y()}); }

void TQtFormWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  DrawFramebuffer(p, TopWindow(), e->rect(), e->rect().topLeft());
}

void TQtFormWidget::resizeEvent(QResizeEvent*) {
  Guarded([&] {
    TRect client = form_->ClientRect();
    if (width() == client.Width() && height() == client.Height()) return;
    form_->SetBounds(form_->Left(), form_->Top(), width() + 2 * kFormFrame, height() + 2 * kFormFrame + kFormCaption);
  });
}

void TQtFormWidget::moveEvent(QMoveEvent*) {
  // The form keeps the place the desktop gave the window, to be stored.
  Guarded([&] {
    if (pos() != QPoint(form_->Left(), form_->Top())) form_->SetBounds(x(), y(), form_->Width(), form_->Height());
  });
}

void TQtFormWidget::closeEvent(QCloseEvent* e) {
  // The form decides: its window gets WM_CLOSE like any other.
  e->ignore();
  Guarded([&] { WindowSystem().PostInput(TopWindow()->Handle(), WM_CLOSE, 0, 0, WindowSystem().InputKeyStates()); });
}

TWindow* TQtFormWidget::DropTargetAt(QPoint local) const {
  TWindow* under = TopWindow()->ChildFromScreenPoint(ToScreen(local));
  return DropTarget(under != nullptr ? under : TopWindow());
}

void TQtFormWidget::dragEnterEvent(QDragEnterEvent* e) { dragMoveEvent(e); }

void TQtFormWidget::dragMoveEvent(QDragMoveEvent* e) {
  if (!DraggedFiles(e->mimeData()).empty() && DropTargetAt(e->position().toPoint()) != nullptr)
    e->acceptProposedAction();
  else
    e->ignore();
}

void TQtFormWidget::dropEvent(QDropEvent* e) {
  e->ignore();
  Guarded([&] {
    if (PostDropFiles(DropTargetAt(e->position().toPoint()), DraggedFiles(e->mimeData()))) e->acceptProposedAction();
  });
}

void TQtFormWidget::keyPressEvent(QKeyEvent* e) { Guarded([&] { TQtInput::KeyPress(e); }); }
void TQtFormWidget::keyReleaseEvent(QKeyEvent* e) { Guarded([&] { TQtInput::KeyRelease(e); }); }
void TQtFormWidget::mousePressEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MousePress(e, ToScreen(e->position().toPoint()), false); });
}
void TQtFormWidget::mouseReleaseEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MouseRelease(e, ToScreen(e->position().toPoint())); });
}
void TQtFormWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MousePress(e, ToScreen(e->position().toPoint()), true); });
}
void TQtFormWidget::mouseMoveEvent(QMouseEvent* e) {
  Guarded([&] {
    if (QtBackend()) QtBackend()->SetHovered(this);
    TQtInput::MouseMove(e, ToScreen(e->position().toPoint()));
  });
}
void TQtFormWidget::wheelEvent(QWheelEvent* e) {
  Guarded([&] { TQtInput::Wheel(e, ToScreen(e->position().toPoint())); });
}

TQtHostWidget::TQtHostWidget(QWidget* parent, TWinControl* control)
    : QWidget(parent), control_(control), vbar_(new QScrollBar(Qt::Vertical, this)),
      hbar_(new QScrollBar(Qt::Horizontal, this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  for (int bar : {SB_HORZ, SB_VERT}) {
    QScrollBar* b = Bar(bar);
    b->setFocusPolicy(Qt::NoFocus);
    b->installEventFilter(this);
    QObject::connect(b, &QAbstractSlider::actionTriggered, this, [this, bar](int action) { ScrollAction(bar, action); });
    QObject::connect(b, &QAbstractSlider::sliderReleased, this, [this, bar] { ThumbReleased(bar); });
  }
  Sync();
}

void TQtHostWidget::Sync() {
  TWindow* w = Window();
  if (!w) return;
  TRect outer = OuterRectInTop(w);
  setGeometry(outer.left, outer.top, outer.Width(), outer.Height());
  setFont(QtFont(*control_->Font()));  // for the preedit text
  SyncBar(SB_VERT);
  SyncBar(SB_HORZ);
  setVisible(w->IsWindowVisible());
  update();
}

void TQtHostWidget::SyncBar(int bar) {
  TWindow* w = Window();
  QScrollBar* b = Bar(bar);
  if (!w->ScrollBarVisible(bar)) {
    b->hide();
    return;
  }
  TScrollInfo info;
  info.fMask = SIF_ALL;
  w->GetScrollInfo(bar, info);
  int page = std::max(info.nPage, 1);
  QSignalBlocker block(b);
  b->setRange(info.nMin, std::max(info.nMin, info.nMax - page + 1));
  b->setPageStep(page);
  b->setSingleStep(1);
  if (!b->isSliderDown()) b->setValue(info.nPos);
  int border = BorderDepth(w);
  TRect client = w->ClientRect();
  int size = GetSystemMetrics(SM_CXVSCROLL);
  if (bar == SB_VERT)
    b->setGeometry(border + client.Width(), border, size, client.Height());
  else
    b->setGeometry(border, border + client.Height(), client.Width(), size);
  b->show();
}

void TQtHostWidget::ScrollAction(int bar, int action) {
  Guarded([&] {
    TWindow* w = Window();
    QScrollBar* b = Bar(bar);
    int code;
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
      default: return;
    }
    UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    const TKeyStates& keys = WindowSystem().InputKeyStates();
    if (code == SB_THUMBTRACK) {
      w->SetScrollTrackPos(bar, b->sliderPosition());
      WindowSystem().PostInput(w->Handle(), msg, MAKEWPARAM(code, b->sliderPosition()), 0, keys);
      return;
    }
    // The window decides where the bar goes: undo Qt's own step.
    b->setSliderPosition(w->GetScrollPos(bar));
    WindowSystem().PostInput(w->Handle(), msg, MAKEWPARAM(code, 0), 0, keys);
    WindowSystem().PostInput(w->Handle(), msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0, keys);
  });
}

void TQtHostWidget::ThumbReleased(int bar) {
  Guarded([&] {
    TWindow* w = Window();
    int pos = Bar(bar)->sliderPosition();
    UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    const TKeyStates& keys = WindowSystem().InputKeyStates();
    w->SetScrollTrackPos(bar, pos);
    WindowSystem().PostInput(w->Handle(), msg, MAKEWPARAM(SB_THUMBPOSITION, pos), 0, keys);
    WindowSystem().PostInput(w->Handle(), msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0, keys);
  });
}

TPoint TQtHostWidget::ToScreen(QPoint local) const {
  int b = BorderDepth(Window());
  return Window()->ClientToScreen({local.x() - b, local.y() - b});
}

QRect TQtHostWidget::CaretRect() const {
  const TCaretState& caret = CaretState();
  TWindow* w = Window();
  if (!w || caret.owner != w->Handle() || caret.hideCount > 0) return {};
  int b = BorderDepth(w);
  QRect r(caret.pos.x + b, caret.pos.y + b, caret.size.cx, caret.size.cy);
  TRect client = w->ClientRect();
  return r.intersected(QRect(b, b, client.Width(), client.Height()));
}

void TQtHostWidget::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  TWindow* w = Window();
  if (!w) return;
  TRect outer = OuterRectInTop(w);
  DrawFramebuffer(p, w->TopLevel(), e->rect().translated(outer.left, outer.top), e->rect().topLeft());
  QRect caret = CaretRect();
  if (!caret.isEmpty() && QtBackend() && QtBackend()->CaretBlinkOn()) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(caret, Qt::white);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (!preedit_.isEmpty()) {
    TCompositionForm form;
    ImmGetCompositionWindow(ImmGetContext(w), form);
    int b = BorderDepth(w);
    QFontMetrics m(font());
    QRect r(form.ptCurrentPos.x + b, form.ptCurrentPos.y + b, m.horizontalAdvance(preedit_) + 2, m.height());
    p.fillRect(r, Qt::white);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, preedit_);
    p.drawLine(r.bottomLeft(), r.bottomRight());
  }
}

void TQtHostWidget::keyPressEvent(QKeyEvent* e) { Guarded([&] { TQtInput::KeyPress(e); }); }
void TQtHostWidget::keyReleaseEvent(QKeyEvent* e) { Guarded([&] { TQtInput::KeyRelease(e); }); }

void TQtHostWidget::inputMethodEvent(QInputMethodEvent* e) {
  Guarded([&] {
    if (!e->commitString().isEmpty()) InjectImeResult(Utf8ToCp932(e->commitString().toStdString()));
    preedit_ = e->preeditString();
    update();
  });
  e->accept();
}

QVariant TQtHostWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle: {
      TWindow* w = Window();
      if (!w) return QRect();
      TCompositionForm form;
      ImmGetCompositionWindow(ImmGetContext(w), form);
      int b = BorderDepth(w);
      return QRect(form.ptCurrentPos.x + b, form.ptCurrentPos.y + b, 1, QFontMetrics(font()).height());
    }
    case Qt::ImFont:
      return font();
    default:
      return QWidget::inputMethodQuery(query);
  }
}

void TQtHostWidget::mousePressEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MousePress(e, ToScreen(e->position().toPoint()), false); });
}
void TQtHostWidget::mouseReleaseEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MouseRelease(e, ToScreen(e->position().toPoint())); });
}
void TQtHostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  Guarded([&] { TQtInput::MousePress(e, ToScreen(e->position().toPoint()), true); });
}
void TQtHostWidget::mouseMoveEvent(QMouseEvent* e) {
  Guarded([&] {
    if (QtBackend()) QtBackend()->SetHovered(this);
    TQtInput::MouseMove(e, ToScreen(e->position().toPoint()));
  });
}
void TQtHostWidget::wheelEvent(QWheelEvent* e) {
  Guarded([&] { TQtInput::Wheel(e, ToScreen(e->position().toPoint())); });
}

void TQtHostWidget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  Guarded([&] {
    if (Window() && GetFocus() != Window() && control_->CanFocus()) control_->SetFocus();
  });
}

bool TQtHostWidget::eventFilter(QObject* watched, QEvent* e) {
  // The wheel over a scroll bar goes to the focused window, as elsewhere.
  if (e->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(e);
    QPoint local = static_cast<QWidget*>(watched)->mapTo(this, wheel->position().toPoint());
    Guarded([&] { TQtInput::Wheel(wheel, ToScreen(local)); });
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

TQtFormPeer::TQtFormPeer(TForm* form) : form_(form), window_(form->Window()), widget_(new TQtFormWidget(form)) {
  if (TQtBackend* b = QtBackend()) b->AddForm(window_, widget_);
}

TQtFormPeer::~TQtFormPeer() {
  if (TQtBackend* b = QtBackend()) b->RemoveForm(window_);
  delete widget_.data();
}

void TQtFormPeer::Update() {
  if (widget_) widget_->Sync();
}

TQtHostPeer::TQtHostPeer(QWidget* parent, TWinControl* control)
    : window_(control->Window()), widget_(new TQtHostWidget(parent, control)) {
  if (TQtBackend* b = QtBackend()) b->AddHost(window_, widget_);
}

TQtHostPeer::~TQtHostPeer() {
  if (TQtBackend* b = QtBackend()) b->RemoveHost(window_);
  delete widget_.data();
}

void TQtHostPeer::Update() {
  if (widget_) widget_->Sync();
}

void TQtHostPeer::FocusChanged() {
  if (widget_ && !widget_->hasFocus()) widget_->setFocus(Qt::OtherFocusReason);
}

namespace {

// Moves the window-system focus to a control when one of its native
// widgets takes the Qt focus.
class TFocusWatcher : public QObject {
 public:
  explicit TFocusWatcher(TWinControl* control) : control_(control) {}
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::FocusIn)
      Guarded([&] {
        if (control_->Window() && GetFocus() != control_->Window() && control_->CanFocus()) control_->SetFocus();
      });
    // Enter presses a focused button, as Space does.
    if (auto* button = qobject_cast<QPushButton*>(watched); button && e->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(e)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && static_cast<QKeyEvent*>(e)->modifiers() == Qt::NoModifier) {
        button->click();
        return true;
      }
    }
    return false;
  }

 private:
  TWinControl* control_;
};

// Gives a native widget the focus the window system moved to its control.
// When Tab or Ctrl+Tab moved it, the window shows focus rings from now on,
// as after Qt's own Tab.
void TakeFocus(QWidget* widget) {
  if (widget->hasFocus()) return;
  if (KeyHeld(VK_TAB)) widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  widget->setFocus(Qt::TabFocusReason);
}

}  // namespace

TQtButtonPeer::TQtButtonPeer(QWidget* parent, TSpeedButton* button)
    : button_(button), widget_(new QPushButton(parent)), focusWatcher_(new TFocusWatcher(button)) {
  focusWatcher_->setParent(widget_);
  widget_->installEventFilter(focusWatcher_);
  widget_->setAutoDefault(false);
  widget_->setAutoFillBackground(true);
  HWND h = button->Handle();
  QObject::connect(widget_, &QPushButton::clicked, widget_, [h] {
    Guarded([h] { WindowSystem().PostInput(h, CM_PEERCLICK, 0, 0, WindowSystem().InputKeyStates()); });
  });
  Update();
}

TQtButtonPeer::~TQtButtonPeer() { delete widget_.data(); }

void TQtButtonPeer::FocusChanged() {
  if (widget_) TakeFocus(widget_);
}

void TQtButtonPeer::Update() {
  if (!widget_) return;
  TWindow* w = button_->Window();
  TRect r = OuterRectInTop(w);
  widget_->setGeometry(r.left, r.top, r.Width(), r.Height());
  widget_->setText(ToQString(button_->Caption()));
  widget_->setFont(QtFont(*button_->Font()));
  widget_->setFlat(button_->Flat());
  // The keyboard reaches it, a click does not move the focus.
  widget_->setFocusPolicy(button_->TabStop() ? Qt::TabFocus : Qt::NoFocus);
  widget_->setToolTip(ToQString(button_->Hint()));
  widget_->setEnabled(button_->Enabled());
  widget_->setVisible(w->IsWindowVisible());
}

TQtRadioGroupPeer::TQtRadioGroupPeer(QWidget* parent, TRadioGroup* group)
    : group_(group), box_(new QGroupBox(parent)), buttonGroup_(new QButtonGroup(box_)),
      focusWatcher_(new TFocusWatcher(group)) {
  focusWatcher_->setParent(box_);
  // Opaque, so that the group's own software rendering does not show through.
  box_->setAutoFillBackground(true);
  buttonGroup_->setExclusive(true);
  HWND h = group->Handle();
  QObject::connect(buttonGroup_, &QButtonGroup::idClicked, box_, [h](int id) {
    Guarded([h, id] { WindowSystem().PostInput(h, CM_PEERCLICK, static_cast<WPARAM>(id), 0, WindowSystem().InputKeyStates()); });
  });
  Update();
}

TQtRadioGroupPeer::~TQtRadioGroupPeer() { delete box_.data(); }

void TQtRadioGroupPeer::Update() {
  if (!box_) return;
  TWindow* w = group_->Window();
  TRect r = OuterRectInTop(w);
  box_->setGeometry(r.left, r.top, r.Width(), r.Height());
  box_->setTitle(ToQString(group_->Caption()));
  box_->setToolTip(ToQString(group_->Hint()));
  QFont font = QtFont(*group_->Font());
  box_->setFont(font);
  int count = group_->Items()->Count();
  while (static_cast<int>(buttons_.size()) > count) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  while (static_cast<int>(buttons_.size()) < count) {
    auto* b = new QRadioButton(box_);
    b->installEventFilter(focusWatcher_);
    buttonGroup_->addButton(b, static_cast<int>(buttons_.size()));
    buttons_.push_back(b);
  }
  for (int i = 0; i < count; ++i) {
    QRadioButton* b = buttons_[static_cast<size_t>(i)];
    QSignalBlocker block(b);
    TRect item = group_->ItemRect(i);
    b->setGeometry(item.left, item.top, item.Width(), item.Height());
    b->setText(ToQString(group_->Items()->Strings(i)));
    b->setFont(font);
    b->setChecked(i == group_->ItemIndex());
    b->show();
  }
  if (group_->ItemIndex() < 0 && buttonGroup_->checkedButton()) {
    buttonGroup_->setExclusive(false);
    buttonGroup_->checkedButton()->setChecked(false);
    buttonGroup_->setExclusive(true);
  }
  box_->setEnabled(group_->Enabled());
  box_->setVisible(w->IsWindowVisible());
}

void TQtRadioGroupPeer::FocusChanged() {
  if (!box_ || buttons_.empty()) return;
  int i = std::max(0, group_->ItemIndex());
  QRadioButton* b = buttons_[static_cast<size_t>(std::min<int>(i, static_cast<int>(buttons_.size()) - 1))];
  TakeFocus(b);
}

TQtCheckBoxPeer::TQtCheckBoxPeer(QWidget* parent, TCheckBox* box)
    : box_(box), widget_(new QCheckBox(parent)), focusWatcher_(new TFocusWatcher(box)) {
  focusWatcher_->setParent(widget_);
  widget_->installEventFilter(focusWatcher_);
  widget_->setAutoFillBackground(true);
  HWND h = box->Handle();
  QObject::connect(widget_, &QCheckBox::clicked, widget_, [h] {
    Guarded([h] { WindowSystem().PostInput(h, CM_PEERCLICK, 0, 0, WindowSystem().InputKeyStates()); });
  });
  Update();
}

TQtCheckBoxPeer::~TQtCheckBoxPeer() { delete widget_.data(); }

void TQtCheckBoxPeer::Update() {
  if (!widget_) return;
  TWindow* w = box_->Window();
  TRect r = OuterRectInTop(w);
  widget_->setGeometry(r.left, r.top, r.Width(), r.Height());
  widget_->setText(ToQString(box_->Caption()));
  widget_->setToolTip(ToQString(box_->Hint()));
  widget_->setFont(QtFont(*box_->Font()));
  widget_->setChecked(box_->Checked());
  widget_->setEnabled(box_->Enabled());
  widget_->setVisible(w->IsWindowVisible());
}

void TQtCheckBoxPeer::FocusChanged() {
  if (widget_) TakeFocus(widget_);
}

}  // namespace corvida
