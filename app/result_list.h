// The six-column result list: number, name, creation date, file size, file count, magnet link.
// Cells hold UTF-8 for display; the program's texts are converted on the way in.
#pragma once

#include <gtkmm/liststore.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <array>
#include <string>

namespace lunvek {

inline constexpr int result_columns = 6;
inline constexpr int magnet_column = 5;

class ResultList : public Gtk::ScrolledWindow {
  public:
    ResultList();

    Gtk::TreeView& view() { return view_; }

    void clear();
    // Appends a row and returns its 0-based index.
    int append(const std::array<std::string, result_columns>& cells);
    int row_count() const;
    // The selected row's index, -1 when none is selected.
    int selected_row() const;
    void select_row(int row);
    // "" for a row that does not exist (-1 included).
    std::string cell(int row, int column) const;

  private:
    struct Columns : Gtk::TreeModelColumnRecord {
        Columns();
        std::array<Gtk::TreeModelColumn<Glib::ustring>, result_columns> cells;
    };

    Columns columns_;
    Glib::RefPtr<Gtk::ListStore> store_;
    Gtk::TreeView view_;
};

}  // namespace lunvek
