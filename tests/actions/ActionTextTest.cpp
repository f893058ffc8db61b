#include "actions/ActionColors.h"
#include "actions/FontConvert.h"
#include "actions/MacroState.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// The macro line an action records for its current value.
template <class A, class V> QString LineFor(const QString& aName, const V& aValue)
{
    A a;
    a.ScriptName = aName;
    TMacroLineList lines;
    MacroLines = &lines;
    a.SetValue(aValue);
    MacroLines = nullptr;
    return lines.Lines.value(0);
}

TEST(MacroLines, EveryTypeWritesALineThatCompilesAgain)
{
    EXPECT_EQ(LineFor<TWidestringAction>(QStringLiteral("Perso"), QStringLiteral("l'été")),
              QStringLiteral("    Perso('l''été');"));
    EXPECT_EQ(LineFor<TWidestringAction>(QStringLiteral("P"), QStringLiteral("a\r\nb")),
              QStringLiteral("    P('a'#13#10'b');"));
    EXPECT_EQ(LineFor<TWidestringAction>(QStringLiteral("P"), QString()),
              QStringLiteral("    P('');"));
    EXPECT_EQ(LineFor<TStringAction>(QStringLiteral("S"), QByteArray("x")),
              QStringLiteral("    S('x');"));
    EXPECT_EQ(LineFor<TIntegerAction>(QStringLiteral("Volume"), -5),
              QStringLiteral("    Volume(-5);"));
    EXPECT_EQ(LineFor<TColorAction>(QStringLiteral("Color"), TColor(0xFF)),
              QStringLiteral("    Color($0000FF);"));
    EXPECT_EQ(LineFor<TColorAction>(QStringLiteral("Color"), TColor(0xFF00000F)),
              QStringLiteral("    Color($FF00000F);"));
    EXPECT_EQ(LineFor<TBooleanAction>(QStringLiteral("B"), true), QStringLiteral("    B(True);"));
    EXPECT_EQ(LineFor<TPointAction>(QStringLiteral("InPos"), TPoint{10, -20}),
              QStringLiteral("    InPos(10,-20);"));
    EXPECT_EQ(LineFor<TRectAction>(QStringLiteral("R"), TRect{1, 2, 3, 4}),
              QStringLiteral("    R(1,3,2,4);"));
    TFontDesc f;
    f.Name = QStringLiteral("O'Neil Sans");
    f.Size = 12;
    f.Color = 0x0000FF;
    f.Bold = true;
    f.StrikeOut = true;
    EXPECT_EQ(LineFor<TFontAction>(QStringLiteral("Font"), f),
              QStringLiteral("    Font('O''Neil Sans', 12, $0000FF, True, False, False, True);"));
}

TEST(MacroLines, FloatsUseAPointWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(LineFor<TDoubleAction>(QStringLiteral("Ratio"), 0.5),
              QStringLiteral("    Ratio(0.5);"));
    EXPECT_EQ(LineFor<TDoubleAction>(QStringLiteral("Ratio"), -2.0),
              QStringLiteral("    Ratio(-2);"));
    QLocale::setDefault(previous);
}

TEST(SetAsText, BooleansAcceptTheFrenchAndEnglishWords)
{
    TBooleanAction b;
    for (const char* yes : {"VRAI", "  True ", "t", "v", "2", "-1"}) {
        b.SetValue(false);
        b.SetAsText(QString::fromUtf8(yes));
        EXPECT_TRUE(b.Value()) << yes;
    }
    for (const char* no : {"faux", "false", "0", "", "oui", "yes"}) {
        b.SetValue(true);
        b.SetAsText(QString::fromUtf8(no));
        EXPECT_FALSE(b.Value()) << no;
    }
    TCheckAction c;
    c.SetAsText(QStringLiteral("vrai"));
    EXPECT_TRUE(c.Checked());
}

TEST(SetAsText, NumbersGiveMinusOneForTextThatIsNone)
{
    TIntegerAction i;
    int applies = 0;
    i.OnInternalApply = [&](const qint32&) { ++applies; };
    i.SetAsText(QStringLiteral("abc"));
    EXPECT_EQ(i.Value(), -1);
    EXPECT_EQ(applies, 1);
    i.SetAsText(QStringLiteral("50"));
    EXPECT_EQ(i.Value(), 50);
    i.SetAsText(QString());
    EXPECT_EQ(i.Value(), -1);

    TDoubleAction d;
    d.SetAsText(QStringLiteral("0.25"));
    EXPECT_EQ(d.Value(), 0.25);
    d.SetAsText(QStringLiteral("0,75"));
    EXPECT_EQ(d.Value(), 0.75);
    d.SetAsText(QStringLiteral("n/a"));
    EXPECT_EQ(d.Value(), -1.0);
    // No thousands separators: a comma is the decimal separator only without a point.
    d.SetAsText(QStringLiteral("1,000.5"));
    EXPECT_EQ(d.Value(), -1.0);
    d.SetAsText(QStringLiteral("1,000"));
    EXPECT_EQ(d.Value(), 1.0);
    d.SetAsText(QStringLiteral("1.000,5"));
    EXPECT_EQ(d.Value(), -1.0);
}

TEST(SetAsText, ColoursByNameDecimalOrHexElseUntouched)
{
    TColorAction c;
    c.SetAsText(QStringLiteral("clRed"));
    EXPECT_EQ(c.Value(), 0x0000FF);
    c.SetAsText(QStringLiteral("CLBTNFACE"));
    EXPECT_EQ(c.Value(), TColor(0xFF00000F));
    c.SetAsText(QStringLiteral("$00FF00"));
    EXPECT_EQ(c.Value(), 0x00FF00);
    c.SetAsText(QStringLiteral("255"));
    EXPECT_EQ(c.Value(), 255);
    int applies = 0;
    c.OnInternalApply = [&](const TColor&) { ++applies; };
    for (const char* bad : {"rouge", "", "$", "$1FFFFFFFF", "12abc", "$ 10", "$0x10", "0x10",
                            "$+10", "$-1", "1 0", "+-1"})
        c.SetAsText(QString::fromUtf8(bad));
    EXPECT_EQ(applies, 0);
    EXPECT_EQ(c.Value(), 255);
    EXPECT_EQ(ColorToText(TColor(0xFF00000F)), QStringLiteral("clBtnFace"));
    EXPECT_EQ(ColorToText(TColor(0x123456)), QStringLiteral("$00123456"));
    EXPECT_EQ(ColorToQColor(0x0000FF), QColor(255, 0, 0));
}

TEST(SetAsText, PointsNeedBracketsAndAComma)
{
    TPointAction p;
    p.SetAsText(QStringLiteral(" (10, 20) "));
    EXPECT_EQ(p.Value(), (TPoint{10, 20}));
    for (const char* unchanged : {"10,20", "(10 20)", "(", ")", "", "(1,2"})
        p.SetAsText(QString::fromUtf8(unchanged));
    EXPECT_EQ(p.Value(), (TPoint{10, 20}));
    p.SetAsText(QStringLiteral("(x, 5)"));
    EXPECT_EQ(p.Value(), (TPoint{0, 5}));
}

TEST(SetAsText, RectanglesReadLeftTopRightBottom)
{
    TRectAction r;
    r.SetAsText(QStringLiteral("( 1, 2 ,3, 4 )"));
    EXPECT_EQ(r.Value(), (TRect{1, 2, 3, 4}));
    r.SetAsText(QStringLiteral("(5,6,7)"));
    EXPECT_EQ(r.Value(), (TRect{1, 2, 3, 4}));
    r.SetAsText(QStringLiteral("(a,6,7,8,9)"));
    EXPECT_EQ(r.Value(), (TRect{0, 6, 7, 0}));
}

TEST(SetAsText, TextsFontsAndCommands)
{
    TWidestringAction w;
    w.SetAsText(QStringLiteral("  spaces kept "));
    EXPECT_EQ(w.Value(), QStringLiteral("  spaces kept "));
    TStringAction s;
    s.SetAsText(QStringLiteral("é"));
    EXPECT_EQ(s.Value(), QByteArray("\xC3\xA9"));
    TFontAction f;
    int fontApplies = 0;
    f.OnInternalApply = [&](const TFontDesc&) { ++fontApplies; };
    f.SetAsText(QStringLiteral("Arial"));
    EXPECT_EQ(fontApplies, 0);
    TNopeAction n;
    int runs = 0;
    n.OnInternalApply = [&] { ++runs; };
    n.SetAsText(QStringLiteral("ignored"));
    EXPECT_EQ(runs, 1);
}

} // namespace

namespace {

TEST(Fonts, DescriptionsBecomeQtFontsAndBack)
{
    TFontDesc f;
    f.Name = QStringLiteral("DejaVu Sans");
    f.Size = 14;
    f.Bold = true;
    f.StrikeOut = true;
    f.Pitch = 2;
    const QFont q = FontDescToQFont(f);
    EXPECT_EQ(q.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(q.pointSize(), 14);
    EXPECT_TRUE(q.bold() && q.strikeOut() && !q.italic() && !q.underline());
    EXPECT_TRUE(q.fixedPitch());
    const TFontDesc back = QFontToFontDesc(q, f.Color, f.PixelsPerInch);
    EXPECT_EQ(back.Name, f.Name);
    EXPECT_EQ(back.Size, 14);
    EXPECT_EQ(back.Color, f.Color);
    EXPECT_TRUE(back.Bold && back.StrikeOut);
    f.Size = 0; // a size no font has
    EXPECT_GT(FontDescToQFont(f).pointSize(), 0);
}

} // namespace
