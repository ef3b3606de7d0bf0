#include "app/result_list.h"

namespace lunvek {

namespace {

struct ColumnLayout {
    const char* title;
    int width;
};

constexpr std::array<ColumnLayout, result_columns> layout{{
    {"序号", 50},
    {"名称", 200},
    {"创建日期", 100},
    {"文件大小", 100},
    {"文件数量", 100},
    {"磁力链", 313},
}};

}  // namespace

ResultList::Columns::Columns() {
    for (auto& column : cells) {
        add(column);
    }
}

ResultList::ResultList() : store_(Gtk::ListStore::create(columns_)), view_(store_) {
    set_shadow_type(Gtk::SHADOW_IN);
    set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    for (int i = 0; i < result_columns; ++i) {
        view_.append_column(layout[i].title, columns_.cells[i]);
        Gtk::TreeViewColumn* column = view_.get_column(i);
        column->set_sizing(Gtk::TREE_VIEW_COLUMN_FIXED);
        column->set_fixed_width(layout[i].width);
        column->set_resizable(true);
        column->set_reorderable(false);
        column->set_clickable(true);  // a header button, but the list never sorts itself
        column->set_alignment(0.0);
    }
    view_.set_headers_visible(true);
    view_.set_grid_lines(Gtk::TREE_VIEW_GRID_LINES_BOTH);
    view_.set_fixed_height_mode(true);
    view_.set_enable_search(false);
    view_.set_reorderable(false);
    view_.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    add(view_);
}

void ResultList::clear() {
    store_->clear();
}

int ResultList::append(const std::array<std::string, result_columns>& cells) {
    auto row = *store_->append();
    for (int i = 0; i < result_columns; ++i) {
        row.set_value(columns_.cells[i], Glib::ustring(cells[i]));
    }
    return row_count() - 1;
}

int ResultList::row_count() const {
    return static_cast<int>(store_->children().size());
}

int ResultList::selected_row() const {
    auto selected = const_cast<Gtk::TreeView&>(view_).get_selection()->get_selected();
    if (!selected) {
        return -1;
    }
    return store_->get_path(selected)[0];
}

void ResultList::select_row(int row) {
    if (row < 0 || row >= row_count()) {
        view_.get_selection()->unselect_all();
        return;
    }
    view_.get_selection()->select(Gtk::TreePath(std::to_string(row)));
}

std::string ResultList::cell(int row, int column) const {
    if (row < 0 || row >= row_count() || column < 0 || column >= result_columns) {
        return {};
    }
    auto iter = store_->children()[row];
    Glib::ustring value;
    iter->get_value(column, value);
    return value;
}

}  // namespace lunvek
