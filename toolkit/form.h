// A window of the program: a dialog shown modally by a handler of the window under it.
// FormActivate runs each time the window is shown modally (not when a window over it
// closes); FormCloseQuery decides whether the user's close (the close box, or the window
// system's request) goes on; FormClose runs when it is closed by the close box or by close().
#pragma once

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

class Form : public QDialog
{
public:
    explicit Form(QWidget* parent = nullptr);

    // Shows the window modally and returns when it closes.
    void showModal();

    // Shows the main window and runs its activation once.
    void showAsMainWindow();

    // Closes the window from the program (a button's handler): FormClose runs, and a window
    // without border icons closes too, which it does not do for the window system's request.
    void close();

protected:
    virtual void FormActivate() {}
    // False keeps the window open; a window asks here before losing work.
    virtual bool FormCloseQuery() { return true; }
    virtual void FormClose() {}

    // The title bar carries a close box (the default), or no border icons at all: the
    // window can then be left only by its own buttons.
    void setCloseBox(bool closeBox);
    // The main window is a window of its own, owned by no other (only a close box).
    void makeMainWindow();
    // Size in pixels, at the top left corner of the screen.
    void placeTopLeft(int width, int height);
    // The size of the program's full windows (the main window and those that cover it), at
    // the top left corner of the screen.
    void placeAsFullWindow();

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool closeBox_ = true;
    bool closingByProgram_ = false;
};

// Test seam: while an instance lives, showModal does not wait for a user. It runs the
// window's activation, then the next queued action on the window (a test pressing its
// buttons or checking it), then closes the window if the action left it open, as a user
// would with the close box. With no action queued the window is just closed. A script that
// runs in the window's loop enters the window's own event loop and runs the action from
// there, once the window holds the activation, as a user acts in a shown window. A script
// that ends with actions still queued (a window it was written for never opened) reports
// them through unusedActions, which the window tests make a test failure.
class ModalScript
{
public:
    using Action = std::function<void(Form&)>;
    enum class Mode
    {
        direct,
        inWindowLoop
    };

    explicit ModalScript(Mode mode = Mode::direct);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    void then(Action action) { actions.push_back(std::move(action)); }

    const Mode mode;
    std::deque<Action> actions;
    std::vector<QString> shown; // object names of the windows shown modally, in order

    // Called with a text naming what was left; without it the program stops with the text.
    static inline std::function<void(const QString&)> unusedActions;
};
