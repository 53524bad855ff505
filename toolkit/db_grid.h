// A list bound to a table through its data source: one line per visible row of the table, in
// the table's order, with the columns chosen by field name. The selected line is the table's
// current row both ways: selecting a line with the mouse or the keyboard moves the table, and
// the table's movements move the selection. While the source is disabled the list neither
// follows nor moves the table; enabling it shows the table's rows again. The lines cannot be
// edited, inserted or removed through the list.
#pragma once

#include "tables/data_source.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QTableView;
class DataSourceModel;

class DBGrid : public QWidget
{
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;
    DBGrid(const DBGrid&) = delete;
    DBGrid& operator=(const DBGrid&) = delete;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }

    // A column showing the field (named without regard to case) under its title; dates show
    // in the locale's short date format, texts are converted from Windows-1251.
    void addColumn(const std::string& field, const QString& title, int width);
    // A column whose text is computed from the table's visible row (0-based) rather than read
    // from one field; refreshTexts shows its texts anew.
    using RowText = std::function<QString(const Table& table, std::size_t row)>;
    void addColumn(RowText text, const QString& title, int width);
    void refreshTexts();

    // Lets the user select several lines (Ctrl and Shift with the mouse or the arrows); the
    // current line is always among them.
    void allowSeveralLines();
    // The selected lines, ascending (0-based).
    std::vector<int> selectedLines() const;

    // The number of lines shown, the selected line (0-based, −1 when none) and a shown text.
    int lineCount() const;
    int selectedLine() const;
    QString text(int column, int line) const;

    QTableView* view() const { return view_; }

    // Fires on a double-click on a line and on Enter in the list, once the line is selected.
    std::function<void()> onDblClick;

private:
    void tableChanged(TableEvent event);
    void followTable();
    void lineSelected(int line);

    QTableView* view_;
    DataSourceModel* model_;
    DataSource* source_ = nullptr;
    bool following_ = false; // the selection is being moved to the table's current row
};
