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
