#pragma once

#include "script/ScriptProgram.h"

#include <cmath>
#include <memory>
#include <vector>

namespace tscript {

enum class TFlow : quint8 { Normal, Break, Continue, Exit };

// A typed expression of the compiled tree. The static type decides which Eval is meaningful:
// EvalInt for ordinals, EvalFloat for floats, EvalStr for texts (a Char gives one character),
// Eval for everything.
class TExpr {
public:
    enum class TSlotKind : quint8 { None, Local, Global };

    TExpr(const TScriptType* aType, const TSrcPos& aPos)
        : type(aType)
        , pos(aPos)
    {
    }
    virtual ~TExpr();

    virtual void Eval(TRun& aRun, TVal& aOut) const = 0;
    virtual qint64 EvalInt(TRun& aRun) const;
    virtual double EvalFloat(TRun& aRun) const;
    virtual bool EvalBool(TRun& aRun) const { return EvalInt(aRun) != 0; }
    virtual QString EvalStr(TRun& aRun) const;
    // Variables, fields and array elements; null for values.
    virtual TVal* Address(TRun&) const { return nullptr; }
    virtual bool IsLValue() const { return false; }
    virtual bool IsConst() const { return false; }
    // A plain local or global variable, for the quick forms of assignment.
    virtual TSlotKind SlotKind(int& aSlot) const
    {
        Q_UNUSED(aSlot);
        return TSlotKind::None;
    }

    const TScriptType* type;
    TSrcPos pos;
    int height = 1; // depth of the tree below, bounded by the compiler
};
using TExprPtr = std::unique_ptr<TExpr>;
using TExprList = std::vector<TExprPtr>;

class TStmt {
public:
    explicit TStmt(const TSrcPos& aPos)
        : pos(aPos)
    {
    }
    virtual ~TStmt();
    virtual TFlow Exec(TRun& aRun) const = 0;

    TSrcPos pos;
};
using TStmtPtr = std::unique_ptr<TStmt>;
using TStmtList = std::vector<TStmtPtr>;

enum class TBinOp : quint8 { Add, Sub, Mul, Slash, Div, Mod, And, Or, Xor, Shl, Shr };
enum class TCmpOp : quint8 { Eq, Ne, Lt, Le, Gt, Ge };
enum class TSetOp : quint8 { Union, Diff, Inter };

// Run-time behaviour of the intrinsics that are not plain operators.
enum class TFn : quint8 {
    StrLength,
    AbsInt,
    AbsFloat,
    SqrInt,
    SqrFloat,
    Round,
    Trunc,
    MinInt,
    MaxInt,
    MinFloat,
    MaxFloat,
    RandomInt,
    RandomFloat,
    IntToHex, // value, digits, width in bits (constant)
    Odd
};

struct TSetElem {
    TExprPtr lo;
    TExprPtr hi; // null for a single member
};

struct TIfBranch {
    TExprPtr cond;
    TStmtPtr body;
};

struct TCaseLabel {
    TVal lo;
    TVal hi;
};
struct TCaseBranch {
    std::vector<TCaseLabel> labels;
    TStmtPtr body;
};

// Builders of the tree. The compiler has checked the types; the builders choose the quick
// form of each node.
namespace nodes {

TExprPtr Const(const TScriptType* aType, TVal aValue, const TSrcPos& aPos);
TExprPtr Var(const TSymbol& aSymbol, int aCurrentLevel, const TSrcPos& aPos);
TExprPtr Field(TExprPtr aBase, int aIndex, const TSrcPos& aPos);
TExprPtr Index(TExprPtr aBase, TExprPtr aIndex, const TSrcPos& aPos);
TExprPtr StrIndex(TExprPtr aBase, TExprPtr aIndex, const TSrcPos& aPos);
// Takes apart a node made by StrIndex, for assigning to one character.
bool SplitStrIndex(TExprPtr& aExpr, TExprPtr& aBase, TExprPtr& aIndex);

TExprPtr IntBinary(TBinOp aOp, TExprPtr aLeft, TExprPtr aRight, const TScriptType* aType,
                   const TSrcPos& aPos);
TExprPtr FloatBinary(TBinOp aOp, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
TExprPtr Logical(TBinOp aOp, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
TExprPtr Compare(TCmpOp aOp, TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
TExprPtr Not(TExprPtr aOperand, const TSrcPos& aPos);
TExprPtr Negate(TExprPtr aOperand, const TSrcPos& aPos);
TExprPtr IntToFloat(TExprPtr aOperand);
TExprPtr CharToStr(TExprPtr aOperand);
TExprPtr OrdCast(TExprPtr aOperand, const TScriptType* aType, const TSrcPos& aPos);
TExprPtr Concat(TExprPtr aLeft, TExprPtr aRight, const TSrcPos& aPos);
TExprPtr SetBinary(TSetOp aOp, TExprPtr aLeft, TExprPtr aRight, const TScriptType* aType,
                   const TSrcPos& aPos);
TExprPtr In(TExprPtr aElem, TExprPtr aSet, const TSrcPos& aPos);
TExprPtr SetCtor(std::vector<TSetElem> aElems, const TScriptType* aType, const TSrcPos& aPos);
TExprPtr Function(TFn aFn, TExprList aArgs, const TScriptType* aType, const TSrcPos& aPos);
TExprPtr Format(TExprPtr aFormat, TExprList aArgs, const TSrcPos& aPos);
// aHops: static links to follow from the caller's frame to the callee's parent frame.
TExprPtr Call(const TRoutine* aRoutine, TExprList aArgs, int aHops, const TSrcPos& aPos);

TStmtPtr Assign(TExprPtr aTarget, TExprPtr aValue, const TSrcPos& aPos);
TStmtPtr AssignChar(TExprPtr aString, TExprPtr aIndex, TExprPtr aValue, const TSrcPos& aPos);
TStmtPtr Evaluate(TExprPtr aExpr);
TStmtPtr Compound(TStmtList aBody, const TSrcPos& aPos);
TStmtPtr If(TExprPtr aCond, TStmtPtr aThen, TStmtPtr aElse, const TSrcPos& aPos);
// if ... else if ... else if ... [else ...]: the first branch whose condition holds.
TStmtPtr IfChain(std::vector<TIfBranch> aBranches, TStmtPtr aElse, const TSrcPos& aPos);
TStmtPtr While(TExprPtr aCond, TStmtPtr aBody, const TSrcPos& aPos);
TStmtPtr Repeat(TStmtList aBody, TExprPtr aCond, const TSrcPos& aPos);
TStmtPtr For(TExprPtr aVar, TExprPtr aFrom, TExprPtr aTo, bool aDown, TStmtPtr aBody,
             const TSrcPos& aPos);
TStmtPtr Case(TExprPtr aSelector, std::vector<TCaseBranch> aBranches, TStmtPtr aElse,
              const TSrcPos& aPos);
TStmtPtr Flow(TFlow aFlow, const TSrcPos& aPos);
TStmtPtr IncDec(TExprPtr aTarget, TExprPtr aDelta, const TSrcPos& aPos);
TStmtPtr SetInclude(TExprPtr aSet, TExprPtr aElem, bool aInclude, const TSrcPos& aPos);
TStmtPtr SetLength(TExprPtr aString, TExprPtr aLength, const TSrcPos& aPos);

// When aValue is aTarget + more texts, takes the further parts out of aValue (for appending
// in place).
bool TakeAppendedParts(TExprPtr& aValue, const TExpr& aTarget, TExprList& aParts);

// Value of an expression made only of constants; throws TRunError (division by zero...).
TVal EvalConst(const TExpr& aExpr);

} // namespace nodes

// Texts are bounded so that a runaway script fails instead of exhausting memory.
constexpr qsizetype kMaxStringLength = 64 * 1024 * 1024;
void CheckLength(qint64 aLength);

// A float result that is no finite number stops the script: an overflow, or an invalid
// operation for NaN. Without a place, the calling node adds its own.
[[noreturn]] void ThrowFloatError(double aValue, const TSrcPos* aPos);
inline double CheckFloat(double aValue, const TSrcPos* aPos = nullptr)
{
    if (!std::isfinite(aValue)) [[unlikely]]
        ThrowFloatError(aValue, aPos);
    return aValue;
}

} // namespace tscript
