#include "script/ScriptRuntime.h"

#include <pthread.h>

#include <chrono>

namespace tscript {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr size_t kMargin = 2 * 1024 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr size_t kMargin = 2 * 1024 * 1024;
#else
constexpr size_t kMargin = 512 * 1024;
#endif
#else
constexpr size_t kMargin = 512 * 1024;
#endif

} // namespace

void ThrowCompile(const TSrcPos& aPos, const QString& aText)
{
    throw TCompileError{aPos, aText};
}

void ThrowRun(const TSrcPos& aPos, const QString& aText)
{
    throw TRunError{aText, aPos, true};
}

void ThrowFault(const QString& aText)
{
    throw TRunError{aText, TSrcPos{}, false};
}

void TRun::OverBudget(const TSrcPos& aPos)
{
    if (abortRequested)
        ThrowRun(aPos, QStringLiteral("Exécution interrompue"));
    ThrowRun(aPos, QStringLiteral("Limite d'exécution atteinte (%1 pas)").arg(stepLimit));
}

qint64 MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TRun::ScheduleCheck()
{
    checkAt = stepLimit;
    if (yieldHook && steps < stepLimit - kYieldStride)
        checkAt = steps + kYieldStride;
}

void TRun::Checkpoint(const TSrcPos& aPos)
{
    if (steps > stepLimit)
        OverBudget(aPos);
    if (yieldHook && !yielding && MonotonicNs() - lastYieldNs >= yieldIntervalNs) {
        yielding = true;
        struct TDone {
            TRun& run;
            ~TDone()
            {
                run.yielding = false;
                // The interval runs from the end of the hook, which may take its time.
                run.lastYieldNs = MonotonicNs();
            }
        } done{*this};
        try {
            (*yieldHook)();
        } catch (const std::exception& e) {
            ThrowRun(aPos, QString::fromUtf8(e.what()));
        } catch (...) {
            ThrowRun(aPos, QStringLiteral("Exception inconnue pendant l'attente de l'hôte"));
        }
    }
    // The hook may have called Abort.
    if (steps > stepLimit)
        OverBudget(aPos);
    ScheduleCheck();
}

void TRun::Enter(const TSrcPos& aPos, qint64 aCells)
{
    Charge(1 + aCells, aPos);
    if (depth >= kMaxCallDepth || StackExhausted(stackFloor))
        ThrowRun(aPos, QStringLiteral("Récursion trop profonde : pile épuisée"));
    if (liveCells + aCells > kMaxLiveCells)
        ThrowRun(aPos, QStringLiteral("Mémoire des variables épuisée"));
    ++depth;
    liveCells += aCells;
}

namespace {

const char* MeasureStackFloor()
{
    const auto here = reinterpret_cast<const char*>(__builtin_frame_address(0));
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        void* addr = nullptr;
        size_t size = 0;
        const bool ok = pthread_attr_getstack(&attr, &addr, &size) == 0;
        pthread_attr_destroy(&attr);
        if (ok && addr && size > 0) {
            const auto low = static_cast<const char*>(addr);
            if (here > low && here <= low + size) {
                const size_t margin = std::min(kMargin, size_t(here - low) / 2);
                return low + margin;
            }
        }
    }
    // Unknown stack: allow a modest depth below the current frame.
    return here - 512 * 1024;
}

} // namespace

const char* ComputeStackFloor()
{
    // A thread's stack does not move; asking the system reads /proc for the main thread.
    thread_local const char* const floor = MeasureStackFloor();
    return floor;
}

} // namespace tscript
