#include "script/TScriptParser.h"

namespace tscript {

namespace {

QString Quoted(const QString& aName)
{
    return QLatin1Char('\'') % aName % QLatin1Char('\'');
}

} // namespace

TScriptParser::TScriptParser(TProgram& aProgram, std::vector<TToken> aTokens, TWarn aWarn)
    : m_prog(aProgram)
    , m_toks(std::move(aTokens))
    , m_warn(std::move(aWarn))
    , m_stackFloor(ComputeStackFloor())
{
    if (m_toks.empty() || m_toks.back().kind != TTok::Eof) {
        TToken eof;
        eof.kind = TTok::Eof;
        if (!m_toks.empty())
            eof.pos = m_toks.back().pos;
        m_toks.push_back(eof);
    }
}

// ---------------------------------------------------------------- tokens

bool TScriptParser::Accept(TSym aSym)
{
    if (!Cur().Is(aSym))
        return false;
    Next();
    return true;
}

bool TScriptParser::Accept(TKw aKw)
{
    if (!Cur().Is(aKw))
        return false;
    Next();
    return true;
}

void TScriptParser::Fail(const TSrcPos& aPos, const QString& aText) const
{
    ThrowCompile(aPos, aText);
}

void TScriptParser::FailExpected(const QString& aWhat) const
{
    Fail(Cur().pos,
         aWhat % QStringLiteral(" mais ") % Cur().Describe() % QStringLiteral(" trouvé"));
}

void TScriptParser::Expect(TSym aSym)
{
    if (!Accept(aSym))
        FailExpected(Quoted(TScriptLexer::SymbolText(aSym)) % QStringLiteral(" attendu"));
}

void TScriptParser::Expect(TKw aKw, const char* aSpelling)
{
    if (!Accept(aKw))
        FailExpected(Quoted(QString::fromLatin1(aSpelling)) % QStringLiteral(" attendu"));
}

QString TScriptParser::ExpectIdent(TSrcPos* aPos, QString* aKey)
{
    if (!Cur().IsPlainIdent())
        FailExpected(QStringLiteral("Identificateur attendu"));
    if (aPos)
        *aPos = Cur().pos;
    if (aKey)
        *aKey = Cur().key;
    QString name = Cur().text;
    Next();
    return name;
}

TSymbol* TScriptParser::Lookup(TContext& aCtx, const TToken& aTok) const
{
    return aCtx.scope->Find(aTok.key);
}

void TScriptParser::Declare(TScope& aScope, const QString& aKey, TSymbol* aSymbol,
                            const TSrcPos& aPos)
{
    aSymbol->pos = aPos;
    if (!aScope.Add(aKey, aSymbol))
        Fail(aPos, QStringLiteral("Identificateur redéclaré ") % Quoted(aSymbol->name));
}

// ---------------------------------------------------------------- program and declarations

void TScriptParser::ParseProgram(const TScope* aOuter)
{
    m_outer = aOuter;
    m_prog.globalScope = std::make_unique<TScope>(aOuter, 0);
    TContext ctx;
    ctx.scope = m_prog.globalScope.get();
    if (Accept(TKw::Program)) {
        ExpectIdent();
        if (Accept(TSym::LParen)) {
            do
                ExpectIdent();
            while (Accept(TSym::Comma));
            Expect(TSym::RParen);
        }
        Expect(TSym::Semi);
    }
    if (Accept(TKw::Uses)) {
        do
            ExpectIdent();
        while (Accept(TSym::Comma));
        Expect(TSym::Semi);
    }
    Declarations(ctx);
    const TSrcPos begin = Cur().pos;
    Expect(TKw::Begin, "begin");
    TStmtList body = StatementList(ctx, {TKw::End});
    Expect(TKw::End, "end");
    Expect(TSym::Dot);
    m_prog.main = nodes::Compound(std::move(body), begin);
}

void TScriptParser::Declarations(TContext& aCtx)
{
    for (;;) {
        if (Cur().Is(TKw::Const))
            ConstSection(aCtx);
        else if (Cur().Is(TKw::Type))
            TypeSection(aCtx);
        else if (Cur().Is(TKw::Var))
            VarSection(aCtx);
        else if (Cur().Is(TKw::Procedure))
            RoutineDeclaration(aCtx, false);
        else if (Cur().Is(TKw::Function))
            RoutineDeclaration(aCtx, true);
        else if (Cur().Is(TKw::Label) || Cur().Is(TKw::Class) || Cur().Is(TKw::Interface) ||
                 Cur().Is(TKw::Implementation) || Cur().Is(TKw::Unit))
            Fail(Cur().pos,
                 QStringLiteral("Déclaration non prise en charge : ") % Cur().Describe());
        else
            break;
    }
    // Every forward declaration of this block needs its body before the block's code.
    for (const TSymbol* sym : aCtx.scope->Symbols())
        if (sym->kind == TSymKind::Routine && sym->routine->kind == TRoutine::TKind::User &&
            !sym->routine->defined)
            Fail(sym->pos, QStringLiteral("Déclaration forward non résolue ") % Quoted(sym->name));
}

int TScriptParser::NewGlobalSlot(const TScriptType* aType, const TSrcPos& aPos)
{
    m_prog.globalCells += aType->cells;
    if (m_prog.globalCells > TRun::kMaxLiveCells)
        Fail(aPos, QStringLiteral("Variables globales trop volumineuses"));
    m_prog.globalTypes.push_back(aType);
    return m_prog.globalCount++;
}

TSymbol* TScriptParser::AddVar(TContext& aCtx, const QString& aName, const QString& aKey,
                               const TScriptType* aType, const TSrcPos& aPos)
{
    TSymbol* sym = m_prog.NewSymbol();
    sym->kind = TSymKind::Var;
    sym->name = aName;
    sym->type = aType;
    sym->level = aCtx.level;
    if (aCtx.level == 0) {
        sym->slot = NewGlobalSlot(aType, aPos);
    } else {
        sym->slot = aCtx.nextSlot++;
        aCtx.cells += aType->cells;
        if (aCtx.cells > TRun::kMaxLiveCells)
            Fail(aPos, QStringLiteral("Variables locales trop volumineuses"));
        if (aType->IsAggregate() || aType->IsFloat())
            aCtx.routine->localInits.emplace_back(sym->slot, aType);
    }
    Declare(*aCtx.scope, aKey, sym, aPos);
    return sym;
}

void TScriptParser::ConstSection(TContext& aCtx)
{
    Next();
    do {
        TSrcPos pos;
        QString key;
        const QString name = ExpectIdent(&pos, &key);
        if (Accept(TSym::Colon)) {
            // A typed constant: a read-only variable that lives as long as the program.
            const TScriptType* type = Type(aCtx, *aCtx.scope);
            Expect(TSym::Eq);
            TVal value = ConstValue(type, aCtx);
            TSymbol* sym = m_prog.NewSymbol();
            sym->kind = TSymKind::Var;
            sym->name = name;
            sym->type = type;
            sym->level = 0;
            sym->readOnly = true;
            sym->slot = NewGlobalSlot(type, pos);
            m_prog.globalInits.emplace_back(sym->slot, std::move(value));
            Declare(*aCtx.scope, key, sym, pos);
        } else {
            Expect(TSym::Eq);
            TExprPtr e = ConstExpression(aCtx);
            TSymbol* sym = m_prog.NewSymbol();
            sym->kind = TSymKind::Const;
            sym->name = name;
            sym->type = e->type;
            sym->value = ConstOf(e);
            Declare(*aCtx.scope, key, sym, pos);
        }
        Expect(TSym::Semi);
    } while (Cur().IsPlainIdent());
}

TVal TScriptParser::ConstValue(const TScriptType* aType, TContext& aCtx)
{
    TNestGuard guard(*this, Cur().pos);
    if (aType->kind == TTypeKind::Array) {
        Expect(TSym::LParen);
        TVal v = DefaultValue(aType);
        const qint64 count = aType->index->high - aType->index->low + 1;
        for (qint64 k = 0; k < count; ++k) {
            if (k > 0)
                Expect(TSym::Comma);
            v.agg->items[size_t(k)] = ConstValue(aType->elem, aCtx);
        }
        Expect(TSym::RParen);
        return v;
    }
    if (aType->kind == TTypeKind::Record) {
        Expect(TSym::LParen);
        TVal v = DefaultValue(aType);
        while (!Cur().Is(TSym::RParen)) {
            TSrcPos pos;
            QString key;
            const QString name = ExpectIdent(&pos, &key);
            const int field = aType->FieldIndex(key);
            if (field < 0)
                Fail(pos, QStringLiteral("Champ inconnu ") % Quoted(name));
            Expect(TSym::Colon);
            v.agg->items[size_t(field)] = ConstValue(aType->fields[size_t(field)].type, aCtx);
            if (!Accept(TSym::Semi))
                break;
        }
        Expect(TSym::RParen);
        return v;
    }
    TExprPtr e = Coerce(ConstExpression(aCtx), aType);
    TVal v = ConstOf(e);
    if (aType->IsOrdinal())
        v.n.i = aType->Normalize(v.n.i);
    aType->FitText(v.s);
    return v;
}

void TScriptParser::TypeSection(TContext& aCtx)
{
    Next();
    do {
        TSrcPos pos;
        QString key;
        const QString name = ExpectIdent(&pos, &key);
        Expect(TSym::Eq);
        const TScriptType* type = Type(aCtx, *aCtx.scope);
        if (type->name.isEmpty())
            const_cast<TScriptType*>(type)->name = name;
        TSymbol* sym = m_prog.NewSymbol();
        sym->kind = TSymKind::Type;
        sym->name = name;
        sym->type = type;
        Declare(*aCtx.scope, key, sym, pos);
        Expect(TSym::Semi);
    } while (Cur().IsPlainIdent());
}

void TScriptParser::VarSection(TContext& aCtx)
{
    Next();
    do {
        std::vector<std::tuple<QString, QString, TSrcPos>> names;
        do {
            TSrcPos pos;
            QString key;
            QString name = ExpectIdent(&pos, &key);
            names.emplace_back(std::move(name), std::move(key), pos);
        } while (Accept(TSym::Comma));
        Expect(TSym::Colon);
        const TScriptType* type = Type(aCtx, *aCtx.scope);
        bool hasInit = false;
        TVal init;
        if (Cur().Is(TSym::Eq)) {
            if (names.size() != 1 || aCtx.level != 0)
                Fail(Cur().pos,
                     QStringLiteral("Seule une variable globale isolée peut être initialisée"));
            Next();
            init = ConstValue(type, aCtx);
            hasInit = true;
        }
        Expect(TSym::Semi);
        for (auto& [name, key, pos] : names) {
            TSymbol* sym = AddVar(aCtx, name, key, type, pos);
            if (hasInit)
                m_prog.globalInits.emplace_back(sym->slot, init);
        }
    } while (Cur().IsPlainIdent());
}

const TScriptType* TScriptParser::NamedType(TContext& aCtx)
{
    const TToken& tok = Cur();
    if (!tok.IsPlainIdent())
        FailExpected(QStringLiteral("Nom de type attendu"));
    const TSymbol* sym = Lookup(aCtx, tok);
    if (!sym)
        Fail(tok.pos, QStringLiteral("Identificateur inconnu ") % Quoted(tok.text));
    if (sym->kind != TSymKind::Type)
        Fail(tok.pos, QStringLiteral("Type attendu : ") % Quoted(tok.text));
    Next();
    return sym->type;
}

void TScriptParser::Heading(TContext& aCtx, TRoutine& aRoutine, bool aFunction)
{
    if (Accept(TSym::LParen) && !Accept(TSym::RParen)) {
        for (;;) {
            TParamMode mode = TParamMode::Value;
            if (Accept(TKw::Const))
                mode = TParamMode::Const;
            else if (Accept(TKw::Var))
                mode = TParamMode::Var;
            else if (Cur().IsPlainIdent() && Cur().key == QLatin1String("out") &&
                     Peek().IsPlainIdent()) {
                mode = TParamMode::Out;
                Next();
            }
            std::vector<std::pair<QString, TSrcPos>> names;
            do {
                TSrcPos pos;
                QString name = ExpectIdent(&pos);
                for (const TParam& p : aRoutine.params)
                    if (p.name.compare(name, Qt::CaseInsensitive) == 0)
                        Fail(pos, QStringLiteral("Paramètre redéclaré ") % Quoted(name));
                for (const auto& other : names)
                    if (other.first.compare(name, Qt::CaseInsensitive) == 0)
                        Fail(pos, QStringLiteral("Paramètre redéclaré ") % Quoted(name));
                names.emplace_back(std::move(name), pos);
            } while (Accept(TSym::Comma));
            Expect(TSym::Colon);
            if (Cur().Is(TKw::Array))
                Fail(Cur().pos, QStringLiteral("Paramètres tableaux ouverts non pris en charge"));
            const TScriptType* type = NamedType(aCtx);
            bool hasDefault = false;
            TVal def;
            if (Cur().Is(TSym::Eq)) {
                if (names.size() != 1 || mode == TParamMode::Var || mode == TParamMode::Out)
                    Fail(Cur().pos, QStringLiteral("Valeur par défaut impossible ici"));
                Next();
                TExprPtr e = Coerce(ConstExpression(aCtx), type);
                def = ConstOf(e);
                hasDefault = true;
            } else if (!aRoutine.params.empty() && aRoutine.params.back().hasDefault) {
                Fail(names.front().second, QStringLiteral("Valeur par défaut attendue pour ") %
                                               Quoted(names.front().first));
            }
            for (auto& [name, pos] : names) {
                TParam p;
                p.name = name;
                p.type = type;
                p.mode = mode;
                p.hasDefault = hasDefault;
                p.defaultValue = def;
                aRoutine.params.push_back(std::move(p));
            }
            if (Accept(TSym::Semi))
                continue;
            Expect(TSym::RParen);
            break;
        }
    }
    if (aFunction) {
        Expect(TSym::Colon);
        aRoutine.result = NamedType(aCtx);
    } else if (Cur().Is(TSym::Colon)) {
        Fail(Cur().pos, QStringLiteral("Une procédure n'a pas de type de résultat"));
    }
}

bool TScriptParser::SameSignature(const TRoutine& aA, const TRoutine& aB) const
{
    if (aA.result != aB.result || aA.params.size() != aB.params.size())
        return false;
    for (size_t k = 0; k < aA.params.size(); ++k)
        if (aA.params[k].type != aB.params[k].type || aA.params[k].mode != aB.params[k].mode)
            return false;
    return true;
}

void TScriptParser::RoutineDeclaration(TContext& aCtx, bool aFunction)
{
    TNestGuard guard(*this, Cur().pos);
    Next();
    TSrcPos pos;
    QString key;
    const QString name = ExpectIdent(&pos, &key);
    TSymbol* existing = aCtx.scope->FindLocal(key);
    TRoutine* routine = nullptr;
    if (existing && existing->kind == TSymKind::Routine && existing->routine->forward &&
        !existing->routine->defined) {
        routine = existing->routine;
        if (Cur().Is(TSym::LParen) || Cur().Is(TSym::Colon)) {
            TRoutine again;
            Heading(aCtx, again, aFunction);
            if (!SameSignature(again, *routine))
                Fail(pos, QStringLiteral("La déclaration de ") % Quoted(name) %
                              QStringLiteral(" diffère de la déclaration forward"));
        } else if (aFunction != (routine->result != nullptr)) {
            Fail(pos, QStringLiteral("La déclaration de ") % Quoted(name) %
                          QStringLiteral(" diffère de la déclaration forward"));
        }
        Expect(TSym::Semi);
        if (Cur().IsPlainIdent() && Cur().key == QLatin1String("forward"))
            Fail(Cur().pos, QStringLiteral("Déclaration forward en double ") % Quoted(name));
    } else {
        routine = m_prog.NewRoutine();
        routine->kind = TRoutine::TKind::User;
        routine->name = name;
        routine->level = aCtx.level + 1;
        routine->pos = pos;
        Heading(aCtx, *routine, aFunction);
        TSymbol* sym = m_prog.NewSymbol();
        sym->kind = TSymKind::Routine;
        sym->name = name;
        sym->routine = routine;
        Declare(*aCtx.scope, key, sym, pos);
        Expect(TSym::Semi);
        if (Cur().IsPlainIdent() && Cur().key == QLatin1String("forward")) {
            Next();
            Expect(TSym::Semi);
            routine->forward = true;
            return;
        }
    }

    TScope scope(aCtx.scope, routine->level);
    TContext inner;
    inner.parent = &aCtx;
    inner.routine = routine;
    inner.scope = &scope;
    inner.level = routine->level;
    for (const TParam& p : routine->params) {
        TSymbol* sym = m_prog.NewSymbol();
        sym->kind = TSymKind::Var;
        sym->name = p.name;
        sym->type = p.type;
        sym->level = inner.level;
        sym->slot = inner.nextSlot++;
        sym->byRef = p.ByRef();
        sym->readOnly = p.mode == TParamMode::Const;
        if (!sym->byRef)
            inner.cells += p.type->cells;
        Declare(scope, p.name.toLower(), sym, routine->pos);
    }
    if (routine->result) {
        TSymbol* sym = m_prog.NewSymbol();
        sym->kind = TSymKind::Var;
        sym->name = QStringLiteral("Result");
        sym->type = routine->result;
        sym->level = inner.level;
        sym->slot = inner.nextSlot++;
        routine->resultSlot = sym->slot;
        inner.cells += routine->result->cells;
        if (routine->result->IsAggregate() || routine->result->IsFloat())
            routine->localInits.emplace_back(sym->slot, routine->result);
        Declare(scope, QStringLiteral("result"), sym, routine->pos);
    }
    Declarations(inner);
    const TSrcPos begin = Cur().pos;
    Expect(TKw::Begin, "begin");
    TStmtList body = StatementList(inner, {TKw::End});
    Expect(TKw::End, "end");
    Expect(TSym::Semi);
    routine->body = nodes::Compound(std::move(body), begin);
    routine->frameSize = inner.nextSlot;
    routine->frameCells = inner.cells;
    routine->defined = true;
}

// ---------------------------------------------------------------- types

const TScriptType* TScriptParser::Type(TContext& aCtx, TScope& aDeclScope)
{
    TNestGuard guard(*this, Cur().pos);
    if (Accept(TKw::Packed)) {
        if (!Cur().Is(TKw::Record) && !Cur().Is(TKw::Array) && !Cur().Is(TKw::Set))
            FailExpected(QStringLiteral("'record', 'array' ou 'set' attendu"));
    }
    const TToken& tok = Cur();
    if (tok.Is(TSym::LParen))
        return EnumType(aDeclScope);
    if (tok.Is(TKw::Record))
        return RecordType(aCtx, aDeclScope);
    if (tok.Is(TKw::Array))
        return ArrayType(aCtx, aDeclScope);
    if (tok.Is(TKw::Set))
        return SetType(aCtx, aDeclScope);
    if (tok.Is(TSym::Caret))
        Fail(tok.pos, QStringLiteral("Pointeurs non pris en charge"));
    if (tok.Is(TKw::Procedure) || tok.Is(TKw::Function) || tok.Is(TKw::Class) ||
        tok.Is(TKw::Object) || tok.Is(TKw::File) || tok.Is(TKw::Interface))
        Fail(tok.pos, QStringLiteral("Type non pris en charge : ") % tok.Describe());
    if (tok.IsPlainIdent() && !Peek().Is(TSym::DotDot)) {
        const TSymbol* sym = Lookup(aCtx, tok);
        // Byte(0)..9 starts a subrange with a typecast.
        if (sym && sym->kind == TSymKind::Type && !Peek().Is(TSym::LParen)) {
            Next();
            const TScriptType* t = sym->type;
            // string[80]: a string that keeps at most 80 characters.
            if (t->kind == TTypeKind::String && Cur().Is(TSym::LBrack)) {
                Next();
                TExprPtr length = ConstExpression(aCtx);
                RequireInteger(length);
                const qint64 n = ConstOf(length).n.i;
                if (n < 1 || n > 255)
                    Fail(length->pos,
                         QStringLiteral("Longueur de chaîne courte hors limites : %1 (1 à 255)")
                             .arg(n));
                Expect(TSym::RBrack);
                TScriptType* shortString = m_prog.NewType();
                shortString->kind = TTypeKind::String;
                shortString->maxLength = int(n);
                return shortString;
            }
            return t;
        }
        if (!sym)
            Fail(tok.pos, QStringLiteral("Identificateur inconnu ") % Quoted(tok.text));
        // A subrange may start with a constant, Ord('a'), Low(Byte) or a typecast.
        if (sym->kind != TSymKind::Const && sym->kind != TSymKind::Intrinsic &&
            sym->kind != TSymKind::Type)
            Fail(tok.pos, QStringLiteral("Type attendu : ") % Quoted(tok.text));
    }
    return SubrangeType(aCtx);
}

const TScriptType* TScriptParser::EnumType(TScope& aDeclScope)
{
    Next(); // (
    TScriptType* t = m_prog.NewType();
    t->kind = TTypeKind::Enum;
    std::vector<TSymbol*> members;
    do {
        TSrcPos pos;
        QString key;
        const QString name = ExpectIdent(&pos, &key);
        if (t->enumNames.size() >= 65536)
            Fail(pos, QStringLiteral("Énumération trop grande"));
        TSymbol* sym = m_prog.NewSymbol();
        sym->kind = TSymKind::Const;
        sym->name = name;
        sym->type = t;
        sym->value.n.i = qint64(t->enumNames.size());
        t->enumNames.push_back(name);
        Declare(aDeclScope, key, sym, pos);
    } while (Accept(TSym::Comma));
    Expect(TSym::RParen);
    t->low = 0;
    t->high = qint64(t->enumNames.size()) - 1;
    return t;
}

const TScriptType* TScriptParser::RecordType(TContext& aCtx, TScope& aDeclScope)
{
    Next(); // record
    TScriptType* t = m_prog.NewType();
    t->kind = TTypeKind::Record;
    t->cells = 1;
    while (!Cur().Is(TKw::End)) {
        if (Cur().Is(TKw::Case))
            Fail(Cur().pos, QStringLiteral("Enregistrements à variantes non pris en charge"));
        std::vector<std::tuple<QString, QString, TSrcPos>> names;
        do {
            TSrcPos pos;
            QString key;
            QString name = ExpectIdent(&pos, &key);
            if (t->FieldIndex(key) >= 0)
                Fail(pos, QStringLiteral("Champ redéclaré ") % Quoted(name));
            for (const auto& n : names)
                if (std::get<1>(n) == key)
                    Fail(pos, QStringLiteral("Champ redéclaré ") % Quoted(name));
            names.emplace_back(std::move(name), std::move(key), pos);
        } while (Accept(TSym::Comma));
        Expect(TSym::Colon);
        const TScriptType* ft = Type(aCtx, aDeclScope);
        for (auto& [name, key, pos] : names) {
            t->fields.push_back({name, key, ft});
            t->cells += ft->cells;
            if (t->cells > kMaxTypeCells)
                Fail(pos, QStringLiteral("Type trop volumineux"));
        }
        if (!Accept(TSym::Semi))
            break;
    }
    Expect(TKw::End, "end");
    return t;
}

const TScriptType* TScriptParser::OrdinalIndex(TContext& aCtx, TScope& aDeclScope)
{
    const TSrcPos pos = Cur().pos;
    const TScriptType* t = Type(aCtx, aDeclScope);
    if (!t->IsOrdinal())
        Fail(pos, QStringLiteral("Type d'indice ordinal attendu"));
    // In unsigned arithmetic: the span of Int64 does not fit in a signed difference.
    if (t->high < t->low || quint64(t->high) - quint64(t->low) >= quint64(kMaxTypeCells))
        Fail(pos, QStringLiteral("Tableau trop grand"));
    return t;
}

const TScriptType* TScriptParser::ArrayType(TContext& aCtx, TScope& aDeclScope)
{
    const TSrcPos pos = Cur().pos;
    Next(); // array
    if (!Cur().Is(TSym::LBrack)) {
        if (Cur().Is(TKw::Of))
            Fail(pos, QStringLiteral("Tableaux dynamiques non pris en charge"));
        FailExpected(QStringLiteral("'[' attendu"));
    }
    Next();
    std::vector<const TScriptType*> indexes;
    do
        indexes.push_back(OrdinalIndex(aCtx, aDeclScope));
    while (Accept(TSym::Comma));
    Expect(TSym::RBrack);
    Expect(TKw::Of, "of");
    const TScriptType* elem = Type(aCtx, aDeclScope);
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        TScriptType* t = m_prog.NewType();
        t->kind = TTypeKind::Array;
        t->index = *it;
        t->elem = elem;
        // OrdinalIndex bounded count; the product is checked by division, never computed first.
        const qint64 count = (*it)->high - (*it)->low + 1;
        if (elem->cells > kMaxTypeCells / count)
            Fail(pos, QStringLiteral("Type trop volumineux"));
        t->cells = count * elem->cells;
        elem = t;
    }
    return elem;
}

const TScriptType* TScriptParser::SetOf(const TScriptType* aElem, const TSrcPos& aPos)
{
    if (!aElem->IsOrdinal())
        Fail(aPos, QStringLiteral("Type ordinal attendu pour un ensemble"));
    if (aElem->kind == TTypeKind::Char && aElem->high > 255)
        aElem = types::CharSet()->elem;
    if (aElem->low < 0 || aElem->high > 255)
        Fail(aPos, QStringLiteral("Ensemble trop grand : éléments de 0 à 255 seulement"));
    TScriptType* t = m_prog.NewType();
    t->kind = TTypeKind::Set;
    t->elem = aElem;
    return t;
}

const TScriptType* TScriptParser::EmptySet()
{
    static const TScriptType empty = [] {
        TScriptType t;
        t.kind = TTypeKind::Set;
        t.name = QStringLiteral("[]");
        return t;
    }();
    return &empty;
}

const TScriptType* TScriptParser::SetType(TContext& aCtx, TScope& aDeclScope)
{
    Next(); // set
    Expect(TKw::Of, "of");
    const TSrcPos pos = Cur().pos;
    return SetOf(Type(aCtx, aDeclScope), pos);
}

const TScriptType* TScriptParser::SubrangeType(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    TExprPtr lo = ConstExpression(aCtx);
    Expect(TSym::DotDot);
    TExprPtr hi = ConstExpression(aCtx);
    RequireOrdinal(lo);
    if (!SameOrdinalFamily(lo->type, hi->type))
        Incompatible(lo->type, *hi);
    const TVal a = ConstOf(lo), b = ConstOf(hi);
    if (a.n.i > b.n.i)
        Fail(pos, QStringLiteral("Borne inférieure plus grande que la borne supérieure"));
    TScriptType* t = m_prog.NewType();
    *t = *lo->type->Root();
    t->name.clear();
    if (lo->type->kind == TTypeKind::Enum)
        t->elem = lo->type->Root();
    if (t->kind == TTypeKind::Integer) {
        t->bits = 64;
        t->isUnsigned = false;
    }
    t->low = a.n.i;
    t->high = b.n.i;
    return t;
}

// ---------------------------------------------------------------- texts from the host

TRoutine* TScriptParser::ParseHeadingText(const TScope& aScope, TRoutine::TKind aKind,
                                          QString& aKey)
{
    TContext ctx;
    ctx.scope = const_cast<TScope*>(&aScope);
    bool function = false;
    if (Accept(TKw::Function))
        function = true;
    else if (!Accept(TKw::Procedure))
        FailExpected(QStringLiteral("'procedure' ou 'function' attendu"));
    TSrcPos pos;
    const QString name = ExpectIdent(&pos, &aKey);
    TRoutine* routine = m_prog.NewRoutine();
    routine->kind = aKind;
    routine->name = name;
    routine->pos = pos;
    Heading(ctx, *routine, function);
    Accept(TSym::Semi);
    if (Cur().kind != TTok::Eof)
        FailExpected(QStringLiteral("Fin de la déclaration attendue"));
    return routine;
}

const TScriptType* TScriptParser::ParseTypeText(TScope& aScope)
{
    TContext ctx;
    ctx.scope = &aScope;
    const TScriptType* t = Type(ctx, aScope);
    Accept(TSym::Semi);
    if (Cur().kind != TTok::Eof)
        FailExpected(QStringLiteral("Fin de la définition attendue"));
    return t;
}

// ---------------------------------------------------------------- statements

TStmtList TScriptParser::StatementList(TContext& aCtx, std::initializer_list<TKw> aEnd)
{
    auto atEnd = [&] {
        if (Cur().kind == TTok::Eof)
            return true;
        for (TKw k : aEnd)
            if (Cur().Is(k))
                return true;
        return false;
    };
    TStmtList list;
    for (;;) {
        if (atEnd())
            break;
        if (TStmtPtr s = Statement(aCtx))
            list.push_back(std::move(s));
        if (Accept(TSym::Semi))
            continue;
        if (atEnd())
            break;
        if (Cur().Is(TKw::Else))
            Fail(Cur().pos, QStringLiteral("';' n'est pas autorisé avant 'else'"));
        FailExpected(QStringLiteral("';' attendu"));
    }
    return list;
}

TStmtPtr TScriptParser::Statement(TContext& aCtx)
{
    TNestGuard guard(*this, Cur().pos);
    const TToken& tok = Cur();
    if (tok.kind == TTok::Ident) {
        switch (tok.kw) {
        case TKw::None:
            return IdentStatement(aCtx);
        case TKw::Begin: {
            const TSrcPos pos = tok.pos;
            Next();
            TStmtList body = StatementList(aCtx, {TKw::End});
            Expect(TKw::End, "end");
            return nodes::Compound(std::move(body), pos);
        }
        case TKw::If:
            return IfStatement(aCtx);
        case TKw::While:
            return WhileStatement(aCtx);
        case TKw::Repeat:
            return RepeatStatement(aCtx);
        case TKw::For:
            return ForStatement(aCtx);
        case TKw::Case:
            return CaseStatement(aCtx);
        case TKw::End:
        case TKw::Until:
        case TKw::Else:
            return nullptr;
        case TKw::With:
        case TKw::Goto:
        case TKw::Try:
        case TKw::Raise:
        case TKw::Asm:
        case TKw::Inherited:
            Fail(tok.pos, QStringLiteral("Instruction non prise en charge : ") % tok.Describe());
        default:
            break;
        }
    }
    if (tok.Is(TSym::Semi))
        return nullptr;
    FailExpected(QStringLiteral("Instruction attendue"));
}

TStmtPtr TScriptParser::AssignTo(TContext& aCtx, TExprPtr aTarget, const TSrcPos& aPos)
{
    Expect(TSym::Assign);
    TExprPtr value = Expression(aCtx);
    TExprPtr base, index;
    if (nodes::SplitStrIndex(aTarget, base, index)) {
        value = Coerce(std::move(value), types::Char());
        return nodes::AssignChar(std::move(base), std::move(index), std::move(value), aPos);
    }
    value = Coerce(std::move(value), aTarget->type);
    return nodes::Assign(std::move(aTarget), std::move(value), aPos);
}

TStmtPtr TScriptParser::IdentStatement(TContext& aCtx)
{
    const TToken tok = Cur();
    const TSymbol* sym = Lookup(aCtx, tok);
    if (!sym)
        Fail(tok.pos, QStringLiteral("Identificateur inconnu ") % Quoted(tok.text));
    switch (sym->kind) {
    case TSymKind::Intrinsic:
        switch (sym->intrinsic) {
        case TIntrinsic::Exit:
        case TIntrinsic::Break:
        case TIntrinsic::Continue:
        case TIntrinsic::Inc:
        case TIntrinsic::Dec:
        case TIntrinsic::Include:
        case TIntrinsic::Exclude:
        case TIntrinsic::SetLength:
            Next();
            return IntrinsicStatement(aCtx, *sym);
        default:
            break;
        }
        Next();
        return nodes::Evaluate(Selectors(aCtx, IntrinsicFunction(aCtx, *sym, tok.pos)));
    case TSymKind::Routine: {
        if (Peek().Is(TSym::Assign)) {
            // Assigning to the name of an enclosing function sets its result.
            for (const TContext* c = &aCtx; c; c = c->parent) {
                if (c->routine == sym->routine && c->routine->result) {
                    Next();
                    TSymbol result;
                    result.kind = TSymKind::Var;
                    result.type = c->routine->result;
                    result.level = c->level;
                    result.slot = c->routine->resultSlot;
                    return AssignTo(aCtx, nodes::Var(result, aCtx.level, tok.pos), tok.pos);
                }
            }
            Fail(tok.pos, QStringLiteral("Affectation impossible à ") % Quoted(tok.text));
        }
        Next();
        TExprPtr call = CallRoutine(aCtx, sym->routine, tok.pos);
        if (Cur().Is(TSym::Assign))
            Fail(Cur().pos, QStringLiteral("Partie gauche non affectable"));
        return nodes::Evaluate(std::move(call));
    }
    case TSymKind::Var: {
        TExprPtr target = Variable(aCtx, true);
        if (!Cur().Is(TSym::Assign))
            FailExpected(QStringLiteral("':=' attendu"));
        return AssignTo(aCtx, std::move(target), tok.pos);
    }
    case TSymKind::Const:
        if (Peek().Is(TSym::Assign))
            Fail(tok.pos,
                 QStringLiteral("Affectation impossible à la constante ") % Quoted(tok.text));
        break;
    case TSymKind::Type:
        break;
    }
    FailExpected(QStringLiteral("Instruction attendue"));
}

TStmtPtr TScriptParser::IfStatement(TContext& aCtx)
{
    // "else if" chains are read in a loop into one node: a chain of a thousand branches nests
    // neither the parser nor the interpreter.
    const TSrcPos pos = Cur().pos;
    std::vector<TIfBranch> branches;
    TStmtPtr elsePart;
    for (;;) {
        Next(); // if
        TIfBranch branch;
        branch.cond = Expression(aCtx);
        RequireBoolean(branch.cond);
        Expect(TKw::Then, "then");
        branch.body = Statement(aCtx);
        branches.push_back(std::move(branch));
        if (!Accept(TKw::Else))
            break;
        if (!Cur().Is(TKw::If)) {
            elsePart = Statement(aCtx);
            break;
        }
    }
    if (branches.size() == 1)
        return nodes::If(std::move(branches[0].cond), std::move(branches[0].body),
                         std::move(elsePart), pos);
    return nodes::IfChain(std::move(branches), std::move(elsePart), pos);
}

TStmtPtr TScriptParser::WhileStatement(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    Next();
    TExprPtr cond = Expression(aCtx);
    RequireBoolean(cond);
    Expect(TKw::Do, "do");
    ++aCtx.loopDepth;
    TStmtPtr body = Statement(aCtx);
    --aCtx.loopDepth;
    return nodes::While(std::move(cond), std::move(body), pos);
}

TStmtPtr TScriptParser::RepeatStatement(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    Next();
    ++aCtx.loopDepth;
    TStmtList body = StatementList(aCtx, {TKw::Until});
    --aCtx.loopDepth;
    Expect(TKw::Until, "until");
    TExprPtr cond = Expression(aCtx);
    RequireBoolean(cond);
    return nodes::Repeat(std::move(body), std::move(cond), pos);
}

TStmtPtr TScriptParser::ForStatement(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    Next();
    if (!Cur().IsPlainIdent())
        FailExpected(QStringLiteral("Variable de contrôle attendue"));
    TExprPtr var = Variable(aCtx, true);
    if (!var->type->IsOrdinal())
        Fail(var->pos, QStringLiteral("La variable de contrôle doit être de type ordinal"));
    Expect(TSym::Assign);
    TExprPtr from = Expression(aCtx);
    if (!SameOrdinalFamily(var->type, from->type))
        Incompatible(var->type, *from);
    bool down = false;
    if (Accept(TKw::Downto))
        down = true;
    else if (!Accept(TKw::To))
        FailExpected(QStringLiteral("'to' ou 'downto' attendu"));
    TExprPtr to = Expression(aCtx);
    if (!SameOrdinalFamily(var->type, to->type))
        Incompatible(var->type, *to);
    Expect(TKw::Do, "do");
    ++aCtx.loopDepth;
    TStmtPtr body = Statement(aCtx);
    --aCtx.loopDepth;
    return nodes::For(std::move(var), std::move(from), std::move(to), down, std::move(body), pos);
}

TStmtPtr TScriptParser::CaseStatement(TContext& aCtx)
{
    const TSrcPos pos = Cur().pos;
    Next();
    TExprPtr selector = Expression(aCtx);
    const TScriptType* st = selector->type;
    const bool text = st->kind == TTypeKind::String;
    if (!st->IsOrdinal() && !text)
        Fail(selector->pos, QStringLiteral("Expression ordinale ou chaîne attendue après 'case'"));
    Expect(TKw::Of, "of");
    std::vector<TCaseBranch> branches;
    std::vector<std::pair<qint64, qint64>> seen;
    while (!Cur().Is(TKw::End) && !Cur().Is(TKw::Else) &&
           !(Cur().IsPlainIdent() && Cur().key == QLatin1String("otherwise"))) {
        TCaseBranch branch;
        for (;;) {
            TExprPtr lo = ConstExpression(aCtx);
            TCaseLabel label;
            if (text) {
                lo = Coerce(std::move(lo), types::String());
                label.lo = ConstOf(lo);
            } else {
                if (!SameOrdinalFamily(st, lo->type))
                    Incompatible(st, *lo);
                label.lo = ConstOf(lo);
                label.hi = label.lo;
                if (Accept(TSym::DotDot)) {
                    TExprPtr hi = ConstExpression(aCtx);
                    if (!SameOrdinalFamily(st, hi->type))
                        Incompatible(st, *hi);
                    label.hi = ConstOf(hi);
                }
                for (const auto& [a, b] : seen)
                    if (label.lo.n.i <= b && label.hi.n.i >= a)
                        Fail(lo->pos, QStringLiteral("Étiquette de case en double"));
                seen.emplace_back(label.lo.n.i, label.hi.n.i);
            }
            branch.labels.push_back(std::move(label));
            if (Accept(TSym::Comma))
                continue;
            Expect(TSym::Colon);
            break;
        }
        branch.body = Statement(aCtx);
        branches.push_back(std::move(branch));
        if (!Accept(TSym::Semi))
            break;
    }
    TStmtPtr elsePart;
    if (Cur().Is(TKw::Else) || (Cur().IsPlainIdent() && Cur().key == QLatin1String("otherwise"))) {
        const TSrcPos elsePos = Cur().pos;
        Next();
        elsePart = nodes::Compound(StatementList(aCtx, {TKw::End}), elsePos);
    }
    Expect(TKw::End, "end");
    return nodes::Case(std::move(selector), std::move(branches), std::move(elsePart), pos);
}

TStmtPtr TScriptParser::IntrinsicStatement(TContext& aCtx, const TSymbol& aSym)
{
    const TSrcPos pos = m_toks[m_p - 1].pos;
    switch (aSym.intrinsic) {
    case TIntrinsic::Exit: {
        if (!Accept(TSym::LParen))
            return nodes::Flow(TFlow::Exit, pos);
        if (!aCtx.routine || !aCtx.routine->result)
            Fail(pos, QStringLiteral("Exit avec une valeur hors d'une fonction"));
        TExprPtr value = Coerce(Expression(aCtx), aCtx.routine->result);
        Expect(TSym::RParen);
        TSymbol result;
        result.kind = TSymKind::Var;
        result.type = aCtx.routine->result;
        result.level = aCtx.level;
        result.slot = aCtx.routine->resultSlot;
        TStmtList body;
        body.push_back(nodes::Assign(nodes::Var(result, aCtx.level, pos), std::move(value), pos));
        body.push_back(nodes::Flow(TFlow::Exit, pos));
        return nodes::Compound(std::move(body), pos);
    }
    case TIntrinsic::Break:
    case TIntrinsic::Continue:
        if (aCtx.loopDepth == 0)
            Fail(pos, QStringLiteral("BREAK ou CONTINUE hors d'une boucle"));
        return nodes::Flow(aSym.intrinsic == TIntrinsic::Break ? TFlow::Break : TFlow::Continue,
                           pos);
    case TIntrinsic::Inc:
    case TIntrinsic::Dec: {
        Expect(TSym::LParen);
        TExprPtr target = Variable(aCtx, true);
        if (!target->type->IsOrdinal() || target->type->kind == TTypeKind::Boolean)
            Fail(target->pos, QStringLiteral("Variable ordinale attendue"));
        TExprPtr delta;
        if (Accept(TSym::Comma)) {
            delta = Expression(aCtx);
            RequireInteger(delta);
        } else {
            delta = nodes::Const(types::Integer(), TVal::Int(1), pos);
        }
        Expect(TSym::RParen);
        if (aSym.intrinsic == TIntrinsic::Dec)
            delta = Finish(nodes::Negate(std::move(delta), pos));
        return nodes::IncDec(std::move(target), std::move(delta), pos);
    }
    case TIntrinsic::Include:
    case TIntrinsic::Exclude: {
        Expect(TSym::LParen);
        TExprPtr set = Variable(aCtx, true);
        if (set->type->kind != TTypeKind::Set)
            Fail(set->pos, QStringLiteral("Variable ensemble attendue"));
        Expect(TSym::Comma);
        TExprPtr elem = Expression(aCtx);
        if (!set->type->elem || !SameOrdinalFamily(set->type->elem, elem->type))
            Incompatible(set->type->elem ? set->type->elem : elem->type, *elem);
        Expect(TSym::RParen);
        return nodes::SetInclude(std::move(set), std::move(elem),
                                 aSym.intrinsic == TIntrinsic::Include, pos);
    }
    case TIntrinsic::SetLength: {
        Expect(TSym::LParen);
        TExprPtr s = Variable(aCtx, true);
        if (s->type->kind != TTypeKind::String)
            Fail(s->pos, QStringLiteral("Variable chaîne attendue"));
        Expect(TSym::Comma);
        TExprPtr n = Expression(aCtx);
        RequireInteger(n);
        Expect(TSym::RParen);
        return nodes::SetLength(std::move(s), std::move(n), pos);
    }
    default:
        break;
    }
    Fail(pos, QStringLiteral("Instruction attendue"));
}

} // namespace tscript
