#include "toolkit/message.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

namespace {
MessageRecorder* recorder = nullptr;
}

void showMessage(const QString& text)
{
    if (recorder) {
        recorder->messages.push_back(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
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

MessageRecorder::MessageRecorder()
{
    recorder = this;
}

MessageRecorder::~MessageRecorder()
{
    recorder = nullptr;
}
