// The start-up check against a conflicting program already running: a copy of this program
// or of one of its two siblings, recognised by a fragment of its window title.
#pragma once

#include <string>
#include <vector>

// Tested in this order: the first sibling, this program, the second sibling.
const std::vector<std::string>& conflictingTitleFragments();

// The message naming the conflicting window's title (UTF-8).
std::string conflictMessage(const std::string& title);
