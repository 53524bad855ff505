// libFuzzer target over the DBF reader: the header and field descriptors of any bytes, the
// records kept of what an interrupted append may have left, the check of the fields against
// each archive table, and every field of every kept record decoded in every way the engine
// reads it. A damaged file may only end in TableError.
#include "tables/archive_schema.h"
#include "tables/dbf_format.h"
#include "tables/dbf_tail.h"
#include "tables/field_codec.h"
#include "tables/table_error.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DbfHeader header;
    try {
        header = parseDbfLayout({data, size}, "FUZZ.DBF");
        const std::optional<std::size_t> live =
            header.fields.empty() ? std::nullopt : std::optional<std::size_t>(0);
        header.recordCount = examineDbfTail(header, {data, size}, live, "FUZZ.DBF").records;
    } catch (const TableError&) {
        return 0;
    }
    for (const TableSchema* schema : {&spisokSchema(), &allelSchema(), &fenotipSchema()}) {
        try {
            checkFields(header.fields, *schema, "FUZZ.DBF");
        } catch (const TableError&) {
        }
    }
    for (std::uint32_t r = 0; r < header.recordCount; ++r) {
        const std::size_t record = header.headerLength + std::size_t{r} * header.recordLength;
        for (const DbfField& field : header.fields) {
            // Every field lies inside its record, and every record inside the file.
            if (field.offset < 1 || std::size_t(field.offset + field.width) > header.recordLength ||
                record + header.recordLength > size)
                std::abort();
            const std::string_view stored(reinterpret_cast<const char*>(data) + record +
                                              field.offset,
                                          static_cast<std::size_t>(field.width));
            isBlankField(stored);
            readLogical(stored);
            readText(stored);
            if (const auto date = readDate(stored); date && !date->empty() && !isValidDate(*date))
                std::abort();
            if (const auto number = readNumber(stored))
                numberField(*number, field.width, field.decimals);
        }
    }
    return 0;
}
