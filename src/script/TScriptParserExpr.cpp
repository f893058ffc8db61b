#include "script/TScriptParser.h"

namespace tscript {

namespace {

QString Quoted(const QString& aName)
{
    return QLatin1Char('\'') % aName % QLatin1Char('\'');
}

QString NotApplicable()
{
    return QStringLiteral("Opérateur non applicable à ce type d'opérande");
}

// Shifts follow Delphi: operands of 32 bits or fewer shift as an Integer (a Cardinal, for the
// unsigned 32-bit types) with the count taken mod 32; wider ones as an Int64, count mod 64.
const TScriptType* ShiftType(const TScriptType* aLeft)
{
    if (aLeft->bits < 32 || (aLeft->low >= std::numeric_limits<qint32>::min() &&
                             aLeft->high <= std::numeric_limits<qint32>::max()))
        return types::Integer();
    if (aLeft->low >= 0 && aLeft->high <= std::numeric_limits<quint32>::max())
        return types::Cardinal();
    return types::Int64();
}

} // namespace

// ---------------------------------------------------------------- typing helpers

void TScriptParser::Incompatible(const TScriptType* aTarget, const TExpr& aValue) const
{
    Fail(aValue.pos, QStringLiteral("Types incompatibles : ") % Quoted(aTarget->DisplayName()) %
                         QStringLiteral(" et ") % Quoted(aValue.type->DisplayName()));
}

void TScriptParser::RequireBoolean(const TExprPtr& aExpr) const
{
    if (aExpr->type->kind != TTypeKind::Boolean)
        Incompatible(types::Boolean(), *aExpr);
}

void TScriptParser::RequireOrdinal(const TExprPtr& aExpr) const
{
    if (!aExpr->type->IsOrdinal())
        Fail(aExpr->pos, QStringLiteral("Type ordinal attendu"));
}

void TScriptParser::RequireInteger(const TExprPtr& aExpr) const
{
    if (!aExpr->type->IsInteger())
        Incompatible(types::Integer(), *aExpr);
}

bool TScriptParser::SameOrdinalFamily(const TScriptType* aA, const TScriptType* aB) const
{
    if (!aA->IsOrdinal() || !aB->IsOrdinal() || aA->kind != aB->kind)
        return false;
    if (aA->kind == TTypeKind::Enum)
        return aA->Root() == aB->Root();
    return true;
}

bool TScriptParser::SetsCompatible(const TScriptType* aA, const TScriptType* aB) const
{
    if (aA->kind != TTypeKind::Set || aB->kind != TTypeKind::Set)
        return false;
    if (!aA->elem || !aB->elem)
        return true;
    return SameOrdinalFamily(aA->elem, aB->elem);
}

bool TScriptParser::IndexCompatible(const TScriptType* aIndex, const TScriptType* aValue) const
{
    return SameOrdinalFamily(aIndex, aValue);
}

const TScriptType* TScriptParser::IntLiteralType(const TToken& aTok) const
{
    const qint64 v = aTok.i;
    if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
        return types::Integer();
    if (aTok.hex && v >= 0 && v <= 0xFFFFFFFFLL)
        return types::Cardinal();
    return types::Int64();
}

TExprPtr TScriptParser::Finish(TExprPtr aExpr)
{
    if (aExpr->height > kMaxHeight)
        Fail(aExpr->pos, QStringLiteral("Expression trop complexe"));
    if (!aExpr->IsConst())
        return aExpr;
    try {
        TVal v = nodes::EvalConst(*aExpr);
        return nodes::Const(aExpr->type, std::move(v), aExpr->pos);
    } catch (const TRunError&) {
        // Not folded: 1e308 * 10 in a statement fails when it runs, as it would with variables.
        // Where a constant is required, ConstOf reports the error at compile time.
        return aExpr;
    }
}

TVal TScriptParser::ConstOf(const TExprPtr& aExpr)
{
    if (!aExpr->IsConst())
        Fail(aExpr->pos, QStringLiteral("Expression constante attendue"));
    try {
        return nodes::EvalConst(*aExpr);
    } catch (const TRunError& e) {
        Fail(e.hasPos ? e.pos : aExpr->pos, e.text);
    }
}

TExprPtr TScriptParser::ConstExpression(TContext& aCtx)
{
    TExprPtr e = Expression(aCtx);
    if (!e->IsConst())
        Fail(e->pos, QStringLiteral("Expression constante attendue"));
    return e;
}

TExprPtr TScriptParser::ToFloat(TExprPtr aValue)
{
    if (aValue->type->IsFloat())
        return aValue;
    return Finish(nodes::IntToFloat(std::move(aValue)));
}

TExprPtr TScriptParser::Coerce(TExprPtr aValue, const TScriptType* aTarget)
{
    const TScriptType* src = aValue->type;
    if (src == aTarget)
        return aValue;
    switch (aTarget->kind) {
    case TTypeKind::Integer:
        if (src->IsInteger())
            return aValue;
        break;
    case TTypeKind::Float:
        if (src->IsInteger())
            return ToFloat(std::move(aValue));
        if (src->IsFloat())
            return aValue;
        break;
    case TTypeKind::String:
        if (src->kind == TTypeKind::String)
            return aValue;
        if (src->kind == TTypeKind::Char)
            return Finish(nodes::CharToStr(std::move(aValue)));
        break;
    case TTypeKind::Char:
        if (src->kind == TTypeKind::Char)
            return aValue;
        if (src->kind == TTypeKind::String && aValue->IsConst()) {
            const TVal v = ConstOf(aValue);
            if (v.s.size() == 1)
                return nodes::Const(types::Char(), TVal::Int(v.s.at(0).unicode()), aValue->pos);
        }
        break;
    case TTypeKind::Boolean:
        if (src->kind == TTypeKind::Boolean)
            return aValue;
        break;
    case TTypeKind::Enum:
        if (src->kind == TTypeKind::Enum && src->Root() == aTarget->Root())
            return aValue;
        break;
    case TTypeKind::Set:
        if (SetsCompatible(src, aTarget))
            return aValue;
        break;
    default:
        break;
    }
    Incompatible(aTarget, *aValue);
}

TExprPtr TScriptParser::Typecast(TExprPtr aValue, const TScriptType* aType, const TSrcPos& aPos)
{
    const TScriptType* src = aValue->type;
    if (aType->IsOrdinal() && src->IsOrdinal())
        return Finish(nodes::OrdCast(std::move(aValue), aType, aPos));
    if (aType->IsFloat() && src->IsNumeric())
        return ToFloat(std::move(aValue));
    if (aType->IsText() && src->IsText())
        return Coerce(std::move(aValue), aType);
    if (src == aType)
        return aValue;
    Fail(aPos, QStringLiteral("Transtypage invalide de ") % Quoted(src->DisplayName()) %
                   QStringLiteral(" en ") % Quoted(aType->DisplayName()));
}

TExprPtr TScriptParser::Binary(TBinOp aOp, TExprPtr l, TExprPtr r, const TSrcPos& aPos)
{
    const TScriptType* a = l->type;
    const TScriptType* b = r->type;
    switch (aOp) {
    case TBinOp::Add:
        if (a->IsText() && b->IsText())
            return Finish(nodes::Concat(std::move(l), std::move(r), aPos));
        [[fallthrough]];
    case TBinOp::Sub:
    case TBinOp::Mul:
        if (a->IsInteger() && b->IsInteger())
            return Finish(nodes::IntBinary(aOp, std::move(l), std::move(r), types::Int64(), aPos));
        if (a->IsNumeric() && b->IsNumeric())
            return Finish(
                nodes::FloatBinary(aOp, ToFloat(std::move(l)), ToFloat(std::move(r)), aPos));
        if (SetsCompatible(a, b)) {
            const TSetOp op = aOp == TBinOp::Add   ? TSetOp::Union
                              : aOp == TBinOp::Sub ? TSetOp::Diff
                                                   : TSetOp::Inter;
            const TScriptType* t = a->elem ? a : b;
            return Finish(nodes::SetBinary(op, std::move(l), std::move(r), t, aPos));
        }
        break;
    case TBinOp::Slash:
        if (a->IsNumeric() && b->IsNumeric())
            return Finish(
                nodes::FloatBinary(aOp, ToFloat(std::move(l)), ToFloat(std::move(r)), aPos));
        break;
    case TBinOp::Div:
    case TBinOp::Mod:
        if (a->IsInteger() && b->IsInteger())
            return Finish(nodes::IntBinary(aOp, std::move(l), std::move(r), types::Int64(), aPos));
        break;
    case TBinOp::Shl:
    case TBinOp::Shr:
        if (a->IsInteger() && b->IsInteger())
            return Finish(nodes::IntBinary(aOp, std::move(l), std::move(r), ShiftType(a), aPos));
        break;
    case TBinOp::And:
    case TBinOp::Or:
    case TBinOp::Xor:
        if (a->kind == TTypeKind::Boolean && b->kind == TTypeKind::Boolean)
            return Finish(nodes::Logical(aOp, std::move(l), std::move(r), aPos));
        if (a->IsInteger() && b->IsInteger())
            return Finish(nodes::IntBinary(aOp, std::move(l), std::move(r), types::Int64(), aPos));
        break;
    }
    Fail(aPos, NotApplicable());
}

TExprPtr TScriptParser::Relation(TSym aOp, TExprPtr l, TExprPtr r, const TSrcPos& aPos)
{
    const TScriptType* a = l->type;
    const TScriptType* b = r->type;
    TCmpOp op = TCmpOp::Eq;
    switch (aOp) {
    case TSym::Eq:
        op = TCmpOp::Eq;
        break;
    case TSym::Ne:
        op = TCmpOp::Ne;
        break;
    case TSym::Lt:
        op = TCmpOp::Lt;
        break;
    case TSym::Le:
        op = TCmpOp::Le;
        break;
    case TSym::Gt:
        op = TCmpOp::Gt;
        break;
    case TSym::Ge:
        op = TCmpOp::Ge;
        break;
    default:
        break;
    }
    if (a->IsNumeric() && b->IsNumeric()) {
        if (a->IsFloat() || b->IsFloat()) {
            l = ToFloat(std::move(l));
            r = ToFloat(std::move(r));
        }
        return Finish(nodes::Compare(op, std::move(l), std::move(r), aPos));
    }
    if ((a->IsText() && b->IsText()) || SameOrdinalFamily(a, b))
        return Finish(nodes::Compare(op, std::move(l), std::move(r), aPos));
    if (SetsCompatible(a, b) && op != TCmpOp::Lt && op != TCmpOp::Gt)
        return Finish(nodes::Compare(op, std::move(l), std::move(r), aPos));
    Fail(aPos, QStringLiteral("Types incompatibles : ") % Quoted(a->DisplayName()) %
                   QStringLiteral(" et ") % Quoted(b->DisplayName()));
}

// ---------------------------------------------------------------- expressions

TExprPtr TScriptParser::Expression(TContext& aCtx)
{
    TExprPtr left = SimpleExpression(aCtx);
    const TToken& tok = Cur();
    if (tok.Is(TKw::In)) {
        const TSrcPos pos = tok.pos;
        Next();
        TExprPtr set = SimpleExpression(aCtx);
        RequireOrdinal(left);
        if (set->type->kind != TTypeKind::Set)
            Fail(set->pos, QStringLiteral("Ensemble attendu après 'in'"));
        if (set->type->elem && !SameOrdinalFamily(set->type->elem, left->type))
            Incompatible(set->type->elem, *left);
        return Finish(nodes::In(std::move(left), std::move(set), pos));
    }
    if (tok.kind == TTok::Sym &&
        (tok.sym == TSym::Eq || tok.sym == TSym::Ne || tok.sym == TSym::Lt || tok.sym == TSym::Le ||
         tok.sym == TSym::Gt || tok.sym == TSym::Ge)) {
        const TSym op = tok.sym;
        const TSrcPos pos = tok.pos;
        Next();
        TExprPtr right = SimpleExpression(aCtx);
        return Relation(op, std::move(left), std::move(right), pos);
    }
    return left;
}

TExprPtr TScriptParser::SimpleExpression(TContext& aCtx)
{
    TExprPtr left = Term(aCtx);
    for (;;) {
        const TToken& tok = Cur();
        TBinOp op;
        if (tok.Is(TSym::Plus))
            op = TBinOp::Add;
        else if (tok.Is(TSym::Minus))
            op = TBinOp::Sub;
        else if (tok.Is(TKw::Or))
            op = TBinOp::Or;
        else if (tok.Is(TKw::Xor))
            op = TBinOp::Xor;
        else
            return left;
        const TSrcPos pos = tok.pos;
        Next();
        TExprPtr right = Term(aCtx);
        left = Binary(op, std::move(left), std::move(right), pos);
    }
}

TExprPtr TScriptParser::Term(TContext& aCtx)
{
    TExprPtr left = Factor(aCtx);
    for (;;) {
        const TToken& tok = Cur();
        TBinOp op;
        if (tok.Is(TSym::Star))
            op = TBinOp::Mul;
        else if (tok.Is(TSym::Slash))
            op = TBinOp::Slash;
        else if (tok.Is(TKw::Div))
            op = TBinOp::Div;
        else if (tok.Is(TKw::Mod))
            op = TBinOp::Mod;
        else if (tok.Is(TKw::And))
            op = TBinOp::And;
        else if (tok.Is(TKw::Shl))
            op = TBinOp::Shl;
        else if (tok.Is(TKw::Shr))
            op = TBinOp::Shr;
        else
            return left;
        const TSrcPos pos = tok.pos;
        Next();
        TExprPtr right = Factor(aCtx);
        left = Binary(op, std::move(left), std::move(right), pos);
    }
}

TExprPtr TScriptParser::Factor(TContext& aCtx)
{
    TNestGuard guard(*this, Cur().pos);
    const TToken& tok = Cur();
    const TSrcPos pos = tok.pos;
    switch (tok.kind) {
    case TTok::Int: {
        if (tok.minInt64)
            Fail(pos, QStringLiteral("Constante entière trop grande ") % tok.text);
        TExprPtr e = nodes::Const(IntLiteralType(tok), TVal::Int(tok.i), pos);
        Next();
        return e;
    }
    case TTok::Float: {
        TExprPtr e = nodes::Const(types::Double(), TVal::Float(tok.f), pos);
        Next();
        return e;
    }
    case TTok::Str: {
        TExprPtr e = tok.text.size() == 1
                         ? nodes::Const(types::Char(), TVal::Int(tok.text.at(0).unicode()), pos)
                         : nodes::Const(types::String(), TVal::Str(tok.text), pos);
        Next();
        return Selectors(aCtx, std::move(e));
    }
    case TTok::Sym:
        if (tok.sym == TSym::LParen) {
            Next();
            TExprPtr e = Expression(aCtx);
            Expect(TSym::RParen);
            return Selectors(aCtx, std::move(e));
        }
        if (tok.sym == TSym::LBrack)
            return SetConstructor(aCtx);
        if (tok.sym == TSym::Minus || tok.sym == TSym::Plus) {
            const bool minus = tok.sym == TSym::Minus;
            Next();
            // -9223372036854775808, whose magnitude alone is no Int64.
            if (minus && Cur().kind == TTok::Int && Cur().minInt64) {
                Next();
                return nodes::Const(types::Int64(), TVal::Int(std::numeric_limits<qint64>::min()),
                                    pos);
            }
            TExprPtr e = Factor(aCtx);
            if (!e->type->IsNumeric())
                Fail(pos, NotApplicable());
            if (!minus)
                return e;
            return Finish(nodes::Negate(std::move(e), pos));
        }
        if (tok.sym == TSym::At || tok.sym == TSym::Caret)
            Fail(pos, QStringLiteral("Pointeurs non pris en charge"));
        break;
    case TTok::Ident:
        if (tok.kw == TKw::None)
            return IdentFactor(aCtx);
        if (tok.kw == TKw::Not) {
            Next();
            TExprPtr e = Factor(aCtx);
            if (e->type->kind != TTypeKind::Boolean && !e->type->IsInteger())
                Fail(pos, NotApplicable());
            return Finish(nodes::Not(std::move(e), pos));
        }
        if (tok.kw == TKw::Nil)
            Fail(pos, QStringLiteral("Pointeurs non pris en charge"));
        break;
    default:
        break;
    }
    FailExpected(QStringLiteral("Expression attendue"));
}

TExprPtr TScriptParser::IdentFactor(TContext& aCtx)
{
    const TToken tok = Cur();
    const TSymbol* sym = Lookup(aCtx, tok);
    if (!sym)
        Fail(tok.pos, QStringLiteral("Identificateur inconnu ") % Quoted(tok.text));
    Next();
    switch (sym->kind) {
    case TSymKind::Const:
        return Selectors(aCtx, nodes::Const(sym->type, sym->value, tok.pos));
    case TSymKind::Var:
        return Selectors(aCtx, nodes::Var(*sym, aCtx.level, tok.pos));
    case TSymKind::Type: {
        if (!Accept(TSym::LParen))
            Fail(tok.pos, QStringLiteral("Expression attendue mais type ") % Quoted(tok.text) %
                              QStringLiteral(" trouvé"));
        TExprPtr value = Expression(aCtx);
        Expect(TSym::RParen);
        return Selectors(aCtx, Typecast(std::move(value), sym->type, tok.pos));
    }
    case TSymKind::Routine:
        if (!sym->routine->result)
            Fail(tok.pos, QStringLiteral("La procédure ") % Quoted(tok.text) %
                              QStringLiteral(" ne renvoie pas de valeur"));
        return Selectors(aCtx, CallRoutine(aCtx, sym->routine, tok.pos));
    case TSymKind::Intrinsic:
        return Selectors(aCtx, IntrinsicFunction(aCtx, *sym, tok.pos));
    }
    FailExpected(QStringLiteral("Expression attendue"));
}

TExprPtr TScriptParser::Variable(TContext& aCtx, bool aForWrite)
{
    const TToken tok = Cur();
    if (!tok.IsPlainIdent())
        FailExpected(QStringLiteral("Variable attendue"));
    const TSymbol* sym = Lookup(aCtx, tok);
    if (!sym)
        Fail(tok.pos, QStringLiteral("Identificateur inconnu ") % Quoted(tok.text));
    if (sym->kind != TSymKind::Var)
        Fail(tok.pos, QStringLiteral("Variable attendue : ") % Quoted(tok.text));
    if (aForWrite && sym->readOnly)
        Fail(tok.pos, QStringLiteral("Affectation impossible à ") % Quoted(tok.text) %
                          QStringLiteral(" (lecture seule)"));
    Next();
    TExprPtr e = Selectors(aCtx, nodes::Var(*sym, aCtx.level, tok.pos));
    return e;
}

TExprPtr TScriptParser::Selectors(TContext& aCtx, TExprPtr aBase)
{
    TExprPtr e = std::move(aBase);
    for (;;) {
        const TToken& tok = Cur();
        if (tok.Is(TSym::Dot)) {
            const TSrcPos dot = tok.pos;
            Next();
            TSrcPos pos;
            QString key;
            const QString name = ExpectIdent(&pos, &key);
            if (e->type->kind != TTypeKind::Record)
                Fail(dot, QStringLiteral("Enregistrement attendu avant '.'"));
            const int field = e->type->FieldIndex(key);
            if (field < 0)
                Fail(pos, QStringLiteral("Champ inconnu ") % Quoted(name));
            e = Finish(nodes::Field(std::move(e), field, pos));
        } else if (tok.Is(TSym::LBrack)) {
            Next();
            for (;;) {
                TExprPtr index = Expression(aCtx);
                const TSrcPos pos = index->pos;
                if (e->type->kind == TTypeKind::Array) {
                    const TScriptType* it = e->type->index;
                    if (!IndexCompatible(it, index->type))
                        Incompatible(it, *index);
                    if (index->IsConst()) {
                        const qint64 k = ConstOf(index).n.i;
                        if (k < it->low || k > it->high)
                            Fail(pos, QStringLiteral("Indice hors limites : %1 (bornes %2..%3)")
                                          .arg(k)
                                          .arg(it->low)
                                          .arg(it->high));
                    }
                    e = Finish(nodes::Index(std::move(e), std::move(index), pos));
                } else if (e->type->kind == TTypeKind::String) {
                    RequireInteger(index);
                    e = Finish(nodes::StrIndex(std::move(e), std::move(index), pos));
                } else {
                    Fail(pos, QStringLiteral("Tableau ou chaîne attendu avant '['"));
                }
                if (Accept(TSym::Comma))
                    continue;
                Expect(TSym::RBrack);
                break;
            }
        } else if (tok.Is(TSym::Caret)) {
            Fail(tok.pos, QStringLiteral("Pointeurs non pris en charge"));
        } else {
            return e;
        }
    }
}

TExprPtr TScriptParser::SetConstructor(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    Next(); // [
    std::vector<TSetElem> elems;
    const TScriptType* elemType = nullptr;
    auto member = [&](TExprPtr e) {
        RequireOrdinal(e);
        if (!elemType)
            elemType = e->type;
        else if (!SameOrdinalFamily(elemType, e->type))
            Incompatible(elemType, *e);
        if (e->IsConst()) {
            const qint64 v = ConstOf(e).n.i;
            if (v < 0 || v > 255)
                Fail(e->pos, QStringLiteral("Élément d'ensemble hors limites : %1").arg(v));
        }
        return e;
    };
    if (!Accept(TSym::RBrack)) {
        for (;;) {
            TSetElem elem;
            elem.lo = member(Expression(aCtx));
            if (Accept(TSym::DotDot))
                elem.hi = member(Expression(aCtx));
            elems.push_back(std::move(elem));
            if (Accept(TSym::Comma))
                continue;
            Expect(TSym::RBrack);
            break;
        }
    }
    const TScriptType* type = EmptySet();
    if (elemType) {
        if (elemType->IsInteger())
            type = types::ByteSet();
        else if (elemType->kind == TTypeKind::Char)
            type = types::CharSet();
        else
            type = SetOf(elemType->Root(), pos);
    }
    return Finish(nodes::SetCtor(std::move(elems), type, pos));
}

TExprPtr TScriptParser::CallRoutine(TContext& aCtx, const TRoutine* aRoutine, const TSrcPos& aPos)
{
    TExprList args;
    const std::vector<TParam>& params = aRoutine->params;
    if (Accept(TSym::LParen) && !Accept(TSym::RParen)) {
        for (;;) {
            if (args.size() >= params.size())
                Fail(Cur().pos, QStringLiteral("Trop de paramètres dans l'appel de ") %
                                    Quoted(aRoutine->name));
            const TParam& p = params[args.size()];
            if (p.ByRef()) {
                const TSrcPos argPos = Cur().pos;
                TExprPtr e = Variable(aCtx, true);
                if (!e->IsLValue())
                    Fail(argPos, QStringLiteral("Variable attendue pour le paramètre var ") %
                                     Quoted(p.name));
                if (e->type != p.type)
                    Fail(argPos,
                         QStringLiteral("Les paramètres var doivent être de type identique : ") %
                             Quoted(p.type->DisplayName()) % QStringLiteral(" attendu, ") %
                             Quoted(e->type->DisplayName()) % QStringLiteral(" trouvé"));
                args.push_back(std::move(e));
            } else {
                args.push_back(Coerce(Expression(aCtx), p.type));
            }
            if (Accept(TSym::Comma))
                continue;
            Expect(TSym::RParen);
            break;
        }
    }
    for (size_t k = args.size(); k < params.size(); ++k) {
        if (!params[k].hasDefault)
            Fail(aPos, QStringLiteral("Pas assez de paramètres dans l'appel de ") %
                           Quoted(aRoutine->name));
        args.push_back(nodes::Const(params[k].type, params[k].defaultValue, aPos));
    }
    const int hops =
        aRoutine->kind == TRoutine::TKind::User ? aCtx.level - (aRoutine->level - 1) : 0;
    return Finish(nodes::Call(aRoutine, std::move(args), hops, aPos));
}

TExprList TScriptParser::ParenArgs(TContext& aCtx, size_t aMin, size_t aMax, const QString& aName)
{
    TExprList args;
    const TSrcPos pos = m_toks[m_p > 0 ? m_p - 1 : 0].pos;
    if (Accept(TSym::LParen) && !Accept(TSym::RParen)) {
        for (;;) {
            args.push_back(Expression(aCtx));
            if (Accept(TSym::Comma))
                continue;
            Expect(TSym::RParen);
            break;
        }
    }
    if (args.size() < aMin || args.size() > aMax)
        Fail(pos,
             QStringLiteral("Nombre de paramètres incorrect dans l'appel de ") % Quoted(aName));
    return args;
}

TExprPtr TScriptParser::IntrinsicFunction(TContext& aCtx, const TSymbol& aSym, const TSrcPos& aPos)
{
    const QString& name = aSym.name;
    auto numeric = [&](const TExprPtr& e) {
        if (!e->type->IsNumeric())
            Fail(e->pos, QStringLiteral("Type numérique attendu"));
    };
    switch (aSym.intrinsic) {
    case TIntrinsic::Length: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        const TScriptType* t = args[0]->type;
        if (t->kind == TTypeKind::Char)
            return nodes::Const(types::Integer(), TVal::Int(1), aPos);
        if (t->kind == TTypeKind::String)
            return Finish(nodes::Function(TFn::StrLength, std::move(args), types::Integer(), aPos));
        if (t->kind == TTypeKind::Array)
            return nodes::Const(types::Integer(), TVal::Int(t->index->high - t->index->low + 1),
                                aPos);
        Fail(args[0]->pos, QStringLiteral("Chaîne ou tableau attendu"));
    }
    case TIntrinsic::Low:
    case TIntrinsic::High: {
        const bool high = aSym.intrinsic == TIntrinsic::High;
        Expect(TSym::LParen);
        const TScriptType* t = nullptr;
        TExprPtr e;
        const TSrcPos argPos = Cur().pos;
        if (Cur().IsPlainIdent() && Peek().Is(TSym::RParen)) {
            const TSymbol* s = Lookup(aCtx, Cur());
            if (s && s->kind == TSymKind::Type) {
                t = s->type;
                Next();
            }
        }
        if (!t) {
            e = Expression(aCtx);
            t = e->type;
        }
        Expect(TSym::RParen);
        if (t->IsOrdinal())
            return nodes::Const(t, TVal::Int(high ? t->high : t->low), aPos);
        if (t->kind == TTypeKind::Array)
            return nodes::Const(t->index, TVal::Int(high ? t->index->high : t->index->low), aPos);
        if (t->kind == TTypeKind::String && e) {
            if (!high)
                return nodes::Const(types::Integer(), TVal::Int(1), aPos);
            TExprList args;
            args.push_back(std::move(e));
            return Finish(nodes::Function(TFn::StrLength, std::move(args), types::Integer(), aPos));
        }
        Fail(argPos, QStringLiteral("Type ordinal ou tableau attendu"));
    }
    case TIntrinsic::Ord: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        RequireOrdinal(args[0]);
        return Finish(nodes::OrdCast(std::move(args[0]), types::Int64(), aPos));
    }
    case TIntrinsic::Chr: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        RequireInteger(args[0]);
        return Finish(nodes::OrdCast(std::move(args[0]), types::Char(), aPos));
    }
    case TIntrinsic::Succ:
    case TIntrinsic::Pred: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        RequireOrdinal(args[0]);
        const TScriptType* t = args[0]->type;
        TExprPtr one = nodes::Const(types::Integer(),
                                    TVal::Int(aSym.intrinsic == TIntrinsic::Succ ? 1 : -1), aPos);
        TExprPtr sum =
            nodes::IntBinary(TBinOp::Add, std::move(args[0]), std::move(one), types::Int64(), aPos);
        return Finish(nodes::OrdCast(Finish(std::move(sum)), t, aPos));
    }
    case TIntrinsic::Abs:
    case TIntrinsic::Sqr: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        numeric(args[0]);
        const bool isInt = args[0]->type->IsInteger();
        const bool abs = aSym.intrinsic == TIntrinsic::Abs;
        const TFn fn =
            isInt ? (abs ? TFn::AbsInt : TFn::SqrInt) : (abs ? TFn::AbsFloat : TFn::SqrFloat);
        return Finish(
            nodes::Function(fn, std::move(args), isInt ? types::Int64() : types::Double(), aPos));
    }
    case TIntrinsic::Round:
    case TIntrinsic::Trunc: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        numeric(args[0]);
        if (args[0]->type->IsInteger())
            return Finish(nodes::OrdCast(std::move(args[0]), types::Int64(), aPos));
        const TFn fn = aSym.intrinsic == TIntrinsic::Round ? TFn::Round : TFn::Trunc;
        return Finish(nodes::Function(fn, std::move(args), types::Int64(), aPos));
    }
    case TIntrinsic::Min:
    case TIntrinsic::Max: {
        TExprList args = ParenArgs(aCtx, 2, 2, name);
        numeric(args[0]);
        numeric(args[1]);
        const bool min = aSym.intrinsic == TIntrinsic::Min;
        if (args[0]->type->IsInteger() && args[1]->type->IsInteger())
            return Finish(nodes::Function(min ? TFn::MinInt : TFn::MaxInt, std::move(args),
                                          types::Int64(), aPos));
        args[0] = ToFloat(std::move(args[0]));
        args[1] = ToFloat(std::move(args[1]));
        return Finish(nodes::Function(min ? TFn::MinFloat : TFn::MaxFloat, std::move(args),
                                      types::Double(), aPos));
    }
    case TIntrinsic::Odd: {
        TExprList args = ParenArgs(aCtx, 1, 1, name);
        RequireInteger(args[0]);
        return Finish(nodes::Function(TFn::Odd, std::move(args), types::Boolean(), aPos));
    }
    case TIntrinsic::Random: {
        TExprList args = ParenArgs(aCtx, 0, 1, name);
        if (args.empty())
            return nodes::Function(TFn::RandomFloat, {}, types::Double(), aPos);
        RequireInteger(args[0]);
        return nodes::Function(TFn::RandomInt, std::move(args), types::Int64(), aPos);
    }
    case TIntrinsic::IntToHex: {
        TExprList args = ParenArgs(aCtx, 1, 2, name);
        RequireInteger(args[0]);
        const int bits = args[0]->type->bits;
        if (args.size() == 1)
            args.push_back(nodes::Const(types::Integer(), TVal::Int(std::max(2, bits / 4)), aPos));
        RequireInteger(args[1]);
        args.push_back(nodes::Const(types::Integer(), TVal::Int(bits), aPos));
        return Finish(nodes::Function(TFn::IntToHex, std::move(args), types::String(), aPos));
    }
    case TIntrinsic::Concat: {
        TExprList args = ParenArgs(aCtx, 1, 1000, name);
        TExprPtr out;
        for (TExprPtr& a : args) {
            if (!a->type->IsText())
                Incompatible(types::String(), *a);
            out = out ? Finish(nodes::Concat(std::move(out), std::move(a), aPos))
                      : Coerce(std::move(a), types::String());
        }
        return out;
    }
    case TIntrinsic::Format: {
        Expect(TSym::LParen);
        TExprPtr format = Coerce(Expression(aCtx), types::String());
        Expect(TSym::Comma);
        Expect(TSym::LBrack);
        TExprList args;
        if (!Accept(TSym::RBrack)) {
            for (;;) {
                TExprPtr a = Expression(aCtx);
                const TTypeKind k = a->type->kind;
                if (k != TTypeKind::Integer && k != TTypeKind::Float && k != TTypeKind::String &&
                    k != TTypeKind::Char)
                    Fail(a->pos, QStringLiteral("Argument de Format incorrect : ") %
                                     Quoted(a->type->DisplayName()));
                args.push_back(std::move(a));
                if (Accept(TSym::Comma))
                    continue;
                Expect(TSym::RBrack);
                break;
            }
        }
        Expect(TSym::RParen);
        return Finish(nodes::Format(std::move(format), std::move(args), aPos));
    }
    default:
        Fail(aPos, QStringLiteral("La procédure ") % Quoted(name) %
                       QStringLiteral(" ne renvoie pas de valeur"));
    }
}

} // namespace tscript
