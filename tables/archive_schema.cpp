#include "tables/archive_schema.h"

const TableSchema& spisokSchema()
{
    static const TableSchema schema = {
        {"OTBOR", FieldKind::Boolean},     {"TIME", FieldKind::String, 5},
        {"DATA", FieldKind::Date},         {std::string(taskNameField), FieldKind::String, 40},
        {"KOLALL", FieldKind::Integer, 6}, {"KOLTEST", FieldKind::Integer, 6},
        {"GOLOV", FieldKind::String, 10},  {"KOLFEN", FieldKind::Integer, 6},
        {"KNOP1", FieldKind::Integer, 6},  {"KNOP2", FieldKind::Integer, 6},
        {"INDEX", FieldKind::Integer, 6},  {"OT", FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& allelSchema()
{
    static const TableSchema schema = {
        {"INDEX", FieldKind::Integer, 6},
        {"NOMER", FieldKind::Integer, 6},
        {"ALLEL", FieldKind::String, 254},
        {"OT", FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& fenotipSchema()
{
    static const TableSchema schema = {
        {"INDEX", FieldKind::Integer, 6},
        {"NOMER", FieldKind::Integer, 6},
        {"GOLOV", FieldKind::Number, 10},
        {"OT", FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& labelSchema()
{
    static const TableSchema schema = {
        {"INDEX", FieldKind::Integer, 6},   {"NOMER", FieldKind::Integer, 6},
        {"NAME", FieldKind::String, 40},    {"DATA", FieldKind::Date},
        {"TIME", FieldKind::String, 5},     {"POPUL", FieldKind::String, 40},
        {"SISTEMA", FieldKind::String, 40}, {"OT", FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}
