#include "toolkit/form.h"

#include "toolkit/message.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QStringList>

namespace {
ModalScript* script = nullptr;
// The program's full windows are laid out for a screen of 1024 × 768.
constexpr int fullWindowWidth = 979;
constexpr int fullWindowHeight = 734;
} // namespace

Form::Form(QWidget* parent) : QDialog(parent)
{
    setCloseBox(true);
    // Every window is laid out in pixels for a small sans-serif font of 8 points.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

void Form::setCloseBox(bool closeBox)
{
    closeBox_ = closeBox;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeBox) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

void Form::makeMainWindow()
{
    closeBox_ = true;
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void Form::placeTopLeft(int width, int height)
{
    resize(width, height);
    move(0, 0);
}

void Form::placeAsFullWindow()
{
    placeTopLeft(fullWindowWidth, fullWindowHeight);
}

void Form::showModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    guarded([this] { FormActivate(); });
    if (script) {
        script->shown.push_back(objectName());
        ModalScript::Action action;
        if (!script->actions.empty()) {
            action = std::move(script->actions.front());
            script->actions.pop_front();
        }
        const auto act = [this, action] {
            if (action) guarded([&] { action(*this); });
            if (isVisible()) close();
        };
        if (script->mode == ModalScript::Mode::direct) {
            act();
            return;
        }
        if (isVisible()) actWhenActive(this, act);
    }
    if (isVisible()) exec();
}

void Form::showAsMainWindow()
{
    show();
    guarded([this] { FormActivate(); });
}

void Form::close()
{
    closingByProgram_ = true;
    QDialog::close();
    closingByProgram_ = false;
}

void Form::closeEvent(QCloseEvent* event)
{
    if (!closeBox_ && !closingByProgram_) {
        event->ignore();
        return;
    }
    bool mayClose = closingByProgram_;
    if (!mayClose) guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    guarded([this] { FormClose(); });
    event->accept();
    done(QDialog::Rejected);
}

void Form::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close a window of this program: only its close box and buttons do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

ModalScript::ModalScript(Mode mode) : mode(mode)
{
    script = this;
}

ModalScript::~ModalScript()
{
    script = nullptr;
    if (actions.empty()) return;
    QStringList windows(shown.begin(), shown.end());
    const QString text = QString("ModalScript: %1 queued action(s) never ran; windows shown: %2")
                             .arg(actions.size())
                             .arg(windows.isEmpty() ? "none" : windows.join(", "));
    if (unusedActions)
        unusedActions(text);
    else
        qFatal("%s", qPrintable(text));
}
