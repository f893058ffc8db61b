// tessarine-script [-DSYMBOL]... FILE: compiles and runs a script with the engine's library and
// the built-in routines, printing the messages and what showmessage shows. Exit status 0 only
// when both compilation and execution succeeded, 1 when either failed, 2 for bad usage.

#include "ScriptBuiltins.h"
#include "TScriptEngine.h"
#include "TextDecoding.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

void Print(const QString& aLine)
{
    const QByteArray bytes = aLine.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList defines;
    QStringList files;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (const QString& a : args) {
        if (a.startsWith(QLatin1String("-D")) && a.size() > 2)
            defines << a.mid(2);
        else
            files << a;
    }
    if (files.size() != 1) {
        Print(QStringLiteral("Usage : tessarine-script [-DSYMBOLE]... FICHIER"));
        return 2;
    }
    const QString path = files.first();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Print(QStringLiteral("Lecture impossible de '") % path % QLatin1Char('\''));
        return 2;
    }
    const QString text = DecodeText(file.readAll());

    TScriptBuiltinHooks hooks;
    hooks.ShowMessage = [](const QString& aText) { Print(aText); };
    TScriptEngine engine;
    engine.SetDefines(defines);
    engine.SetRegistration([&hooks](IScriptRegistrar& r) { RegisterScriptBuiltins(r, hooks); });

    const bool compiled = engine.Compile(text, path);
    for (const QString& line : engine.MessageLines())
        Print(line);
    if (!compiled) {
        Print(QStringLiteral("### Compilation Failed"));
        return 1;
    }
    Print(QStringLiteral("*** Compilation succeeded ***"));
    if (!engine.Execute()) {
        Print(QStringLiteral("### Erreur pendant l'exécution: ") % engine.ErrorText());
        return 1;
    }
    Print(QStringLiteral("*** Exécution réussie ***"));
    return 0;
}
