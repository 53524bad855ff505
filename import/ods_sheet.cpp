// The first table of an OpenDocument spreadsheet's content.xml: rows and cells with their
// repeat counts (a repeated empty row or cell only moves the position on), a number cell by its
// value, any other cell by the text of its paragraphs (joined by line breaks, with their
// spaces, tabs and breaks), notes left out.
#include "import/workbook_sheet.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view officeSpace = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view tableSpace = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view textSpace = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";

bool isNumberType(std::string_view type)
{
    return type == "float" || type == "percentage" || type == "currency";
}

class FirstTable : public XmlHandler
{
public:
    explicit FirstTable(CellTableBuilder& builder) : builder_(builder) {}

    void start(const XmlName& name, const char** attributes) override
    {
        if (name.is(tableSpace, "table")) {
            ++tables_;
        } else if (tables_ != 1) {
            return;
        } else if (name.is(tableSpace, "table-row")) {
            rowRepeat_ = xmlCount(xmlAttribute(attributes, tableSpace, "number-rows-repeated"), 1,
                                  maxTableRows);
            cells_.clear();
            column_ = 0;
        } else if (name.is(tableSpace, "table-cell") || name.is(tableSpace, "covered-table-cell")) {
            cellRepeat_ = xmlCount(xmlAttribute(attributes, tableSpace, "number-columns-repeated"),
                                   1, maxTableColumns);
            const char* type = xmlAttribute(attributes, officeSpace, "value-type");
            const char* value = xmlAttribute(attributes, officeSpace, "value");
            number_ = type && isNumberType(type) && value ? value : "";
            text_.clear();
            paragraphs_ = 0;
        } else if (name.is(officeSpace, "annotation")) {
            ++notes_;
        } else if (notes_ > 0) {
            return;
        } else if (name.is(textSpace, "p") || name.is(textSpace, "h")) {
            if (paragraphs_++ > 0) text_ += '\n';
            ++inParagraph_;
        } else if (name.is(textSpace, "s")) {
            text_.append(static_cast<std::size_t>(
                             xmlCount(xmlAttribute(attributes, textSpace, "c"), 1, 1000)),
                         ' ');
        } else if (name.is(textSpace, "tab")) {
            text_ += '\t';
        } else if (name.is(textSpace, "line-break")) {
            text_ += '\n';
        }
    }

    void end(const XmlName& name) override
    {
        if (name.is(tableSpace, "table")) {
            if (--tables_ == 0) stop();
        } else if (tables_ != 1) {
            return;
        } else if (name.is(officeSpace, "annotation")) {
            --notes_;
        } else if (name.is(textSpace, "p") || name.is(textSpace, "h")) {
            if (notes_ == 0) --inParagraph_;
        } else if (name.is(tableSpace, "table-cell") || name.is(tableSpace, "covered-table-cell")) {
            const std::string text = number_.empty() ? text_ : plainNumber(number_);
            if (text.empty()) {
                column_ += cellRepeat_;
                return;
            }
            // One past the last column is enough for the builder to refuse the row.
            for (int copy = 0; copy < cellRepeat_ && column_ <= maxTableColumns; ++copy)
                cells_.emplace_back(++column_, text);
        } else if (name.is(tableSpace, "table-row")) {
            endRow();
        }
    }

    void text(std::string_view text) override
    {
        if (tables_ == 1 && notes_ == 0 && inParagraph_ > 0) text_ += text;
    }

private:
    // Puts the row's cells down once for every repeat; an empty row only moves on.
    void endRow()
    {
        if (cells_.empty()) {
            row_ = std::min(row_ + rowRepeat_, maxTableRows + 1);
            return;
        }
        for (int copy = 0; copy < rowRepeat_; ++copy) {
            ++row_;
            for (const auto& [column, text] : cells_)
                if (!builder_.put(row_, column, text)) {
                    stop();
                    return;
                }
        }
    }

    CellTableBuilder& builder_;
    int tables_ = 0;
    int notes_ = 0;
    int inParagraph_ = 0;
    int paragraphs_ = 0;
    int row_ = 0;
    int rowRepeat_ = 1;
    int cellRepeat_ = 1;
    int column_ = 0;
    std::vector<std::pair<int, std::string>> cells_; // the filled cells of the row
    std::string number_;
    std::string text_;
};

} // namespace

CellTableRead readOdsSheet(const ZipXml& workbook)
{
    CellTableBuilder builder;
    FirstTable table(builder);
    workbook.parse("content.xml", table);
    CellTableRead read;
    read.problem = builder.problem();
    if (!read.problem) read.table = builder.take();
    return read;
}
