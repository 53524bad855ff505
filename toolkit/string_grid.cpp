// The fixed row and column are the table's own headers, so they never scroll; the corner
// cell is painted onto the table's corner button.
#include "toolkit/string_grid.h"

#include "toolkit/message.h"
#include "toolkit/qt_text.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

class GridEditorDelegate : public QStyledItemDelegate
{
public:
    explicit GridEditorDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        if (grid_->maxLength_ > 0) editor->setMaxLength(grid_->maxLength_);
        const int col = index.column() + 1;
        const int row = index.row() + 1;
        QObject::connect(
            editor, &QLineEdit::textEdited, editor, [this, editor, col, row](const QString& text) {
                // The handler may show a modal message, and anything may happen
                // in its event loop, the editor's deletion included.
                const QPointer<QLineEdit> alive(editor);
                const bool accepted = grid_->textEdited(col, row, text);
                if (!alive) return;
                const QString held = grid_->cells(col, row);
                if (held == editor->text()) return;
                // A refused keystroke leaves the cursor where it stood before it.
                const int cursor =
                    editor->cursorPosition() - static_cast<int>(text.size() - held.size());
                editor->setText(held);
                if (!accepted)
                    editor->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(held.size())));
            });
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // A message box taking the activation is no reason to end the edit: the user goes on
        // typing in the same cell once it is answered.
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason)
            return false;
        if (event->type() == QEvent::KeyPress) {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            // Several lines pasted into a cell fill the cells below it, through the grid.
            if (keyEvent->matches(QKeySequence::Paste) && grid_->pastes() &&
                QGuiApplication::clipboard()->text().contains('\n')) {
                auto* editor = static_cast<QWidget*>(object);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                grid_->pasteClipboard();
                return true;
            }
            const int key = keyEvent->key();
            // Enter commits the edit and goes on to the next row, as in a spreadsheet.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto* editor = static_cast<QWidget*>(object);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                grid_->moveDown();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    StringGrid* grid_;
};

// A typed key never jumps to a cell whose text starts with it: a key either goes into the
// editor of the current cell or does nothing. Enter goes down a row, ↓ on the last row goes on
// into the grid that continues this one, and Delete empties a cell of an editable grid.
class GridTable : public QTableWidget
{
public:
    explicit GridTable(StringGrid* grid) : QTableWidget(grid), grid_(grid) {}
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            grid_->copySelection();
            return;
        }
        if (event->matches(QKeySequence::Paste) && grid_->pastes()) {
            grid_->pasteClipboard();
            return;
        }
        const bool plain =
            event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
        if (plain && grid_->editing()) {
            switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                grid_->moveDown();
                return;
            case Qt::Key_Delete:
                grid_->clearCurrentCell();
                return;
            }
        }
        if (plain && event->key() == Qt::Key_Down && currentRow() == rowCount() - 1 &&
            grid_->continuation_) {
            grid_->moveDown();
            return;
        }
        if (plain && event->key() == Qt::Key_Up && currentRow() == 0 && grid_->previous_) {
            StringGrid* previous = grid_->previous_;
            previous->setCurrentCell(grid_->col(), previous->rowCount() - 1);
            previous->table()->setFocus();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

private:
    StringGrid* grid_;
};

namespace {

// Paints the corner cell's text the way the header sections are painted.
class CornerPainter : public QObject
{
public:
    CornerPainter(QObject* parent, const QString* text) : QObject(parent), text_(text) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint) return false;
        auto* button = static_cast<QWidget*>(watched);
        QPainter painter(button);
        QStyleOptionHeader option;
        option.initFrom(button);
        option.rect = button->rect();
        option.text = *text_;
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.state |= QStyle::State_Enabled;
        button->style()->drawControl(QStyle::CE_Header, &option, &painter, button);
        return true;
    }

private:
    const QString* text_;
};

} // namespace

StringGrid::StringGrid(QWidget* parent) : QWidget(parent), table_(new GridTable(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    table_->setItemDelegate(new GridEditorDelegate(this));
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(table_, &QWidget::customContextMenuRequested, this,
                     [this](const QPoint& at) { showContextMenu(at); });
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table_->verticalHeader()->setFixedWidth(cornerWidth_);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setMinimumSectionSize(8);
    table_->setCornerButtonEnabled(false);
    if (auto* corner = table_->findChild<QAbstractButton*>())
        corner->installEventFilter(new CornerPainter(this, &cornerText_));
    QObject::connect(table_, &QTableWidget::currentCellChanged, this,
                     [this](int currentRow, int currentColumn, int, int) {
                         if (currentRow < 0 || currentColumn < 0 || !onSelectCell) return;
                         guarded([&] { onSelectCell(currentColumn + 1, currentRow + 1); });
                     });
}

int StringGrid::colCount() const
{
    return table_->columnCount() + 1;
}

void StringGrid::setColCount(int count)
{
    table_->setColumnCount(std::max(count, 1) - 1);
}

int StringGrid::rowCount() const
{
    return table_->rowCount() + 1;
}

void StringGrid::setRowCount(int count)
{
    table_->setRowCount(std::max(count, 1) - 1);
}

void StringGrid::setColWidth(int col, int width)
{
    if (col == 0) {
        cornerWidth_ = width;
        table_->verticalHeader()->setFixedWidth(width);
    } else {
        table_->setColumnWidth(col - 1, width);
    }
}

int StringGrid::colWidth(int col) const
{
    return col == 0 ? cornerWidth_ : table_->columnWidth(col - 1);
}

QTableWidgetItem* StringGrid::itemAt(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount())
        throw std::out_of_range("Ячейка таблицы вне её границ");
    if (row == 0) return table_->horizontalHeaderItem(col - 1);
    if (col == 0) return table_->verticalHeaderItem(row - 1);
    return table_->item(row - 1, col - 1);
}

QString StringGrid::cells(int col, int row) const
{
    if (col == 0 && row == 0) return cornerText_;
    const QTableWidgetItem* item = itemAt(col, row);
    return item ? item->text() : QString();
}

void StringGrid::setCells(int col, int row, const QString& text)
{
    if (col == 0 && row == 0) {
        cornerText_ = text;
        table_->update();
        return;
    }
    if (QTableWidgetItem* item = itemAt(col, row)) {
        item->setText(text);
        return;
    }
    if (row == 0) {
        table_->setHorizontalHeaderItem(col - 1, new QTableWidgetItem(text));
    } else if (col == 0) {
        table_->setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    } else {
        table_->setItem(row - 1, col - 1, new QTableWidgetItem(text));
    }
}

Cp1251Text StringGrid::cp1251Cell(int col, int row) const
{
    return encodeCp1251(cells(col, row)).checked();
}

void StringGrid::setCp1251Cell(int col, int row, const Cp1251Text& text)
{
    setCells(col, row, toQString(text));
}

void StringGrid::setCurrentCell(int col, int row)
{
    table_->setCurrentCell(row - 1, col - 1);
}

int StringGrid::col() const
{
    return table_->currentColumn() + 1;
}

int StringGrid::row() const
{
    return table_->currentRow() + 1;
}

void StringGrid::setEditing(bool editing)
{
    table_->setEditTriggers(
        editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                      QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                : QAbstractItemView::NoEditTriggers);
}

bool StringGrid::editing() const
{
    return table_->editTriggers() != QAbstractItemView::NoEditTriggers;
}

void StringGrid::continueInto(StringGrid* next)
{
    continuation_ = next;
    next->previous_ = this;
}

void StringGrid::moveDown()
{
    const int current = row();
    if (current < 1) return;
    if (current + 1 < rowCount()) {
        setCurrentCell(col(), current + 1);
    } else if (continuation_) {
        continuation_->setCurrentCell(col(), 1);
        continuation_->table()->setFocus();
    }
}

void StringGrid::clearCurrentCell()
{
    if (row() < 1 || col() < 1) return;
    textEdited(col(), row(), QString());
}

void StringGrid::copySelection() const
{
    // The rectangle around what is selected, as a spreadsheet copies a range.
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    if (ranges.isEmpty()) return;
    int top = ranges.first().topRow(), bottom = ranges.first().bottomRow();
    int left = ranges.first().leftColumn(), right = ranges.first().rightColumn();
    for (const QTableWidgetSelectionRange& range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList fields;
        for (int c = left; c <= right; ++c)
            fields.push_back(cells(c + 1, r + 1));
        lines.push_back(fields.join('\t'));
    }
    QGuiApplication::clipboard()->setText(lines.join('\n'));
}

bool StringGrid::pastes() const
{
    return onPaste && editing() && row() >= 1 && col() >= 1;
}

void StringGrid::pasteClipboard()
{
    const QString text = QGuiApplication::clipboard()->text();
    guarded([&] { onPaste(col(), row(), text); });
}

void StringGrid::showContextMenu(const QPoint& at)
{
    QMenu menu(this);
    QAction* copy = menu.addAction("Копировать");
    QAction* paste = pastes() ? menu.addAction("Вставить") : nullptr;
    QAction* chosen = menu.exec(table_->viewport()->mapToGlobal(at));
    if (chosen == copy) copySelection();
    if (chosen && chosen == paste) pasteClipboard();
}

bool StringGrid::textEdited(int col, int row, const QString& text)
{
    if (acceptsEdit) {
        bool accepted = false;
        guarded([&] { accepted = acceptsEdit(col, row, text); });
        if (!accepted) return false;
    }
    setCells(col, row, text);
    if (onSetEditText) guarded([&] { onSetEditText(col, row, text); });
    return true;
}
