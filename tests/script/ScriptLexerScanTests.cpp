// The lexer's scan for the editor: every stretch of a line classified, nothing thrown, comments
// carried from line to line.

#include "ScriptTestSupport.h"
#include "script/TScriptLexer.h"

#include <QRandomGenerator>

#include <iterator>

#include <gtest/gtest.h>

using namespace tscript;

namespace {

// One span as "class:text", spans joined by "|", for readable expectations.
QString Show(const QString& aText, const TScanResult& aResult)
{
    static const char* const names[] = {"space", "kw",  "id",  "num", "str",
                                        "cmt",   "dir", "sym", "err"};
    QStringList parts;
    for (const TScanSpan& s : aResult.spans) {
        if (s.cls == TScanClass::Space)
            continue;
        parts << QString::fromLatin1(names[int(s.cls)]) % QLatin1Char(':') %
                     aText.mid(s.start, s.length);
    }
    return parts.join(u'|');
}

QString Scanned(const char* aText, TScanState aState = TScanState::Code)
{
    const QString text = S(aText);
    return Show(text, TScriptLexer::Scan(text, aState));
}

// The spans follow one another without gap or overlap and cover the whole text.
void ExpectCovers(const QString& aText, const TScanResult& aResult)
{
    qsizetype at = 0;
    for (const TScanSpan& s : aResult.spans) {
        EXPECT_EQ(s.start, at);
        EXPECT_GT(s.length, 0);
        at = s.start + s.length;
    }
    EXPECT_EQ(at, aText.size());
}

TEST(ScriptLexerScan, ClassifiesTokensOfAStatementLine)
{
    EXPECT_EQ(Scanned("  if x1 >= 10 then Volume(50) else Name('a'); // fin"),
              S("kw:if|id:x1|sym:>=|num:10|kw:then|id:Volume|sym:(|num:50|sym:)|kw:else|"
                "id:Name|sym:(|str:'a'|sym:)|sym:;|cmt:// fin"));
    // Reserved words are found without regard to case, through the compiler's own table.
    EXPECT_EQ(Scanned("BEGIN End. gOtO"), S("kw:BEGIN|kw:End|sym:.|kw:gOtO"));
}

TEST(ScriptLexerScan, SpacesAreSpansToo)
{
    const QString text = S(" a\t:= 1 ");
    const TScanResult r = TScriptLexer::Scan(text);
    ExpectCovers(text, r);
    ASSERT_EQ(r.spans.size(), 7u);
    EXPECT_EQ(r.spans[0], (TScanSpan{TScanClass::Space, 0, 1}));
    EXPECT_EQ(r.spans[1], (TScanSpan{TScanClass::Ident, 1, 1}));
    EXPECT_EQ(r.spans[2], (TScanSpan{TScanClass::Space, 2, 1}));
    EXPECT_EQ(r.spans[3], (TScanSpan{TScanClass::Symbol, 3, 2}));
    EXPECT_EQ(r.spans[6], (TScanSpan{TScanClass::Space, 7, 1}));
    EXPECT_EQ(r.state, TScanState::Code);
}

TEST(ScriptLexerScan, NumbersInEveryForm)
{
    EXPECT_EQ(Scanned("$FF $ff00000F 1.5 1e-05 2E3 1..5 3."),
              S("num:$FF|num:$ff00000F|num:1.5|num:1e-05|num:2E3|num:1|sym:..|num:5|num:3|sym:."));
    // What the compiler refuses: a "$" without digits, an integer out of range.
    EXPECT_EQ(Scanned("$ $G 99999999999999999999 $12345678901234567"),
              S("err:$|err:$|id:G|err:99999999999999999999|err:$12345678901234567"));
}

TEST(ScriptLexerScan, StringsWithDoubledQuotesAndCharacterCodes)
{
    EXPECT_EQ(Scanned("s := 'l''été'#13#10'x' + #$263A + ''''"),
              S("id:s|sym::=|str:'l''été'#13#10'x'|sym:+|str:#$263A|sym:+|str:''''"));
    EXPECT_EQ(Scanned("#13 #"), S("str:#13|err:#"));
}

TEST(ScriptLexerScan, AnUnterminatedStringIsAnErrorUpToTheLineEnd)
{
    EXPECT_EQ(Scanned("x := 'abc { not a comment"), S("id:x|sym::=|err:'abc { not a comment"));
    EXPECT_EQ(Scanned("'it''s"), S("err:'it''s"));
    // The next line starts afresh: a string never goes on.
    const TScanResult r = TScriptLexer::Scan(S("Name('a"));
    EXPECT_EQ(r.state, TScanState::Code);
}

TEST(ScriptLexerScan, CommentsInTheThreeForms)
{
    EXPECT_EQ(Scanned("a { b } c (* d *) e // f { g"),
              S("id:a|cmt:{ b }|id:c|cmt:(* d *)|id:e|cmt:// f { g"));
    // A brace comment ends at the first "}", a star comment at "*)", whatever they hold.
    EXPECT_EQ(Scanned("{ (* } x (* { *) y"), S("cmt:{ (* }|id:x|cmt:(* { *)|id:y"));
    EXPECT_EQ(Scanned("(*) still *)"), S("cmt:(*) still *)"));
    // A lone "}" or "*)" outside a comment is no comment.
    EXPECT_EQ(Scanned("} *)"), S("err:}|sym:*|sym:)"));
}

TEST(ScriptLexerScan, BraceCommentCarriedOverLines)
{
    TScanResult r = TScriptLexer::Scan(S("x; { starts"));
    EXPECT_EQ(Show(S("x; { starts"), r), S("id:x|sym:;|cmt:{ starts"));
    EXPECT_EQ(r.state, TScanState::BraceComment);

    EXPECT_EQ(Scanned("  still 'no string' *) ", TScanState::BraceComment),
              S("cmt:  still 'no string' *) "));
    r = TScriptLexer::Scan(S("middle"), TScanState::BraceComment);
    EXPECT_EQ(r.state, TScanState::BraceComment);
    r = TScriptLexer::Scan(QString(), TScanState::BraceComment);
    EXPECT_TRUE(r.spans.empty());
    EXPECT_EQ(r.state, TScanState::BraceComment);

    r = TScriptLexer::Scan(S("ends } Grab;"), TScanState::BraceComment);
    EXPECT_EQ(Show(S("ends } Grab;"), r), S("cmt:ends }|id:Grab|sym:;"));
    EXPECT_EQ(r.state, TScanState::Code);
}

TEST(ScriptLexerScan, StarCommentCarriedOverLines)
{
    TScanResult r = TScriptLexer::Scan(S("begin (* one"));
    EXPECT_EQ(r.state, TScanState::StarComment);
    // A "}" does not end it.
    r = TScriptLexer::Scan(S("two } three"), TScanState::StarComment);
    EXPECT_EQ(Show(S("two } three"), r), S("cmt:two } three"));
    EXPECT_EQ(r.state, TScanState::StarComment);
    r = TScriptLexer::Scan(S("*) end."), TScanState::StarComment);
    EXPECT_EQ(Show(S("*) end."), r), S("cmt:*)|kw:end|sym:."));
    EXPECT_EQ(r.state, TScanState::Code);
    // A comment opened again on the line where one closed.
    r = TScriptLexer::Scan(S("x *) y { z"), TScanState::StarComment);
    EXPECT_EQ(r.state, TScanState::BraceComment);
}

TEST(ScriptLexerScan, Directives)
{
    EXPECT_EQ(Scanned("{$IFDEF X} a {$ENDIF} (*$I inc.pas*)"),
              S("dir:{$IFDEF X}|id:a|dir:{$ENDIF}|dir:(*$I inc.pas*)"));
    TScanResult r = TScriptLexer::Scan(S("{$DEFINE"));
    EXPECT_EQ(r.state, TScanState::BraceDirective);
    r = TScriptLexer::Scan(S("X} b"), TScanState::BraceDirective);
    EXPECT_EQ(Show(S("X} b"), r), S("dir:X}|id:b"));
    r = TScriptLexer::Scan(S("(*$ELSE"));
    EXPECT_EQ(r.state, TScanState::StarDirective);
    r = TScriptLexer::Scan(S("*)"), TScanState::StarDirective);
    EXPECT_EQ(Show(S("*)"), r), S("dir:*)"));
    EXPECT_EQ(r.state, TScanState::Code);
}

TEST(ScriptLexerScan, StrayCharactersAreErrorsOneByOne)
{
    EXPECT_EQ(Scanned("a ! \"b\" % &"), S("id:a|err:!|err:\"|id:b|err:\"|err:%|err:&"));
}

TEST(ScriptLexerScan, TextWithLineEndsScansAsAWhole)
{
    const QString text = S("a // x\r\n{ b\n c } 'd'\r(* e");
    const TScanResult r = TScriptLexer::Scan(text);
    ExpectCovers(text, r);
    EXPECT_EQ(Show(text, r), S("id:a|cmt:// x|cmt:{ b\n c }|str:'d'|cmt:(* e"));
    EXPECT_EQ(r.state, TScanState::StarComment);
}

TEST(ScriptLexerScan, RandomTextNeverThrowsAndIsCoveredWhole)
{
    QRandomGenerator random(20261209);
    const char16_t alphabet[] = u"{}()*$#'/ \t\r\nab19.:=<>+-;,@^[]\"!%eE\u00e9\u263a";
    const int alphabetSize = int(std::size(alphabet)) - 1;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = random.bounded(40);
        for (int k = 0; k < length; ++k) {
            if (random.bounded(8) == 0)
                text += QChar(char16_t(random.bounded(0x10000))); // surrogates included
            else
                text += QChar(alphabet[random.bounded(alphabetSize)]);
        }
        for (TScanState state :
             {TScanState::Code, TScanState::BraceComment, TScanState::StarComment,
              TScanState::BraceDirective, TScanState::StarDirective}) {
            TScanResult r;
            ASSERT_NO_THROW(r = TScriptLexer::Scan(text, state)) << text.toStdString();
            ExpectCovers(text, r);
        }
    }
}

// Where the compiler reads a text, the scan sees the same tokens at the same places.
TEST(ScriptLexerScan, AgreesWithTheCompilerOnTextItAccepts)
{
    QRandomGenerator random(7);
    const char* const pieces[] = {"begin", " ",     "x1",      ":=",     "$1F", "2.5e3", "'a''b'",
                                  "#13",   "{ c }", "(* d *)", "// e\n", "\n",  ";",     "..",
                                  "<>",    "Grab",  "(",       ")",      "'",   "}",     "{$X}"};
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int k = random.bounded(12); k > 0; --k)
            text += S(pieces[random.bounded(int(std::size(pieces)))]);
        std::vector<TToken> tokens;
        try {
            tokens = TScriptLexer::Tokenize(text);
        } catch (const TCompileError&) {
            continue;
        }
        ++accepted;
        std::vector<TScanSpan> scanned;
        for (const TScanSpan& s : TScriptLexer::Scan(text).spans)
            if (s.cls != TScanClass::Space && s.cls != TScanClass::Comment)
                scanned.push_back(s);
        ASSERT_EQ(scanned.size() + 1, tokens.size()) << text.toStdString();
        int line = 1, col = 1;
        qsizetype at = 0;
        for (size_t k = 0; k < scanned.size(); ++k) {
            // The token's line and column, from the span's offset.
            for (; at < scanned[k].start; ++at) {
                if (text.at(at) == u'\n') {
                    ++line;
                    col = 1;
                } else {
                    ++col;
                }
            }
            EXPECT_EQ(tokens[k].pos.line, line) << text.toStdString();
            EXPECT_EQ(tokens[k].pos.col, col) << text.toStdString();
            EXPECT_NE(scanned[k].cls, TScanClass::Error) << text.toStdString();
            EXPECT_EQ(scanned[k].cls == TScanClass::Keyword, tokens[k].kw != TKw::None);
        }
    }
    EXPECT_GT(accepted, 500);
}

TEST(ScriptLexerScan, NormalModeStillRefusesWhatTheScanMarks)
{
    for (const char* bad : {"'abc", "{ open", "(* open", "}", "$", "#", "99999999999999999999"})
        EXPECT_THROW(TScriptLexer::Tokenize(S(bad)), TCompileError) << bad;
}

TEST(ScriptEngineRoutineNames, LibraryAndRegisteredRoutines)
{
    const QStringList library = TScriptEngine::LibraryRoutineNames();
    EXPECT_TRUE(library.contains(S("IntToStr")));
    EXPECT_TRUE(library.contains(S("Inc")));      // handled by the compiler itself
    EXPECT_FALSE(library.contains(S("Integer"))); // a type
    EXPECT_FALSE(library.contains(S("True")));    // a constant

    TScriptEngine engine;
    int calls = 0;
    engine.SetRegistration([&calls](IScriptRegistrar& r) {
        ++calls;
        const THostRoutine nop = [](const TScriptArgs&) { return TScriptValue(); };
        r.RegisterRoutine(S("procedure setMute(const aBoolean:Boolean);"), nop);
        r.RegisterRoutine(S("procedure Grab;"), nop);
        r.RegisterConstant(S("SecsPerDay"), S("Longint"), TScriptValue(86400));
    });
    const QStringList names = engine.RoutineNames();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(names.contains(S("setMute")));
    EXPECT_TRUE(names.contains(S("Grab")));
    EXPECT_TRUE(names.contains(S("IntToStr")));
    EXPECT_FALSE(names.contains(S("SecsPerDay")));
    // Nothing was compiled, and a compilation afterwards registers as usual.
    EXPECT_FALSE(engine.IsCompiled());
    EXPECT_TRUE(engine.Compile(S("begin setMute(True); Grab; end.")));
    EXPECT_EQ(calls, 2);
}

} // namespace
