#include "task/statement_lines.h"

std::vector<std::string> blankSeparated(std::string_view utf8)
{
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        while (pos < utf8.size() && (utf8[pos] == ' ' || utf8[pos] == '\t'))
            ++pos;
        const std::size_t start = pos;
        while (pos < utf8.size() && utf8[pos] != ' ' && utf8[pos] != '\t')
            ++pos;
        if (pos > start) words.emplace_back(utf8.substr(start, pos - start));
    }
    return words;
}

std::vector<StatementLine> statementLines(std::string_view text)
{
    std::vector<StatementLine> lines;
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ++number;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(pos, end - pos);
        pos = end + 1;
        content = content.substr(0, content.find('#'));
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        std::vector<std::string> words = blankSeparated(content);
        if (!words.empty()) lines.push_back({number, std::move(words)});
    }
    return lines;
}
