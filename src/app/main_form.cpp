#include "app/main_form.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/cli_options.h"
#include "app/read_while_answering.h"
#include "mqo/fast_stats.h"
#include "mqo/face_report.h"
#include "mqo/stats_pane.h"
#include "platform/rtl/component_text.h"
#include "platform/rtl/cp932.h"
#include "platform/rtl/escaped_text.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/messages.h"
#include "platform/rtl/scope_guard.h"
#include "platform/winsys/drop_files.h"
#include "support/error_box.h"

namespace corvida {
namespace {

template <class T>
T* FindNamed(TComponent* root, std::string_view name) {
  if (auto* hit = dynamic_cast<T*>(root->FindComponent(name))) return hit;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (T* hit = FindNamed<T>(root->Components(i), name)) return hit;
  return nullptr;
}

template <class T>
T* Require(TComponent* root, std::string_view name) {
  T* hit = FindNamed<T>(root, name);
  if (!hit) throw EComponentError(Format("the layout has no %s", {name}));
  return hit;
}

void ShowStoreError(std::string_view text) { MessageDlg(std::string(text), mtError, mbOK); }

// The window as the designer stored it. Texts are CP932.
constexpr std::string_view kLayout =
    "object Form1: TForm1\r\n"
    "  Left = 192\r\n"
    "  Top = 107\r\n"
    "  Width = 664\r\n"
    "  Height = 516\r\n"
    "  Caption = 'Metasequoia .mqo corvida'\r\n"
    "  Color = -2147483633\r\n"
    "  Font.Charset = 128\r\n"
    "  Font.Color = clWindowText\r\n"
    "  Font.Height = -12\r\n"
    // 'ＭＳ Ｐゴシック'
    "  Font.Name = '\x82l\x82r \x82o\x83S\x83V\x83\x62\x83N'\r\n"
    "  Font.Style = []\r\n"
    "  object Panel1: TPanel\r\n"
    "    Left = 0\r\n"
    "    Top = 0\r\n"
    "    Width = 656\r\n"
    "    Height = 41\r\n"
    "    Align = alTop\r\n"
    "    BevelInner = bvLowered\r\n"
    "    TabOrder = 0\r\n"
    "    object SpeedButton1: TSpeedButton\r\n"
    "      Left = 2\r\n"
    "      Top = 2\r\n"
    "      Width = 75\r\n"
    "      Height = 37\r\n"
    "      Caption = 'Open'\r\n"
    "      Flat = False\r\n"
    "      Hint = 'Open a model (Ctrl+O)'\r\n"
    "      TabStop = True\r\n"
    "    end\r\n"
    "    object SpeedButton2: TSpeedButton\r\n"
    "      Left = 77\r\n"
    "      Top = 2\r\n"
    "      Width = 75\r\n"
    "      Height = 37\r\n"
    "      Caption = 'Clear'\r\n"
    "      Flat = False\r\n"
    "      Hint = 'Clear the pane (Ctrl+Shift+Delete)'\r\n"
    "      TabStop = True\r\n"
    "    end\r\n"
    "    object SpeedButton3: TSpeedButton\r\n"
    "      Left = 152\r\n"
    "      Top = 2\r\n"
    "      Width = 75\r\n"
    "      Height = 37\r\n"
    "      Caption = 'Close'\r\n"
    "      Flat = False\r\n"
    "      Hint = 'Close the window (Ctrl+Q, Ctrl+W)'\r\n"
    "      TabStop = True\r\n"
    "    end\r\n"
    "    object RadioGroup1: TRadioGroup\r\n"
    "      Left = 255\r\n"
    "      Top = 3\r\n"
    "      Width = 271\r\n"
    "      Height = 32\r\n"
    "      Caption = ' Sort '\r\n"
    "      Hint = 'Sort the objects by face count: None (Alt+N), Ascending (Alt+A), Descending (Alt+D)'\r\n"
    "      Columns = 3\r\n"
    "      ItemIndex = 0\r\n"
    "      Items.Strings = (\r\n"
    "        'None'\r\n"
    "        'Ascending'\r\n"
    "        'Descending')\r\n"
    "      TabOrder = 0\r\n"
    "    end\r\n"
    "    object CheckBox1: TCheckBox\r\n"
    "      Left = 534\r\n"
    "      Top = 4\r\n"
    "      Width = 80\r\n"
    "      Height = 17\r\n"
    "      Caption = 'Details'\r\n"
    "      Checked = False\r\n"
    "      TabOrder = 1\r\n"
    "    end\r\n"
    "    object CheckBox2: TCheckBox\r\n"
    "      Left = 534\r\n"
    "      Top = 21\r\n"
    "      Width = 80\r\n"
    "      Height = 17\r\n"
    "      Caption = 'Watch'\r\n"
    "      Checked = False\r\n"
    "      TabOrder = 2\r\n"
    "    end\r\n"
    "  end\r\n"
    "  object Editor1: TEditor\r\n"
    "    Left = 0\r\n"
    "    Top = 41\r\n"
    "    Width = 656\r\n"
    "    Height = 448\r\n"
    "    Align = alClient\r\n"
    "    TabOrder = 1\r\n"
    "    Cursor = -4\r\n"
    "    Font.Charset = 128\r\n"
    "    Font.Color = clBlack\r\n"
    "    Font.Height = -11\r\n"
    "    Font.Name = 'FixedSys'\r\n"
    "    Font.Style = []\r\n"
    "    ScrollBars = ssVertical\r\n"
    "    Caret.AutoCursor = True\r\n"
    "    Caret.AutoIndent = True\r\n"
    "    Caret.BackSpaceUnIndent = True\r\n"
    "    Caret.Cursors.DefaultCursor = crIBeam\r\n"
    "    Caret.Cursors.DragSelCursor = crDrag\r\n"
    "    Caret.Cursors.DragSelCopyCursor = 1959\r\n"
    "    Caret.Cursors.InSelCursor = crDefault\r\n"
    "    Caret.Cursors.LeftMarginCursor = 1958\r\n"
    "    Caret.Cursors.TopMarginCursor = crDefault\r\n"
    "    Caret.FreeCaret = True\r\n"
    "    Caret.FreeRow = False\r\n"
    "    Caret.InTab = False\r\n"
    "    Caret.KeepCaret = False\r\n"
    "    Caret.LockScroll = False\r\n"
    "    Caret.NextLine = False\r\n"
    "    Caret.PrevSpaceIndent = False\r\n"
    "    Caret.RowSelect = True\r\n"
    "    Caret.SelDragMode = dmAutomatic\r\n"
    "    Caret.SelMove = True\r\n"
    "    Caret.SoftTab = False\r\n"
    "    Caret.Style = csDefault\r\n"
    "    Caret.TabIndent = False\r\n"
    "    Caret.TabSpaceCount = 8\r\n"
    "    Caret.TokenEndStop = False\r\n"
    "    HitStyle = hsSelect\r\n"
    "    Imagebar.DigitWidth = 8\r\n"
    "    Imagebar.LeftMargin = 2\r\n"
    "    Imagebar.MarkWidth = 0\r\n"
    "    Imagebar.RightMargin = 2\r\n"
    "    Imagebar.Visible = True\r\n"
    "    Marks.EofMark.Color = clSilver\r\n"
    "    Marks.EofMark.Visible = True\r\n"
    "    Marks.RetMark.Color = clGray\r\n"
    "    Marks.RetMark.Visible = True\r\n"
    "    Marks.WrapMark.Color = clGray\r\n"
    "    Marks.WrapMark.Visible = False\r\n"
    "    Marks.HideMark.Color = clGray\r\n"
    "    Marks.HideMark.Visible = False\r\n"
    "    Marks.Underline.Color = clGray\r\n"
    "    Marks.Underline.Visible = True\r\n"
    "    Margin.Character = 0\r\n"
    "    Margin.Left = 19\r\n"
    "    Margin.Line = 0\r\n"
    "    Margin.Top = 2\r\n"
    "    Leftbar.BkColor = clSilver\r\n"
    "    Leftbar.Color = clBlack\r\n"
    "    Leftbar.Column = 4\r\n"
    "    Leftbar.Edge = True\r\n"
    "    Leftbar.LeftMargin = 8\r\n"
    "    Leftbar.RightMargin = 4\r\n"
    "    Leftbar.ShowNumber = True\r\n"
    "    Leftbar.ShowNumberMode = nmRow\r\n"
    "    Leftbar.Visible = True\r\n"
    "    Leftbar.ZeroBase = False\r\n"
    "    Leftbar.ZeroLead = False\r\n"
    "    ReadOnly = False\r\n"
    "    ReserveWordList.Strings = (\r\n"
    "      'total')\r\n"
    "    Ruler.BkColor = clSilver\r\n"
    "    Ruler.Color = clBlack\r\n"
    "    Ruler.Edge = True\r\n"
    "    Ruler.GaugeRange = 10\r\n"
    "    Ruler.MarkColor = clNavy\r\n"
    "    Ruler.Visible = True\r\n"
    "    Speed.CaretVerticalAc = 2\r\n"
    "    Speed.InitBracketsFull = False\r\n"
    "    Speed.PageVerticalRange = 2\r\n"
    "    Speed.PageVerticalRangeAc = 2\r\n"
    "    UndoListMax = 64\r\n"
    "    View.Brackets = <>\r\n"
    "    View.Colors.Ank.BkColor = clNone\r\n"
    "    View.Colors.Ank.Color = clNone\r\n"
    "    View.Colors.Ank.Style = []\r\n"
    "    View.Colors.Comment.BkColor = clNone\r\n"
    "    View.Colors.Comment.Color = clBlack\r\n"
    "    View.Colors.Comment.Style = []\r\n"
    "    View.Colors.DBCS.BkColor = clNone\r\n"
    "    View.Colors.DBCS.Color = clNone\r\n"
    "    View.Colors.DBCS.Style = []\r\n"
    "    View.Colors.Hit.BkColor = clNone\r\n"
    "    View.Colors.Hit.Color = clNone\r\n"
    "    View.Colors.Hit.Style = []\r\n"
    "    View.Colors.Int.BkColor = clNone\r\n"
    "    View.Colors.Int.Color = clBlue\r\n"
    "    View.Colors.Int.Style = []\r\n"
    "    View.Colors.Mail.BkColor = clNone\r\n"
    "    View.Colors.Mail.Color = clNone\r\n"
    "    View.Colors.Mail.Style = []\r\n"
    "    View.Colors.Reserve.BkColor = clNone\r\n"
    "    View.Colors.Reserve.Color = clBlue\r\n"
    "    View.Colors.Reserve.Style = []\r\n"
    "    View.Colors.Select.BkColor = clNavy\r\n"
    "    View.Colors.Select.Color = clWhite\r\n"
    "    View.Colors.Select.Style = []\r\n"
    "    View.Colors.Str.BkColor = clNone\r\n"
    "    View.Colors.Str.Color = clNone\r\n"
    "    View.Colors.Str.Style = []\r\n"
    "    View.Colors.Symbol.BkColor = clNone\r\n"
    "    View.Colors.Symbol.Color = clNone\r\n"
    "    View.Colors.Symbol.Style = []\r\n"
    "    View.Colors.Url.BkColor = clNone\r\n"
    "    View.Colors.Url.Color = clNone\r\n"
    "    View.Colors.Url.Style = []\r\n"
    "    View.Commenter = '//'\r\n"
    "    View.ControlCode = False\r\n"
    "    View.Mail = False\r\n"
    "    View.Quotation = '\"'\r\n"
    "    View.Url = False\r\n"
    "    WantReturns = True\r\n"
    "    WantTabs = True\r\n"
    "    WordWrap = False\r\n"
    "    WrapOption.FollowRetMark = False\r\n"
    "    WrapOption.FollowPunctuation = False\r\n"
    // '、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ'
    "    WrapOption.FollowStr = '\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81H\x81I\x81J\x81K\x81R\x81S\x81T\x81U"
    "\x81X\x81[\x81j\x81n\x81p\x81v\x81x!),.:;?]}\xa1\xa3\xa4\xa5\xb0\xde\xdf'\r\n"
    "    WrapOption.Leading = False\r\n"
    // '（［｛「『([{｢'
    "    WrapOption.LeadStr = '\x81i\x81m\x81o\x81u\x81w([{\xa2'\r\n"
    // '、。，．,.｡､'
    "    WrapOption.PunctuationStr = '\x81\x41\x81\x42\x81\x43\x81\x44,.\xa1\xa4'\r\n"
    "    WrapOption.WordBreak = False\r\n"
    "    WrapOption.WrapByte = 80\r\n"
    "  end\r\n"
    "  object OpenDialog1: TOpenDialog\r\n"
    "    Filter = 'mqo|*.mqo;*.mqoz'\r\n"
    "  end\r\n"
    "  object Reg1: TRegManager\r\n"
    "    RegItems = <\r\n"
    "      item\r\n"
    "        Name = 'FolderName'\r\n"
    "        Section = 'FolderName'\r\n"
    "        Ident = 'FolderName'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'SortMode'\r\n"
    "        Section = 'SortMode'\r\n"
    "        Ident = 'SortMode'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Details'\r\n"
    "        Section = 'Details'\r\n"
    "        Ident = 'Details'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Budget'\r\n"
    "        Section = 'Budget'\r\n"
    "        Ident = 'Budget'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Left'\r\n"
    "        Section = 'Window'\r\n"
    "        Ident = 'Left'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Top'\r\n"
    "        Section = 'Window'\r\n"
    "        Ident = 'Top'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Width'\r\n"
    "        Section = 'Window'\r\n"
    "        Ident = 'Width'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Height'\r\n"
    "        Section = 'Window'\r\n"
    "        Ident = 'Height'\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Name = 'Watch'\r\n"
    "        Section = 'Watch'\r\n"
    "        Ident = 'Watch'\r\n"
    "      end>\r\n"
    "    RegType = rtIni\r\n"
    "  end\r\n"
    "end\r\n";

}  // namespace

void UseToolkitErrorBoxes() { SetErrorBoxHook(&ShowStoreError); }

std::string_view TForm1::Layout() { return kLayout; }

const TClassRegistry& TForm1::Classes() {
  static const TClassRegistry registry = [] {
    TClassRegistry r;
    for (const TClassInfo* info : {TPanel::StaticInfo(), TSpeedButton::StaticInfo(), TRadioGroup::StaticInfo(),
                                   TCheckBox::StaticInfo(), TEditor::StaticInfo(), TOpenDialog::StaticInfo(),
                                   TRegManager::StaticInfo()})
      r.Register(info);
    return r;
  }();
  return registry;
}

const TClassInfo* TForm1::StaticInfo() {
  static const TClassInfo info{"TForm1", TForm::StaticInfo(), {}};
  return &info;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  ReadComponentText(Layout(), *this, Classes());
  Panel1 = Require<TPanel>(this, "Panel1");
  SpeedButton1 = Require<TSpeedButton>(this, "SpeedButton1");
  SpeedButton2 = Require<TSpeedButton>(this, "SpeedButton2");
  SpeedButton3 = Require<TSpeedButton>(this, "SpeedButton3");
  RadioGroup1 = Require<TRadioGroup>(this, "RadioGroup1");
  CheckBox1 = Require<TCheckBox>(this, "CheckBox1");
  CheckBox2 = Require<TCheckBox>(this, "CheckBox2");
  Editor1 = Require<TEditor>(this, "Editor1");
  OpenDialog1 = Require<TOpenDialog>(this, "OpenDialog1");
  Reg1 = Require<TRegManager>(this, "Reg1");
  SetOnShow(TNotifyEvent::Of<&TForm1::FormShow>(this));
  SetOnClose(TCloseEvent::Of<&TForm1::FormClose>(this));
  SpeedButton1->SetOnClick(TNotifyEvent::Of<&TForm1::SpeedButton1Click>(this));
  SpeedButton2->SetOnClick(TNotifyEvent::Of<&TForm1::SpeedButton2Click>(this));
  SpeedButton3->SetOnClick(TNotifyEvent::Of<&TForm1::SpeedButton3Click>(this));
  CheckBox2->SetOnClick(TNotifyEvent::Of<&TForm1::CheckBox2Click>(this));
  Editor1->SetOnMouseWheelDown(TMouseWheelUpDownEvent::Of<&TForm1::Editor1MouseWheelDown>(this));
  Editor1->SetOnMouseWheelUp(TMouseWheelUpDownEvent::Of<&TForm1::Editor1MouseWheelUp>(this));
  DragAcceptFiles(Window(), true);
  // The whole button bar, with the margin it has on its left also on its
  // right, above a few rows of the pane.
  SetMinClientSize(
      {CheckBox1->Left() + CheckBox1->Width() + SpeedButton1->Left(), Panel1->Height() + kMinPaneHeight});
  watch_ = std::make_unique<TReportWatch>(Window());
}

namespace {

// The figures a watched model's next report is compared with; none when the
// statistics cannot read it.
std::optional<TModelStats> FiguresOf(const std::string& path, std::stop_token stop) {
  try {
    return ModelStatsOfFile(path, std::move(stop));
  } catch (const EAbort&) {
    throw;
  } catch (const Exception&) {
    return std::nullopt;
  }
}

// Reports files asked for while another report was read.
constexpr UINT WM_OPENWAITINGFILES = WM_USER + 1;

// While a report is read, the window answers but nothing may change what
// the report's lines will follow: Open and Clear wait, and the pane takes no
// typing. The sort choice and "Details" stay free: they apply to the next
// report. Files asked for meanwhile are reported once it is over.
class TReportRunning {
 public:
  TReportRunning(TForm1& form, bool& running)
      : form_(form), running_(running), readOnly_(form.Editor1->ReadOnly()) {
    running_ = true;
    form_.SpeedButton1->SetEnabled(false);
    form_.SpeedButton2->SetEnabled(false);
    form_.Editor1->SetReadOnly(true);
  }
  TReportRunning(const TReportRunning&) = delete;
  TReportRunning& operator=(const TReportRunning&) = delete;
  ~TReportRunning() {
    form_.Editor1->SetReadOnly(readOnly_);
    form_.SpeedButton2->SetEnabled(true);
    form_.SpeedButton1->SetEnabled(true);
    running_ = false;
    if (!form_.WaitingFiles().empty()) PostMessage(form_.Window(), WM_OPENWAITINGFILES, 0, 0);
  }

 private:
  TForm1& form_;
  bool& running_;
  bool readOnly_;
};

}  // namespace

void TForm1::MakeReport() {
  if (reportRunning_) {
    // Asked for while another is read (a drop): it follows that one.
    waitingFiles_.push_back(fileName_);
    return;
  }
  const std::string path = fileName_;
  const int sortMode = SortMode();
  const bool details = Details();
  const std::optional<TBudget> budget = details ? Budget() : std::nullopt;
  const std::optional<std::string> header = ReportHeader(path);
  if (!header) return;
  // A report longer than the pane shows its header, not only its end; so
  // does one that failed or was stopped part-way.
  const int headerRow = Editor1->Lines()->Count();
  ScopeGuard showHeader([&] {
    if (headerRow < Editor1->TopRow()) Editor1->SetTopRow(headerRow);
  });
  // The header goes in at once and stays when the model turns out bad or the
  // reading is stopped; the rest goes in as one change.
  Editor1->Lines()->Add(*header);
  std::string rest;
  // Watched models are compared with their previous report.
  const bool watching = Watching();
  std::optional<TModelStats> figures;
  {
    TReportRunning running(*this, reportRunning_);
    try {
      rest = ReadWhileAnswering([&](std::stop_token stop) {
        std::string text = details ? StatsPaneRest(path, sortMode, budget, stop) : ReportRest(path, sortMode, stop);
        if (watching) figures = FiguresOf(path, stop);
        return text;
      });
    } catch (const EAbort&) {
      // Stopped by the user: the files waiting are not wanted either.
      waitingFiles_.clear();
      throw;
    } catch (...) {
      // A model that is broken now is still followed: the next save may mend it.
      watch_->Reported(path, std::nullopt);
      throw;
    }
  }
  Editor1->Lines()->AddText(rest);
  std::string changes;
  for (const std::string& line : watch_->Reported(path, figures)) changes.append(line).append("\r\n");
  if (!changes.empty()) Editor1->Lines()->AddText(changes);
  FocusEditor();
}

void TForm1::CheckBox2Click(TObject*) { watch_->SetOn(Watching()); }

void TForm1::FileNotices() {
  const TReportWatch::TRequests requests = watch_->TakeNotices(reportRunning_);
  for (const std::string& line : requests.lines) Editor1->Lines()->Add(line);
  for (const std::string& path : requests.files) {
    // A watched file's troubles are lines in the pane, not error boxes
    // popping up while the modeller works elsewhere.
    try {
      ReportFile(path, false);
    } catch (const EAbort&) {
      return;
    } catch (const Exception& e) {
      Editor1->Lines()->Add("// " + e.Message());
    }
  }
}

void TForm1::ReportFile(const std::string& path, bool silentIfMissing) {
  fileName_ = path;
  if (!FileAge(path)) {
    std::error_code error;
    const bool missing = std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
    if (silentIfMissing && missing) return;
    RaisePathError<EFOpenError>(msg::kFOpenError, path, Utf8ToCp932(UnusablePathText(path)));
  }
  ShowFileInTitle();
  MakeReport();
}

void TForm1::ShowFileInTitle() {
  // The name after the path's last '/', whatever bytes come before it.
  const std::string name = fileName_.substr(fileName_.rfind('/') + 1);
  // " — " (an em dash) in CP932 and in UTF-8.
  SetCaption("corvida \x81\x5c " + EscapedText(name, tcUtf8, tcCp932));
  SetDesktopTitle("corvida \xe2\x80\x94 " + EscapedText(name, tcUtf8, tcUtf8));
}

std::optional<TBudget> TForm1::Budget() const {
  if (budgetName_.empty()) return std::nullopt;
  const std::optional<TBudget> budget =
      FindBudget(BudgetProfiles(TIniFile(SettingsFileName(Application().ExeName())).ReadText()), budgetName_);
  if (!budget) throw EConvertError(Format("unknown budget '%s'", {budgetName_}));
  if (!budget->problem.empty()) throw EConvertError(Format("budget '%s': %s", {budget->name, budget->problem}));
  return budget;
}

void TForm1::LoadSettings() {
  Reg1->SetIniFileName(SettingsFileName(Application().ExeName()));
  OpenDialog1->SetInitialDir(Reg1->Filer("FolderName")->ReadString());
  SetSortMode(Reg1->Filer("SortMode")->ReadInteger());
  CheckBox1->SetChecked(Reg1->Filer("Details")->ReadBool());
  CheckBox2->SetChecked(Reg1->Filer("Watch")->ReadBool());
  watch_->SetOn(Watching());
  budgetName_ = Reg1->Filer("Budget")->ReadString();
  const int width = Reg1->Filer("Width")->ReadInteger();
  const int height = Reg1->Filer("Height")->ReadInteger();
  if (width > 0 && height > 0)
    SetBounds(Reg1->Filer("Left")->ReadInteger(), Reg1->Filer("Top")->ReadInteger(), width, height);
  KeepOnScreen();
}

void TForm1::KeepOnScreen() {
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // The smallest size wins over a smaller screen: the button bar is never cut.
  SetBounds(Left(), Top(), std::min(Width(), screenWidth), std::min(Height(), screenHeight));
  SetBounds(std::clamp(Left(), 0, std::max(0, screenWidth - Width())),
            std::clamp(Top(), 0, std::max(0, screenHeight - Height())), Width(), Height());
}

void TForm1::SaveSettings() {
  const std::string iniFileName = SettingsFileName(Application().ExeName());
  Reg1->SetIniFileName(iniFileName);
  // The user's configuration folder may not exist yet.
  const std::string folder = ExtractFilePath(iniFileName);
  if (!DirectoryExists(folder)) ForceDirectories(folder);
  // The folder keeps its final '/'; the path is the file system's bytes,
  // so the last '/' byte ends it.
  if (!fileName_.empty()) Reg1->Filer("FolderName")->WriteString(fileName_.substr(0, fileName_.rfind('/') + 1));
  Reg1->Filer("SortMode")->WriteInteger(SortMode());
  Reg1->Filer("Details")->WriteBool(Details());
  Reg1->Filer("Watch")->WriteBool(Watching());
  Reg1->Filer("Left")->WriteInteger(Left());
  Reg1->Filer("Top")->WriteInteger(Top());
  Reg1->Filer("Width")->WriteInteger(Width());
  Reg1->Filer("Height")->WriteInteger(Height());
}

bool TForm1::OpenFiles(const std::vector<std::string>& paths) {
  bool all = true;
  for (const std::string& path : paths) {
    try {
      ReportFile(path, false);
    } catch (const EAbort&) {
      // Stopped by the user: the files after it are not wanted either.
      return false;
    } catch (...) {
      all = false;
      Application().HandleException(this);
    }
  }
  return all;
}

void TForm1::FormShow(TObject*) { LoadSettings(); }

void TForm1::FormClose(TObject*, TCloseAction&) {
  if (saveFailed_) return;
  try {
    SaveSettings();
  } catch (...) {
    saveFailed_ = true;
    throw;
  }
}

void TForm1::SpeedButton1Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  ReportFile(OpenDialog1->FileName(), true);
}

bool TForm1::IsShortCut(uint16_t key, TShiftState shift) {
  const TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
  if (mods == ssCtrl && key == 'O') {
    SpeedButton1Click(this);
  } else if (mods == (ssCtrl | ssShift) && key == VK_DELETE) {
    SpeedButton2Click(this);
  } else if (mods == ssCtrl && (key == 'Q' || key == 'W')) {
    SpeedButton3Click(this);
  } else if (mods == ssAlt && (key == 'N' || key == 'A' || key == 'D')) {
    SetSortMode(key == 'N' ? kSortNone : key == 'A' ? kSortAscending : kSortDescending);
  } else {
    return false;
  }
  return true;
}

void TForm1::SpeedButton2Click(TObject*) { Editor1->Lines()->Clear(); }

void TForm1::SpeedButton3Click(TObject*) { Close(); }

void TForm1::Editor1MouseWheelDown(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() + 2); }

void TForm1::Editor1MouseWheelUp(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() - 2); }

void TForm1::WndProc(TMessage& m) {
  if (m.Msg == WM_FILENOTICE) {
    FileNotices();
    return;
  }
  if (m.Msg == WM_OPENWAITINGFILES) {
    OpenFiles(std::exchange(waitingFiles_, {}));
    return;
  }
  if (m.Msg != WM_DROPFILES) {
    TForm::WndProc(m);
    return;
  }
  const HDROP drop = m.WParam;
  const std::vector<std::string> paths = DragQueryFiles(drop);
  DragFinish(drop);
  OpenFiles(paths);
}

}  // namespace corvida
