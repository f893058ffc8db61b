#pragma once

#include <QString>

namespace tscript {

// A place in the sources of one compilation: index into the program's file table, 1-based line
// and column (UTF-16 units).
struct TSrcPos {
    int file = 0;
    int line = 0;
    int col = 0;
};

struct TCompileError {
    TSrcPos pos;
    QString text;
};

// Stops the running script. Errors raised inside library routines carry no position yet; the
// calling node adds its own.
struct TRunError {
    QString text;
    TSrcPos pos;
    bool hasPos = false;
};

[[noreturn]] void ThrowCompile(const TSrcPos& aPos, const QString& aText);
[[noreturn]] void ThrowRun(const TSrcPos& aPos, const QString& aText);
[[noreturn]] void ThrowFault(const QString& aText);

} // namespace tscript
