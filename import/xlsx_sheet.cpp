// The first sheet of an xlsx workbook: the package's relationships lead to the workbook, its
// first sheet element to the sheet's part, and its relationships to the shared strings. Names
// are matched by their local part, so both the transitional and the strict namespaces read.
#include "import/workbook_sheet.h"

#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// A part's path from a relationship's target: absolute ("/xl/…") or relative to the folder of
// the part the relationships belong to, ".." steps resolved.
std::string partPath(const std::string& folder, std::string_view target)
{
    std::string path =
        target.starts_with("/") ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> steps;
    std::size_t start = 0;
    for (std::size_t end; start <= path.size(); start = end + 1) {
        end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string step = path.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
    }
    std::string joined;
    for (const std::string& step : steps)
        joined += (joined.empty() ? "" : "/") + step;
    return joined;
}

std::string folderOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relationshipsOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return folderOf(part) + "_rels/" + name + ".rels";
}

// The relationships of a part: the targets by id and by the last word of their type.
class Relationships : public XmlHandler
{
public:
    std::vector<std::string> ids, kinds, targets;
    void start(const XmlName& name, const char** attributes) override
    {
        if (name.local != "Relationship") return;
        const char* id = xmlAttribute(attributes, "", "Id");
        const char* type = xmlAttribute(attributes, "", "Type");
        const char* target = xmlAttribute(attributes, "", "Target");
        if (!id || !type || !target) return;
        const std::string_view kind(type);
        ids.emplace_back(id);
        kinds.emplace_back(kind.substr(kind.rfind('/') + 1));
        targets.emplace_back(target);
    }
    void end(const XmlName&) override {}
    std::optional<std::string> byId(std::string_view id) const { return find(ids, id); }
    std::optional<std::string> byKind(std::string_view kind) const { return find(kinds, kind); }

private:
    std::optional<std::string> find(const std::vector<std::string>& keys,
                                    std::string_view key) const
    {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return targets[i];
        return std::nullopt;
    }
};

// The relationship id of the workbook's first sheet.
class FirstSheet : public XmlHandler
{
public:
    std::optional<std::string> id;
    void start(const XmlName& name, const char** attributes) override
    {
        if (name.local != "sheet") return;
        for (const char** at = attributes; *at; at += 2) {
            const std::string_view attribute(*at);
            if (attribute.ends_with("relationships|id")) id = at[1];
        }
        stop();
    }
    void end(const XmlName&) override {}
};

// The shared strings: the text of each item, its phonetic runs left out.
class SharedStrings : public XmlHandler
{
public:
    std::vector<std::string> items;
    void start(const XmlName& name, const char**) override
    {
        if (name.local == "si") items.emplace_back();
        if (name.local == "rPh") ++phonetic_;
        if (name.local == "t") inText_ = true;
    }
    void end(const XmlName& name) override
    {
        if (name.local == "rPh") --phonetic_;
        if (name.local == "t") inText_ = false;
    }
    void text(std::string_view text) override
    {
        if (inText_ && phonetic_ == 0 && !items.empty()) items.back() += text;
    }

private:
    int phonetic_ = 0;
    bool inText_ = false;
};

// The column of a cell reference ("BC12" gives 55); 0 when it has no letters.
int columnOf(std::string_view reference)
{
    int column = 0;
    for (const char c : reference) {
        if (c < 'A' || c > 'Z') break;
        column = column * 26 + (c - 'A' + 1);
        if (column > maxTableColumns) return maxTableColumns + 1;
    }
    return column;
}

class SheetCells : public XmlHandler
{
public:
    SheetCells(const std::vector<std::string>& shared, CellTableBuilder& builder)
        : shared_(shared), builder_(builder)
    {
    }
    void start(const XmlName& name, const char** attributes) override
    {
        if (name.local == "row") {
            row_ = xmlCount(xmlAttribute(attributes, "", "r"), row_ + 1, maxTableRows + 1);
            column_ = 0;
        } else if (name.local == "c") {
            const char* reference = xmlAttribute(attributes, "", "r");
            const int column = reference ? columnOf(reference) : 0;
            column_ = column > 0 ? column : column_ + 1;
            const char* type = xmlAttribute(attributes, "", "t");
            type_ = type ? type : "n";
            value_.clear();
            inline_.clear();
        } else if (name.local == "v") {
            inValue_ = true;
        } else if (name.local == "is") {
            inInline_ = true;
        } else if (name.local == "rPh") {
            ++phonetic_;
        } else if (name.local == "t") {
            inText_ = inInline_;
        }
    }
    void end(const XmlName& name) override
    {
        if (name.local == "v") inValue_ = false;
        if (name.local == "is") inInline_ = false;
        if (name.local == "rPh") --phonetic_;
        if (name.local == "t") inText_ = false;
        if (name.local == "c") {
            if (const auto text = cellText())
                if (!builder_.put(row_, column_, *text)) stop();
        }
        if (name.local == "sheetData") stop();
    }
    void text(std::string_view text) override
    {
        if (inValue_) value_ += text;
        if (inText_ && phonetic_ == 0) inline_ += text;
    }

private:
    // The text of the cell ended; nothing, the parse failed, for a shared string not there.
    std::optional<std::string> cellText()
    {
        if (type_ == "s") {
            const std::size_t index =
                static_cast<std::size_t>(std::strtoul(value_.c_str(), nullptr, 10));
            if (index >= shared_.size()) {
                fail("книга повреждена: ячейка " + columnLetters(column_) + std::to_string(row_) +
                     " ссылается на строку " + value_ + ", которой нет в списке строк книги");
                return std::nullopt;
            }
            return shared_[index];
        }
        if (type_ == "inlineStr") return inline_;
        if (type_ == "n") return plainNumber(value_);
        if (type_ == "b") return value_ == "1" ? "ИСТИНА" : "ЛОЖЬ";
        return value_; // str (a formula's text), e (an error such as #DIV/0!), d (a date)
    }

    const std::vector<std::string>& shared_;
    CellTableBuilder& builder_;
    int row_ = 0;
    int column_ = 0;
    std::string type_;
    std::string value_;
    std::string inline_;
    bool inValue_ = false;
    bool inInline_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
};

} // namespace

CellTableRead readXlsxSheet(const ZipXml& workbook)
{
    Relationships package;
    workbook.parse("_rels/.rels", package);
    const std::string book =
        partPath("", package.byKind("officeDocument").value_or("xl/workbook.xml"));
    FirstSheet first;
    workbook.parse(book, first);
    Relationships parts;
    workbook.parse(relationshipsOf(book), parts);
    const std::optional<std::string> sheet = first.id ? parts.byId(*first.id) : std::nullopt;
    if (!sheet) throw WorkbookError("в книге нет ни одного листа");

    SharedStrings shared;
    if (const auto strings = parts.byKind("sharedStrings"))
        workbook.parse(partPath(folderOf(book), *strings), shared);
    CellTableBuilder builder;
    SheetCells cells(shared.items, builder);
    workbook.parse(partPath(folderOf(book), *sheet), cells);
    CellTableRead read;
    read.problem = builder.problem();
    if (!read.problem) read.table = builder.take();
    return read;
}
