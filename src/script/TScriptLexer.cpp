#include "script/TScriptLexer.h"

#include <QHash>

#include <cmath>

namespace tscript {

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool IsHexDigit(QChar c)
{
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
int HexValue(QChar c)
{
    if (IsDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return c.unicode() - u'A' + 10;
}
bool IsIdentStart(QChar c)
{
    return c == u'_' || c.isLetter();
}
bool IsIdentPart(QChar c)
{
    return c == u'_' || c.isLetterOrNumber();
}

} // namespace

QString TToken::Describe() const
{
    switch (kind) {
    case TTok::Eof:
        return QStringLiteral("fin de fichier");
    case TTok::Ident:
    case TTok::Int:
    case TTok::Float:
        return QLatin1Char('\'') % text % QLatin1Char('\'');
    case TTok::Str:
        return QStringLiteral("chaîne '") % text.left(40) % QLatin1Char('\'');
    case TTok::Sym:
        return QLatin1Char('\'') % TScriptLexer::SymbolText(sym) % QLatin1Char('\'');
    case TTok::Directive:
        return QStringLiteral("directive");
    }
    return QString();
}

QString TScriptLexer::SymbolText(TSym aSym)
{
    switch (aSym) {
    case TSym::None:
        return QString();
    case TSym::Plus:
        return QStringLiteral("+");
    case TSym::Minus:
        return QStringLiteral("-");
    case TSym::Star:
        return QStringLiteral("*");
    case TSym::Slash:
        return QStringLiteral("/");
    case TSym::Eq:
        return QStringLiteral("=");
    case TSym::Ne:
        return QStringLiteral("<>");
    case TSym::Lt:
        return QStringLiteral("<");
    case TSym::Le:
        return QStringLiteral("<=");
    case TSym::Gt:
        return QStringLiteral(">");
    case TSym::Ge:
        return QStringLiteral(">=");
    case TSym::Assign:
        return QStringLiteral(":=");
    case TSym::Colon:
        return QStringLiteral(":");
    case TSym::Semi:
        return QStringLiteral(";");
    case TSym::Comma:
        return QStringLiteral(",");
    case TSym::Dot:
        return QStringLiteral(".");
    case TSym::DotDot:
        return QStringLiteral("..");
    case TSym::LParen:
        return QStringLiteral("(");
    case TSym::RParen:
        return QStringLiteral(")");
    case TSym::LBrack:
        return QStringLiteral("[");
    case TSym::RBrack:
        return QStringLiteral("]");
    case TSym::Caret:
        return QStringLiteral("^");
    case TSym::At:
        return QStringLiteral("@");
    }
    return QString();
}

TKw TScriptLexer::Keyword(const QString& aKey)
{
    static const QHash<QString, TKw> table = {
        {QStringLiteral("and"), TKw::And},
        {QStringLiteral("array"), TKw::Array},
        {QStringLiteral("begin"), TKw::Begin},
        {QStringLiteral("case"), TKw::Case},
        {QStringLiteral("const"), TKw::Const},
        {QStringLiteral("div"), TKw::Div},
        {QStringLiteral("do"), TKw::Do},
        {QStringLiteral("downto"), TKw::Downto},
        {QStringLiteral("else"), TKw::Else},
        {QStringLiteral("end"), TKw::End},
        {QStringLiteral("for"), TKw::For},
        {QStringLiteral("function"), TKw::Function},
        {QStringLiteral("if"), TKw::If},
        {QStringLiteral("in"), TKw::In},
        {QStringLiteral("mod"), TKw::Mod},
        {QStringLiteral("not"), TKw::Not},
        {QStringLiteral("of"), TKw::Of},
        {QStringLiteral("or"), TKw::Or},
        {QStringLiteral("packed"), TKw::Packed},
        {QStringLiteral("procedure"), TKw::Procedure},
        {QStringLiteral("program"), TKw::Program},
        {QStringLiteral("record"), TKw::Record},
        {QStringLiteral("repeat"), TKw::Repeat},
        {QStringLiteral("set"), TKw::Set},
        {QStringLiteral("shl"), TKw::Shl},
        {QStringLiteral("shr"), TKw::Shr},
        {QStringLiteral("then"), TKw::Then},
        {QStringLiteral("to"), TKw::To},
        {QStringLiteral("type"), TKw::Type},
        {QStringLiteral("until"), TKw::Until},
        {QStringLiteral("uses"), TKw::Uses},
        {QStringLiteral("var"), TKw::Var},
        {QStringLiteral("while"), TKw::While},
        {QStringLiteral("xor"), TKw::Xor},
        {QStringLiteral("with"), TKw::With},
        {QStringLiteral("goto"), TKw::Goto},
        {QStringLiteral("label"), TKw::Label},
        {QStringLiteral("try"), TKw::Try},
        {QStringLiteral("except"), TKw::Except},
        {QStringLiteral("finally"), TKw::Finally},
        {QStringLiteral("raise"), TKw::Raise},
        {QStringLiteral("class"), TKw::Class},
        {QStringLiteral("object"), TKw::Object},
        {QStringLiteral("interface"), TKw::Interface},
        {QStringLiteral("implementation"), TKw::Implementation},
        {QStringLiteral("unit"), TKw::Unit},
        {QStringLiteral("inherited"), TKw::Inherited},
        {QStringLiteral("asm"), TKw::Asm},
        {QStringLiteral("file"), TKw::File},
        {QStringLiteral("nil"), TKw::Nil},
    };
    return table.value(aKey, TKw::None);
}

std::vector<TToken> TScriptLexer::Tokenize(const QString& aText, int aFile)
{
    TScriptLexer lexer(aText, aFile);
    std::vector<TToken> out;
    for (;;) {
        TToken tok = lexer.Next();
        if (tok.kind == TTok::Directive)
            ThrowCompile(tok.pos, QStringLiteral("Directive inattendue"));
        const bool end = tok.kind == TTok::Eof;
        out.push_back(std::move(tok));
        if (end)
            return out;
    }
}

TScriptLexer::TScriptLexer(QString aText, int aFile)
    : m_text(std::move(aText))
    , m_file(aFile)
{
}

void TScriptLexer::Advance()
{
    if (AtEnd())
        return;
    // "\n", "\r\n" and a lone "\r" (old Mac files) each end a line.
    const QChar c = m_text.at(m_pos);
    if (c == u'\n' || (c == u'\r' && At(1) != u'\n')) {
        ++m_line;
        m_col = 1;
    } else {
        ++m_col;
    }
    ++m_pos;
}

void TScriptLexer::SkipLineComment()
{
    while (!AtEnd() && At() != u'\n' && At() != u'\r')
        Advance();
}

bool TScriptLexer::AtBlockComment(bool& aBrace) const
{
    aBrace = At() == u'{';
    return aBrace || (At() == u'(' && At(1) == u'*');
}

bool TScriptLexer::SkipBlockBody(bool aBrace, qsizetype& aBodyEnd)
{
    while (!AtEnd()) {
        if (aBrace && At() == u'}') {
            aBodyEnd = m_pos;
            Advance();
            return true;
        }
        if (!aBrace && At() == u'*' && At(1) == u')') {
            aBodyEnd = m_pos;
            Advance();
            Advance();
            return true;
        }
        Advance();
    }
    return false;
}

bool TScriptLexer::SkipBlanksAndComments(TToken& aDirective)
{
    while (!AtEnd()) {
        bool brace = false;
        if (At().isSpace()) {
            Advance();
        } else if (AtLineComment()) {
            SkipLineComment();
        } else if (AtBlockComment(brace)) {
            const TSrcPos start = Here();
            Advance();
            if (!brace)
                Advance();
            const bool directive = At() == u'$';
            const qsizetype bodyStart = m_pos + (directive ? 1 : 0);
            qsizetype bodyEnd = -1;
            if (!SkipBlockBody(brace, bodyEnd))
                ThrowCompile(start, QStringLiteral("Commentaire non terminé"));
            if (directive) {
                aDirective = TToken();
                aDirective.kind = TTok::Directive;
                aDirective.pos = start;
                aDirective.text = m_text.mid(bodyStart, bodyEnd - bodyStart);
                return true;
            }
        } else {
            break;
        }
    }
    return false;
}

void TScriptLexer::Number(TToken& aTok)
{
    const qsizetype start = m_pos;
    while (IsDigit(At()))
        Advance();
    bool isFloat = false;
    if (At() == u'.' && IsDigit(At(1))) {
        isFloat = true;
        Advance();
        while (IsDigit(At()))
            Advance();
    }
    if ((At() == u'e' || At() == u'E') &&
        (IsDigit(At(1)) || ((At(1) == u'+' || At(1) == u'-') && IsDigit(At(2))))) {
        isFloat = true;
        Advance();
        if (At() == u'+' || At() == u'-')
            Advance();
        while (IsDigit(At()))
            Advance();
    }
    aTok.text = m_text.mid(start, m_pos - start);
    bool ok = false;
    if (isFloat) {
        aTok.kind = TTok::Float;
        aTok.f = aTok.text.toDouble(&ok);
        if (!ok || !std::isfinite(aTok.f))
            ThrowCompile(aTok.pos, QStringLiteral("Constante réelle hors limites ") % aTok.text);
    } else {
        aTok.kind = TTok::Int;
        const quint64 value = aTok.text.toULongLong(&ok);
        const quint64 minMagnitude = quint64(1) << 63;
        if (!ok || value > minMagnitude)
            ThrowCompile(aTok.pos, QStringLiteral("Constante entière trop grande ") % aTok.text);
        aTok.i = qint64(value);
        aTok.minInt64 = value == minMagnitude;
    }
}

void TScriptLexer::HexNumber(TToken& aTok)
{
    const qsizetype start = m_pos;
    Advance(); // '$'
    quint64 value = 0;
    int digits = 0;
    while (IsHexDigit(At())) {
        value = (value << 4) | quint64(HexValue(At()));
        ++digits;
        Advance();
    }
    aTok.text = m_text.mid(start, m_pos - start);
    if (digits == 0)
        ThrowCompile(aTok.pos, QStringLiteral("Chiffre hexadécimal attendu après '$'"));
    if (digits > 16)
        ThrowCompile(aTok.pos, QStringLiteral("Constante entière trop grande ") % aTok.text);
    aTok.kind = TTok::Int;
    aTok.hex = true;
    aTok.i = qint64(value);
}

void TScriptLexer::QuotedString(TToken& aTok)
{
    QString value;
    for (;;) {
        if (At() == u'\'') {
            const TSrcPos start = Here();
            Advance();
            for (;;) {
                if (AtEnd() || At() == u'\n' || At() == u'\r')
                    ThrowCompile(start, QStringLiteral("Chaîne non terminée"));
                if (At() == u'\'') {
                    if (At(1) == u'\'') {
                        value += QLatin1Char('\'');
                        Advance();
                        Advance();
                        continue;
                    }
                    Advance();
                    break;
                }
                value += At();
                Advance();
            }
        } else if (At() == u'#') {
            const TSrcPos start = Here();
            Advance();
            quint64 code = 0;
            int digits = 0;
            if (At() == u'$') {
                Advance();
                while (IsHexDigit(At())) {
                    if (code <= 0x10FFFF)
                        code = (code << 4) | quint64(HexValue(At()));
                    ++digits;
                    Advance();
                }
            } else {
                while (IsDigit(At())) {
                    if (code <= 0x10FFFF)
                        code = code * 10 + quint64(At().unicode() - u'0');
                    ++digits;
                    Advance();
                }
            }
            if (digits == 0)
                ThrowCompile(start, QStringLiteral("Code de caractère attendu après '#'"));
            if (code > 0x10FFFF)
                ThrowCompile(start, QStringLiteral("Code de caractère hors limites"));
            const char32_t ucs = char32_t(code);
            value += QString::fromUcs4(&ucs, 1);
        } else {
            break;
        }
    }
    aTok.kind = TTok::Str;
    aTok.text = value;
}

TToken TScriptLexer::SkipToDirective()
{
    for (;;) {
        TToken tok;
        if (SkipBlanksAndComments(tok))
            return tok;
        tok.pos = Here();
        if (AtEnd())
            return tok;
        if (At() == u'\'') {
            // Up to the closing quote, or the end of the line for an unterminated one. A doubled
            // quote closes and reopens, which comes to the same.
            Advance();
            while (!AtEnd() && At() != u'\n' && At() != u'\r') {
                const bool quote = At() == u'\'';
                Advance();
                if (quote)
                    break;
            }
        } else {
            Advance();
        }
    }
}

TToken TScriptLexer::Next()
{
    TToken tok;
    if (SkipBlanksAndComments(tok))
        return tok;
    tok.pos = Here();
    if (AtEnd())
        return tok;
    ReadToken(tok);
    return tok;
}

void TScriptLexer::ReadToken(TToken& aTok)
{
    const QChar c = At();
    if (IsIdentStart(c)) {
        const qsizetype start = m_pos;
        while (IsIdentPart(At()))
            Advance();
        aTok.kind = TTok::Ident;
        aTok.text = m_text.mid(start, m_pos - start);
        aTok.key = aTok.text.toLower();
        aTok.kw = Keyword(aTok.key);
        return;
    }
    if (IsDigit(c)) {
        Number(aTok);
        return;
    }
    if (c == u'$') {
        HexNumber(aTok);
        return;
    }
    if (c == u'\'' || c == u'#') {
        QuotedString(aTok);
        return;
    }
    aTok.kind = TTok::Sym;
    const QChar d = At(1);
    int length = 1;
    switch (c.unicode()) {
    case u'+':
        aTok.sym = TSym::Plus;
        break;
    case u'-':
        aTok.sym = TSym::Minus;
        break;
    case u'*':
        aTok.sym = TSym::Star;
        break;
    case u'/':
        aTok.sym = TSym::Slash;
        break;
    case u'=':
        aTok.sym = TSym::Eq;
        break;
    case u',':
        aTok.sym = TSym::Comma;
        break;
    case u';':
        aTok.sym = TSym::Semi;
        break;
    case u'(':
        aTok.sym = TSym::LParen;
        break;
    case u')':
        aTok.sym = TSym::RParen;
        break;
    case u'[':
        aTok.sym = TSym::LBrack;
        break;
    case u']':
        aTok.sym = TSym::RBrack;
        break;
    case u'^':
        aTok.sym = TSym::Caret;
        break;
    case u'@':
        aTok.sym = TSym::At;
        break;
    case u':':
        aTok.sym = d == u'=' ? TSym::Assign : TSym::Colon;
        length = d == u'=' ? 2 : 1;
        break;
    case u'<':
        aTok.sym = d == u'=' ? TSym::Le : d == u'>' ? TSym::Ne : TSym::Lt;
        length = aTok.sym == TSym::Lt ? 1 : 2;
        break;
    case u'>':
        aTok.sym = d == u'=' ? TSym::Ge : TSym::Gt;
        length = d == u'=' ? 2 : 1;
        break;
    case u'.':
        aTok.sym = d == u'.' ? TSym::DotDot : TSym::Dot;
        length = d == u'.' ? 2 : 1;
        break;
    default:
        ThrowCompile(aTok.pos,
                     QStringLiteral("Caractère inattendu '") % QString(c) % QLatin1Char('\''));
    }
    for (int k = 0; k < length; ++k)
        Advance();
    aTok.text = SymbolText(aTok.sym);
}

TScanResult TScriptLexer::Scan(const QString& aText, TScanState aState)
{
    TScriptLexer lexer(aText, 0);
    TScanResult out;
    auto push = [&](TScanClass aClass, qsizetype aStart) {
        if (lexer.m_pos > aStart)
            out.spans.push_back({aClass, aStart, lexer.m_pos - aStart});
    };
    // The rest of a comment or directive that an earlier line opened.
    if (aState != TScanState::Code) {
        const bool brace =
            aState == TScanState::BraceComment || aState == TScanState::BraceDirective;
        const bool directive =
            aState == TScanState::BraceDirective || aState == TScanState::StarDirective;
        qsizetype bodyEnd = -1;
        const bool closed = lexer.SkipBlockBody(brace, bodyEnd);
        push(directive ? TScanClass::Directive : TScanClass::Comment, 0);
        if (!closed) {
            out.state = aState;
            return out;
        }
    }
    while (!lexer.AtEnd()) {
        const qsizetype start = lexer.m_pos;
        bool brace = false;
        if (lexer.At().isSpace()) {
            while (!lexer.AtEnd() && lexer.At().isSpace())
                lexer.Advance();
            push(TScanClass::Space, start);
        } else if (lexer.AtLineComment()) {
            lexer.SkipLineComment();
            push(TScanClass::Comment, start);
        } else if (lexer.AtBlockComment(brace)) {
            lexer.Advance();
            if (!brace)
                lexer.Advance();
            const bool directive = lexer.At() == u'$';
            qsizetype bodyEnd = -1;
            const bool closed = lexer.SkipBlockBody(brace, bodyEnd);
            push(directive ? TScanClass::Directive : TScanClass::Comment, start);
            if (!closed) {
                out.state = directive
                                ? (brace ? TScanState::BraceDirective : TScanState::StarDirective)
                                : (brace ? TScanState::BraceComment : TScanState::StarComment);
                return out;
            }
        } else {
            TToken tok;
            TScanClass cls = TScanClass::Error;
            // The compiler's own rules decide; what they refuse is marked, up to where they
            // stopped (at least one character, so that the scan goes on).
            try {
                lexer.ReadToken(tok);
                switch (tok.kind) {
                case TTok::Ident:
                    cls = tok.kw == TKw::None ? TScanClass::Ident : TScanClass::Keyword;
                    break;
                case TTok::Int:
                case TTok::Float:
                    cls = TScanClass::Number;
                    break;
                case TTok::Str:
                    cls = TScanClass::String;
                    break;
                case TTok::Sym:
                    cls = TScanClass::Symbol;
                    break;
                case TTok::Eof:
                case TTok::Directive:
                    break;
                }
            } catch (const TCompileError&) {
                if (lexer.m_pos == start)
                    lexer.Advance();
            }
            push(cls, start);
        }
    }
    return out;
}

} // namespace tscript
