#pragma once

#include "script/ScriptHost.h"
#include "script/ScriptRuntime.h"
#include "script/ScriptType.h"

#include <QHash>

#include <deque>
#include <memory>
#include <vector>

namespace tscript {

class TStmt;

enum class TParamMode : quint8 { Value, Const, Var, Out };

struct TParam {
    QString name;
    const TScriptType* type = nullptr;
    TParamMode mode = TParamMode::Value;
    bool hasDefault = false;
    TVal defaultValue;

    bool ByRef() const { return mode == TParamMode::Var || mode == TParamMode::Out; }
};

// A library routine of the engine: arguments in aArgs (var parameters as n.ref), result in
// aResult. Errors are thrown with ThrowFault.
using TNativeFn = void (*)(TRun& aRun, TVal* aArgs, TVal& aResult);

struct TRoutine {
    enum class TKind : quint8 { User, Native, Host };

    TKind kind = TKind::User;
    QString name;
    const TScriptType* result = nullptr; // null for a procedure
    std::vector<TParam> params;
    TSrcPos pos;

    // User routines.
    int level = 1;     // 1 for top-level routines, one more per nesting
    int frameSize = 0; // parameters, result and locals
    int resultSlot = -1;
    qint64 frameCells = 0;
    std::vector<std::pair<int, const TScriptType*>> localInits;
    std::unique_ptr<TStmt> body;
    bool forward = false;
    bool defined = false;

    TNativeFn native = nullptr;
    THostRoutine host;

    TRoutine();
    ~TRoutine();
    int MinArgs() const;
};

enum class TSymKind : quint8 { Const, Type, Var, Routine, Intrinsic };

// Built-in routines that the compiler treats by themselves (overloaded, or taking variables
// or types).
enum class TIntrinsic : quint8 {
    Exit,
    Break,
    Continue,
    Inc,
    Dec,
    Include,
    Exclude,
    SetLength,
    Length,
    Low,
    High,
    Ord,
    Chr,
    Succ,
    Pred,
    Abs,
    Sqr,
    Round,
    Trunc,
    Min,
    Max,
    Format,
    IntToHex,
    Random,
    Concat,
    Odd
};

struct TSymbol {
    TSymKind kind = TSymKind::Const;
    QString name;
    const TScriptType* type = nullptr; // of the constant or variable; the type itself for Type
    TVal value;                        // Const
    int level = 0;                     // Var: 0 for globals
    int slot = 0;
    bool byRef = false;    // var and out parameters
    bool readOnly = false; // const parameters, typed constants
    TRoutine* routine = nullptr;
    TIntrinsic intrinsic = TIntrinsic::Exit;
    TSrcPos pos;
};

class TScope {
public:
    TScope(const TScope* aParent, int aLevel)
        : m_parent(aParent)
        , m_level(aLevel)
    {
    }

    TSymbol* Find(const QString& aKey) const
    {
        for (const TScope* s = this; s; s = s->m_parent)
            if (TSymbol* sym = s->m_map.value(aKey, nullptr))
                return sym;
        return nullptr;
    }
    TSymbol* FindLocal(const QString& aKey) const { return m_map.value(aKey, nullptr); }
    bool Add(const QString& aKey, TSymbol* aSymbol)
    {
        if (m_map.contains(aKey))
            return false;
        m_map.insert(aKey, aSymbol);
        return true;
    }
    const QHash<QString, TSymbol*>& Symbols() const { return m_map; }
    const TScope* Parent() const { return m_parent; }
    int Level() const { return m_level; }

private:
    const TScope* m_parent;
    int m_level;
    QHash<QString, TSymbol*> m_map;
};

// Everything one compilation made; the system unit is one too.
class TProgram {
public:
    TProgram();
    ~TProgram();

    TScriptType* NewType();
    TSymbol* NewSymbol();
    TRoutine* NewRoutine();

    std::vector<QString> fileNames;
    std::unique_ptr<TScope> hostScope;
    std::unique_ptr<TScope> globalScope;
    int globalCount = 0;
    std::vector<const TScriptType*> globalTypes;
    std::vector<std::pair<int, TVal>> globalInits;
    qint64 globalCells = 0;
    std::unique_ptr<TStmt> main;

private:
    std::deque<std::unique_ptr<TScriptType>> m_types;
    std::deque<std::unique_ptr<TSymbol>> m_symbols;
    std::deque<std::unique_ptr<TRoutine>> m_routines;
};

} // namespace tscript
