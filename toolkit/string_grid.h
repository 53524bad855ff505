// A grid of text cells addressed by column and row, with one fixed header row (row 0) and
// one fixed number column (column 0) that stay in place while the rest scrolls. Column and
// row counts include the fixed ones. Cell texts are QStrings as Qt holds them; cp1251Cell()
// and setCp1251Cell() give and take them as the program's Windows-1251 text.
#pragma once

#include "platform/cp1251_text.h"

#include <QWidget>

#include <functional>
#include <string>

class QTableWidget;
class QTableWidgetItem;

class StringGrid : public QWidget
{
public:
    explicit StringGrid(QWidget* parent = nullptr);

    int colCount() const;
    void setColCount(int count);
    int rowCount() const;
    void setRowCount(int count);
    void setColWidth(int col, int width);
    int colWidth(int col) const;

    QString cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);
    // Windows-1251 forms of the same cells. cp1251Cell() throws EncodingError for a
    // character that has no Windows-1251 code.
    Cp1251Text cp1251Cell(int col, int row) const;
    void setCp1251Cell(int col, int row, const Cp1251Text& text);

    // Makes the cell current, as a click on it would.
    void setCurrentCell(int col, int row);
    int col() const;
    int row() const;

    // The longest text the cell editor accepts (0: no limit).
    void setMaxLength(int length) { maxLength_ = length; }

    // Editing switch: when on, a key typed into the current cell opens its editor.
    void setEditing(bool editing);
    bool editing() const;

    // The grid that continues this one below its last row (the second half of a list shown
    // in two grids): ↓ and Enter on the last row go on into its first row, ↑ on its first
    // row comes back.
    void continueInto(StringGrid* next);
    // Makes the cell below the current one current, in the continuing grid past the last row.
    void moveDown();
    // Empties the current cell as an edit would, firing onSetEditText with an empty text.
    void clearCurrentCell();

    // Copies the selected cells to the clipboard as tab-separated lines, as a spreadsheet
    // copies a range.
    void copySelection() const;

    // Fires when the user pastes into an editable grid (Ctrl+V or the context menu) with the
    // clipboard's text, at the current cell; a paste of several lines into an open editor
    // comes here too. Without a handler a paste goes only into an open editor.
    std::function<void(int col, int row, const QString& text)> onPaste;

    // Fires when a cell becomes current (a click, a cursor key, setCurrentCell).
    std::function<void(int col, int row)> onSelectCell;
    // Decides, before the cell takes it, whether an edited text (a keystroke, a paste into the
    // editor, Delete) is accepted. A refused text never reaches the cell: the cell and its
    // editor keep the text they held, and onSetEditText does not fire. Without it every text
    // is accepted.
    std::function<bool(int col, int row, const QString& text)> acceptsEdit;
    // Fires on every change of the edited text, keystroke by keystroke; the cell already
    // holds the new text when it fires.
    std::function<void(int col, int row, const QString& text)> onSetEditText;

    QTableWidget* table() const { return table_; }

private:
    QTableWidgetItem* itemAt(int col, int row) const;
    // Puts an edited text into the cell unless acceptsEdit refuses it; true when it did.
    bool textEdited(int col, int row, const QString& text);
    bool pastes() const;
    void pasteClipboard();
    void showContextMenu(const QPoint& at);

    QTableWidget* table_;
    QString cornerText_;
    int cornerWidth_ = 24;
    int maxLength_ = 0;
    StringGrid* continuation_ = nullptr;
    StringGrid* previous_ = nullptr;
    friend class GridEditorDelegate;
    friend class GridTable;
};
