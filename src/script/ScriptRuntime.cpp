#include "ScriptRuntime.h"

#include <pthread.h>

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
