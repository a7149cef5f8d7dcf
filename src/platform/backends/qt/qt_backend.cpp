#include "platform/backends/qt/qt_backend.h"

#include <algorithm>
#include <cstdint>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include "platform/backends/qt/qt_widgets.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/toolkit/menus.h"
#include "platform/winsys/caret.h"
#include "platform/winsys/clipboard.h"
#include "platform/winsys/cursors.h"
#include "platform/winsys/window_system.h"

namespace corvida {
namespace {

TQtBackend*& Installed() {
  static TQtBackend* backend = nullptr;
  return backend;
}

constexpr int kCaretBlinkMs = 530;
const char* const kFormatMimePrefix = "application/x-corvida-format;name=";

Qt::CursorShape StandardShape(int cursor) {
  switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crDrag: return Qt::DragMoveCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crMultiDrag: return Qt::DragCopyCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

QCursor QtCursor(int cursor) {
  const TCursorShape& shape = Cursors().Get(cursor);
  if (cursor <= 0 || shape.image.Width() == 0) return QCursor(StandardShape(cursor));
  QImage image(shape.image.Width(), shape.image.Height(), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      bool see = shape.mask.Width() > x && shape.mask.Height() > y && shape.mask.Pixel(x, y) == kWhitePixel;
      image.setPixel(x, y, see ? 0u : shape.image.Pixel(x, y));
    }
  return QCursor(QPixmap::fromImage(image), shape.hotSpot.x, shape.hotSpot.y);
}

QWidget* DialogParent(TWindow* owner) {
  TQtBackend* b = QtBackend();
  if (!b || !owner) return nullptr;
  return b->FormWidget(owner->TopLevel());
}

// "mqo|*.mqo|All|*" as Qt name filters: "mqo (*.mqo)", "All (*)".
QStringList NameFilters(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  return out;
}

}  // namespace

TQtBackend* QtBackend() { return Installed(); }

void Guarded(const std::function<void()>& fn) {
  try {
    fn();
  } catch (...) {
    Application().HandleException(nullptr);
  }
}

QString TQtBackend::FamilyOfFile(const std::string& file) {
  auto it = families_.find(file);
  if (it == families_.end()) {
    int id = QFontDatabase::addApplicationFont(QString::fromStdString(file));
    QStringList names = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    it = families_.emplace(file, names.isEmpty() ? QString() : names.first()).first;
  }
  return it->second;
}

QFont QtFont(const TFont& font) {
  QFont f;
  try {
    const TFontHandle* handle = FontHandle(font);
    std::string file = handle->DoubleByteFile().empty() ? handle->SingleByteFile() : handle->DoubleByteFile();
    QString family = QtBackend() ? QtBackend()->FamilyOfFile(file) : QString();
    if (!family.isEmpty()) f.setFamily(family);
  } catch (const Exception&) {
    // No face for the font: Qt's default family serves.
  }
  int h = font.Height();
  f.setPixelSize(h < 0 ? -h : std::max(1, h * 4 / 5));
  f.setBold(font.Style() & fsBold);
  f.setItalic(font.Style() & fsItalic);
  f.setUnderline(font.Style() & fsUnderline);
  f.setStrikeOut(font.Style() & fsStrikeOut);
  return f;
}

QString ClipboardMimeType(const std::string& formatName) {
  return QString(kFormatMimePrefix) + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(Cp932ToUtf8(formatName))));
}

TQtBackend::TQtBackend() : blink_(std::make_unique<QTimer>()), wakeTimer_(std::make_unique<QTimer>()) {
  wakeTimer_->setSingleShot(true);
  Installed() = this;
  WindowSystem().SetBackend(this);
  SetToolkitBackend(this);
  blink_->setInterval(kCaretBlinkMs);
  QObject::connect(blink_.get(), &QTimer::timeout, [this] {
    caretOn_ = !caretOn_;
    if (TQtHostWidget* host = HostWidget(WindowSystem().Find(caretOwner_))) host->update(host->CaretRect());
  });
}

TQtBackend::~TQtBackend() {
  if (WindowSystem().Backend() == this) WindowSystem().SetBackend(nullptr);
  if (ToolkitBackend() == this) SetToolkitBackend(nullptr);
  Installed() = nullptr;
}

TQtFormWidget* TQtBackend::FormWidget(TWindow* top) const {
  auto it = forms_.find(top);
  return it == forms_.end() ? nullptr : it->second;
}

TQtHostWidget* TQtBackend::HostWidget(TWindow* window) const {
  auto it = hosts_.find(window);
  return it == hosts_.end() ? nullptr : it->second;
}

void TQtBackend::RemoveHost(TWindow* window) {
  auto it = hosts_.find(window);
  if (it == hosts_.end()) return;
  if (hovered_ == it->second) hovered_ = nullptr;
  hosts_.erase(it);
}

void TQtBackend::SetHovered(QWidget* widget) {
  if (widget == hovered_) return;
  hovered_ = widget;
  // The window system only reports changes of shape: a widget newly under
  // the pointer takes the current one.
  if (hovered_) hovered_->setCursor(QtCursor(cursor_));
}

QPoint TQtBackend::ToGlobal(TPoint screen) const {
  for (const auto& [top, widget] : forms_) {
    const TRect& b = top->BoundsRect();
    if (b.Contains(screen)) return widget->mapToGlobal(QPoint(screen.x - b.left, screen.y - b.top));
  }
  return QPoint(screen.x, screen.y);
}

void TQtBackend::TopLevelChanged(TWindow* window) {
  if (TQtFormWidget* w = FormWidget(window)) w->Sync();
}

void TQtBackend::Present(TWindow* top, const TRect& dirty) {
  TQtFormWidget* form = FormWidget(top);
  if (!form) return;
  QRect r(dirty.left, dirty.top, dirty.Width(), dirty.Height());
  form->update(r);
  for (const auto& [window, host] : hosts_)
    if (window->TopLevel() == top) host->update(r.translated(-host->pos()));
}

void TQtBackend::CaretChanged() {
  caretOn_ = true;
  HWND owner = CaretState().owner;
  if (TQtHostWidget* old = HostWidget(WindowSystem().Find(caretOwner_))) old->update();
  caretOwner_ = owner;
  if (TQtHostWidget* host = HostWidget(WindowSystem().Find(owner))) host->update();
  if (owner)
    blink_->start();
  else
    blink_->stop();
}

void TQtBackend::ScrollBarChanged(TWindow* window, int bar) {
  if (TQtHostWidget* host = HostWidget(window)) host->SyncBar(bar);
}

void TQtBackend::CursorChanged(int cursor) {
  cursor_ = cursor;
  if (hovered_) hovered_->setCursor(QtCursor(cursor));
}

void TQtBackend::BusyChanged(bool busy) {
  if (busy)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

void TQtBackend::ImeWindowChanged(TWindow* window) {
  TQtHostWidget* host = HostWidget(window);
  if (!host) return;
  host->update();
  if (host->hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

TSize TQtBackend::ScreenSize() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {1024, 768};
  return {screen->size().width(), screen->size().height()};
}

void TQtBackend::ClipboardOpened(TClipboardContents& contents) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  contents.formats.clear();
  if (!data) return;
  if (data->hasText()) contents.formats[CF_TEXT] = Utf8ToCp932(LineEndsToCrLf(data->text().toStdString()));
  for (const QString& type : data->formats()) {
    if (!type.startsWith(kFormatMimePrefix)) continue;
    QByteArray encoded = type.mid(static_cast<int>(strlen(kFormatMimePrefix))).toLatin1();
    std::string name = Utf8ToCp932(QUrl::fromPercentEncoding(encoded).toStdString());
    QByteArray bytes = data->data(type);
    if (UINT id = RegisterClipboardFormat(name)) contents.formats[id] = std::string(bytes.constData(), bytes.size());
  }
}

void TQtBackend::ClipboardChanged(const TClipboardContents& contents) {
  auto* data = new QMimeData;
  for (const auto& [format, bytes] : contents.formats) {
    if (format == CF_TEXT) {
      data->setText(QString::fromStdString(Cp932ToUtf8(CrLfToLf(bytes))));
    } else {
      std::string name = GetClipboardFormatName(format);
      if (!name.empty()) data->setData(ClipboardMimeType(name), QByteArray(bytes.data(), static_cast<int>(bytes.size())));
    }
  }
  QGuiApplication::clipboard()->setMimeData(data);
}

bool TQtBackend::ClipboardHasFormat(const TClipboardContents&, UINT format) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return false;
  if (format == CF_TEXT) return data->hasText();
  const std::string name = GetClipboardFormatName(format);
  return !name.empty() && data->hasFormat(ClipboardMimeType(name));
}

void TQtBackend::PrimarySelectionChanged(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection()) clipboard->setText(ToQString(CrLfToLf(text)), QClipboard::Selection);
}

void TQtBackend::PrimarySelectionWanted(std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection())
    text = Utf8ToCp932(LineEndsToCrLf(clipboard->text(QClipboard::Selection).toStdString()));
}

int TQtBackend::MessageBox(TWindow* owner, const std::string& text, const std::string& caption, UINT type) {
  QMessageBox box(DialogParent(owner));
  box.setWindowTitle(ToQString(caption));
  box.setText(ToQString(text));
  switch (type & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  std::map<QAbstractButton*, int> answers;
  auto add = [&](QMessageBox::StandardButton b, int answer) { answers[box.addButton(b)] = answer; };
  switch (type & 0x0F) {
    case MB_OKCANCEL: add(QMessageBox::Ok, IDOK); add(QMessageBox::Cancel, IDCANCEL); break;
    case MB_YESNOCANCEL: add(QMessageBox::Yes, IDYES); add(QMessageBox::No, IDNO); add(QMessageBox::Cancel, IDCANCEL); break;
    case MB_YESNO: add(QMessageBox::Yes, IDYES); add(QMessageBox::No, IDNO); break;
    default: add(QMessageBox::Ok, IDOK); break;
  }
  box.exec();
  auto it = answers.find(box.clickedButton());
  if (it != answers.end()) return it->second;
  return (type & 0x0F) == MB_YESNO ? IDNO : (type & 0x0F) == MB_OK ? IDOK : IDCANCEL;
}

bool TQtBackend::RunOpenDialog(TWindow* owner, TOpenDialogRequest& request) {
  QFileDialog dialog(DialogParent(owner), ToQString(request.title));
  // Any name is accepted, also one of a file that does not exist yet.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!request.initialDir.empty() && DirectoryExists(request.initialDir))
    dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(request.initialDir)));
  QStringList filters = NameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
    dialog.selectNameFilter(filters[index - 1]);
  }
  if (!request.fileName.empty()) dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.fileName)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.fileName = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
  int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  if (chosen >= 0) request.filterIndex = chosen + 1;
  return true;
}

void TQtBackend::SetWakeUps(const std::vector<int>& descriptors, int64_t timeoutMs) {
  std::erase_if(wakeNotifiers_, [&](const auto& entry) {
    return std::find(descriptors.begin(), descriptors.end(), entry.first) == descriptors.end();
  });
  for (const int fd : descriptors)
    if (!wakeNotifiers_.count(fd)) wakeNotifiers_[fd] = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  if (timeoutMs < 0) wakeTimer_->stop();
  else wakeTimer_->start(static_cast<int>(std::min<int64_t>(timeoutMs, INT32_MAX)));
}

bool TQtBackend::WaitForEvents() {
  bool anyShown = false;
  for (TWindow* top : WindowSystem().TopLevels()) anyShown = anyShown || top->Visible();
  if (!anyShown) return false;
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
  return true;
}

void TQtBackend::PollEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::unique_ptr<TControlPeer> TQtBackend::CreatePeer(TWinControl* control) {
  if (auto* form = dynamic_cast<TForm*>(control)) return std::make_unique<TQtFormPeer>(form);
  TQtFormWidget* parent = control->Window() ? FormWidget(control->Window()->TopLevel()) : nullptr;
  if (!parent) return nullptr;
  if (auto* button = dynamic_cast<TSpeedButton*>(control)) return std::make_unique<TQtButtonPeer>(parent, button);
  if (auto* group = dynamic_cast<TRadioGroup*>(control)) return std::make_unique<TQtRadioGroupPeer>(parent, group);
  if (auto* box = dynamic_cast<TCheckBox*>(control)) return std::make_unique<TQtCheckBoxPeer>(parent, box);
  if (dynamic_cast<TCustomControl*>(control)) return std::make_unique<TQtHostPeer>(parent, control);
  return nullptr;  // a panel shows through its form's framebuffer
}

TMenuItem* TQtBackend::TrackPopupMenu(TPopupMenu* menu, TPoint screen) {
  std::map<QAction*, TMenuItem*> actions;
  auto fill = [&](auto& self, QMenu* target, TMenuItem* parent) -> void {
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      if (!item->Visible()) continue;
      if (item->IsLine()) {
        target->addSeparator();
        continue;
      }
      QString text = ToQString(item->Caption());
      if (item->Count() > 0) {
        QMenu* sub = target->addMenu(text);
        sub->setEnabled(item->Enabled());
        self(self, sub, item);
        continue;
      }
      if (item->ShortCut() != scNone) text += "\t" + QString::fromStdString(ShortCutToText(item->ShortCut()));
      QAction* action = target->addAction(text);
      action->setEnabled(item->Enabled());
      action->setCheckable(item->Checked());
      action->setChecked(item->Checked());
      actions[action] = item;
    }
  };
  TWindow* focus = GetFocus();
  QMenu qmenu(focus ? FormWidget(focus->TopLevel()) : nullptr);
  fill(fill, &qmenu, menu->Items());
  QAction* chosen = qmenu.exec(ToGlobal(screen));
  auto it = actions.find(chosen);
  return it == actions.end() ? nullptr : it->second;
}

}  // namespace corvida
