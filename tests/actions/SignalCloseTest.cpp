// A termination signal reaches the program as an ordinary event: the handler runs in the event
// loop, not inside the signal.
#include "base/TSignalClose.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

TEST(SignalClose, TermAndIntRunTheHandlerFromTheEventLoop)
{
    int calls = 0;
    std::thread::id where;
    {
        TSignalClose close([&] {
            ++calls;
            where = std::this_thread::get_id();
        });
        for (int sig : {SIGTERM, SIGINT}) {
            const int before = calls;
            ASSERT_EQ(::raise(sig), 0);
            EXPECT_EQ(calls, before); // nothing runs inside the signal
            QElapsedTimer t;
            t.start();
            while (calls == before && t.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            EXPECT_EQ(calls, before + 1);
        }
        EXPECT_EQ(where, std::this_thread::get_id());
    }
    // Once it is gone, the default action is back: SIGTERM would end the process, so only check
    // that the handler is no longer ours.
    struct sigaction now = {};
    ::sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
