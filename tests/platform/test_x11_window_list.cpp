// The window list read from a real X server (Xvfb): stacking order, visibility, owners,
// titles, and the start-up check's choice among real windows.
#include "app/startup.h"
#include "platform/window_list.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class X11Windows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            // Without a display there is nothing to test; with one, a failed connection is a
            // failure of the test set-up, not a reason to pass.
            if (std::getenv("DISPLAY")) FAIL() << "cannot connect to the X display";
            GTEST_SKIP() << "no X display";
        }
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }

    void TearDown() override
    {
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return;
        }
        for (xcb_window_t w : created)
            xcb_destroy_window(connection, w);
        xcb_delete_property(connection, root, atom("_NET_CLIENT_LIST_STACKING"));
        xcb_aux_sync();
        xcb_disconnect(connection);
    }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t a = reply->atom;
        std::free(reply);
        return a;
    }

    xcb_window_t make(const std::string& utf8Title, bool mapped)
    {
        const xcb_window_t w = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, w, root, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!utf8Title.empty())
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"),
                                atom("UTF8_STRING"), 8, static_cast<uint32_t>(utf8Title.size()),
                                utf8Title.data());
        if (mapped) xcb_map_window(connection, w);
        created.push_back(w);
        return w;
    }

    void xcb_aux_sync()
    {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    std::vector<TopLevelWindow> list()
    {
        xcb_aux_sync();
        return listTopLevelWindows();
    }

    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    std::vector<xcb_window_t> created;
};

} // namespace

TEST_F(X11Windows, HiddenOwnedAndUntitledWindowsDoNotBlockAFolderWindowDoes)
{
    make("Велимор (скрытое окно)", false);
    const xcb_window_t owner = make("Редактор", true);
    const xcb_window_t dialog = make("Велимор — диалог", true);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, dialog, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &owner);
    make("", true);
    EXPECT_EQ(findConflictingTitle(list(), conflictingTitleFragments()), std::nullopt);

    make("/home/ivan/Велимор-данные — Файлы", true);
    EXPECT_EQ(findConflictingTitle(list(), conflictingTitleFragments()),
              "/home/ivan/Велимор-данные — Файлы");
}

TEST_F(X11Windows, TheTopmostMatchingWindowIsNamedAndAMinimisedOneCountsAsVisible)
{
    make("Тарвенис. Велимор.", true);
    const xcb_window_t iconic = make("Свёрнутый Велимор", false);
    const uint32_t iconicState[2] = {3, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, iconic, atom("WM_STATE"),
                        atom("WM_STATE"), 32, 2, iconicState);
    EXPECT_EQ(findConflictingTitle(list(), conflictingTitleFragments()), "Свёрнутый Велимор");
}

TEST_F(X11Windows, AWindowManagersStackingListIsReadTopmostFirst)
{
    const xcb_window_t lower = make("Велимор нижнее", true);
    const xcb_window_t upper = make("Велимор верхнее", true);
    // The window manager's list runs bottom to top; here it puts "lower" on top.
    const xcb_window_t stacking[2] = {upper, lower};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST_STACKING"),
                        XCB_ATOM_WINDOW, 32, 2, stacking);
    const std::vector<TopLevelWindow> windows = list();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].title, "Велимор нижнее");
    EXPECT_EQ(windows[1].title, "Велимор верхнее");
}

TEST_F(X11Windows, ALatin1WmNameIsReadWhenThereIsNoNetWmName)
{
    const xcb_window_t w = make("", true);
    const std::string latin1 = "Caf\xE9";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<uint32_t>(latin1.size()), latin1.data());
    bool found = false;
    for (const TopLevelWindow& window : list())
        found = found || window.title == "Café";
    EXPECT_TRUE(found);
}

TEST(X11WindowListWithoutDisplay, IsEmpty)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    EXPECT_TRUE(listTopLevelWindows().empty());
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
}
