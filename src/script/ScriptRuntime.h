#pragma once

#include "script/ScriptSource.h"
#include "script/ScriptVal.h"

#include <functional>
#include <limits>
#include <random>

namespace tscript {

// Variables of one activation of a routine; parent is the activation of the routine it is
// declared in (the global frame for top-level routines).
struct TFrame {
    TVal* vars = nullptr;
    TFrame* parent = nullptr;
};

// The state of one execution.
class TRun {
public:
    static constexpr int kMaxCallDepth = 10000;
    static constexpr qint64 kMaxLiveCells = 4 * 1024 * 1024;
    // Steps between two looks at the clock while a yield hook waits: a few microseconds.
    static constexpr qint64 kYieldStride = 4096;

    TFrame* frame = nullptr;
    TVal* globals = nullptr;
    qint64 steps = 0;
    qint64 stepLimit = std::numeric_limits<qint64>::max();
    // Where Tick and Charge leave their quick path: the step limit, or sooner for the clock.
    qint64 checkAt = std::numeric_limits<qint64>::max();
    bool abortRequested = false;
    // The host's hook, called every yieldIntervalNs of wall time at most, never re-entered.
    const std::function<void()>* yieldHook = nullptr;
    qint64 yieldIntervalNs = 0;
    qint64 lastYieldNs = 0;
    bool yielding = false;
    int depth = 0;
    qint64 liveCells = 0;
    const char* stackFloor = nullptr;
    std::mt19937_64 rng{5489u};

    // Counted at every loop turn and call: ends runaway scripts when a limit is set, lets an
    // abort request stop the script, and calls the yield hook in time.
    void Tick(const TSrcPos& aPos)
    {
        if (++steps > checkAt) [[unlikely]]
            Checkpoint(aPos);
    }
    // Work proportional to a size (copies of arrays, long texts) counts as several steps, so
    // that a step limit also bounds time.
    void Charge(qint64 aSteps, const TSrcPos& aPos)
    {
        steps += aSteps;
        if (steps > checkAt) [[unlikely]]
            Checkpoint(aPos);
    }
    // Past the step limit, or time to look at the clock for the yield hook.
    void Checkpoint(const TSrcPos& aPos);
    // Sets checkAt after a change of the limit or the hook.
    void ScheduleCheck();
    [[noreturn]] void OverBudget(const TSrcPos& aPos);

    // Entering a routine: bounded by depth and by the stack actually left.
    void Enter(const TSrcPos& aPos, qint64 aCells);
    void Leave(qint64 aCells)
    {
        --depth;
        liveCells -= aCells;
    }
};

// Nanoseconds of a clock that never goes back.
qint64 MonotonicNs();

// Lowest stack address this thread may use while still keeping a safety margin for the work
// done between two checks.
const char* ComputeStackFloor();
inline bool StackExhausted(const char* aFloor)
{
    return aFloor && reinterpret_cast<quintptr>(__builtin_frame_address(0)) <
                         reinterpret_cast<quintptr>(aFloor);
}

} // namespace tscript
