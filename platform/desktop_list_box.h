// The desktop dialogs' list box: entries flow down one column after the
// other, with a horizontal scroll bar when they do not fit; a click (also
// with Ctrl) selects or deselects an entry, Shift+click a range, Space the
// entry with the caret. Shared by the desktop sources only.
#pragma once

#include <FL/Fl_Group.H>
#include <FL/Fl_Scrollbar.H>

#include <functional>
#include <string>
#include <vector>

namespace weft_desktop {

class ColumnListBox : public Fl_Group {
 public:
  ColumnListBox(int x, int y, int width, int height);

  void Add(const char* text);
  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Entry(int index) const { return entries_[index]; }
  bool Selected(int index) const { return selected_[index] != 0; }
  void SetSelected(int index, bool selected);
  void SetColumnWidth(int width);
  int ItemHeight() const;
  // The entry at a point of the window (-1 for none), and an entry's
  // rectangle in window coordinates (false when it is scrolled out of view).
  int EntryAt(int x, int y) const;
  bool EntryRect(int index, int* x, int* y, int* width, int* height) const;

  // The user changed the selection; right-clicked an entry (-1 for none);
  // moved the pointer onto an entry (-1 when off every entry).
  std::function<void()> onSelectionChange;
  std::function<void(int)> onRightClick;
  std::function<void(int)> onPointerOver;

  void resize(int x, int y, int width, int height) override;
  void draw() override;
  int handle(int event) override;

 private:
  int InnerX() const;
  int InnerY() const;
  int InnerWidth() const;
  int InnerHeight() const;
  int Rows() const;
  int Columns() const;
  int ColumnWidth() const;
  int FullyVisibleColumns() const;
  void UpdateScrollBar();
  void ScrollTo(int index);
  void Click(int index);
  void MoveCaret(int index);
  int HandleKey();
  void DrawEntry(int index, int x, int y, int width, int height);
  static void OnScroll(Fl_Widget* widget, void* data);

  std::vector<std::string> entries_;
  std::vector<char> selected_;
  Fl_Scrollbar* scrollBar_;
  int columnWidth_ = 0;  // 0: the whole width
  int firstColumn_ = 0;
  int caret_ = 0;
  int anchor_ = -1;
};

}  // namespace weft_desktop
