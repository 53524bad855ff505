#include "toolkit/message.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <exception>

namespace {
MessageRecorder* recorder = nullptr;

// A message box keeps this width at least, so that the window system's title bar has room
// for the application's name beside its buttons.
constexpr int minimumBoxWidth = 320;
} // namespace

void showMessage(const QString& text)
{
    if (recorder) {
        recorder->messages.push_back(text);
        if (recorder->mode == MessageRecorder::Mode::record) return;
    }
    QWidget* under = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    under);
    // The box sizes itself to its text; a spacer across its grid keeps the least width.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(minimumBoxWidth, 0, QSizePolicy::Minimum), grid->rowCount(),
                      0, 1, grid->columnCount());
    if (recorder) actWhenActive(&box, [&box] { box.button(QMessageBox::Ok)->click(); });
    box.exec();
    // The window the box stood over takes the activation back, and with it the keys.
    if (under && under->isVisible()) under->activateWindow();
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

MessageRecorder::MessageRecorder(Mode mode) : mode(mode)
{
    recorder = this;
}

MessageRecorder::~MessageRecorder()
{
    recorder = nullptr;
}
