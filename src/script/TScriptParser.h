#pragma once

#include "script/ScriptNodes.h"
#include "script/TScriptLexer.h"

#include <functional>

namespace tscript {

// Parses and checks a program in one pass, building the executable tree as it goes: names are
// resolved to slots, types checked, constants folded. Also parses the declaration and type
// texts that the host registers. Errors throw TCompileError.
class TScriptParser {
public:
    using TWarn = std::function<void(const TSrcPos&, const QString&)>;

    static constexpr int kMaxNesting = 256;
    static constexpr int kMaxHeight = 512;
    static constexpr qint64 kMaxTypeCells = 1024 * 1024;

    TScriptParser(TProgram& aProgram, std::vector<TToken> aTokens, TWarn aWarn = {});

    // program [Name;] [uses ...;] declarations begin ... end.
    void ParseProgram(const TScope* aOuter);

    // "procedure N(...);" or "function N(...): T;" alone, types looked up in aScope. The caller
    // declares the routine under aKey.
    TRoutine* ParseHeadingText(const TScope& aScope, TRoutine::TKind aKind, QString& aKey);

    // A type definition text, such as "(a, b)" or "record x: Integer; end;". Enumeration
    // members are declared in aScope.
    const TScriptType* ParseTypeText(TScope& aScope);

private:
    struct TContext {
        TContext* parent = nullptr;
        TRoutine* routine = nullptr; // null for the main program
        TScope* scope = nullptr;
        int level = 0;
        int nextSlot = 0;
        int loopDepth = 0;
        qint64 cells = 0;
    };
    // Bounds the recursion of the parser by depth and by the stack left.
    class TNestGuard {
    public:
        TNestGuard(TScriptParser& aParser, const TSrcPos& aPos)
            : m_parser(aParser)
        {
            if (++m_parser.m_nesting > kMaxNesting || StackExhausted(m_parser.m_stackFloor)) {
                --m_parser.m_nesting;
                m_parser.Fail(aPos, QStringLiteral("Imbrication trop profonde"));
            }
        }
        ~TNestGuard() { --m_parser.m_nesting; }
        TNestGuard(const TNestGuard&) = delete;
        TNestGuard& operator=(const TNestGuard&) = delete;

    private:
        TScriptParser& m_parser;
    };

    // Tokens.
    const TToken& Cur() const { return m_toks[m_p]; }
    const TToken& Peek(size_t aAhead = 1) const
    {
        return m_toks[std::min(m_p + aAhead, m_toks.size() - 1)];
    }
    void Next()
    {
        if (m_p + 1 < m_toks.size())
            ++m_p;
    }
    bool Accept(TSym aSym);
    bool Accept(TKw aKw);
    void Expect(TSym aSym);
    void Expect(TKw aKw, const char* aSpelling);
    QString ExpectIdent(TSrcPos* aPos = nullptr, QString* aKey = nullptr);
    [[noreturn]] void Fail(const TSrcPos& aPos, const QString& aText) const;
    [[noreturn]] void FailExpected(const QString& aWhat) const;

    // Declarations.
    void Declarations(TContext& aCtx);
    void ConstSection(TContext& aCtx);
    void TypeSection(TContext& aCtx);
    void VarSection(TContext& aCtx);
    void RoutineDeclaration(TContext& aCtx, bool aFunction);
    void Heading(TContext& aCtx, TRoutine& aRoutine, bool aFunction);
    const TScriptType* NamedType(TContext& aCtx);
    bool SameSignature(const TRoutine& aA, const TRoutine& aB) const;
    void Declare(TScope& aScope, const QString& aKey, TSymbol* aSymbol, const TSrcPos& aPos);
    int NewGlobalSlot(const TScriptType* aType, const TSrcPos& aPos);
    TSymbol* AddVar(TContext& aCtx, const QString& aName, const QString& aKey,
                    const TScriptType* aType, const TSrcPos& aPos);
    TVal ConstValue(const TScriptType* aType, TContext& aCtx);

    // Types.
    const TScriptType* Type(TContext& aCtx, TScope& aDeclScope);
    const TScriptType* EnumType(TScope& aDeclScope);
    const TScriptType* RecordType(TContext& aCtx, TScope& aDeclScope);
    const TScriptType* ArrayType(TContext& aCtx, TScope& aDeclScope);
    const TScriptType* SetType(TContext& aCtx, TScope& aDeclScope);
    const TScriptType* SubrangeType(TContext& aCtx);
    const TScriptType* OrdinalIndex(TContext& aCtx, TScope& aDeclScope);
    const TScriptType* SetOf(const TScriptType* aElem, const TSrcPos& aPos);
    const TScriptType* EmptySet();
    bool SameOrdinalFamily(const TScriptType* aA, const TScriptType* aB) const;

    // Statements.
    TStmtList StatementList(TContext& aCtx, std::initializer_list<TKw> aEnd);
    TStmtPtr Statement(TContext& aCtx);
    TStmtPtr IdentStatement(TContext& aCtx);
    TStmtPtr IfStatement(TContext& aCtx);
    TStmtPtr WhileStatement(TContext& aCtx);
    TStmtPtr RepeatStatement(TContext& aCtx);
    TStmtPtr ForStatement(TContext& aCtx);
    TStmtPtr CaseStatement(TContext& aCtx);
    TStmtPtr IntrinsicStatement(TContext& aCtx, const TSymbol& aSym);
    TStmtPtr AssignTo(TContext& aCtx, TExprPtr aTarget, const TSrcPos& aPos);

    // Expressions.
    TExprPtr Expression(TContext& aCtx);
    TExprPtr SimpleExpression(TContext& aCtx);
    TExprPtr Term(TContext& aCtx);
    TExprPtr Factor(TContext& aCtx);
    TExprPtr IdentFactor(TContext& aCtx);
    TExprPtr Selectors(TContext& aCtx, TExprPtr aBase);
    TExprPtr SetConstructor(TContext& aCtx);
    TExprPtr CallRoutine(TContext& aCtx, const TRoutine* aRoutine, const TSrcPos& aPos);
    TExprPtr IntrinsicFunction(TContext& aCtx, const TSymbol& aSym, const TSrcPos& aPos);
    TExprPtr Typecast(TExprPtr aValue, const TScriptType* aType, const TSrcPos& aPos);
    // A variable reference that may be written: var arguments, assignment targets, loop
    // counters.
    TExprPtr Variable(TContext& aCtx, bool aForWrite);
    TExprPtr ConstExpression(TContext& aCtx);
    TVal ConstOf(const TExprPtr& aExpr);
    TExprList ParenArgs(TContext& aCtx, size_t aMin, size_t aMax, const QString& aName);

    // Typing.
    TExprPtr Binary(TBinOp aOp, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
    TExprPtr Relation(TSym aOp, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
    TExprPtr Coerce(TExprPtr aValue, const TScriptType* aTarget);
    TExprPtr ToFloat(TExprPtr aValue);
    TExprPtr Finish(TExprPtr aExpr);
    bool SetsCompatible(const TScriptType* aA, const TScriptType* aB) const;
    bool IndexCompatible(const TScriptType* aIndex, const TScriptType* aValue) const;
    void RequireBoolean(const TExprPtr& aExpr) const;
    void RequireOrdinal(const TExprPtr& aExpr) const;
    void RequireInteger(const TExprPtr& aExpr) const;
    [[noreturn]] void Incompatible(const TScriptType* aTarget, const TExpr& aValue) const;
    const TScriptType* IntLiteralType(const TToken& aTok) const;

    TSymbol* Lookup(TContext& aCtx, const TToken& aTok) const;

    TProgram& m_prog;
    std::vector<TToken> m_toks;
    size_t m_p = 0;
    TWarn m_warn;
    int m_nesting = 0;
    const char* m_stackFloor;
    const TScope* m_outer = nullptr;
};

} // namespace tscript
