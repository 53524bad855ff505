// The top-level windows of the X11 display, for the start-up check against a conflicting
// program already running. Without an X display the list is empty.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TopLevelWindow
{
    std::string title;    // UTF-8, at most 127 characters kept
    bool ours = false;    // belongs to this process
    bool visible = false; // viewable, or iconic (a minimised window counts as visible)
    bool owned = false;   // has an owner window (WM_TRANSIENT_FOR)
};

// In stacking order, topmost first.
std::vector<TopLevelWindow> listTopLevelWindows();

// The title of the first window, in list order, that is not ours, visible, unowned and
// titled, and whose title contains one of the fragments (exact, case-sensitive).
std::optional<std::string> findConflictingTitle(const std::vector<TopLevelWindow>& windows,
                                                const std::vector<std::string>& fragments);

// Keeps at most 127 characters of a UTF-8 title, as a 128-character buffer with its
// terminator would.
std::string truncateTitle(const std::string& utf8);
