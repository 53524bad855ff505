// The background run: the result reaches the window's thread after the worker has joined,
// with the progress shown on the way; a cancelled work still delivers its result; stop()
// and the destructor join without delivering anything.
#include "toolkit/background_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Runs the event loop until the run has delivered (or 10 s have passed).
void waitFor(const BackgroundRun& run)
{
    for (int i = 0; i < 1000 && run.running(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
}

} // namespace

TEST(BackgroundRun, DeliversTheResultOnTheWindowThreadAndCancelsOnRequest)
{
    BackgroundRun run(nullptr);
    std::int64_t shown = -1;
    std::optional<int> delivered;
    const auto* const windowThread = QThread::currentThread();
    run.start<int>(
        [&run] {
            run.reportProgress(7);
            return 42;
        },
        [&](std::int64_t done) { shown = done; },
        [&](int result) {
            EXPECT_EQ(QThread::currentThread(), windowThread);
            delivered = result;
        });
    waitFor(run);
    EXPECT_EQ(delivered, 42);
    EXPECT_EQ(shown, 7);

    // A work that runs until it is cancelled still hands over what it made.
    delivered.reset();
    run.start<int>(
        [&run] {
            while (!run.cancelFlag()->load())
                QThread::msleep(1);
            return -1;
        },
        [](std::int64_t) {}, [&](int result) { delivered = result; });
    EXPECT_TRUE(run.running());
    run.cancel();
    waitFor(run);
    EXPECT_EQ(delivered, -1);
    EXPECT_FALSE(run.running());
}

TEST(BackgroundRun, StopAndTheDestructorJoinWithoutDelivering)
{
    bool delivered = false;
    auto run = std::make_unique<BackgroundRun>(nullptr);
    // The flag, not the pointer: reset() empties the pointer before the destructor cancels.
    const std::atomic<bool>* cancelled = run->cancelFlag();
    const auto untilCancelled = [cancelled] {
        while (!cancelled->load())
            QThread::msleep(1);
        return 0;
    };
    run->start<int>(
        untilCancelled, [](std::int64_t) {}, [&](int) { delivered = true; });
    run->stop();
    EXPECT_FALSE(run->running());
    run->start<int>(
        untilCancelled, [](std::int64_t) {}, [&](int) { delivered = true; });
    run.reset(); // joins the worker; a hang here would time the test out
    QCoreApplication::processEvents();
    EXPECT_FALSE(delivered);
}
