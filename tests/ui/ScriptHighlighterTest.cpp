#include "ui/TScriptHighlighter.h"

#include "script/TScriptEngine.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

QString S(const char* aUtf8)
{
    return QString::fromUtf8(aUtf8);
}

// The format the highlighter gave to the character at aColumn of line aLine.
QTextCharFormat FormatAt(const QTextDocument& aDoc, int aLine, int aColumn)
{
    const QTextBlock block = aDoc.findBlockByNumber(aLine);
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (aColumn >= r.start && aColumn < r.start + r.length)
            return r.format;
    return QTextCharFormat();
}

// The format at the first place where aWord occurs on line aLine.
QTextCharFormat FormatOf(const QTextDocument& aDoc, int aLine, const char* aWord)
{
    const int column = aDoc.findBlockByNumber(aLine).text().indexOf(S(aWord));
    EXPECT_GE(column, 0) << aWord;
    return FormatAt(aDoc, aLine, column);
}

quint32 Rgb(const QTextCharFormat& aFormat)
{
    return aFormat.foreground().color().rgb() & 0x00FFFFFFu;
}

bool Bold(const QTextCharFormat& aFormat)
{
    return aFormat.fontWeight() == QFont::Bold;
}

bool Plain(const QTextCharFormat& aFormat)
{
    return !aFormat.hasProperty(QTextFormat::ForegroundBrush) && !Bold(aFormat) &&
           !aFormat.fontItalic();
}

constexpr quint32 kMaroon = 0x800000, kNavy = 0x000080, kPurple = 0x800080, kBlue = 0x0000FF,
                  kGreen = 0x008000;

class ScriptHighlighter : public ::testing::Test {
protected:
    // A document reports its edits only once it has a layout, as in an editor.
    ScriptHighlighter() { (void)doc.documentLayout(); }
    void Show(const char* aText)
    {
        doc.setPlainText(S(aText));
        highlighter.rehighlight();
    }
    QTextDocument doc;
    TScriptHighlighter highlighter{&doc};
};

TEST_F(ScriptHighlighter, ColoursEachKindOfToken)
{
    Show("begin x := $FF + 1.5 * Length('l''été'#13); {$IFDEF X} // fin\nend.");
    const QTextCharFormat begin = FormatOf(doc, 0, "begin");
    EXPECT_EQ(Rgb(begin), kMaroon);
    EXPECT_TRUE(Bold(begin));
    EXPECT_TRUE(Plain(FormatOf(doc, 0, "x")));
    EXPECT_EQ(Rgb(FormatOf(doc, 0, ":=")), kBlue);
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "$FF")), kNavy);
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "1.5")), kNavy);
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "'l''")), kPurple);
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "#13")), kPurple);
    EXPECT_FALSE(Bold(FormatOf(doc, 0, "'l''")));
    const QTextCharFormat directive = FormatOf(doc, 0, "{$IFDEF");
    EXPECT_EQ(Rgb(directive), kGreen);
    EXPECT_FALSE(directive.fontItalic());
    const QTextCharFormat comment = FormatOf(doc, 0, "// fin");
    EXPECT_EQ(Rgb(comment), kGreen);
    EXPECT_TRUE(comment.fontItalic());
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "end")), kMaroon);
    EXPECT_EQ(Rgb(FormatOf(doc, 1, ".")), kBlue);
    // Spaces keep the editor's colours.
    EXPECT_TRUE(Plain(FormatAt(doc, 0, 5)));
}

TEST_F(ScriptHighlighter, KnownRoutinesAreBoldWithoutRegardToCase)
{
    // The engine's library is known from the start.
    Show("inttostr(1); Inc(i); Grab; setmute(True);");
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "inttostr")));
    EXPECT_FALSE(FormatOf(doc, 0, "inttostr").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "Inc")));
    EXPECT_TRUE(Plain(FormatOf(doc, 0, "Grab")));
    EXPECT_TRUE(Plain(FormatOf(doc, 0, "True")));

    // The host adds what its registration gives; the text is coloured again at once.
    TScriptEngine engine;
    engine.SetRegistration([](IScriptRegistrar& r) {
        const THostRoutine nop = [](const TScriptArgs&) { return TScriptValue(); };
        r.RegisterRoutine(S("procedure Grab;"), nop);
        r.RegisterRoutine(S("procedure setMute(const aBoolean:Boolean);"), nop);
    });
    highlighter.SetRoutineNames(engine.RoutineNames());
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "Grab")));
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "setmute")));
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "inttostr")));
    EXPECT_TRUE(highlighter.IsRoutineName(S("GRAB")));

    highlighter.SetRoutineNames({S("Other")});
    EXPECT_TRUE(Plain(FormatOf(doc, 0, "Grab")));
    highlighter.AddRoutineNames({S("grab")});
    EXPECT_TRUE(Bold(FormatOf(doc, 0, "Grab")));
}

TEST_F(ScriptHighlighter, ReservedWordInsideAStringOrCommentIsNotOne)
{
    Show("x := 'begin'; { end } Grab");
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "begin")), kPurple);
    EXPECT_FALSE(Bold(FormatOf(doc, 0, "begin")));
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "end")), kGreen);
    EXPECT_TRUE(FormatOf(doc, 0, "end").fontItalic());
}

TEST_F(ScriptHighlighter, CommentsCarriedAcrossBlocks)
{
    Show("a { one\nbegin 'two'\nthree } b\n(* four\n} five\n*) end");
    EXPECT_TRUE(Plain(FormatOf(doc, 0, "a")));
    EXPECT_EQ(Rgb(FormatOf(doc, 0, "one")), kGreen);
    // The whole second line is comment, reserved word and quotes included.
    for (int column = 0; column < doc.findBlockByNumber(1).length() - 1; ++column) {
        EXPECT_EQ(Rgb(FormatAt(doc, 1, column)), kGreen) << column;
        EXPECT_TRUE(FormatAt(doc, 1, column).fontItalic()) << column;
    }
    EXPECT_EQ(Rgb(FormatOf(doc, 2, "}")), kGreen);
    EXPECT_TRUE(Plain(FormatOf(doc, 2, "b")));
    // A "}" does not end a "(*" comment.
    EXPECT_EQ(Rgb(FormatOf(doc, 4, "five")), kGreen);
    EXPECT_EQ(Rgb(FormatOf(doc, 5, "*)")), kGreen);
    EXPECT_EQ(Rgb(FormatOf(doc, 5, "end")), kMaroon);
}

TEST_F(ScriptHighlighter, EditingOpensAndClosesACommentForTheLinesBelow)
{
    Show("a;\nbegin\nend.");
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "begin")), kMaroon);
    // Typing "{" at the end of the first line turns the lines below into comment...
    QTextCursor cursor(doc.findBlockByNumber(0));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(S(" {"));
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "begin")), kGreen);
    EXPECT_EQ(Rgb(FormatOf(doc, 2, "end")), kGreen);
    // ... and closing it gives them back.
    cursor.insertText(S("}"));
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "begin")), kMaroon);
    EXPECT_EQ(Rgb(FormatOf(doc, 2, "end")), kMaroon);
}

TEST_F(ScriptHighlighter, RefusedTextIsUnderlinedAndTheNextLineStartsAfresh)
{
    Show("Name('abc\nbegin } end");
    const QTextCharFormat open = FormatOf(doc, 0, "'abc");
    EXPECT_EQ(open.underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_FALSE(open.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "begin")), kMaroon);
    EXPECT_EQ(FormatOf(doc, 1, "}").underlineStyle(), QTextCharFormat::WaveUnderline);
    EXPECT_EQ(Rgb(FormatOf(doc, 1, "end")), kMaroon);
}

} // namespace
