#include "tables/filter.h"

#include "tables/table_error.h"

#include <algorithm>

namespace {

std::string upper(std::string_view word)
{
    std::string text(word);
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool isWordStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isWordChar(char c)
{
    return isWordStart(c) || (c >= '0' && c <= '9');
}

} // namespace

// Recursive descent over: or-expression := and-expression {"or" and-expression};
// and-expression := unary {"and" unary}; unary := "not" unary | "(" or-expression ")" |
// field "=" ("true" | "false").
class FilterParser
{
public:
    FilterParser(std::string_view text, std::string_view fileName, Filter& filter)
        : text_(text), fileName_(fileName), filter_(filter)
    {
    }

    void parse()
    {
        if (peek().empty()) return;
        orExpression();
        if (!peek().empty()) fail("лишний текст «" + printableBytes(peek()) + "»");
    }

private:
    std::string_view peek()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
        if (at_ == text_.size()) return {};
        std::size_t end = at_ + 1;
        if (isWordStart(text_[at_]))
            while (end < text_.size() && isWordChar(text_[end]))
                ++end;
        return text_.substr(at_, end - at_);
    }

    std::string_view take()
    {
        const std::string_view token = peek();
        at_ += token.size();
        return token;
    }

    bool takeWord(std::string_view word)
    {
        if (upper(peek()) != word) return false;
        take();
        return true;
    }

    [[noreturn]] void fail(const std::string& reason)
    {
        throw tableError(fileName_,
                         "неверный текст фильтра «" + printableBytes(text_) + "»: " + reason);
    }

    int add(Filter::Kind kind, int first, int second, bool expected)
    {
        filter_.nodes_.push_back({kind, first, second, expected});
        return static_cast<int>(filter_.nodes_.size()) - 1;
    }

    int orExpression()
    {
        int node = andExpression();
        while (takeWord("OR"))
            node = add(Filter::Kind::Or, node, andExpression(), false);
        return node;
    }

    int andExpression()
    {
        int node = unary();
        while (takeWord("AND"))
            node = add(Filter::Kind::And, node, unary(), false);
        return node;
    }

    int unary()
    {
        if (takeWord("NOT")) return add(Filter::Kind::Not, unary(), -1, false);
        const std::string_view token = take();
        if (token == "(") {
            const int node = orExpression();
            if (take() != ")") fail("нет закрывающей скобки");
            return node;
        }
        if (token.empty() || !isWordStart(token.front()))
            fail(token.empty() ? "текст оборван" : "ожидается имя поля");
        const std::string field = upper(token);
        if (field == "AND" || field == "OR" || field == "TRUE" || field == "FALSE")
            fail("ожидается имя поля, а не «" + std::string(token) + "»");
        if (take() != "=") fail("после имени поля ожидается «=»");
        const std::string value = upper(take());
        if (value != "TRUE" && value != "FALSE") fail("после «=» ожидается true или false");
        auto& fields = filter_.fields_;
        auto found = std::find(fields.begin(), fields.end(), field);
        if (found == fields.end()) found = fields.insert(fields.end(), field);
        return add(Filter::Kind::Test, static_cast<int>(found - fields.begin()), -1,
                   value == "TRUE");
    }

    std::string_view text_;
    std::string_view fileName_;
    Filter& filter_;
    std::size_t at_ = 0;
};

Filter Filter::parse(std::string_view text, std::string_view fileName)
{
    Filter filter;
    FilterParser(text, fileName, filter).parse();
    return filter;
}

bool Filter::keeps(std::span<const bool> values) const
{
    return nodes_.empty() || evaluate(static_cast<int>(nodes_.size()) - 1, values);
}

bool Filter::evaluate(int index, std::span<const bool> values) const
{
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    switch (node.kind) {
    case Kind::Test:
        return values[static_cast<std::size_t>(node.first)] == node.expected;
    case Kind::And:
        return evaluate(node.first, values) && evaluate(node.second, values);
    case Kind::Or:
        return evaluate(node.first, values) || evaluate(node.second, values);
    case Kind::Not:
        return !evaluate(node.first, values);
    }
    return false;
}
