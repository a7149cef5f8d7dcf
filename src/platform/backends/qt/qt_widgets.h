#pragma once
// The widgets and peers of the Qt backend. Every widget here turns its Qt
// input into queued window-system input and catches every error.
#include <QCheckBox>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>

#include <vector>

#include "platform/toolkit/controls.h"
#include "platform/toolkit/forms.h"
#include "platform/toolkit/std_controls.h"

class QButtonGroup;

namespace corvida {

class TQtBackend;

// Where a window's outer rectangle (border included) lies in its
// top-level framebuffer, and how deep its border is.
TRect OuterRectInTop(const TWindow* window);
int BorderDepth(const TWindow* window);

// The input a widget of ours hands on: keys and characters go to the
// focused window, mouse input to the window under the pointer (or the one
// capturing it), wheel steps to the focused window, one message per step.
class TQtInput {
 public:
  static void KeyPress(QKeyEvent* e);
  static void KeyRelease(QKeyEvent* e);
  static void MousePress(QMouseEvent* e, TPoint screen, bool doubleClick);
  static void MouseRelease(QMouseEvent* e, TPoint screen);
  static void MouseMove(QMouseEvent* e, TPoint screen);
  static void Wheel(QWheelEvent* e, TPoint screen);
  static void SyncModifiers(Qt::KeyboardModifiers modifiers, int exceptVk);
};

// A form's top-level widget: shows the framebuffer of the form's window.
class TQtFormWidget : public QWidget {
 public:
  explicit TQtFormWidget(TForm* form);
  TForm* Form() const { return form_; }
  TWindow* TopWindow() const { return form_->Window(); }
  // Title, size, smallest size and visibility from the form, and its place
  // while it is hidden (the desktop moves a shown window).
  void Sync();
  // A point of this widget in window-system screen coordinates.
  TPoint ToScreen(QPoint local) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Local files dropped on a window that accepts them become its
  // WM_DROPFILES; any other drop is refused.
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  TWindow* DropTargetAt(QPoint local) const;
  TForm* form_;
};

// The host of a custom-painted control: its framebuffer part, the caret,
// the preedit text and native scroll bars.
class TQtHostWidget : public QWidget {
 public:
  TQtHostWidget(QWidget* parent, TWinControl* control);
  TWinControl* Control() const { return control_; }
  TWindow* Window() const { return control_->Window(); }
  // Geometry, visibility and scroll bars from the control's window.
  void Sync();
  void SyncBar(int bar);
  QScrollBar* Bar(int bar) const { return bar == SB_VERT ? vbar_ : hbar_; }
  const QString& Preedit() const { return preedit_; }
  TPoint ToScreen(QPoint local) const;
  // The caret's rectangle in this widget, empty when it is not here.
  QRect CaretRect() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  bool focusNextPrevChild(bool next) override { return false; }
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void ScrollAction(int bar, int action);
  void ThumbReleased(int bar);
  TWinControl* control_;
  QScrollBar* vbar_;
  QScrollBar* hbar_;
  QString preedit_;
};

class TQtFormPeer : public TControlPeer {
 public:
  explicit TQtFormPeer(TForm* form);
  ~TQtFormPeer() override;
  void Update() override;
  TQtFormWidget* Widget() const { return widget_; }

 private:
  TForm* form_;
  TWindow* window_;
  QPointer<TQtFormWidget> widget_;
};

class TQtHostPeer : public TControlPeer {
 public:
  TQtHostPeer(QWidget* parent, TWinControl* control);
  ~TQtHostPeer() override;
  void Update() override;
  void FocusChanged() override;

 private:
  TWindow* window_;
  QPointer<TQtHostWidget> widget_;
};

class TQtButtonPeer : public TControlPeer {
 public:
  TQtButtonPeer(QWidget* parent, TSpeedButton* button);
  ~TQtButtonPeer() override;
  void Update() override;
  void FocusChanged() override;

 private:
  TSpeedButton* button_;
  QPointer<QPushButton> widget_;
  QObject* focusWatcher_;
};

class TQtRadioGroupPeer : public TControlPeer {
 public:
  TQtRadioGroupPeer(QWidget* parent, TRadioGroup* group);
  ~TQtRadioGroupPeer() override;
  void Update() override;
  void FocusChanged() override;
  QGroupBox* Widget() const { return box_; }
  const std::vector<QRadioButton*>& Buttons() const { return buttons_; }

 private:
  TRadioGroup* group_;
  QPointer<QGroupBox> box_;
  QButtonGroup* buttonGroup_;
  std::vector<QRadioButton*> buttons_;
  QObject* focusWatcher_;
};

class TQtCheckBoxPeer : public TControlPeer {
 public:
  TQtCheckBoxPeer(QWidget* parent, TCheckBox* box);
  ~TQtCheckBoxPeer() override;
  void Update() override;
  void FocusChanged() override;
  QCheckBox* Widget() const { return widget_; }

 private:
  TCheckBox* box_;
  QPointer<QCheckBox> widget_;
  QObject* focusWatcher_;
};

}  // namespace corvida
