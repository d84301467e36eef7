#include "ui/grid_view.h"

#include "ui/gradient.h"
#include "ui/program_call.h"
#include "ui/qt_text.h"
#include "ui/resources.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace vardo {

namespace {

// Rows kept computed; a screen needs a few dozen.
constexpr size_t kKeptRows = 512;

Qt::Alignment qtAlign(Align align) {
    switch (align) {
    case Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// Column titles on the banded gradient of the message bar.
class GridHeader : public QHeaderView {
public:
    explicit GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        if (!rect.isValid()) return;
        paintGradient(*painter, rect, barGradient());
        painter->save();
        painter->setPen(QColor(160, 170, 195));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(palette().color(QPalette::ButtonText));
        QRect textRect = rect.adjusted(3, 0, -3, 0);
        QString title = model()->headerData(logical, Qt::Horizontal).toString();
        auto align = Qt::Alignment(
            model()->headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        painter->drawText(textRect, int(align),
                          fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
        painter->restore();
    }

    void paintEvent(QPaintEvent* event) override {
        QHeaderView::paintEvent(event);
        int end = length() - offset();
        if (end < viewport()->width()) {
            QPainter painter(viewport());
            paintGradient(painter, QRect(end, 0, viewport()->width() - end, viewport()->height()),
                          barGradient());
        }
    }
};

// Bitmap columns show their bitmap placed as the column aligns it.
class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(const GridModel& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!model_.isBitmapColumn(index.column())) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QPixmap pixmap = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        opt.icon = QIcon();
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        if (pixmap.isNull()) return;
        auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        QRect place = QStyle::alignedRect(opt.direction, align, pixmap.size(), opt.rect);
        painter->drawPixmap(place.topLeft(), pixmap);
    }

private:
    const GridModel& model_;
};

} // namespace

GridModel::GridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    callProgram([&] { rows_ = grid_.source ? grid_.source->rowCount() : 0; });
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.columns.size());
}

bool GridModel::isBitmapColumn(int column) const {
    return column >= 0 && column < columnCount() && grid_.columns[column].bitmap;
}

void GridModel::prefetch(int first, int last) const {
    if (!grid_.source || first < 0) return;
    last = std::min(last, rows_ - 1);
    if (cells_.size() + (last - first + 1) > kKeptRows) cells_.clear();
    GridSource& source = *grid_.source;
    int current = -1;
    bool moved = false;
    callProgram([&] {
        current = source.currentRow();
        for (int row = first; row <= last; ++row) {
            if (cells_.count(row)) continue;
            std::vector<std::string> texts(grid_.columns.size());
            source.goRow(row);
            moved = true;
            for (size_t c = 0; c < texts.size(); ++c)
                if (grid_.columns[c].cell) texts[c] = grid_.columns[c].cell();
            cells_.emplace(row, std::move(texts));
        }
        // Painting must not move the row the program's commands work on.
        if (moved && current >= 0) source.goRow(current);
    });
}

const std::vector<std::string>& GridModel::rowCells(int row) const {
    auto found = cells_.find(row);
    if (found == cells_.end()) {
        prefetch(row, row);
        found = cells_.find(row);
        if (found == cells_.end()) { // the program failed while computing it
            static const std::vector<std::string> none;
            return none;
        }
    }
    return found->second;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const GridColumn& column = grid_.columns[index.column()];
    switch (role) {
    case Qt::TextAlignmentRole:
        return int(qtAlign(column.align));
    case Qt::DisplayRole:
    case Qt::DecorationRole: {
        if (column.bitmap != (role == Qt::DecorationRole)) return {};
        const auto& cells = rowCells(index.row());
        if (static_cast<size_t>(index.column()) >= cells.size()) return {};
        const std::string& text = cells[index.column()];
        if (column.bitmap) return text.empty() ? QVariant() : QVariant(bitmap(text));
        return toQt(text);
    }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return toQt(grid_.columns[section].title);
    if (role == Qt::TextAlignmentRole) return int(qtAlign(grid_.columns[section].align));
    return {};
}

void GridModel::reload() {
    int rows = 0;
    callProgram([&] { rows = grid_.source ? grid_.source->rowCount() : 0; });
    cells_.clear();
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
    } else if (rows_ > 0) {
        // Same rows: keep the view's indexes (a double click spans a redraw).
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
}

GridView::GridView(Grid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this)) {
    setHorizontalHeader(new GridHeader(this));
    setModel(model_);
    setItemDelegate(new GridDelegate(*model_, this));
    // The column widths are pixels sized for a compact sans-serif face: two
    // payment dates must fit their 140 pixels.
    QFont face("Arial");
    face.setPixelSize(12);
    setFont(face);
    horizontalHeader()->setFont(face);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone); // a narrow number column shows its digits, not "..."
    setShowGrid(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(ScrollPerItem);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(fontMetrics().height() + 4, 17));
    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setMinimumSectionSize(0);
    titles->setStretchLastSection(false);
    for (size_t c = 0; c < grid_.columns.size(); ++c)
        titles->resizeSection(static_cast<int>(c), grid_.columns[c].width);

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        int row = index.row(), column = index.column();
        handle([&] {
            grid_.source->goRow(row);
            if (grid_.onClick) grid_.onClick(row, column);
        });
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        int row = index.row(), column = index.column();
        handle([&] {
            grid_.source->goRow(row);
            if (grid_.onDoubleClick) grid_.onDoubleClick(row, column);
        });
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!selecting_ && current.isValid()) goToRow(current.row());
            });
    selectCurrentRow();
}

void GridView::refresh() {
    model_->reload();
    selectCurrentRow();
    viewport()->update();
}

void GridView::handle(const std::function<void()>& handler) {
    if (!grid_.source) return;
    callProgram(handler);
    refresh();
}

void GridView::goToRow(int row) {
    if (grid_.source) callProgram([&] { grid_.source->goRow(row); });
}

void GridView::selectCurrentRow() {
    int row = -1;
    if (grid_.source) callProgram([&] { row = grid_.source->currentRow(); });
    if (row < 0 || row >= model_->rowCount()) return;
    QModelIndex index = model_->index(row, std::max(0, currentIndex().column()));
    selecting_ = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
    selecting_ = false;
}

void GridView::reportNavigation() {
    if (grid_.onKey) handle([&] { grid_.onKey(0); });
}

void GridView::paintEvent(QPaintEvent* event) {
    int first = rowAt(event->rect().top());
    int last = rowAt(event->rect().bottom());
    if (first >= 0) model_->prefetch(first, last < 0 ? model_->rowCount() - 1 : last);
    QTableView::paintEvent(event);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int row = currentIndex().row();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (grid_.onEnter && modifiers == Qt::NoModifier && row >= 0) {
            handle([&] {
                grid_.source->goRow(row);
                grid_.onEnter(row);
            });
            return;
        }
        event->ignore(); // a dialog's default button
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (modifiers == Qt::NoModifier && model_->rowCount() > 0) {
            int target = event->key() == Qt::Key_Home ? 0 : model_->rowCount() - 1;
            setCurrentIndex(model_->index(target, std::max(0, currentIndex().column())));
            reportNavigation();
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (modifiers == Qt::NoModifier) {
            QTableView::keyPressEvent(event);
            reportNavigation();
            return;
        }
        break;
    case Qt::Key_Backspace:
        if (grid_.onKey && modifiers == Qt::NoModifier) {
            handle([&] { grid_.onKey(8); });
            return;
        }
        break;
    default:
        if (grid_.onKey &&
            !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            std::string typed = fromQt(event->text());
            if (typed.size() == 1 && typed[0] >= 32 && typed[0] <= 126) {
                handle([&] { grid_.onKey(typed[0]); });
                return;
            }
        }
    }
    event->ignore(); // the window's accelerators, a dialog's Esc
}

} // namespace vardo
