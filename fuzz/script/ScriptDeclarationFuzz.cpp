// Random declaration and type-definition texts through the host registration, then a program
// that may use what was accepted. Input lines: routine declaration, type definition of TFuzz,
// constant name, program text.

#include "script/TScriptEngine.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    if (aSize > 16 * 1024)
        return 0;
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(aData), qsizetype(aSize));
    const QStringList parts = input.split(QLatin1Char('\n'));
    const QString program = parts.mid(3).join(QLatin1Char('\n'));
    TScriptEngine engine;
    engine.SetStepLimit(20000);
    engine.SetRegistration([&parts](IScriptRegistrar& r) {
        r.RegisterRoutine(parts.value(0), [](const TScriptArgs& a) {
            return a.isEmpty() ? TScriptValue() : a.first();
        });
        r.RegisterType(QStringLiteral("TFuzz"), parts.value(1));
        r.RegisterConstant(parts.value(2), QStringLiteral("TFuzz"), TScriptValue(1));
        r.RegisterConstant(parts.value(2), QStringLiteral("Integer"), TScriptValue(qint64(-1)));
        r.RegisterType(parts.value(2), QStringLiteral("TFuzz"));
    });
    if (engine.Compile(program, QStringLiteral("/nonexistent-tessarine-fuzz/decl.pas")))
        engine.Execute();
    return 0;
}
