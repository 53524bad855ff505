// Reads the window list through libxcb: _NET_CLIENT_LIST_STACKING where a window manager
// keeps it (bottom to top), else the root's children (also bottom to top).
#include "platform/window_list.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> own(T* reply)
{
    return Reply<T>(reply, &std::free);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    auto reply = own(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::string(name).size()), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop,
                                         xcb_atom_t type, uint32_t longs)
{
    return own(xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, longs), nullptr));
}

std::string propertyText(xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 8) return {};
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply)));
}

std::string latin1ToUtf8(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

struct Atoms
{
    xcb_atom_t clientListStacking, netWmName, utf8String, wmState, netWmPid;
};

TopLevelWindow describe(xcb_connection_t* c, const Atoms& atoms, xcb_window_t w)
{
    TopLevelWindow window;
    auto attributes =
        own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    window.visible = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    if (!window.visible) {
        auto state = property(c, w, atoms.wmState, atoms.wmState, 2);
        if (state && state->format == 32 && xcb_get_property_value_length(state.get()) >= 4)
            window.visible = *static_cast<uint32_t*>(xcb_get_property_value(state.get())) == 3;
    }
    auto transient = property(c, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
    window.owned = transient && xcb_get_property_value_length(transient.get()) >= 4;
    auto pid = property(c, w, atoms.netWmPid, XCB_ATOM_CARDINAL, 1);
    if (pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4)
        window.ours = *static_cast<uint32_t*>(xcb_get_property_value(pid.get())) ==
                      static_cast<uint32_t>(getpid());

    std::string title = propertyText(property(c, w, atoms.netWmName, atoms.utf8String, 1024).get());
    if (title.empty()) {
        auto name = property(c, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 1024);
        title = propertyText(name.get());
        if (name && name->type != atoms.utf8String) title = latin1ToUtf8(title);
    }
    window.title = truncateTitle(title);
    return window;
}

} // namespace

std::string truncateTitle(const std::string& utf8)
{
    std::size_t pos = 0;
    for (int characters = 0; pos < utf8.size() && characters < 127; ++characters) {
        ++pos;
        while (pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80)
            ++pos;
    }
    return utf8.substr(0, pos);
}

std::vector<TopLevelWindow> listTopLevelWindows()
{
    std::vector<TopLevelWindow> windows;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return windows;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return windows;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const Atoms atoms{atom(c, "_NET_CLIENT_LIST_STACKING"), atom(c, "_NET_WM_NAME"),
                      atom(c, "UTF8_STRING"), atom(c, "WM_STATE"), atom(c, "_NET_WM_PID")};

    std::vector<xcb_window_t> bottomToTop;
    auto stacking = property(c, root, atoms.clientListStacking, XCB_ATOM_WINDOW, 65536);
    if (stacking && stacking->format == 32 && xcb_get_property_value_length(stacking.get()) > 0) {
        const auto* ids = static_cast<xcb_window_t*>(xcb_get_property_value(stacking.get()));
        bottomToTop.assign(ids, ids + xcb_get_property_value_length(stacking.get()) / 4);
    } else if (auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr))) {
        const xcb_window_t* ids = xcb_query_tree_children(tree.get());
        bottomToTop.assign(ids, ids + xcb_query_tree_children_length(tree.get()));
    }
    for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it)
        windows.push_back(describe(c, atoms, *it));
    xcb_disconnect(c);
    return windows;
}

std::optional<std::string> findConflictingTitle(const std::vector<TopLevelWindow>& windows,
                                                const std::vector<std::string>& fragments)
{
    for (const TopLevelWindow& w : windows) {
        if (w.ours || !w.visible || w.owned || w.title.empty()) continue;
        for (const std::string& fragment : fragments)
            if (w.title.find(fragment) != std::string::npos) return w.title;
    }
    return std::nullopt;
}
