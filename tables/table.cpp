#include "tables/table.h"

#include "platform/clock.h"
#include "tables/cdx_format.h"
#include "tables/dbf_tail.h"
#include "tables/field_codec.h"
#include "tables/table_error.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr std::size_t maxFilterFields = 32;

// Room kept for appended records (1 MiB, more than a save appends), so the rows rarely move
// in memory while a task is saved.
constexpr std::size_t appendRoom = 1 << 20;

bool sameName(std::string_view a, std::string_view b)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return upper(x) == upper(y); });
}

CalendarDate today()
{
    const LocalDateTime now = currentDateTime();
    return {now.year, now.month, now.day};
}

std::string withExtension(std::string name)
{
    if (std::filesystem::path(name).extension().empty()) name += ".DBF";
    return name;
}

// The field of a header that the schema marks as making a row live.
std::optional<std::size_t> liveFieldOf(const DbfHeader& header, const TableSchema& schema)
{
    for (const FieldSpec& spec : schema)
        if (spec.liveMark)
            for (std::size_t i = 0; i < header.fields.size(); ++i)
                if (header.fields[i].name == spec.name) return i;
    return std::nullopt;
}

} // namespace

Table::Table(std::string fileName, TableSchema schema)
    : path_(withExtension(std::move(fileName))),
      fileName_(std::filesystem::path(path_).filename().string()), schema_(std::move(schema))
{
    const auto key = std::find_if(schema_.begin(), schema_.end(), [](const FieldSpec& f) {
        return f.name == cdxIndexTag &&
               (f.kind == FieldKind::Integer || f.kind == FieldKind::Number);
    });
    if (key == schema_.end())
        throw tableError(fileName_, "в описании таблицы нет числового поля INDEX");
}

Table::~Table()
{
    observers_.clear();
    try {
        close();
    } catch (const TableError&) {
        file_.close();
    }
}

void Table::open()
{
    openAs(TableAccess::write);
}

void Table::openForReading()
{
    openAs(TableAccess::read);
}

void Table::openAs(TableAccess access)
{
    if (active()) return;
    const std::string dbfPath = resolveFileName(path_);
    TableFile file =
        TableFile::open(dbfPath, fileName_, newDbfFile(newTableFields(schema_), today()), access);
    std::vector<std::uint8_t> bytes = file.readAll(appendRoom);
    DbfHeader header = parseDbfLayout(bytes, fileName_);
    checkFields(header.fields, schema_, fileName_);
    const DbfTail tail = examineDbfTail(header, bytes, liveFieldOf(header, schema_), fileName_);
    if (tail.mended && access == TableAccess::write) {
        const std::string message = mendedTableMessage(fileName_, header.recordCount, tail);
        mend(file, bytes, header, tail.records);
        repairMessage_ = message;
    }
    header.recordCount = tail.records;
    std::vector<std::size_t> filterFields = filterFieldsOf(filter_, header.fields);
    std::size_t keyField = 0;
    while (header.fields[keyField].name != cdxIndexTag)
        ++keyField;

    const DbfField& key = header.fields[keyField];
    std::vector<std::uint64_t> keys;
    keys.reserve(header.recordCount + appendRoom / header.recordLength);
    keys.resize(header.recordCount);
    for (std::uint32_t r = 0; r < header.recordCount; ++r) {
        const std::size_t at = header.headerLength + std::size_t{r} * header.recordLength;
        const std::string_view stored(reinterpret_cast<const char*>(bytes.data()) + at + key.offset,
                                      static_cast<std::size_t>(key.width));
        const std::optional<double> value = readNumber(stored);
        if (!value)
            throw tableError(fileName_, "файл поврежден: в записи " + std::to_string(r + 1) +
                                            " поле INDEX содержит не число");
        keys[r] = numericIndexKey(*value);
    }

    std::copy_n(bytes.begin(), prefix_.size(), prefix_.begin());
    const std::size_t begin = header.headerLength;
    bytes.resize(begin + std::size_t{header.recordCount} * header.recordLength);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(begin));
    header_ = std::move(header);
    records_ = std::move(bytes);
    keys_ = std::move(keys);
    keyField_ = keyField;
    filterFields_ = std::move(filterFields);
    order_.clear();
    moved_.resize(header_.recordCount);
    for (std::uint32_t r = 0; r < header_.recordCount; ++r)
        moved_[r] = r;
    isMoved_.assign(header_.recordCount, true);
    sortOrder();
    state_ = TableState::Browse;
    modified_ = false;
    readOnly_ = access == TableAccess::read;
    writingDepth_ = 0;
    file_ = std::move(file);
    if (readOnly_) {
        indexPending_ = false;
        chooseVisibleRows();
        notify(TableEvent::Reset);
        return;
    }

    cdxPath_ = resolveFileName(std::filesystem::path(dbfPath).replace_extension(".CDX").string());
    const std::optional<std::vector<std::uint8_t>> cdx = readWholeFile(cdxPath_);
    std::size_t matched = 0;
    indexPending_ = !cdx || !walkCdxIndexTag(*cdx, [&](const CdxEntry& entry) {
        if (matched == order_.size() || entry != indexEntry(matched)) return false;
        ++matched;
        return true;
    }) || matched != order_.size();
    try {
        flushIndex();
    } catch (const TableError&) {
        release();
        throw;
    }
    chooseVisibleRows();
    notify(TableEvent::Reset);
}

// Cuts what an interrupted append left after the kept records, writes the end mark after them
// and their count into the header, and flushes the file, all under the exclusive lock. A crash
// in the middle leaves a file that the next opening mends the same way.
void Table::mend(TableFile& file, std::vector<std::uint8_t>& bytes, DbfHeader& header,
                 std::uint32_t records)
{
    const std::uint64_t end = header.headerLength + std::uint64_t{records} * header.recordLength;
    DbfPrefix prefix{};
    std::copy_n(bytes.begin(), prefix.size(), prefix.begin());
    stampDbfPrefix(prefix, records, today());
    file.lockForWriting();
    try {
        if (bytes.size() > end + 1) file.truncate(end + 1);
        const std::uint8_t mark = dbfEndOfFile;
        file.writeAt(end, std::span<const std::uint8_t>(&mark, 1));
        file.writeAt(0, prefix);
        file.sync();
    } catch (const TableError&) {
        file.unlockAfterWriting();
        throw;
    }
    file.unlockAfterWriting();
    std::copy(prefix.begin(), prefix.end(), bytes.begin());
    header.recordCount = records;
}

void Table::close()
{
    if (!active()) return;
    postOrCancel();
    if (!readOnly_) {
        flushIndex();
        file_.sync();
    }
    release();
    notify(TableEvent::Reset);
}

void Table::release()
{
    file_.close();
    records_ = {};
    keys_ = {};
    order_ = {};
    moved_ = {};
    isMoved_ = {};
    visible_ = {};
    eof_ = true;
    state_ = TableState::Browse;
}

void Table::setFilter(std::string_view text)
{
    Filter filter = Filter::parse(text, fileName_);
    if (active()) {
        std::vector<std::size_t> fields = filterFieldsOf(filter, header_.fields);
        postOrCancel();
        if (text != filterText_) {
            filterFields_ = std::move(fields);
            filter_ = std::move(filter);
            filterText_ = text;
            if (filtered_) {
                chooseVisibleRows();
                notify(TableEvent::Reset);
                return;
            }
        }
        first();
        return;
    }
    filter_ = std::move(filter);
    filterText_ = text;
}

void Table::setFiltered(bool on)
{
    if (on == filtered_) return;
    postOrCancel();
    filtered_ = on;
    if (!active()) return;
    chooseVisibleRows();
    notify(TableEvent::Reset);
}

void Table::first()
{
    requireActive();
    postOrCancel();
    position_ = 0;
    eof_ = visible_.empty();
    notify(TableEvent::Scrolled);
}

void Table::next()
{
    requireActive();
    postOrCancel();
    if (position_ + 1 < visible_.size()) {
        ++position_;
        eof_ = false;
    } else {
        eof_ = true;
    }
    notify(TableEvent::Scrolled);
}

void Table::append()
{
    requireActive();
    requireWritable();
    postOrCancel();
    buffer_.assign(header_.recordLength, ' ');
    state_ = TableState::Insert;
    modified_ = false;
    notify(TableEvent::Scrolled);
}

void Table::edit()
{
    requireActive();
    requireWritable();
    if (state_ != TableState::Browse) return;
    if (visible_.empty()) {
        append();
        return;
    }
    editRecord_ = visible_[position_];
    buffer_.assign(record(editRecord_), record(editRecord_) + header_.recordLength);
    state_ = TableState::Edit;
    modified_ = false;
    notify(TableEvent::Scrolled);
}

void Table::clearFields()
{
    requireEditing();
    std::fill(buffer_.begin() + 1, buffer_.end(), ' ');
    modified_ = true;
}

void Table::post()
{
    requireActive();
    if (state_ == TableState::Browse) return;
    const bool inserting = state_ == TableState::Insert;
    const std::uint32_t r = inserting ? header_.recordCount : editRecord_;
    const std::uint64_t offset = header_.headerLength + std::uint64_t{r} * header_.recordLength;
    DbfPrefix prefix = prefix_;
    stampDbfPrefix(prefix, inserting ? r + 1 : header_.recordCount, today());
    const TableWriting writing(*this);
    if (inserting) {
        buffer_.push_back(dbfEndOfFile);
        try {
            file_.writeAt(offset, buffer_);
        } catch (const TableError&) {
            buffer_.pop_back();
            cutBackTo(offset);
            throw;
        }
        buffer_.pop_back();
    } else {
        // Only the bytes that changed, from the first to the last.
        const std::uint8_t* stored = record(r);
        std::size_t first = 0;
        std::size_t last = buffer_.size();
        while (first < last && buffer_[first] == stored[first])
            ++first;
        while (last > first && buffer_[last - 1] == stored[last - 1])
            --last;
        if (first < last)
            file_.writeAt(offset + first,
                          std::span<const std::uint8_t>(buffer_.data() + first, last - first));
    }
    if (prefix != prefix_) file_.writeAt(0, prefix);
    prefix_ = prefix;

    const std::uint64_t key = keyOf(buffer_.data());
    bool keyKept = false;
    if (inserting) {
        records_.insert(records_.end(), buffer_.begin(), buffer_.end());
        keys_.push_back(key);
        isMoved_.push_back(false);
        ++header_.recordCount;
        markMoved(r);
    } else {
        std::copy(buffer_.begin(), buffer_.end(),
                  records_.begin() + static_cast<std::ptrdiff_t>(offset - header_.headerLength));
        keyKept = keys_[r] == key;
        if (!keyKept) {
            keys_[r] = key;
            markMoved(r);
        }
    }
    state_ = TableState::Browse;
    modified_ = false;

    const bool visible = isVisible(r);
    // A row whose new key keeps it between its neighbours stays where it is in the view.
    const bool inPlace = !inserting && visible &&
                         (position_ == 0 || less(visible_[position_ - 1], r)) &&
                         (position_ + 1 >= visible_.size() || less(r, visible_[position_ + 1]));
    if (inserting || !visible || (!keyKept && !inPlace)) {
        if (!inserting) visible_.erase(visible_.begin() + static_cast<std::ptrdiff_t>(position_));
        auto at = std::lower_bound(visible_.begin(), visible_.end(), r,
                                   [this](std::uint32_t a, std::uint32_t b) { return less(a, b); });
        if (visible) at = visible_.insert(at, r);
        position_ = static_cast<std::size_t>(at - visible_.begin());
        if (position_ >= visible_.size() && !visible_.empty()) position_ = visible_.size() - 1;
    }
    eof_ = visible_.empty();
    notify(TableEvent::DataChanged);
}

void Table::cancel()
{
    if (state_ == TableState::Browse) return;
    state_ = TableState::Browse;
    modified_ = false;
    notify(TableEvent::Scrolled);
}

Field Table::fieldByName(std::string_view name)
{
    return Field(*this, fieldIndex(name));
}

FieldView Table::fieldByName(std::string_view name) const
{
    return FieldView(*this, fieldIndex(name), std::nullopt);
}

void Table::flushIndex()
{
    if (!active() || !indexPending_) return;
    sortOrder();
    replaceFile(cdxPath_, buildCdx(order_.size(), [this](std::size_t i) { return indexEntry(i); }),
                fileName_);
    indexPending_ = false;
}

void Table::sync()
{
    if (active() && !readOnly_) file_.sync();
}

void Table::beginWriting()
{
    requireActive();
    requireWritable();
    if (writingDepth_ == 0) file_.lockForWriting();
    ++writingDepth_;
}

void Table::endWriting()
{
    if (writingDepth_ == 0 || --writingDepth_ > 0) return;
    if (active()) file_.unlockAfterWriting();
}

// After an append failed part-way, the file ends again with the end-of-file byte right after
// the last row. The length is first set one byte past the rows, so the byte is written into
// space the file already holds even on a full disk. The append's own error is the one
// reported, so a failure here is dropped: the next opening mends what is left.
void Table::cutBackTo(std::uint64_t end)
{
    try {
        file_.truncate(end + 1);
        const std::uint8_t mark = dbfEndOfFile;
        file_.writeAt(end, std::span<const std::uint8_t>(&mark, 1));
    } catch (const TableError&) {
    }
}

CdxEntry Table::indexEntry(std::size_t i) const
{
    return {keys_[order_[i]], order_[i] + 1};
}

std::optional<std::size_t> Table::currentRow() const
{
    if (!active() || visible_.empty()) return std::nullopt;
    return position_;
}

void Table::moveTo(std::size_t row)
{
    requireActive();
    postOrCancel();
    if (row >= visible_.size())
        throw tableError(fileName_, "строки " + std::to_string(row + 1) + " нет");
    position_ = row;
    eof_ = false;
    notify(TableEvent::Scrolled);
}

std::uint32_t Table::recordAt(std::size_t row) const
{
    requireActive();
    if (row >= visible_.size())
        throw tableError(fileName_, "строки " + std::to_string(row + 1) + " нет");
    return visible_[row];
}

std::uint32_t Table::currentRecord() const
{
    requireActive();
    if (state_ == TableState::Edit) return editRecord_;
    if (state_ == TableState::Insert || visible_.empty())
        throw tableError(fileName_, "текущей строки нет");
    return visible_[position_];
}

void Table::goToRecord(std::uint32_t r)
{
    requireActive();
    postOrCancel();
    const auto at =
        std::lower_bound(visible_.begin(), visible_.end(), r,
                         [this](std::uint32_t a, std::uint32_t b) { return less(a, b); });
    if (at == visible_.end() || *at != r)
        throw tableError(fileName_, "записи " + std::to_string(r + 1) + " среди видимых строк нет");
    position_ = static_cast<std::size_t>(at - visible_.begin());
    eof_ = false;
    notify(TableEvent::Scrolled);
}

FieldView Table::fieldAt(std::size_t row, std::string_view name) const
{
    const std::size_t field = fieldIndex(name);
    if (row >= visible_.size())
        throw tableError(fileName_, "строки " + std::to_string(row + 1) + " нет");
    return FieldView(*this, field, row);
}

int Table::addObserver(std::function<void(TableEvent)> observer)
{
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void Table::removeObserver(int id)
{
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void Table::requireActive() const
{
    if (!active()) throw tableError(fileName_, "таблица закрыта");
}

void Table::requireWritable() const
{
    if (readOnly_) throw tableError(fileName_, "таблица открыта только для чтения");
}

void Table::requireEditing() const
{
    requireActive();
    if (state_ == TableState::Browse)
        throw tableError(fileName_, "строка не в режиме правки или вставки");
}

std::size_t Table::fieldIndex(std::string_view name) const
{
    requireActive();
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
        if (sameName(header_.fields[i].name, name)) return i;
    throw tableError(fileName_, "нет поля «" + printableBytes(name) + "»");
}

std::vector<std::size_t> Table::filterFieldsOf(const Filter& filter,
                                               const std::vector<DbfField>& fields) const
{
    if (filter.fields().size() > maxFilterFields)
        throw tableError(fileName_, "фильтр «" + printableBytes(filterText_) +
                                        "» проверяет слишком много полей");
    std::vector<std::size_t> indexes;
    for (const std::string& name : filter.fields()) {
        const auto found = std::find_if(fields.begin(), fields.end(),
                                        [&](const DbfField& f) { return f.name == name; });
        if (found == fields.end())
            throw tableError(fileName_, "в фильтре поле " + printableBytes(name) +
                                            ", а в таблице такого поля нет");
        if (found->type != 'L')
            throw tableError(fileName_,
                             "в фильтре поле " + printableBytes(name) + ", а оно не логическое");
        indexes.push_back(static_cast<std::size_t>(found - fields.begin()));
    }
    return indexes;
}

const std::uint8_t* Table::record(std::uint32_t r) const
{
    return records_.data() + std::size_t{r} * header_.recordLength;
}

const std::uint8_t* Table::rowBytes(std::optional<std::size_t> row) const
{
    if (!active()) return nullptr;
    if (row) return *row < visible_.size() ? record(visible_[*row]) : nullptr;
    if (state_ != TableState::Browse) return buffer_.data();
    return visible_.empty() ? nullptr : record(visible_[position_]);
}

std::uint64_t Table::keyOf(const std::uint8_t* bytes) const
{
    const DbfField& field = header_.fields[keyField_];
    const std::string_view stored(reinterpret_cast<const char*>(bytes) + field.offset,
                                  static_cast<std::size_t>(field.width));
    return numericIndexKey(readNumber(stored).value_or(0));
}

bool Table::less(std::uint32_t a, std::uint32_t b) const
{
    return keys_[a] < keys_[b] || (keys_[a] == keys_[b] && a < b);
}

bool Table::isVisible(std::uint32_t r) const
{
    const std::uint8_t* bytes = record(r);
    if (bytes[0] == dbfDeletedRecord) return false;
    if (!filtered_ || filter_.keepsAll()) return true;
    std::array<bool, maxFilterFields> values{};
    for (std::size_t i = 0; i < filterFields_.size(); ++i) {
        const DbfField& field = header_.fields[filterFields_[i]];
        values[i] =
            readLogical(std::string_view(reinterpret_cast<const char*>(bytes) + field.offset,
                                         static_cast<std::size_t>(field.width)));
    }
    return filter_.keeps(std::span<const bool>(values.data(), filterFields_.size()));
}

void Table::markMoved(std::uint32_t r)
{
    indexPending_ = true;
    if (isMoved_[r]) return;
    isMoved_[r] = true;
    moved_.push_back(r);
}

// Puts the moved records back into order_: the others keep their order, the moved ones
// are sorted and merged in, so a save touching a few rows costs one pass, not a sort.
void Table::sortOrder()
{
    if (moved_.empty()) return;
    const auto byKey = [this](std::uint32_t a, std::uint32_t b) { return less(a, b); };
    std::vector<std::uint32_t> kept;
    kept.reserve(order_.size());
    for (std::uint32_t r : order_)
        if (!isMoved_[r]) kept.push_back(r);
    std::sort(moved_.begin(), moved_.end(), byKey);
    order_.resize(kept.size() + moved_.size());
    std::merge(kept.begin(), kept.end(), moved_.begin(), moved_.end(), order_.begin(), byKey);
    for (std::uint32_t r : moved_)
        isMoved_[r] = false;
    moved_.clear();
}

void Table::chooseVisibleRows()
{
    sortOrder();
    visible_.clear();
    for (std::uint32_t r : order_)
        if (isVisible(r)) visible_.push_back(r);
    position_ = 0;
    eof_ = visible_.empty();
}

// Leaving a row in edit or insert mode (moving, filtering, closing) posts it when a field was
// written and drops it otherwise.
void Table::postOrCancel()
{
    if (state_ == TableState::Browse) return;
    if (modified_) {
        post();
        return;
    }
    state_ = TableState::Browse;
}

void Table::notify(TableEvent event)
{
    for (std::size_t i = 0; i < observers_.size(); ++i)
        observers_[i].second(event);
}
