#include "tables/archive_schema.h"

const TableSchema& spisokSchema()
{
    static const TableSchema schema = {
        {std::string(selectionField), FieldKind::Boolean},
        {std::string(savedTimeField), FieldKind::String, 5},
        {std::string(savedDateField), FieldKind::Date},
        {std::string(taskNameField), FieldKind::String, 40},
        {std::string(alleleCountField), FieldKind::Integer, 6},
        {std::string(testCountField), FieldKind::Integer, 6},
        {std::string(headCountField), FieldKind::String, 10},
        {std::string(phenotypeCountField), FieldKind::Integer, 6},
        {std::string(inheritanceModeField), FieldKind::Integer, 6},
        {std::string(fitCriterionField), FieldKind::Integer, 6},
        {std::string(taskKeyField), FieldKind::Integer, 6},
        {std::string(liveRowField), FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& allelSchema()
{
    static const TableSchema schema = {
        {std::string(taskKeyField), FieldKind::Integer, 6},
        {std::string(rowNumberField), FieldKind::Integer, 6},
        {std::string(alleleNameField), FieldKind::String, 254},
        {std::string(liveRowField), FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& fenotipSchema()
{
    static const TableSchema schema = {
        {std::string(taskKeyField), FieldKind::Integer, 6},
        {std::string(rowNumberField), FieldKind::Integer, 6},
        {std::string(headCountField), FieldKind::Number, 10},
        {std::string(liveRowField), FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}

const TableSchema& labelSchema()
{
    static const TableSchema schema = {
        {std::string(taskKeyField), FieldKind::Integer, 6},
        {std::string(rowNumberField), FieldKind::Integer, 6},
        {std::string(taskNameField), FieldKind::String, 40},
        {std::string(savedDateField), FieldKind::Date},
        {std::string(savedTimeField), FieldKind::String, 5},
        {std::string(populationField), FieldKind::String, 40},
        {std::string(systemField), FieldKind::String, 40},
        {std::string(liveRowField), FieldKind::Boolean, 1, 0, true},
    };
    return schema;
}
