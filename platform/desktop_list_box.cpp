#include "platform/desktop_list_box.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "platform/desktop_widgets.h"

namespace weft_desktop {

ColumnListBox::ColumnListBox(int x, int y, int width, int height) : Fl_Group(x, y, width, height) {
  box(FL_DOWN_BOX);
  color(FL_BACKGROUND2_COLOR);
  scrollBar_ = new Fl_Scrollbar(0, 0, 1, 1);
  scrollBar_->type(FL_HORIZONTAL);
  scrollBar_->linesize(1);
  scrollBar_->clear_visible_focus();  // Tab reaches the list, not its scroll bar
  scrollBar_->callback(OnScroll, this);
  end();
  resize(x, y, width, height);
}

void ColumnListBox::Add(const char* text) {
  entries_.push_back(text ? text : "");
  selected_.push_back(0);
  UpdateScrollBar();
  redraw();
}

void ColumnListBox::SetSelected(int index, bool selected) {
  if (index < 0 || index >= Count()) return;
  selected_[index] = selected;
  redraw();
}

void ColumnListBox::SetColumnWidth(int width) {
  columnWidth_ = width > 0 ? width : 0;
  UpdateScrollBar();
  redraw();
}

int ColumnListBox::ItemHeight() const {
  fl_font(kDialogFont, DialogFontSize());
  return fl_height();
}

int ColumnListBox::InnerX() const { return x() + Fl::box_dx(box()); }
int ColumnListBox::InnerY() const { return y() + Fl::box_dy(box()); }
int ColumnListBox::InnerWidth() const { return w() - Fl::box_dw(box()); }
int ColumnListBox::InnerHeight() const { return h() - Fl::box_dh(box()) - Fl::scrollbar_size(); }

int ColumnListBox::Rows() const {
  int rows = InnerHeight() / ItemHeight();
  return rows > 0 ? rows : 1;
}

int ColumnListBox::Columns() const { return (Count() + Rows() - 1) / Rows(); }

int ColumnListBox::ColumnWidth() const { return columnWidth_ ? columnWidth_ : InnerWidth(); }

int ColumnListBox::FullyVisibleColumns() const {
  int columns = InnerWidth() / ColumnWidth();
  return columns > 0 ? columns : 1;
}

void ColumnListBox::UpdateScrollBar() {
  int hidden = Columns() - FullyVisibleColumns();
  if (firstColumn_ > hidden) firstColumn_ = hidden > 0 ? hidden : 0;
  scrollBar_->value(firstColumn_, FullyVisibleColumns(), 0, Columns() > 0 ? Columns() : 1);
  if (hidden > 0) scrollBar_->activate();
  else scrollBar_->deactivate();
}

void ColumnListBox::resize(int x, int y, int width, int height) {
  Fl_Widget::resize(x, y, width, height);
  scrollBar_->resize(InnerX(), InnerY() + InnerHeight(), InnerWidth(), Fl::scrollbar_size());
  UpdateScrollBar();
}

int ColumnListBox::EntryAt(int x, int y) const {
  if (x < InnerX() || y < InnerY() || x >= InnerX() + InnerWidth() || y >= InnerY() + InnerHeight()) {
    return -1;
  }
  int row = (y - InnerY()) / ItemHeight();
  if (row >= Rows()) return -1;
  int index = (firstColumn_ + (x - InnerX()) / ColumnWidth()) * Rows() + row;
  return index < Count() ? index : -1;
}

bool ColumnListBox::EntryRect(int index, int* x, int* y, int* width, int* height) const {
  if (index < 0 || index >= Count()) return false;
  int column = index / Rows() - firstColumn_;
  if (column < 0) return false;
  *x = InnerX() + column * ColumnWidth();
  *y = InnerY() + (index % Rows()) * ItemHeight();
  *width = ColumnWidth();
  *height = ItemHeight();
  return *x < InnerX() + InnerWidth();
}

void ColumnListBox::ScrollTo(int index) {
  int column = index / Rows();
  if (column < firstColumn_) firstColumn_ = column;
  else if (column >= firstColumn_ + FullyVisibleColumns()) firstColumn_ = column - FullyVisibleColumns() + 1;
  UpdateScrollBar();
}

void ColumnListBox::Click(int index) {
  if (Fl::event_state(FL_SHIFT) && anchor_ >= 0) {
    bool state = Selected(anchor_);
    int from = anchor_ < index ? anchor_ : index, to = anchor_ < index ? index : anchor_;
    for (int i = from; i <= to; ++i) selected_[i] = state;
  } else {
    selected_[index] = !selected_[index];
    anchor_ = index;
  }
  caret_ = index;
  redraw();
  if (onSelectionChange) onSelectionChange();
}

void ColumnListBox::MoveCaret(int index) {
  if (Count() == 0) return;
  caret_ = index < 0 ? 0 : index >= Count() ? Count() - 1 : index;
  ScrollTo(caret_);
  redraw();
}

int ColumnListBox::HandleKey() {
  switch (Fl::event_key()) {
    case FL_Up: MoveCaret(caret_ - 1); return 1;
    case FL_Down: MoveCaret(caret_ + 1); return 1;
    case FL_Left: MoveCaret(caret_ - Rows()); return 1;
    case FL_Right: MoveCaret(caret_ + Rows()); return 1;
    case FL_Home: MoveCaret(0); return 1;
    case FL_End: MoveCaret(Count() - 1); return 1;
    case ' ':
      if (caret_ < Count()) Click(caret_);
      return 1;
  }
  return 0;
}

int ColumnListBox::handle(int event) {
  if (Fl::event_inside(scrollBar_) && (event == FL_PUSH || event == FL_DRAG || event == FL_RELEASE)) {
    return Fl_Group::handle(event);
  }
  switch (event) {
    case FL_PUSH: {
      int index = EntryAt(Fl::event_x(), Fl::event_y());
      if (Fl::event_button() == FL_RIGHT_MOUSE) {
        if (onRightClick) onRightClick(index);
        return 1;
      }
      take_focus();
      if (Fl::event_button() == FL_LEFT_MOUSE && index >= 0) Click(index);
      return 1;
    }
    case FL_ENTER:
    case FL_MOVE:
      if (onPointerOver) onPointerOver(EntryAt(Fl::event_x(), Fl::event_y()));
      return 1;
    case FL_LEAVE:
      if (onPointerOver) onPointerOver(-1);
      return 1;
    case FL_MOUSEWHEEL: {
      int delta = Fl::event_dx() ? Fl::event_dx() : Fl::event_dy();
      firstColumn_ += delta;
      if (firstColumn_ < 0) firstColumn_ = 0;
      UpdateScrollBar();
      redraw();
      return 1;
    }
    case FL_FOCUS:
    case FL_UNFOCUS:
      redraw();
      return 1;
    case FL_KEYBOARD:
      return HandleKey();
  }
  return Fl_Group::handle(event);
}

void ColumnListBox::OnScroll(Fl_Widget*, void* data) {
  auto* list = static_cast<ColumnListBox*>(data);
  list->firstColumn_ = list->scrollBar_->value();
  list->redraw();
}

void ColumnListBox::DrawEntry(int index, int x, int y, int width, int height) {
  bool selected = Selected(index);
  if (selected) {
    fl_color(active_r() ? FL_SELECTION_COLOR : fl_inactive(FL_SELECTION_COLOR));
    fl_rectf(x, y, width, height);
  }
  fl_color(selected ? fl_contrast(FL_FOREGROUND_COLOR, FL_SELECTION_COLOR) : FL_FOREGROUND_COLOR);
  fl_draw(entries_[index].c_str(), x, y, width, height,
          FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP, nullptr, 0);
  if (index == caret_ && Fl::focus() == this) {
    fl_line_style(FL_DOT);
    fl_rect(x, y, width, height);
    fl_line_style(0);
  }
}

void ColumnListBox::draw() {
  draw_box();
  fl_push_clip(InnerX(), InnerY(), InnerWidth(), InnerHeight());
  fl_color(color());
  fl_rectf(InnerX(), InnerY(), InnerWidth(), InnerHeight());
  fl_font(kDialogFont, DialogFontSize());
  for (int index = firstColumn_ * Rows(); index < Count(); ++index) {
    int x, y, width, height;
    if (!EntryRect(index, &x, &y, &width, &height)) break;
    DrawEntry(index, x, y, width, height);
  }
  fl_pop_clip();
  draw_child(*scrollBar_);
}

}  // namespace weft_desktop
