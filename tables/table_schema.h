// What a table of the program holds: its fields by name and logical kind, with the widths a
// missing table is created with. A table written by other software may order its fields
// differently and give them other widths, but must have exactly these fields.
#pragma once

#include "tables/dbf_format.h"

#include <string>
#include <string_view>
#include <vector>

enum class FieldKind
{
    Boolean, // L
    String,  // C
    Date,    // D
    Integer, // N or F, whole numbers
    Number   // N or F
};

struct FieldSpec
{
    std::string name; // upper case
    FieldKind kind = FieldKind::String;
    int width = 0; // of a new table; L and D have their fixed widths
    int decimals = 0;
    bool liveMark = false; // a logical field whose true value makes the row live (OT)
};

using TableSchema = std::vector<FieldSpec>;

// Throws TableError naming the file and the field when a field of the schema is missing,
// the table has a field the schema does not list, or a field has a type of another kind.
void checkFields(const std::vector<DbfField>& fields, const TableSchema& schema,
                 std::string_view fileName);

// The fields of a new table, in the schema's order.
std::vector<DbfField> newTableFields(const TableSchema& schema);
