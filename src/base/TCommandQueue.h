#pragma once

#include <QObject>

#include <deque>
#include <functional>

// One command at a time. The engine's waits turn the event loop so that the window stays alive;
// a command that arrives meanwhile (a key, a menu, a slider move, a drop, a report of the
// pipeline) must not run inside them: it is kept and runs once the command under way is over,
// in the order it came. Main thread only.
class TCommandQueue : public QObject {
    Q_OBJECT
public:
    static TCommandQueue& Instance();

    // Coalescing keys: a jump to a position; an open or a close of the file.
    enum { kSeek = 1, kOpen = 2 };

    // Runs aCommand now unless a wait is under way; then it is kept for later. A command kept
    // with a coalescing key replaces those with the same key kept right before it: of a burst of
    // seeks only the latest target is carried out. Answers whether it ran now.
    bool Submit(std::function<void()> aCommand, int aCoalesce = 0);
    // Like Submit, but kept whenever a command is under way, waiting or not: the reports of the
    // engine (the end of the file, an error) must not land in the middle of a command either.
    bool Post(std::function<void()> aCommand, int aCoalesce = 0);

    // A nested event loop of the engine is under way.
    bool Waiting() const { return m_waits > 0; }
    // A command runs or a wait is under way.
    bool Busy() const { return m_running > 0 || m_waits > 0; }
    // Nothing runs, waits or is kept.
    bool Idle() const { return !Busy() && m_kept.empty(); }
    int Kept() const { return int(m_kept.size()); }
    // Counts the busy spells: what belongs to the command under way (an abort) is known by it.
    quint64 Spell() const { return m_spell; }
    // Forgets what is kept (the window goes).
    void Clear() { m_kept.clear(); }

    // Marks a wait (a nested event loop) for its lifetime.
    class TWait {
    public:
        TWait();
        ~TWait();
        TWait(const TWait&) = delete;
        TWait& operator=(const TWait&) = delete;
    };
    // Marks a command under way for its lifetime.
    class TRun {
    public:
        TRun();
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;
    };

private:
    TCommandQueue() = default;
    void Enter(int& aDepth);
    void Leave(int& aDepth);
    bool Enqueue(std::function<void()> aCommand, int aCoalesce, bool aKeep);
    void Keep(std::function<void()> aCommand, int aCoalesce);
    void RunNow(const std::function<void()>& aCommand);
    void Drain();

    struct TKept {
        std::function<void()> command;
        int coalesce;
    };
    std::deque<TKept> m_kept;
    int m_running = 0;
    int m_waits = 0;
    quint64 m_spell = 0;
    bool m_drainPosted = false;
};
