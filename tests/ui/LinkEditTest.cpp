#include "actions/ActionColors.h"
#include "ui/TLinkEdit.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

class LinkEdit : public ::testing::Test {
protected:
    TLinkEdit edit;

    void SetUp() override
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSize(10);
        edit.setFont(f);
        edit.resize(420, 300);
        edit.show();
    }

    void Set(const QString& aMarkup)
    {
        edit.SetRichText(aMarkup);
        QApplication::processEvents();
    }

    // The format of the shown character at aIndex.
    QTextCharFormat At(int aIndex) const
    {
        QTextCursor c(edit.document());
        c.setPosition(aIndex + 1);
        return c.charFormat();
    }

    QTextBlockFormat BlockOf(int aIndex) const
    {
        return edit.document()->findBlock(aIndex).blockFormat();
    }

    int IndexOf(const QString& aShown) const
    {
        return int(edit.document()->toPlainText().indexOf(aShown));
    }

    // A point of the viewport inside the shown character at aIndex.
    QPoint PointOf(int aIndex) const
    {
        QTextCursor c(edit.document());
        c.setPosition(aIndex);
        const QRect left = edit.cursorRect(c);
        c.setPosition(aIndex + 1);
        const QRect right = edit.cursorRect(c);
        const int x =
            right.top() == left.top() ? (left.left() + right.left()) / 2 : left.left() + 2;
        return QPoint(x, left.center().y());
    }

    void Send(QEvent::Type aType, const QPoint& aPos, Qt::MouseButton aButton = Qt::LeftButton)
    {
        const Qt::MouseButton button = aType == QEvent::MouseMove ? Qt::NoButton : aButton;
        const Qt::MouseButtons buttons =
            aType == QEvent::MouseButtonPress ? Qt::MouseButtons(aButton) : Qt::NoButton;
        QMouseEvent e(aType, QPointF(aPos), edit.viewport()->mapToGlobal(QPointF(aPos)), button,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &e);
    }

    void Click(const QPoint& aPos, Qt::MouseButton aButton = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonPress, aPos, aButton);
        Send(QEvent::MouseButtonRelease, aPos, aButton);
    }

    QColor Color(int aIndex) const { return At(aIndex).foreground().color(); }
};

TEST_F(LinkEdit, BoldRunThenPlainText)
{
    Set(QStringLiteral("<B>Gras</B> normal"));
    EXPECT_EQ(edit.document()->toPlainText(), QStringLiteral("Gras normal"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(At(i).fontWeight(), QFont::Bold) << i;
    for (int i = 4; i < 11; ++i)
        EXPECT_EQ(At(i).fontWeight(), QFont::Normal) << i;
}

TEST_F(LinkEdit, StylesSwitchOnAndOff)
{
    Set(QStringLiteral("<i>a</i><u>b</u><s>c</s>d"));
    EXPECT_TRUE(At(0).fontItalic());
    EXPECT_TRUE(At(1).fontUnderline());
    EXPECT_FALSE(At(1).fontItalic());
    EXPECT_TRUE(At(2).fontStrikeOut());
    EXPECT_FALSE(At(3).fontItalic() || At(3).fontUnderline() || At(3).fontStrikeOut());
}

TEST_F(LinkEdit, ColoursByNameAndBackToTheFontColour)
{
    edit.SetFontColor(0x102030);
    Set(QStringLiteral("<COLOR RED>r</COLOR>f<color green>g<COLOR PINK>h<COLOR btnface>i"));
    EXPECT_EQ(Color(0), QColor(255, 0, 0));
    EXPECT_EQ(Color(1), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(Color(2), QColor(0, 0x80, 0));
    EXPECT_EQ(Color(3), QColor(0, 0x80, 0)); // an unknown name changes nothing
    EXPECT_EQ(Color(4), QApplication::palette().color(QPalette::Button));
}

TEST_F(LinkEdit, LinksAreNavyUnderlinedAndRestoreTheStyleBefore)
{
    Set(QStringLiteral("<B><COLOR RED>a<URL http://Ex.org>lien</URL>b"));
    const int l = IndexOf(QStringLiteral("lien"));
    EXPECT_EQ(Color(l), QColor(0, 0, 0x80));
    EXPECT_TRUE(At(l).fontUnderline());
    EXPECT_EQ(At(l).fontWeight(), QFont::Bold);
    const int b = IndexOf(QStringLiteral("b"));
    EXPECT_EQ(Color(b), QColor(255, 0, 0));
    EXPECT_FALSE(At(b).fontUnderline());
    EXPECT_EQ(At(b).fontWeight(), QFont::Bold);

    edit.ResetAttributes();
    edit.SetMailColor(0x00FF00);
    edit.SetLinkColor(0x0000FF);
    Set(QStringLiteral("<MAIL a@b>m</MAIL><LINK x>c</LINK>"));
    EXPECT_EQ(Color(0), QColor(0, 255, 0));
    EXPECT_EQ(Color(1), QColor(255, 0, 0));
}

TEST_F(LinkEdit, BreakAlignsTheLineItEnds)
{
    Set(QStringLiteral("Titre<BR CENTER>suite<br right>fin"));
    EXPECT_EQ(edit.document()->blockCount(), 3);
    EXPECT_EQ(BlockOf(0).alignment(), Qt::AlignHCenter);
    EXPECT_EQ(BlockOf(IndexOf(QStringLiteral("suite"))).alignment(), Qt::AlignRight);
    EXPECT_EQ(edit.document()->findBlockByNumber(2).blockFormat().alignment(), Qt::AlignLeft);
    // The video window's idle text ends with its aligned break.
    Set(QStringLiteral("<color blue>Aucun flux vidéo n'a été connecté</color><br center>"));
    EXPECT_EQ(BlockOf(0).alignment(), Qt::AlignHCenter);
    // Without a known argument the line takes the control's alignment.
    edit.SetAlignment(Qt::AlignRight);
    Set(QStringLiteral("a<BR MIDDLE>b"));
    EXPECT_EQ(BlockOf(0).alignment(), Qt::AlignRight);
}

TEST_F(LinkEdit, SizeThenTheFontSizeAndSaneBounds)
{
    Set(QStringLiteral("<SIZE 20>grand</SIZE>petit<SIZE 100000>x<SIZE abc>y<size -3>z"));
    EXPECT_EQ(At(0).fontPointSize(), 20);
    EXPECT_EQ(At(5).fontPointSize(), 10);
    EXPECT_EQ(At(IndexOf(QStringLiteral("x"))).fontPointSize(), TLinkEdit::kMaxPointSize);
    EXPECT_EQ(At(IndexOf(QStringLiteral("y"))).fontPointSize(), TLinkEdit::kMinPointSize);
    EXPECT_EQ(At(IndexOf(QStringLiteral("z"))).fontPointSize(), TLinkEdit::kMinPointSize);
}

TEST_F(LinkEdit, FontNameUpperCasedAndBack)
{
    Set(QStringLiteral("<FONT DejaVu Serif>a</FONT>b"));
    EXPECT_EQ(At(0).fontFamilies().toStringList(), QStringList{QStringLiteral("DEJAVU SERIF")});
    EXPECT_EQ(At(1).fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Sans")});
}

TEST_F(LinkEdit, AttributesLeftOnCarryOverToTheNextText)
{
    Set(QStringLiteral("<B><COLOR RED>x"));
    Set(QStringLiteral("suite"));
    EXPECT_EQ(At(0).fontWeight(), QFont::Bold);
    EXPECT_EQ(Color(0), QColor(255, 0, 0));
    EXPECT_TRUE(edit.DefAttributes().Bold);
    edit.ResetAttributes();
    Set(QStringLiteral("suite"));
    EXPECT_EQ(At(0).fontWeight(), QFont::Normal);
}

TEST_F(LinkEdit, ShownTextKeepsOnePositionPerCharacter)
{
    const QString markup = QStringLiteral("a\r\nb<BR>\rc<<>d") + QChar(0xFDD0) + QChar(0xFFFC) +
                           QStringLiteral("\u2029e<x");
    Set(markup);
    EXPECT_EQ(edit.document()->characterCount() - 1, TLinkMarkup(markup).PlainText().size());
}

TEST_F(LinkEdit, ClickOnALinkAfterSeveralLineBreaksRaisesItsEvent)
{
    QStringList urls, mails, customs;
    edit.OnUrlClick = [&](const QString& l) { urls << l; };
    edit.OnMailClick = [&](const QString& l) { mails << l; };
    edit.OnCustomLinkClick = [&](const QString& l) { customs << l; };
    Set(QStringLiteral("Un<BR>deux<BR><BR>\r\n<B>trois</B> <URL http://Ex.org/Page>site</URL>"
                       "<BR center>x <MAIL Moi@Ex.org>mel</MAIL> <LINK Aide>aide</LINK>"));
    const int site = IndexOf(QStringLiteral("site"));
    Click(PointOf(site));
    Click(PointOf(site + 3));
    EXPECT_EQ(urls, (QStringList{QStringLiteral("http://Ex.org/Page"),
                                 QStringLiteral("http://Ex.org/Page")}));
    Click(PointOf(site - 1)); // the blank before the link
    Click(PointOf(IndexOf(QStringLiteral("trois"))));
    EXPECT_EQ(urls.size(), 2);
    Click(PointOf(IndexOf(QStringLiteral("mel")) + 1));
    Click(PointOf(IndexOf(QStringLiteral("aide"))));
    EXPECT_EQ(mails, QStringList{QStringLiteral("Moi@Ex.org")});
    EXPECT_EQ(customs, QStringList{QStringLiteral("Aide")});
    // Only the left button follows a link.
    Click(PointOf(site), Qt::RightButton);
    EXPECT_EQ(urls.size(), 2);
}

TEST_F(LinkEdit, CharFromPosIsOffTheTextBesideAndBelowTheLines)
{
    Set(QStringLiteral("court<BR>ligne"));
    const QPoint first = PointOf(0);
    EXPECT_EQ(edit.CharFromPos(first), 0);
    EXPECT_EQ(edit.CharFromPos(PointOf(7)), 7);
    EXPECT_EQ(edit.CharFromPos(QPoint(400, first.y())), -1);
    EXPECT_EQ(edit.CharFromPos(QPoint(first.x(), 290)), -1);
}

TEST_F(LinkEdit, HintAndHandCursorOverALinkOnlyWithAHintHandler)
{
    const Qt::CursorShape plain = edit.viewport()->cursor().shape();
    Set(QStringLiteral("texte <URL http://Ex.org>site</URL>"));
    const QPoint onLink = PointOf(IndexOf(QStringLiteral("site")) + 1);
    const QPoint offLink = PointOf(1);

    Send(QEvent::MouseMove, onLink);
    EXPECT_EQ(edit.viewport()->cursor().shape(), plain);
    EXPECT_TRUE(edit.toolTip().isEmpty());

    edit.OnUrlHint = [](const QString& l, QString& hint) { hint = QStringLiteral("Aller à ") + l; };
    Send(QEvent::MouseMove, onLink);
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(edit.toolTip(), QStringLiteral("Aller à http://Ex.org"));
    EXPECT_TRUE(edit.LinkHintShown());

    Send(QEvent::MouseMove, offLink);
    EXPECT_EQ(edit.viewport()->cursor().shape(), plain);
    EXPECT_TRUE(edit.toolTip().isEmpty());
    EXPECT_FALSE(edit.LinkHintShown());

    // Straight from a hinted link onto a link of a kind without hints.
    Set(QStringLiteral("<URL u>site</URL><MAIL m>mel</MAIL>"));
    Send(QEvent::MouseMove, PointOf(1));
    EXPECT_FALSE(edit.toolTip().isEmpty());
    Send(QEvent::MouseMove, PointOf(IndexOf(QStringLiteral("mel")) + 1));
    EXPECT_TRUE(edit.toolTip().isEmpty());
    EXPECT_EQ(edit.viewport()->cursor().shape(), plain);
}

TEST_F(LinkEdit, InternalCursorHandOverLinksAndIBeamElsewhere)
{
    edit.SetUseInternalCursor(true);
    Set(QStringLiteral("texte <MAIL a@b>mel</MAIL>"));
    Send(QEvent::MouseMove, PointOf(IndexOf(QStringLiteral("mel"))));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(edit.toolTip().isEmpty());
    Send(QEvent::MouseMove, PointOf(0));
    EXPECT_EQ(edit.viewport()->cursor().shape(), Qt::IBeamCursor);
}

} // namespace
