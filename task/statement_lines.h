// A text of statements read as the task files and the parentage case files are written: one
// statement a line, what follows '#' a comment, words separated by blanks (spaces and tabs).
// Entry points: blankSeparated, statementLines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The blank-separated words of a UTF-8 text.
std::vector<std::string> blankSeparated(std::string_view utf8);

struct StatementLine
{
    int number = 0; // from 1
    std::vector<std::string> words;
};

// The lines of text that hold a statement, with their numbers; empty and comment-only lines
// are left out, and a carriage return before the line end is dropped.
std::vector<StatementLine> statementLines(std::string_view text);
