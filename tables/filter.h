// Filter texts of the archive tables: tests of logical fields against true or false
// ("ot=true"), joined by and, or, not and parentheses ("otbor=true and ot=true"). Words and
// field names are matched without regard to case; an empty text keeps every row.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

class Filter
{
public:
    // A filter that keeps every row.
    Filter() = default;

    // Throws TableError naming the table's file and the text when the text is not a filter.
    static Filter parse(std::string_view text, std::string_view fileName);

    bool keepsAll() const { return nodes_.empty(); }

    // The fields the filter tests, in upper case, each once, in order of first use.
    const std::vector<std::string>& fields() const { return fields_; }

    // Whether a row passes, given the logical value of each field of fields(), in order.
    bool keeps(std::span<const bool> values) const;

private:
    enum class Kind
    {
        Test,
        And,
        Or,
        Not
    };
    struct Node
    {
        Kind kind;
        int first;     // Test: index into fields_; otherwise the first operand
        int second;    // the second operand of And and Or
        bool expected; // Test: the value the field must have
    };
    friend class FilterParser;

    bool evaluate(int node, std::span<const bool> values) const;

    std::vector<Node> nodes_; // the root is the last node
    std::vector<std::string> fields_;
};
