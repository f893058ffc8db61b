#pragma once

#include "script/TScriptEngine.h"

#include <QStringList>

#include <functional>
#include <ostream>

inline void PrintTo(const QString& aText, std::ostream* aOut)
{
    *aOut << aText.toStdString();
}

inline QString S(const char* aUtf8)
{
    return QString::fromUtf8(aUtf8);
}

// An engine with "procedure Emit(const s: string);" registered, which collects what the script
// emits, plus whatever a test registers itself.
class TScriptHarness {
public:
    TScriptHarness();

    // Compiles and runs; false when either fails (Failure() says why).
    bool Run(const QString& aText, const QString& aFile = QStringLiteral("test.pas"));
    bool Compile(const QString& aText, const QString& aFile = QStringLiteral("test.pas"));
    QString Failure() const;

    TScriptEngine engine;
    QStringList out;
    std::function<void(IScriptRegistrar&)> extra;
    int registrations = 0;
};

// What a program emits, joined by "|"; the messages or the run-time error when it fails.
QString Emitted(const QString& aProgram);
// The statements between begin and end of a program with the given declarations.
QString Program(const QString& aDeclarations, const QString& aBody);
// The first message line of a compilation that must fail.
QString CompileError(const QString& aProgram);
// The error text of a run that must compile and then fail.
QString RunError(const QString& aProgram);
