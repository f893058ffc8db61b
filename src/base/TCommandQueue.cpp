#include "base/TCommandQueue.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcCommands, "tessarine.commands", QtInfoMsg)

TCommandQueue& TCommandQueue::Instance()
{
    static TCommandQueue* queue = new TCommandQueue; // lives as long as the program
    return *queue;
}

void TCommandQueue::Enter(int& aDepth)
{
    if (!Busy())
        ++m_spell;
    ++aDepth;
}

void TCommandQueue::Leave(int& aDepth)
{
    --aDepth;
    if (Busy() || m_kept.empty() || m_drainPosted)
        return;
    // Once the command under way has returned to the event loop, not from inside it.
    m_drainPosted = true;
    QTimer::singleShot(0, this, [this] {
        m_drainPosted = false;
        Drain();
    });
}

TCommandQueue::TWait::TWait()
{
    Instance().Enter(Instance().m_waits);
}

TCommandQueue::TWait::~TWait()
{
    Instance().Leave(Instance().m_waits);
}

TCommandQueue::TRun::TRun()
{
    Instance().Enter(Instance().m_running);
}

TCommandQueue::TRun::~TRun()
{
    Instance().Leave(Instance().m_running);
}

void TCommandQueue::Keep(std::function<void()> aCommand, int aCoalesce)
{
    if (aCoalesce)
        while (!m_kept.empty() && m_kept.back().coalesce == aCoalesce)
            m_kept.pop_back();
    qCDebug(lcCommands) << "kept for later, behind" << m_kept.size() << "others";
    m_kept.push_back({std::move(aCommand), aCoalesce});
}

void TCommandQueue::RunNow(const std::function<void()>& aCommand)
{
    const TRun run;
    aCommand();
}

bool TCommandQueue::Submit(std::function<void()> aCommand, int aCoalesce)
{
    return Enqueue(std::move(aCommand), aCoalesce, Waiting());
}

bool TCommandQueue::Post(std::function<void()> aCommand, int aCoalesce)
{
    return Enqueue(std::move(aCommand), aCoalesce, Busy());
}

bool TCommandQueue::Enqueue(std::function<void()> aCommand, int aCoalesce, bool aKeep)
{
    // What was kept goes first: a command that comes after them runs after them.
    if (aKeep || (!Busy() && !m_kept.empty())) {
        Keep(std::move(aCommand), aCoalesce);
        if (!Busy())
            Drain();
        return false;
    }
    RunNow(aCommand);
    return true;
}

void TCommandQueue::Drain()
{
    while (!Busy() && !m_kept.empty()) {
        const std::function<void()> next = std::move(m_kept.front().command);
        m_kept.pop_front();
        RunNow(next);
    }
}
