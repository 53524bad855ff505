// Forms: activation on every modal showing, the close handler, the test seams, and the
// default error handler.
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/message.h"

#include <QTest>
#include <QWindow>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class CountingForm : public Form
{
public:
    explicit CountingForm(bool closeBox) { setCloseBox(closeBox); }
    int activations = 0;
    int closes = 0;

protected:
    void FormActivate() override { ++activations; }
    void FormClose() override { ++closes; }
};

} // namespace

TEST(Form, ActivatesOnEveryModalShowingButNotWhenAWindowOverItCloses)
{
    CountingForm outer(true);
    CountingForm inner(true);
    outer.setObjectName("outer");
    inner.setObjectName("inner");
    ModalScript script;
    script.then([&](Form&) { inner.showModal(); });
    outer.showModal();
    outer.showModal();
    EXPECT_EQ(outer.activations, 2);
    EXPECT_EQ(inner.activations, 1);
    EXPECT_EQ(outer.closes, 2);
    EXPECT_EQ(script.shown, (std::vector<QString>{"outer", "inner", "outer"}));
    EXPECT_FALSE(outer.isVisible());
}

TEST(Form, AWindowWithoutBorderIconsIgnoresTheUsersCloseAndEscape)
{
    CountingForm form(false);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    ModalScript script;
    script.then([&](Form& f) {
        // The window system's close request, as Alt+F4 or a window manager sends it.
        f.windowHandle()->close();
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.isVisible());
        QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible());
        f.close(); // the program's own close still works
        EXPECT_FALSE(f.isVisible());
    });
    form.showModal();
    EXPECT_EQ(form.closes, 1);
}

TEST(Form, AnExceptionEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    MessageRecorder messages;
    bool after = false;
    QWidget parent;
    Button button("Сбой", &parent, [&] {
        throw std::runtime_error("Файл ALLEL.DBF повреждён");
        after = true;
    });
    button.click();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.last(), "Файл ALLEL.DBF повреждён");
    EXPECT_FALSE(after);
    guarded([] {});
    EXPECT_EQ(messages.messages.size(), 1u);
}

TEST(Form, AScriptWhoseWindowNeverOpenedFailsTheTest)
{
    CountingForm window(true);
    window.setObjectName("window");
    EXPECT_NONFATAL_FAILURE(
        {
            ModalScript script;
            script.then([](Form&) {});
            script.then([](Form&) {});
            script.then([](Form&) {});
            window.showModal();
        },
        "ModalScript: 2 queued action(s) never ran; windows shown: window");
}

TEST(Form, TerminationIsRecordedUnderTheSeam)
{
    MessageRecorder recorder;
    terminateApplication();
    EXPECT_TRUE(recorder.terminateRequested);
}

TEST(Form, AQuestionTakesItsAnswerInsideItsBoxAndCanKeepAWindowOpen)
{
    class AskingForm : public Form
    {
    protected:
        bool FormCloseQuery() override { return askQuestion("Закрыть?"); }
    } form;
    MessageRecorder outer;
    MessageRecorder messages(MessageRecorder::Mode::showAndAnswer);
    messages.answers = {false, true};
    ModalScript script(ModalScript::Mode::inWindowLoop);
    script.then([&](Form& f) {
        f.windowHandle()->close(); // "Нет": the window stays
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.isVisible());
        f.windowHandle()->close(); // "Да"
        QCoreApplication::processEvents();
        EXPECT_FALSE(f.isVisible());
    });
    form.showModal();
    EXPECT_EQ(messages.questions, (std::vector<QString>{"Закрыть?", "Закрыть?"}));
    // No answer left: "Нет", the safe one; the program's own close asks nothing.
    EXPECT_FALSE(askQuestion("Удалить?"));
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(messages.questions.size(), 3u);
    // A recorder made inside another stands in for it only while it lives.
    EXPECT_TRUE(outer.questions.empty());
}
