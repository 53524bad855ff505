#include "toolkit/db_grid.h"

#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

// The visible rows of the source's table as lines. The line count is the one last given to
// the view, so that a view painting while the source is disabled never asks for a row the
// table no longer shows.
class DataSourceModel : public QAbstractTableModel
{
public:
    struct Column
    {
        std::string field;
        QString title;
        DBGrid::RowText text; // computed instead of read from the field when set
    };

    explicit DataSourceModel(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : lines;
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !source || !index.isValid()) return {};
        const Table& table = source->dataSet();
        const auto row = static_cast<std::size_t>(index.row());
        if (row >= table.rowCount()) return {};
        try {
            const Column& column = columns[static_cast<std::size_t>(index.column())];
            if (column.text) return column.text(table, row);
            return toQString(table.fieldAt(row, column.field).asString());
        } catch (const std::exception&) {
            // Painting has no one to report to; a field the table lacks shows empty, and the
            // operation that reads it reports the error.
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
            section >= columnCount())
            return {};
        return columns[static_cast<std::size_t>(section)].title;
    }

    void addColumn(Column column)
    {
        beginResetModel();
        columns.push_back(std::move(column));
        endResetModel();
    }

    // The lines are read anew from the table.
    void reload()
    {
        beginResetModel();
        lines = source ? static_cast<int>(source->dataSet().rowCount()) : 0;
        endResetModel();
    }

    // The texts of the lines shown may have changed, their number has not.
    void refresh()
    {
        if (lines > 0 && columnCount() > 0)
            dataChanged(index(0, 0), index(lines - 1, columnCount() - 1));
    }

    std::vector<Column> columns;
    DataSource* source = nullptr;
    int lines = 0;
};

namespace {

// Typed letters never jump to a line that starts with them; Enter on a selected line acts as
// a double-click on it.
class ListView : public QTableView
{
public:
    explicit ListView(DBGrid* grid) : QTableView(grid), grid_(grid) {}
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (!enter || !grid_->onDblClick) {
            QTableView::keyPressEvent(event);
            return;
        }
        event->accept();
        if (currentIndex().isValid()) guarded(grid_->onDblClick);
    }

private:
    DBGrid* grid_;
};

} // namespace

DBGrid::DBGrid(QWidget* parent)
    : QWidget(parent), view_(new ListView(this)), model_(new DataSourceModel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->verticalHeader()->setVisible(false);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(20);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view_->horizontalHeader()->setHighlightSections(false);
    QObject::connect(view_, &QAbstractItemView::doubleClicked, this,
                     [this](const QModelIndex& index) {
                         if (index.isValid() && onDblClick) guarded(onDblClick);
                     });
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                     [this](const QModelIndex& current) {
                         lineSelected(current.isValid() ? current.row() : -1);
                     });
}

DBGrid::~DBGrid()
{
    if (source_) source_->setListener({});
}

void DBGrid::setDataSource(DataSource* source)
{
    if (source_) source_->setListener({});
    source_ = source;
    model_->source = source;
    if (source_) source_->setListener([this](TableEvent event) { tableChanged(event); });
    model_->reload();
    followTable();
}

void DBGrid::addColumn(const std::string& field, const QString& title, int width)
{
    model_->addColumn({field, title, {}});
    view_->setColumnWidth(model_->columnCount() - 1, width);
    followTable();
}

void DBGrid::addColumn(RowText text, const QString& title, int width)
{
    model_->addColumn({{}, title, std::move(text)});
    view_->setColumnWidth(model_->columnCount() - 1, width);
    followTable();
}

void DBGrid::refreshTexts()
{
    model_->refresh();
}

void DBGrid::allowSeveralLines()
{
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

std::vector<int> DBGrid::selectedLines() const
{
    std::vector<int> lines;
    for (const QModelIndex& row : view_->selectionModel()->selectedRows())
        lines.push_back(row.row());
    std::sort(lines.begin(), lines.end());
    return lines;
}

int DBGrid::lineCount() const
{
    return model_->lines;
}

int DBGrid::selectedLine() const
{
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

QString DBGrid::text(int column, int line) const
{
    return model_->data(model_->index(line, column), Qt::DisplayRole).toString();
}

void DBGrid::tableChanged(TableEvent event)
{
    const auto shown = static_cast<std::size_t>(model_->lines);
    if (event == TableEvent::Reset || shown != source_->dataSet().rowCount())
        model_->reload();
    else if (event == TableEvent::DataChanged)
        model_->refresh();
    followTable();
}

void DBGrid::followTable()
{
    following_ = true;
    const std::optional<std::size_t> current =
        source_ ? source_->dataSet().currentRow() : std::nullopt;
    if (current && *current < static_cast<std::size_t>(model_->lines) &&
        model_->columnCount() > 0) {
        const int column = std::max(view_->currentIndex().column(), 0);
        const QModelIndex index = model_->index(static_cast<int>(*current), column);
        // A line the user selected moves the table here; setting it again would redo the
        // selection and undo a Ctrl-click that added the line to it.
        if (view_->currentIndex().row() != index.row() ||
            view_->selectionModel()->selectedRows().isEmpty())
            view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
        view_->scrollTo(index);
    } else {
        view_->setCurrentIndex(QModelIndex());
        view_->clearSelection();
    }
    following_ = false;
}

void DBGrid::lineSelected(int line)
{
    if (following_ || line < 0 || !source_ || !source_->enabled()) return;
    Table& table = source_->dataSet();
    if (static_cast<std::size_t>(line) >= table.rowCount() ||
        table.currentRow() == static_cast<std::size_t>(line))
        return;
    guarded([&] { table.moveTo(static_cast<std::size_t>(line)); });
}
