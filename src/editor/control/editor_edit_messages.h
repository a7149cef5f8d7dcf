#pragma once
// The messages of a plain edit control, so that code written for one can
// read and drive the editor: one handler a message, each answering in
// m.Result. Offsets count the rows joined: each row's bytes, plus 2 after a
// line break; rows are screen rows. A read-only editor refuses every change.
#include "platform/winsys/window.h"

namespace corvida {

class TEditor;

void WMSetText(TEditor& e, TMessage& m);
void WMGetText(TEditor& e, TMessage& m);
void WMGetTextLength(TEditor& e, TMessage& m);
void EMGetSel(TEditor& e, TMessage& m);
void EMSetSel(TEditor& e, TMessage& m);
void EMScrollCaret(TEditor& e, TMessage& m);
void EMGetModify(TEditor& e, TMessage& m);
void EMSetModify(TEditor& e, TMessage& m);
void EMGetLineCount(TEditor& e, TMessage& m);
void EMLineIndex(TEditor& e, TMessage& m);
void EMLineLength(TEditor& e, TMessage& m);
void EMReplaceSel(TEditor& e, TMessage& m);
void EMGetLine(TEditor& e, TMessage& m);
void EMCanUndo(TEditor& e, TMessage& m);
void EMUndo(TEditor& e, TMessage& m);
void EMLineFromChar(TEditor& e, TMessage& m);
void EMEmptyUndoBuffer(TEditor& e, TMessage& m);
void EMGetFirstVisibleLine(TEditor& e, TMessage& m);
void EMSetReadOnly(TEditor& e, TMessage& m);
void EMPosFromChar(TEditor& e, TMessage& m);
void EMCharFromPos(TEditor& e, TMessage& m);
// Without a selection, or with an empty one, the clipboard keeps what the
// user copied.
void WMCut(TEditor& e, TMessage& m);
void WMCopy(TEditor& e, TMessage& m);
void WMPaste(TEditor& e, TMessage& m);
void WMClear(TEditor& e, TMessage& m);

}  // namespace corvida
