// Literals and comments as the lexer reads them.

#include "ScriptTestSupport.h"
#include "script/TScriptLexer.h"

#include <gtest/gtest.h>

using namespace tscript;

namespace {

std::vector<TToken> Lex(const char* aText)
{
    return TScriptLexer::Tokenize(S(aText));
}

TEST(ScriptLexer, IntegerLiteralsInDecimalAndHexadecimal)
{
    const auto t = Lex("42 $FF00000F $ff 9223372036854775807 $FFFFFFFFFFFFFFFF");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].i, 42);
    EXPECT_EQ(t[1].i, 4278190095LL);
    EXPECT_TRUE(t[1].hex);
    EXPECT_EQ(t[2].i, 255);
    EXPECT_EQ(t[3].i, std::numeric_limits<qint64>::max());
    EXPECT_EQ(t[4].i, -1);
}

TEST(ScriptLexer, FloatLiteralsWithPointOrExponent)
{
    const auto t = Lex("0.5 1e-05 1.5E+3 2E3 1..5");
    EXPECT_EQ(t[0].kind, TTok::Float);
    EXPECT_DOUBLE_EQ(t[0].f, 0.5);
    EXPECT_DOUBLE_EQ(t[1].f, 1e-05);
    EXPECT_DOUBLE_EQ(t[2].f, 1500.0);
    EXPECT_DOUBLE_EQ(t[3].f, 2000.0);
    // A range is no float.
    EXPECT_EQ(t[4].kind, TTok::Int);
    EXPECT_TRUE(t[5].Is(TSym::DotDot));
    EXPECT_EQ(t[6].i, 5);
}

TEST(ScriptLexer, StringsWithDoubledQuotesAndCharacterCodes)
{
    const auto t = Lex("'l''été' #13#10 'a'#9'b' #$263A ''");
    EXPECT_EQ(t[0].text, S("l'été"));
    EXPECT_EQ(t[1].text, S("\r\n"));
    EXPECT_EQ(t[2].text, S("a\tb"));
    EXPECT_EQ(t[3].text, QString(QChar(0x263A)));
    EXPECT_EQ(t[4].text, QString());
    EXPECT_EQ(t[4].kind, TTok::Str);
}

TEST(ScriptLexer, CommentsDisappearAndPositionsCountLinesAndColumns)
{
    const auto t = Lex("a // x\n { b\n c } (* d *) e\n\tf");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].text, S("a"));
    EXPECT_EQ(t[1].text, S("e"));
    EXPECT_EQ(t[1].pos.line, 3);
    EXPECT_EQ(t[1].pos.col, 14);
    EXPECT_EQ(t[2].pos.line, 4);
    EXPECT_EQ(t[2].pos.col, 2);
}

TEST(ScriptLexer, LoneCarriageReturnsEndLinesToo)
{
    // Old Mac files end their lines with "\r" alone; "\r\n" is still one line break.
    const auto t = Lex("a // x\r b\r\r\tc\r\nd { e\r } f");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1].text, S("b"));
    EXPECT_EQ(t[1].pos.line, 2);
    EXPECT_EQ(t[1].pos.col, 2);
    EXPECT_EQ(t[2].pos.line, 4);
    EXPECT_EQ(t[2].pos.col, 2);
    EXPECT_EQ(t[3].pos.line, 5);
    EXPECT_EQ(t[3].pos.col, 1);
    EXPECT_EQ(t[4].text, S("f"));
    EXPECT_EQ(t[4].pos.line, 6);
    EXPECT_EQ(t[4].pos.col, 4);
    EXPECT_EQ(CompileError(S("begin\r  Foo;\rend.")),
              S("[Erreur] test.pas(2:3): Identificateur inconnu 'Foo'"));
    EXPECT_EQ(RunError(S("var z: Integer;\rbegin\r  z := 1 div z;\rend.")),
              S("test.pas(3:10): Division par zéro"));
}

TEST(ScriptLexer, KeywordsAreFoundWithoutCase)
{
    const auto t = Lex("BEGIN End wHiLe Foo");
    EXPECT_TRUE(t[0].Is(TKw::Begin));
    EXPECT_TRUE(t[1].Is(TKw::End));
    EXPECT_TRUE(t[2].Is(TKw::While));
    EXPECT_TRUE(t[3].IsPlainIdent());
    EXPECT_EQ(t[3].key, S("foo"));
}

TEST(ScriptLexer, MalformedTextIsReportedWhereItStarts)
{
    struct TCase {
        const char* text;
        int line, col;
        const char* message;
    };
    const TCase cases[] = {
        {"x := 'abc\n", 1, 6, "Chaîne non terminée"},
        {"a\n  { never closed", 2, 3, "Commentaire non terminé"},
        {"a (* never", 1, 3, "Commentaire non terminé"},
        {"$", 1, 1, "Chiffre hexadécimal attendu après '$'"},
        {"  $12345678901234567", 1, 3, "Constante entière trop grande $12345678901234567"},
        {"99999999999999999999", 1, 1, "Constante entière trop grande 99999999999999999999"},
        {"1e999", 1, 1, "Constante réelle hors limites 1e999"},
        {"#", 1, 1, "Code de caractère attendu après '#'"},
        {"#1114112", 1, 1, "Code de caractère hors limites"},
        {"a ? b", 1, 3, "Caractère inattendu '?'"},
    };
    for (const TCase& c : cases) {
        try {
            Lex(c.text);
            ADD_FAILURE() << c.text;
        } catch (const TCompileError& e) {
            EXPECT_EQ(e.pos.line, c.line) << c.text;
            EXPECT_EQ(e.pos.col, c.col) << c.text;
            EXPECT_EQ(e.text, S(c.message)) << c.text;
        }
    }
}

} // namespace
