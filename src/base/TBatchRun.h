#pragma once

#include <QString>
#include <QStringList>

// A run whose command line asks to quit: nobody is there to answer a message box, so what would
// be one goes to the standard error and the run ends with a non-zero status.
class TBatchRun {
public:
    static bool Active();
    static void SetActive(bool aActive);
    // Does one of the arguments name "quit" (with any prefix, any case)?
    static bool AsksToQuit(const QStringList& aArguments);

    // A failure the user must know about: on the standard error; the exit status becomes 1.
    static void Fail(const QString& aText);
    // Information only: on the standard error, the exit status stays.
    static void Note(const QString& aText);
    // 0, or 1 after a failure was reported.
    static int ExitStatus();
    static void Reset();
};
