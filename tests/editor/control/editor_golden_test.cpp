// Whole editor states against pictures checked by eye once: the report pane
// with its colours and bars, selections, wrapped Japanese text and
// bookmarks. Any change of a pixel fails; see golden.h to renew them.
#include <gtest/gtest.h>

#include "editor/control/editor_fixture.h"
#include "golden.h"

namespace corvida {
namespace {

class TGoldenEditor : public TEditor {
 public:
  using TEditor::TEditor;
  void Select(int row0, int col0, int row1, int col1, bool box) {
    SetSelectionMode(box ? TSelectionMode::Box : TSelectionMode::Normal);
    testing::SelectRange(*this, row0, col0, row1, col1);
  }
};

class EditorGoldenTest : public testing::ToolkitTest {
 protected:
  TGoldenEditor* NewEditor(int top) {
    auto* editor = TEditor::Create<TGoldenEditor>(form.get());
    editor->Font()->SetHeight(-12);
    editor->SetParent(form.get());
    editor->SetBounds(0, top, 240, 110);
    editor->Leftbar()->SetVisible(true);
    editor->Ruler()->SetVisible(true);
    editor->Marks()->EofMark()->SetVisible(true);
    editor->Marks()->RetMark()->SetVisible(true);
    editor->Marks()->WrapMark()->SetVisible(true);
    editor->View()->Colors()->Select()->SetBkColor(clNavy);
    editor->View()->Colors()->Select()->SetColor(clWhite);
    return editor;
  }
  // The framebuffer's pixels under the editors from the first to the last.
  TSurface Picture(TEditor* first, TEditor* last) {
    Run();
    const TPoint a = first->Window()->ClientOffsetInTop();
    const TPoint b = last->Window()->ClientOffsetInTop();
    TSurface picture(first->Width(), b.y - a.y + last->Height());
    TDeviceContext dc(&picture);
    TDeviceContext screen(form->Window()->Framebuffer());
    dc.BitBlt(0, 0, picture.Width(), picture.Height(), screen, a.x, a.y, SRCCOPY);
    return picture;
  }
};

TEST_F(EditorGoldenTest, TheReportPane) {
  TGoldenEditor* editor = NewEditor(0);
  TEditorViewInfo* view = editor->View();
  view->SetCommenter("//");
  view->Colors()->Int()->SetColor(clBlue);
  view->Colors()->Reserve()->SetColor(clBlue);
  TStringList words;
  words.Add("total");
  editor->SetReserveWordList(&words);
  editor->Marks()->Underline()->SetVisible(true);
  form->Show();
  editor->SetFocus();
  editor->Lines()->Add("// /models/cube.mqo");
  editor->Lines()->Add("       6 obj1");
  editor->Lines()->Add("      18 obj2");
  editor->Lines()->Add("      24 total");
  editor->Lines()->Add(std::string(30, '-'));
  editor->SetRowCol(2, 3);
  EXPECT_TRUE(testing::MatchesGolden(Picture(editor, editor), "report_pane"));
}

TEST_F(EditorGoldenTest, ASelectionAndABoxSelection) {
  TGoldenEditor* normal = NewEditor(0);
  TGoldenEditor* box = NewEditor(120);
  const std::string text = "first row\r\nsecond row here\r\nthird\r\nfourth row\r\n";
  normal->Lines()->SetText(text);
  box->Lines()->SetText(text);
  form->Show();
  normal->Select(0, 6, 2, 3, false);
  box->Select(0, 2, 3, 8, true);
  EXPECT_TRUE(testing::MatchesGolden(Picture(normal, box), "selections"));
}

TEST_F(EditorGoldenTest, WrappedJapaneseText) {
  TGoldenEditor* editor = NewEditor(0);
  editor->SetBounds(0, 0, 300, 110);
  editor->WrapOption()->SetWrapByte(32);
  editor->WrapOption()->SetFollowPunctuation(true);
  editor->WrapOption()->SetLeading(true);
  editor->SetWordWrap(true);
  editor->Leftbar()->SetShowNumberMode(nmLine);
  // "日本語の文章を折り返して表示する。句読点は行頭に来ない「括弧」も同じ。"
  // and "右端で、禁則処理が働きます。"
  editor->Lines()->SetText(
      "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\x82\xf0\x90\xdc\x82\xe8\x95\xd4\x82\xb5\x82\xc4\x95\x5c"
      "\x8e\xa6\x82\xb7\x82\xe9\x81\x42\x8b\xe5\x93\xc7\x93\x5f\x82\xcd\x8d\x73\x93\xaa\x82\xc9\x97\x88\x82\xc8"
      "\x82\xa2\x81\x75\x8a\x87\x8c\xca\x81\x76\x82\xe0\x93\xaf\x82\xb6\x81\x42\r\n"
      "\x89\x45\x92\x5b\x82\xc5\x81\x41\x8b\xd6\x91\xa5\x8f\x88\x97\x9d\x82\xaa\x93\xad\x82\xab\x82\xdc\x82\xb7"
      "\x81\x42\r\n");
  form->Show();
  EXPECT_TRUE(testing::MatchesGolden(Picture(editor, editor), "wrapped_japanese"));
}

TEST_F(EditorGoldenTest, Bookmarks) {
  TGoldenEditor* editor = NewEditor(0);
  editor->Imagebar()->SetMarkWidth(11);
  editor->Lines()->SetText("alpha\r\nbeta\r\ngamma\r\ndelta\r\nepsilon\r\n");
  form->Show();
  editor->SetRowMark(0, 1);
  editor->SetRowMark(1, 3);
  editor->SetRowMark(1, 5);
  editor->SetRowMark(1, 11);
  editor->SetRowMark(1, 12);
  editor->SetRowMark(3, 10);
  editor->SetRowMark(4, 15);
  EXPECT_TRUE(testing::MatchesGolden(Picture(editor, editor), "bookmarks"));
}

}  // namespace
}  // namespace corvida
