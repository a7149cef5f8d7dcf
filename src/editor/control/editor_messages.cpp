// The editor's window procedure: its whole message map, in the order of the
// message numbers, one line a message calling the operation of the room that
// answers it. Mouse buttons and moves reach DoMouseDown, DoMouseMove and
// DoMouseUp (editor_mouse.cpp) through the control's own procedure, painting
// reaches Paint (editor_paint.cpp).
#include "editor/control/editor.h"
#include "editor/control/editor_edit_messages.h"

namespace corvida {

void TEditor::WndProc(TMessage& m) {
  if (!HandleAllocated()) return;
  // A drag or a held button swallows keys, characters and other mouse input.
  if (MouseFiltered(m)) return;
  switch (m.Msg) {
    case WM_SIZE: WMSize(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_SETTEXT: WMSetText(*this, m); return;
    case WM_GETTEXT: WMGetText(*this, m); return;
    case WM_GETTEXTLENGTH: WMGetTextLength(*this, m); return;
    case WM_GETDLGCODE: WMGetDlgCode(m); return;
    case EM_GETSEL: EMGetSel(*this, m); return;
    case EM_SETSEL: EMSetSel(*this, m); return;
    case EM_SCROLLCARET: EMScrollCaret(*this, m); return;
    case EM_GETMODIFY: EMGetModify(*this, m); return;
    case EM_SETMODIFY: EMSetModify(*this, m); return;
    case EM_GETLINECOUNT: EMGetLineCount(*this, m); return;
    case EM_LINEINDEX: EMLineIndex(*this, m); return;
    case EM_LINELENGTH: EMLineLength(*this, m); return;
    case EM_REPLACESEL: EMReplaceSel(*this, m); return;
    case EM_GETLINE: EMGetLine(*this, m); return;
    case EM_CANUNDO: EMCanUndo(*this, m); return;
    case EM_UNDO: EMUndo(*this, m); return;
    case EM_LINEFROMCHAR: EMLineFromChar(*this, m); return;
    case EM_EMPTYUNDOBUFFER: EMEmptyUndoBuffer(*this, m); return;
    case EM_GETFIRSTVISIBLELINE: EMGetFirstVisibleLine(*this, m); return;
    case EM_SETREADONLY: EMSetReadOnly(*this, m); return;
    case EM_POSFROMCHAR: EMPosFromChar(*this, m); return;
    case EM_CHARFROMPOS: EMCharFromPos(*this, m); return;
    case WM_KEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_IME_COMPOSITION: WMImeComposition(m); return;
    case WM_HSCROLL: WMHScroll(m); return;
    case WM_VSCROLL: WMVScroll(m); return;
    case WM_IME_NOTIFY: WMImeNotify(m); return;
    case WM_CUT: WMCut(*this, m); return;
    case WM_COPY: WMCopy(*this, m); return;
    case WM_PASTE: WMPaste(*this, m); return;
    case WM_CLEAR: WMClear(*this, m); return;
    default: TCustomControl::WndProc(m); return;
  }
}

}  // namespace corvida
