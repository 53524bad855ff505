#include "tables/dbf_tail.h"

#include "tables/field_codec.h"
#include "tables/table_error.h"

#include <cstring>

namespace {

bool isWhole(const DbfHeader& header, const std::uint8_t* record)
{
    if (record[0] != dbfLiveRecord && record[0] != dbfDeletedRecord) return false;
    for (const DbfField& field : header.fields)
        if (field.type != 'C' &&
            std::memchr(record + field.offset, 0, static_cast<std::size_t>(field.width)))
            return false;
    return true;
}

} // namespace

DbfTail examineDbfTail(const DbfHeader& header, std::span<const std::uint8_t> file,
                       std::optional<std::size_t> liveField, std::string_view fileName)
{
    const std::uint64_t length = header.recordLength;
    const std::uint64_t rows =
        file.size() > header.headerLength ? file.size() - header.headerLength : 0;
    const auto present = static_cast<std::uint32_t>(rows / length);
    const auto record = [&](std::uint32_t r) {
        return file.data() + header.headerLength + r * length;
    };

    DbfTail tail;
    while (tail.records < present && isWhole(header, record(tail.records)))
        ++tail.records;
    for (std::uint32_t r = tail.records + 1; r < present; ++r) {
        if (!liveField || !isWhole(header, record(r)) || record(r)[0] != dbfLiveRecord) continue;
        const DbfField& field = header.fields[*liveField];
        if (readLogical(
                std::string_view(reinterpret_cast<const char*>(record(r)) + field.offset, 1)))
            throw tableError(fileName, "файл поврежден: запись " +
                                           std::to_string(tail.records + 1) +
                                           " испорчена, а после нее есть действующие записи");
    }
    // After the kept records stands nothing, or the end mark, or what is cut away.
    tail.droppedBytes = rows - tail.records * length;
    if (tail.droppedBytes > 0 && *record(tail.records) == dbfEndOfFile) --tail.droppedBytes;
    tail.mended = tail.droppedBytes > 0 || header.recordCount != tail.records;
    return tail;
}

std::string mendedTableMessage(std::string_view fileName, std::uint32_t countBefore,
                               const DbfTail& tail)
{
    std::string done;
    const auto add = [&](const std::string& part) { done += (done.empty() ? "" : "; ") + part; };
    if (tail.droppedBytes > 0)
        add("отброшены недописанные байты в конце файла: " + std::to_string(tail.droppedBytes));
    if (countBefore != tail.records)
        add("число строк в заголовке исправлено с " + std::to_string(countBefore) + " на " +
            std::to_string(tail.records));
    return "Таблица " + std::string(fileName) +
           " исправлена после прерванной записи (сбой питания или аварийное завершение "
           "программы): " +
           done + ". Сохраненные задачи не затронуты: отброшено только то, что не было дописано.";
}
