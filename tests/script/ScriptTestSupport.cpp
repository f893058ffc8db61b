#include "ScriptTestSupport.h"

TScriptHarness::TScriptHarness()
{
    engine.SetRegistration([this](IScriptRegistrar& r) {
        ++registrations;
        r.RegisterRoutine(QStringLiteral("procedure Emit(const s: string);"),
                          [this](const TScriptArgs& a) {
                              out << a.value(0).ToString();
                              return TScriptValue();
                          });
        if (extra)
            extra(r);
    });
}

bool TScriptHarness::Compile(const QString& aText, const QString& aFile)
{
    out.clear();
    return engine.Compile(aText, aFile);
}

bool TScriptHarness::Run(const QString& aText, const QString& aFile)
{
    return Compile(aText, aFile) && engine.Execute();
}

QString TScriptHarness::Failure() const
{
    if (!engine.IsCompiled())
        return engine.MessageLines().join(QLatin1Char('\n'));
    return engine.ErrorText();
}

QString Emitted(const QString& aProgram)
{
    TScriptHarness h;
    if (!h.Run(aProgram))
        return QStringLiteral("FAILED: ") + h.Failure();
    return h.out.join(QLatin1Char('|'));
}

QString Program(const QString& aDeclarations, const QString& aBody)
{
    return aDeclarations + QStringLiteral("\nbegin\n") + aBody + QStringLiteral("\nend.\n");
}

QString CompileError(const QString& aProgram)
{
    TScriptHarness h;
    if (h.Compile(aProgram))
        return QStringLiteral("COMPILED");
    const QStringList lines = h.engine.MessageLines();
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("[Erreur]")))
            return l;
    return lines.value(0);
}

QString RunError(const QString& aProgram)
{
    TScriptHarness h;
    if (!h.Compile(aProgram))
        return QStringLiteral("NOT COMPILED: ") + h.Failure();
    if (h.engine.Execute())
        return QStringLiteral("RAN");
    return h.engine.ErrorText();
}
