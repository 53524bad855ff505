// A table of the archive: a FoxPro DBF file with its structural CDX index (tag INDEX on the
// numeric field INDEX), used through the operations of the program's table component: open
// and close, a filter text with filtering on or off, first, next and end reached over the
// visible rows in ascending INDEX order (equal keys by record number), append, edit, clear
// fields, post, and fields by name.
//
// The rows are held in memory. A post of a new row writes its record and the end mark, then
// the header's record count; a post of a changed row writes only the bytes that changed, so
// that changing one field of one byte (OT) is one write of one byte. An append that fails (a
// full disk) cuts the file back to its rows. sync flushes the posted rows to the disk, and
// close does so too. Every write is made under the file's exclusive table lock (see
// table_file.h): for one post, or from beginWriting to endWriting. The CDX is rewritten as a
// whole (a temporary file flushed and renamed over it) by flushIndex after keys changed, by
// close, and by open when the index is missing or does not match the rows.
//
// Opening mends what an append cut short can leave at the end of the file (dbf_tail.h): the
// records after the last whole one and any stray bytes are cut, the end mark and the record
// count written and the file flushed, and takeRepairMessage says so. A table opened for
// reading keeps the same whole records without writing anything.
#pragma once

#include "platform/cp1251_text.h"
#include "platform/short_date.h"
#include "tables/cdx_format.h"
#include "tables/dbf_format.h"
#include "tables/filter.h"
#include "tables/table_file.h"
#include "tables/table_schema.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class TableState
{
    Browse,
    Edit,  // the current row is being changed
    Insert // a new row, not yet in the file, is being filled
};

// What happened, for the observers of a table (a bound list's data source, the holder that
// rewrites indexes when the program is idle).
enum class TableEvent
{
    Scrolled,    // the current row or the edit state changed
    DataChanged, // a post wrote a row
    Reset        // the table was opened or closed, or its visible rows were chosen anew
};

class Table;

// A field of a row, as fieldByName (the current row) or fieldAt (a visible row) gives it.
// Texts are Windows-1251. A field of no row reads as empty: 0, "", false, the empty date.
class FieldView
{
public:
    // Numbers rounded to the nearest whole number; an empty field gives 0.
    int asInteger() const;
    double asFloat() const;
    // Texts without their trailing spaces; numbers in general decimal form ("12", "12.5");
    // dates in the locale's short date format; logicals "True" or "False"; empty fields "".
    Cp1251Text asString() const;
    bool asBoolean() const;      // logical fields only
    CalendarDate asDate() const; // date fields only
    bool isNull() const;         // the field is empty (all spaces)
    const DbfField& definition() const;

protected:
    FieldView(const Table& table, std::size_t field, std::optional<std::size_t> row)
        : table_(&table), field_(field), row_(row)
    {
    }
    std::string_view stored() const;
    [[noreturn]] void fail(const std::string& problem) const;

    const Table* table_;
    std::size_t field_;
    std::optional<std::size_t> row_; // a visible row, or the current row when empty

    friend class Table;
};

// A field of the current row that is written while the table is in edit or insert mode.
class Field : public FieldView
{
public:
    void setAsInteger(int value) const; // into a numeric or text field
    void setAsFloat(double value) const;
    // Into a date field the text is read in the locale's short date format; into a numeric
    // field as a number; into a logical field as T/F/True/False/Y/N; "" empties the field.
    void setAsString(const Cp1251Text& text) const;
    void setAsBoolean(bool value) const;
    void setAsDate(const CalendarDate& date) const;
    void clear() const;

private:
    Field(Table& table, std::size_t field) : FieldView(table, field, std::nullopt), owner_(&table)
    {
    }
    void store(const std::string& bytes) const;

    Table* owner_;

    friend class Table;
};

class Table
{
public:
    // fileName: a bare name in the working folder ("SPISOK" or "ALLEL.DBF"), or a path;
    // ".DBF" is added when it has no extension. Messages name the file without its folder.
    // The schema must hold a numeric field INDEX.
    Table(std::string fileName, TableSchema schema);
    ~Table(); // closes the table; an error at that point is dropped
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& fileName() const { return fileName_; } // "SPISOK.DBF"

    // Opens the table for writing: a missing file is created empty with the schema's fields;
    // a file that another program writes, or that is damaged other than by an interrupted
    // append, or whose fields differ from the schema, throws TableError and is left as it was.
    // An interrupted append is mended. A missing or stale CDX is rewritten. The current row is
    // the first visible row. Opening an open table does nothing.
    void open();
    // Opens the table for reading only, under the shared table lock until close: a missing
    // file throws, nothing is ever written (the CDX is not read), and a post throws.
    void openForReading();
    bool readOnly() const { return readOnly_; }
    // The message of the last opening that mended the file, once; nothing when none did.
    std::optional<std::string> takeRepairMessage() { return std::exchange(repairMessage_, {}); }
    // Posts a changed row, rewrites a stale CDX, flushes the file to the disk and releases
    // the files. Closing a closed table does nothing.
    void close();
    bool active() const { return file_.isOpen(); }

    // The filter keeps the filter text and filtering state across close and open. Setting
    // either moves the current row to the first visible row.
    void setFilter(std::string_view text);
    const std::string& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    void first();
    void next();
    // True after stepping past the last visible row, and at once when no row is visible.
    bool eof() const { return !active() || eof_; }
    bool isEmpty() const { return !active() || visible_.empty(); }

    // A new blank row (not yet in the file) in insert mode.
    void append();
    // Edit mode for the current row; a row in insert mode stays so; with no visible row, a
    // new blank row in insert mode.
    void edit();
    void clearFields();
    // Writes the row being edited or inserted; the current row follows it, or moves to the
    // next visible row when it no longer passes the filter.
    void post();
    // Drops the row being edited or inserted without writing it.
    void cancel();
    TableState state() const { return state_; }

    // A field of the current row, named without regard to case. Throws for an unknown name.
    Field fieldByName(std::string_view name);
    FieldView fieldByName(std::string_view name) const;

    // Holds the exclusive table lock across many posts and syncs (nested calls are counted),
    // so that a reader sees none of them or all. Throws TableError when a reader keeps the
    // table longer than the lock's patience.
    void beginWriting();
    void endWriting();

    // Rewrites the CDX when rows were added or keys changed since it was last written.
    void flushIndex();
    // Flushes the rows posted since the last sync to the disk (fsync); throws TableError when
    // the flush fails, as a failed write. Does nothing on a closed table.
    void sync();
    bool indexPending() const { return indexPending_; }

    // The visible rows by position (0-based), for a bound list.
    std::size_t rowCount() const { return active() ? visible_.size() : 0; }
    std::optional<std::size_t> currentRow() const;
    void moveTo(std::size_t row);
    FieldView fieldAt(std::size_t row, std::string_view name) const;

    // Rows by their record number in the file (0-based), which no filter or key changes: the
    // record of a visible row, of the current row, and the move to a visible record.
    std::uint32_t recordAt(std::size_t row) const;
    std::uint32_t currentRecord() const;
    void goToRecord(std::uint32_t record);

    int addObserver(std::function<void(TableEvent)> observer);
    void removeObserver(int id);

private:
    friend class FieldView;
    friend class Field;

    void openAs(TableAccess access);
    void mend(TableFile& file, std::vector<std::uint8_t>& bytes, DbfHeader& header,
              std::uint32_t records);
    void release();
    void cutBackTo(std::uint64_t end);
    void requireWritable() const;
    CdxEntry indexEntry(std::size_t i) const; // entry i of the index, order_ being sorted
    void requireActive() const;
    void requireEditing() const;
    std::size_t fieldIndex(std::string_view name) const;
    std::vector<std::size_t> filterFieldsOf(const Filter& filter,
                                            const std::vector<DbfField>& fields) const;
    const std::uint8_t* record(std::uint32_t r) const;
    const std::uint8_t* rowBytes(std::optional<std::size_t> row) const;
    std::uint64_t keyOf(const std::uint8_t* bytes) const;
    bool less(std::uint32_t a, std::uint32_t b) const;
    bool isVisible(std::uint32_t r) const;
    void markMoved(std::uint32_t r);
    void sortOrder();
    void chooseVisibleRows();
    void postOrCancel();
    void notify(TableEvent event);

    std::string path_;
    std::string fileName_;
    TableSchema schema_;
    std::string filterText_;
    Filter filter_;
    bool filtered_ = false;

    TableFile file_;
    std::string cdxPath_;
    DbfHeader header_;
    DbfPrefix prefix_{};
    std::vector<std::uint8_t> records_;
    std::vector<std::uint64_t> keys_;  // CDX key of each record's INDEX
    std::vector<std::uint32_t> order_; // every record by key and number, but for moved_
    std::vector<std::uint32_t> moved_; // records added or re-keyed since order_ was sorted
    std::vector<bool> isMoved_;
    std::vector<std::uint32_t> visible_; // the visible rows in order
    std::size_t keyField_ = 0;
    std::vector<std::size_t> filterFields_;
    std::size_t position_ = 0;
    bool eof_ = true;

    TableState state_ = TableState::Browse;
    std::vector<std::uint8_t> buffer_; // the row being edited or inserted
    std::uint32_t editRecord_ = 0;
    bool modified_ = false;
    bool indexPending_ = false;
    bool readOnly_ = false;
    int writingDepth_ = 0;
    std::optional<std::string> repairMessage_;

    std::vector<std::pair<int, std::function<void(TableEvent)>>> observers_;
    int nextObserverId_ = 0;
};

// The exclusive table lock of a table (beginWriting … endWriting) for the life of an instance.
class TableWriting
{
public:
    explicit TableWriting(Table& table) : table_(table) { table_.beginWriting(); }
    ~TableWriting() { table_.endWriting(); }
    TableWriting(const TableWriting&) = delete;
    TableWriting& operator=(const TableWriting&) = delete;

private:
    Table& table_;
};
