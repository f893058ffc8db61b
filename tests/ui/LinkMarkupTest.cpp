#include "ui/TLinkMarkup.h"

#include <gtest/gtest.h>

namespace {

QString Plain(const QString& aMarkup)
{
    return TLinkMarkup(aMarkup).PlainText();
}

TEST(LinkMarkup, TagsAreDroppedAndTextKept)
{
    EXPECT_EQ(Plain(QStringLiteral("<B>Gras</B> normal")), QStringLiteral("Gras normal"));
    EXPECT_EQ(Plain(QStringLiteral("<unknown tag>x<>y")), QStringLiteral("xy"));
    EXPECT_EQ(Plain(QString()), QString());
    EXPECT_TRUE(TLinkMarkup(QString()).Tokens().isEmpty());
}

TEST(LinkMarkup, NameAndArgumentSplitAtTheFirstSpaceUpperCased)
{
    const TLinkMarkup m(QStringLiteral("<url   http://Ex.org/A b >"));
    ASSERT_EQ(m.Tokens().size(), 1);
    const TMarkupTag& t = m.Tokens().first().Tag;
    EXPECT_EQ(t.Name, QStringLiteral("URL"));
    EXPECT_EQ(t.Arg, QStringLiteral("HTTP://EX.ORG/A B"));
    EXPECT_EQ(t.RawArg, QStringLiteral("http://Ex.org/A b"));
    // A blank before the name makes the name empty: an unknown tag.
    EXPECT_EQ(TLinkMarkup(QStringLiteral("< b>")).Tokens().first().Tag.Name, QString());
    EXPECT_EQ(TLinkMarkup(QStringLiteral("<b\t>")).Tokens().first().Tag.Name, QStringLiteral("B"));
}

TEST(LinkMarkup, StrayBracketsAndUnterminatedTags)
{
    // A "<" inside a tag is shown; "<<>" is the way to write one.
    EXPECT_EQ(Plain(QStringLiteral("a<<>b")), QStringLiteral("a<b"));
    EXPECT_EQ(Plain(QStringLiteral("<B<I>x")), QStringLiteral("<x"));
    EXPECT_EQ(TLinkMarkup(QStringLiteral("<B<I>x")).Tokens()[1].Tag.Name, QStringLiteral("BI"));
    EXPECT_EQ(Plain(QStringLiteral("2 > 1")), QStringLiteral("2 > 1"));
    // Without its ">" a "<" is no tag: the rest is shown as written.
    EXPECT_EQ(Plain(QStringLiteral("x<B>y<COLOR RED")), QStringLiteral("xy<COLOR RED"));
    EXPECT_EQ(Plain(QStringLiteral("<<<")), QStringLiteral("<<<"));
}

TEST(LinkMarkup, EveryLineBreakIsOnePosition)
{
    EXPECT_EQ(Plain(QStringLiteral("a<BR>b<br center><Br Left>c")), QStringLiteral("a\nb\n\nc"));
    EXPECT_EQ(Plain(QStringLiteral("a<BRX>b<B R>c")), QStringLiteral("abc"));
    // Line ends in the text: CR LF, CR and LF are each one break.
    EXPECT_EQ(Plain(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\nb\nc\nd"));
    EXPECT_EQ(Plain(QStringLiteral("a\r<B>\nb")), QStringLiteral("a\n\nb"));
}

TEST(LinkMarkup, CharactersTheDocumentWouldTakeForStructureAreReplaced)
{
    const QString odd = QString(QChar(0xFDD0)) + QChar(0xFFFC) + QChar(u'\0') + QChar(0xFDD1);
    EXPECT_EQ(Plain(odd), QString(4, QChar(0xFFFD)));
}

TEST(LinkMarkup, LinksOfEachKindWithTheirTargetAsWritten)
{
    const TLinkMarkup m(QStringLiteral("Voir <URL http://Ex.org/Doc>le site</URL>, "
                                       "<mail Moi@Ex.org>écrire</mail> ou <LINK Aide>aide</LINK>"));
    ASSERT_EQ(m.Links().size(), 3);
    EXPECT_EQ(m.Links()[0].Kind, lkUrl);
    EXPECT_EQ(m.Links()[0].Target, QStringLiteral("http://Ex.org/Doc"));
    EXPECT_EQ(m.Links()[0].Start, 5);
    EXPECT_EQ(m.Links()[0].End, 12);
    EXPECT_EQ(m.Links()[1].Kind, lkMail);
    EXPECT_EQ(m.Links()[1].Target, QStringLiteral("Moi@Ex.org"));
    EXPECT_EQ(m.Links()[2].Kind, lkCustom);
    EXPECT_EQ(m.PlainText().mid(m.Links()[2].Start, 4), QStringLiteral("aide"));
    EXPECT_EQ(m.LinkAt(4).Kind, lkNone);
    EXPECT_EQ(m.LinkAt(5).Target, QStringLiteral("http://Ex.org/Doc"));
    EXPECT_EQ(m.LinkAt(11).Kind, lkUrl);
    EXPECT_EQ(m.LinkAt(12).Kind, lkNone);
}

TEST(LinkMarkup, LinkPositionsAfterSeveralLineBreaks)
{
    const TLinkMarkup m(
        QStringLiteral("un<BR>deux<br center><BR>\r\n<b>trois</b> <URL x>lien</URL><BR>"));
    ASSERT_EQ(m.Links().size(), 1);
    const TLinkSpan l = m.Links().first();
    EXPECT_EQ(m.PlainText().mid(l.Start, l.End - l.Start), QStringLiteral("lien"));
}

TEST(LinkMarkup, ClosingTagsMustMatchTheOpenKindAndCloseOnce)
{
    EXPECT_TRUE(TLinkMarkup(QStringLiteral("<URL a>x</MAIL>")).Links().isEmpty());
    EXPECT_TRUE(TLinkMarkup(QStringLiteral("x</URL>")).Links().isEmpty());
    EXPECT_TRUE(TLinkMarkup(QStringLiteral("<URL a>unclosed")).Links().isEmpty());
    EXPECT_TRUE(TLinkMarkup(QStringLiteral("<URL a></URL>")).Links().isEmpty());
    // The text after a closed link is not part of it, even before a second closing tag.
    const TLinkMarkup twice(QStringLiteral("<URL a>x</URL>y</URL>"));
    ASSERT_EQ(twice.Links().size(), 1);
    EXPECT_EQ(twice.LinkAt(1).Kind, lkNone);
    // A second opening tag replaces the first.
    const TLinkMarkup reopened(QStringLiteral("<URL a>x<MAIL b>y</MAIL>"));
    ASSERT_EQ(reopened.Links().size(), 1);
    EXPECT_EQ(reopened.Links().first().Target, QStringLiteral("b"));
    EXPECT_EQ(reopened.Links().first().Start, 1);
}

TEST(LinkMarkup, ColourTable)
{
    const struct {
        const char16_t* Name;
        quint32 Value;
    } table[] = {
        {u"RED", 0x0000FF},     {u"GREEN", 0x008000},      {u"YELLOW", 0x00FFFF},
        {u"BLUE", 0xFF0000},    {u"BLACK", 0x000000},      {u"WHITE", 0xFFFFFF},
        {u"AQUA", 0xFFFF00},    {u"DKGRAY", 0x808080},     {u"OLIVE", 0x008080},
        {u"PURPLE", 0x800080},  {u"FUCHSIA", 0xFF00FF},    {u"GRAY", 0x808080},
        {u"LIME", 0x00FF00},    {u"MAROON", 0x000080},     {u"NAVY", 0x800000},
        {u"LTGRAY", 0xC0C0C0},  {u"MEDGRAY", 0xA4A0A0},    {u"SILVER", 0xC0C0C0},
        {u"TEAL", 0x808000},    {u"MONEYGREEN", 0xC0DCC0}, {u"CREAM", 0xF0FBFF},
        {u"SKYBLUE", 0xF0CAA6}, {u"BTNFACE", 0xFF00000F},  {u"APPWORKSPACE", 0xFF00000C},
    };
    for (const auto& c : table) {
        TColor color = 1;
        EXPECT_TRUE(TLinkMarkup::ColorByName(QString::fromUtf16(c.Name), color));
        EXPECT_EQ(quint32(color), c.Value) << QString::fromUtf16(c.Name).toStdString();
    }
    TColor untouched = 7;
    EXPECT_FALSE(TLinkMarkup::ColorByName(QStringLiteral("PINK"), untouched));
    EXPECT_FALSE(TLinkMarkup::ColorByName(QStringLiteral("red"), untouched)); // names come upper
    EXPECT_EQ(untouched, 7);
}

} // namespace
