#pragma once
// A grid over a GridSource: the rows of a table or a list, shown a screenful at
// a time. Cells are computed only for the rows Qt paints, a row at a time in
// column order (a column may rely on what an earlier one computed), and the
// program's current row is put back afterwards.

#include "common/window.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <string>
#include <unordered_map>
#include <vector>

namespace vardo {

class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(Grid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    bool isBitmapColumn(int column) const;
    // Computes the rows first..last that are not known yet.
    void prefetch(int first, int last) const;
    // Forgets every computed cell and reads the row count again.
    void reload();

private:
    const std::vector<std::string>& rowCells(int row) const;

    Grid& grid_;
    int rows_ = 0;
    mutable std::unordered_map<int, std::vector<std::string>> cells_;
};

class GridView : public QTableView {
public:
    GridView(Grid& grid, QWidget* parent = nullptr);

    // Shows the rows as the program now holds them and selects its current row.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs a handler of the grid, then shows what it changed.
    void handle(const std::function<void()>& handler);
    void goToRow(int row);
    void selectCurrentRow();
    void reportNavigation();

    Grid& grid_;
    GridModel* model_;
    bool selecting_ = false;
};

} // namespace vardo
