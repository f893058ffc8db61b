#pragma once

#include "script/ScriptSource.h"

#include <QString>

#include <vector>

namespace tscript {

enum class TTok : quint8 { Eof, Ident, Int, Float, Str, Sym, Directive };

enum class TSym : quint8 {
    None,
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Assign,
    Colon,
    Semi,
    Comma,
    Dot,
    DotDot,
    LParen,
    RParen,
    LBrack,
    RBrack,
    Caret,
    At
};

// Reserved words. Those after Xor are reserved but not part of the language, so that using
// them gives a clear message.
enum class TKw : quint8 {
    None,
    And,
    Array,
    Begin,
    Case,
    Const,
    Div,
    Do,
    Downto,
    Else,
    End,
    For,
    Function,
    If,
    In,
    Mod,
    Not,
    Of,
    Or,
    Packed,
    Procedure,
    Program,
    Record,
    Repeat,
    Set,
    Shl,
    Shr,
    Then,
    To,
    Type,
    Until,
    Uses,
    Var,
    While,
    Xor,
    With,
    Goto,
    Label,
    Try,
    Except,
    Finally,
    Raise,
    Class,
    Object,
    Interface,
    Implementation,
    Unit,
    Inherited,
    Asm,
    File,
    Nil
};

struct TToken {
    TTok kind = TTok::Eof;
    TSym sym = TSym::None;
    TKw kw = TKw::None; // set for reserved words, which come as Ident
    bool hex = false;   // an integer written in hexadecimal
    // 9223372036854775808: in i as the smallest Int64, valid only right after a minus sign.
    bool minInt64 = false;
    QString text; // spelling of an identifier, value of a string, body of a directive
    QString key;  // identifier in lower case
    qint64 i = 0;
    double f = 0;
    TSrcPos pos;

    bool Is(TSym aSym) const { return kind == TTok::Sym && sym == aSym; }
    bool Is(TKw aKw) const { return kind == TTok::Ident && kw == aKw; }
    bool IsPlainIdent() const { return kind == TTok::Ident && kw == TKw::None; }
    QString Describe() const; // for messages: 'begin', 'Foo', fin de fichier ...
};

// What a stretch of a line is, for colouring it. Space also takes line ends; Error is a token
// the compiler would refuse (an unterminated string, a stray character, a number out of range).
enum class TScanClass : quint8 {
    Space,
    Keyword,
    Ident,
    Number,
    String,
    Comment,
    Directive,
    Symbol,
    Error
};

struct TScanSpan {
    TScanClass cls = TScanClass::Space;
    qsizetype start = 0; // offset in the scanned text
    qsizetype length = 0;

    friend bool operator==(const TScanSpan&, const TScanSpan&) = default;
};

// Where a scanned text ends: in code, or inside a comment or directive still open, which the
// next line continues.
enum class TScanState : quint8 { Code, BraceComment, StarComment, BraceDirective, StarDirective };

struct TScanResult {
    std::vector<TScanSpan> spans; // in order, covering the whole text
    TScanState state = TScanState::Code;
};

// Splits one source text into tokens. Comments are dropped; "{$...}" and "(*$...*)" come back as
// Directive tokens for the preprocessor. Errors throw TCompileError.
class TScriptLexer {
public:
    TScriptLexer(QString aText, int aFile);

    TToken Next();
    // Passes over the text of an inactive conditional region up to its next directive (or the
    // end): nothing is read for its value, but comments and strings are respected, so that a
    // "{$ENDIF}" written inside either is no directive.
    TToken SkipToDirective();

    // All tokens of a text that needs no preprocessing (declarations from the host), ending
    // with Eof; a directive is an error.
    static std::vector<TToken> Tokenize(const QString& aText, int aFile = 0);

    // Classifies every stretch of aText, comments and faulty tokens included, starting in
    // aState (the state the previous line ended in). Never throws.
    static TScanResult Scan(const QString& aText, TScanState aState = TScanState::Code);

    static QString SymbolText(TSym aSym);
    static TKw Keyword(const QString& aKey);

private:
    QChar At(qsizetype aOffset = 0) const
    {
        const qsizetype p = m_pos + aOffset;
        return p < m_text.size() ? m_text.at(p) : QChar(u'\0');
    }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    void Advance();
    TSrcPos Here() const { return {m_file, m_line, m_col}; }
    bool AtLineComment() const { return At() == u'/' && At(1) == u'/'; }
    void SkipLineComment();
    // "{" or "(*" at the current place.
    bool AtBlockComment(bool& aBrace) const;
    // From inside a "{...}" or "(*...*)" to just after its end; false when the text ends first.
    // aBodyEnd is the offset of the closing "}" or "*)".
    bool SkipBlockBody(bool aBrace, qsizetype& aBodyEnd);
    bool SkipBlanksAndComments(TToken& aDirective);
    // The token at the current place, which is neither blank nor comment nor the end.
    void ReadToken(TToken& aTok);
    void Number(TToken& aTok);
    void HexNumber(TToken& aTok);
    void QuotedString(TToken& aTok);

    QString m_text;
    int m_file;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_col = 1;
};

} // namespace tscript
