// Messages, questions and the application's default error handler. A message is modal with
// one OK button, a question with the answers "Да" and "Нет"; tests replace the boxes through a
// seam so that nothing waits offscreen.
#pragma once

#include <QString>

class QWidget;

#include <deque>
#include <functional>
#include <string>
#include <vector>

void showMessage(const QString& text);
inline void showMessage(const char* utf8)
{
    showMessage(QString::fromUtf8(utf8));
}
inline void showMessage(const std::string& utf8)
{
    showMessage(QString::fromStdString(utf8));
}

// Asks before an action that loses work; true when the user answers "Да". "Нет" is the box's
// default button, so a stray Enter or Escape loses nothing.
bool askQuestion(const QString& text);
inline bool askQuestion(const char* utf8)
{
    return askQuestion(QString::fromUtf8(utf8));
}

// Runs a handler as the application's default error handler would: an exception that
// escapes it is shown in a message box with its text, the handler stops there, the
// program goes on.
void guarded(const std::function<void()>& handler);

// Ends the application at once, without any question or saving.
void terminateApplication();

// Runs the action from the event loop once the window holds the activation (after half a
// second at most): the test seams act in a shown window as a user acts once it is there.
void actWhenActive(QWidget* window, std::function<void()> action);

// Test seam: while an instance lives, messages and questions are recorded, and
// terminateApplication only records that it was asked for. Questions take the queued answers in
// order; one asked when none is left is answered "Нет". A recorder that answers shows each
// message and question in its real box and presses its button from inside the box's own event
// loop, so whatever that loop runs (focus changes, deferred deletions) happens as it does for a
// user. An instance made while another lives stands in for it until it ends.
class MessageRecorder
{
public:
    enum class Mode
    {
        record,
        showAndAnswer
    };
    explicit MessageRecorder(Mode mode = Mode::record);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const Mode mode;
    std::vector<QString> messages;
    std::vector<QString> questions;
    std::deque<bool> answers; // true: "Да"
    bool terminateRequested = false;

    // The last message, or an empty text.
    QString last() const { return messages.empty() ? QString() : messages.back(); }

private:
    MessageRecorder* previous_;
};
