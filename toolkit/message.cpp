#include "toolkit/message.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <optional>

namespace {
MessageRecorder* recorder = nullptr;

// A message box keeps this width at least, so that the window system's title bar has room
// for the application's name beside its buttons.
constexpr int minimumBoxWidth = 320;

// Shows the box modally over the window it was made for; under a recorder that answers, the button
// `answer` is pressed from inside the box's own loop. Returns the button pressed.
QMessageBox::StandardButton execBox(QMessageBox& box,
                                    std::optional<QMessageBox::StandardButton> answer)
{
    // The box sizes itself to its text; a spacer across its grid keeps the least width.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(minimumBoxWidth, 0, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
    if (answer) actWhenActive(&box, [&box, answer] { box.button(*answer)->click(); });
    QWidget* under = box.parentWidget();
    box.exec();
    // The window the box stood over takes the activation back, and with it the keys.
    if (under && under->isVisible()) under->activateWindow();
    return box.standardButton(box.clickedButton());
}

} // namespace

void showMessage(const QString& text)
{
    std::optional<QMessageBox::StandardButton> answer;
    if (recorder) {
        recorder->messages.push_back(text);
        if (recorder->mode == MessageRecorder::Mode::record) return;
        answer = QMessageBox::Ok;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    execBox(box, answer);
}

bool askQuestion(const QString& text)
{
    std::optional<QMessageBox::StandardButton> answer;
    if (recorder) {
        recorder->questions.push_back(text);
        const bool yes = !recorder->answers.empty() && recorder->answers.front();
        if (!recorder->answers.empty()) recorder->answers.pop_front();
        if (recorder->mode == MessageRecorder::Mode::record) return yes;
        answer = yes ? QMessageBox::Yes : QMessageBox::No;
    }
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText("Да");
    box.button(QMessageBox::No)->setText("Нет");
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return execBox(box, answer) == QMessageBox::Yes;
}

void actWhenActive(QWidget* window, std::function<void()> action)
{
    auto* poll = new QTimer(window);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, window,
                     [poll, window, action = std::move(action), tries = 0]() mutable {
                         if (QApplication::activeWindow() != window && ++tries <= 100) return;
                         poll->stop();
                         poll->deleteLater();
                         action();
                     });
    poll->start();
}

void guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        showMessage(QString::fromUtf8(e.what()));
    }
}

void terminateApplication()
{
    if (recorder) {
        recorder->terminateRequested = true;
        return;
    }
    // Every running event loop, the nested modal ones included, returns at once, and any
    // modal window shown after this returns at once too.
    QCoreApplication::exit(0);
}

MessageRecorder::MessageRecorder(Mode mode) : mode(mode), previous_(recorder)
{
    recorder = this;
}

MessageRecorder::~MessageRecorder()
{
    recorder = previous_;
}
