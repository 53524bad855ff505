#include "tables/table_schema.h"

#include "tables/table_error.h"

#include <algorithm>

namespace {

bool typeFits(FieldKind kind, char type)
{
    switch (kind) {
    case FieldKind::Boolean:
        return type == 'L';
    case FieldKind::String:
        return type == 'C';
    case FieldKind::Date:
        return type == 'D';
    case FieldKind::Integer:
    case FieldKind::Number:
        return type == 'N' || type == 'F';
    }
    return false;
}

std::string expectedType(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Boolean:
        return "логическим (L)";
    case FieldKind::String:
        return "символьным (C)";
    case FieldKind::Date:
        return "датой (D)";
    case FieldKind::Integer:
    case FieldKind::Number:
        return "числовым (N или F)";
    }
    return {};
}

} // namespace

void checkFields(const std::vector<DbfField>& fields, const TableSchema& schema,
                 std::string_view fileName)
{
    for (const FieldSpec& spec : schema) {
        const auto found = std::find_if(fields.begin(), fields.end(),
                                        [&](const DbfField& f) { return f.name == spec.name; });
        if (found == fields.end())
            throw tableError(fileName, "поля таблицы не те, что нужны: нет поля " + spec.name);
        if (!typeFits(spec.kind, found->type))
            throw tableError(fileName, "поля таблицы не те, что нужны: поле " + spec.name +
                                           " должно быть " + expectedType(spec.kind) +
                                           ", а не типа " + std::string(1, found->type));
    }
    for (const DbfField& field : fields) {
        const auto listed = std::find_if(schema.begin(), schema.end(),
                                         [&](const FieldSpec& s) { return s.name == field.name; });
        if (listed == schema.end())
            throw tableError(fileName, "поля таблицы не те, что нужны: лишнее поле «" +
                                           printableBytes(field.name) + "»");
    }
}

std::vector<DbfField> newTableFields(const TableSchema& schema)
{
    std::vector<DbfField> fields;
    for (const FieldSpec& spec : schema) {
        DbfField field;
        field.name = spec.name;
        switch (spec.kind) {
        case FieldKind::Boolean:
            field.type = 'L';
            field.width = 1;
            break;
        case FieldKind::String:
            field.type = 'C';
            field.width = spec.width;
            break;
        case FieldKind::Date:
            field.type = 'D';
            field.width = 8;
            break;
        case FieldKind::Integer:
        case FieldKind::Number:
            field.type = 'N';
            field.width = spec.width;
            field.decimals = spec.decimals;
            break;
        }
        fields.push_back(field);
    }
    return fields;
}
