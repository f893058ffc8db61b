// Speed of the script interpreter and compiler.

#include "script/TScriptEngine.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Compiles aText with a host procedure Volume registered; aborts the benchmark on failure.
bool Prepare(benchmark::State& aState, TScriptEngine& aEngine, const QString& aText)
{
    aEngine.SetRegistration([](IScriptRegistrar& r) {
        r.RegisterRoutine(QStringLiteral("procedure Volume(const aInteger:integer);"),
                          [](const TScriptArgs& a) {
                              benchmark::DoNotOptimize(a.value(0).ToInt());
                              return TScriptValue();
                          });
    });
    if (aEngine.Compile(aText))
        return true;
    aState.SkipWithError(aEngine.MessageLines().join(QLatin1Char('\n')).toUtf8().constData());
    return false;
}

void Run(benchmark::State& aState, const QString& aText, qint64 aItems)
{
    TScriptEngine engine;
    if (!Prepare(aState, engine, aText))
        return;
    for (auto _ : aState) {
        if (!engine.Execute()) {
            aState.SkipWithError(engine.ErrorText().toUtf8().constData());
            return;
        }
    }
    aState.SetItemsProcessed(aState.iterations() * aItems);
}

// The loop of the requirement: a million turns of simple integer arithmetic.
void BM_IntegerLoop(benchmark::State& aState)
{
    Run(aState,
        QStringLiteral("var i, s: Integer;\n"
                       "begin\n"
                       "  s := 0;\n"
                       "  for i := 1 to 1000000 do\n"
                       "    s := (s + i * 3) mod 1000003;\n"
                       "end."),
        1000000);
}
BENCHMARK(BM_IntegerLoop)->Unit(benchmark::kMillisecond);

void BM_WhileLoopWithLocals(benchmark::State& aState)
{
    Run(aState,
        QStringLiteral("procedure Work;\n"
                       "var i, a, b: Integer;\n"
                       "begin\n"
                       "  i := 0; a := 1; b := 0;\n"
                       "  while i < 1000000 do begin\n"
                       "    if (i and 1) = 0 then a := a + i else b := b - a div 3;\n"
                       "    Inc(i);\n"
                       "  end;\n"
                       "end;\n"
                       "begin Work end."),
        1000000);
}
BENCHMARK(BM_WhileLoopWithLocals)->Unit(benchmark::kMillisecond);

void BM_RecursiveCalls(benchmark::State& aState)
{
    // Fib(25) makes 242785 calls.
    Run(aState,
        QStringLiteral(
            "function Fib(n: Integer): Integer;\n"
            "begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2); end;\n"
            "var x: Integer;\n"
            "begin x := Fib(25); end."),
        242785);
}
BENCHMARK(BM_RecursiveCalls)->Unit(benchmark::kMillisecond);

void BM_HostCalls(benchmark::State& aState)
{
    Run(aState, QStringLiteral("var i: Integer;\nbegin for i := 1 to 100000 do Volume(i); end."),
        100000);
}
BENCHMARK(BM_HostCalls)->Unit(benchmark::kMillisecond);

void BM_StringAppend(benchmark::State& aState)
{
    Run(aState,
        QStringLiteral("var i: Integer; s: string;\n"
                       "begin for i := 1 to 100000 do s := s + IntToStr(i) + ';'; end."),
        100000);
}
BENCHMARK(BM_StringAppend)->Unit(benchmark::kMillisecond);

void BM_Compile(benchmark::State& aState)
{
    // A recorded macro of a thousand lines.
    QString text = QStringLiteral("//Macro\n\nbegin\n");
    for (int k = 0; k < 1000; ++k)
        text += QStringLiteral("    Volume(%1);\n").arg(k);
    text += QStringLiteral("end.\n");
    TScriptEngine engine;
    if (!Prepare(aState, engine, text))
        return;
    for (auto _ : aState)
        benchmark::DoNotOptimize(engine.Compile(text));
    aState.SetItemsProcessed(aState.iterations() * 1000);
}
BENCHMARK(BM_Compile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
