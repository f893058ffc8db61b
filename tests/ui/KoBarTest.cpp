#include "actions/TNopeAction.h"
#include "ui/TKoBar.h"
#include "ui/TKoImgBtn.h"
#include "ui/TKoSeparator.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

class CountingBar : public TKoBar {
public:
    using TKoBar::TKoBar;
    int Arranged = 0;
    void ArrangeButtons() override
    {
        ++Arranged;
        TKoBar::ArrangeButtons();
    }
};

void Settle()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

// The main window's bar: twenty buttons in four groups.
class MainBar : public ::testing::Test {
protected:
    CountingBar bar;
    QList<QWidget*> row;
    QList<TKoSeparator*> spacers;

    void SetUp() override
    {
        bar.resize(800, 32);
        bar.SetButtonTop(2);
        const int groups[] = {3, 3, 5, 4, 5};
        for (int g = 0; g < 5; ++g) {
            if (g > 0) {
                auto* s = new TKoSeparator(&bar);
                s->resize(10, 20);
                spacers << s;
                row << s;
            }
            for (int b = 0; b < groups[g]; ++b) {
                auto* button = new TKoImgBtn(&bar);
                button->resize(29, 29);
                row << button;
            }
        }
        // A hidden widget's resize reaches nobody until it is shown.
        bar.show();
        Settle();
    }
};

TEST_F(MainBar, ButtonsAndSpacersSitEdgeToEdge)
{
    ASSERT_EQ(row.size(), 24);
    EXPECT_EQ(bar.Controls(), row);
    int x = 0;
    for (QWidget* w : row) {
        EXPECT_EQ(w->geometry(), QRect(x, 2, w->width(), 28));
        x += w->width();
    }
    EXPECT_EQ(x, 20 * 29 + 4 * 10);
}

TEST_F(MainBar, WideningASpacerPushesTheFollowingControls)
{
    const int at = int(row.indexOf(spacers[1]));
    const QList<int> before = [&] {
        QList<int> xs;
        for (QWidget* w : row)
            xs << w->x();
        return xs;
    }();
    spacers[1]->resize(70, 20);
    Settle();
    for (int i = 0; i < row.size(); ++i)
        EXPECT_EQ(row[i]->x(), before[i] + (i > at ? 60 : 0)) << i;
}

TEST_F(MainBar, RemovedControlsLeaveTheRow)
{
    delete row.takeAt(0);
    Settle();
    EXPECT_EQ(bar.Controls(), row);
    EXPECT_EQ(row.first()->x(), 0);
    QWidget* moved = row.takeLast();
    moved->setParent(nullptr);
    Settle();
    EXPECT_EQ(bar.Controls(), row);
    delete moved;
}

TEST_F(MainBar, RequestsOfOneTurnMakeOneLayout)
{
    bar.Arranged = 0;
    for (int i = 0; i < 5; ++i)
        new TKoImgBtn(&bar);
    spacers[0]->resize(40, 20);
    spacers[2]->resize(30, 20);
    EXPECT_EQ(bar.Arranged, 0);
    EXPECT_TRUE(bar.LayoutPending());
    QApplication::sendPostedEvents(&bar, TKoBar::kRelayoutEvent);
    EXPECT_EQ(bar.Arranged, 1);
    EXPECT_FALSE(bar.LayoutPending());
    // The repaint after the moves asks once more, and that layout changes nothing.
    Settle();
    const int settled = bar.Arranged;
    Settle();
    EXPECT_EQ(bar.Arranged, settled);
    EXPECT_LE(settled, 2);
}

TEST_F(MainBar, PaintingOnlyAsksForALayout)
{
    bar.Arranged = 0;
    bar.repaint();
    EXPECT_EQ(bar.Arranged, 0);
    EXPECT_TRUE(bar.LayoutPending());
    Settle();
    EXPECT_EQ(bar.Arranged, 1);
}

TEST_F(MainBar, SettersLayOutAtOnce)
{
    bar.Arranged = 0;
    bar.SetButtonHeight(24);
    EXPECT_EQ(bar.Arranged, 1);
    EXPECT_EQ(row.first()->height(), 24);
    bar.SetButtonWidth(40);
    EXPECT_EQ(row.first()->width(), 29); // stored, not used
}

TEST(KoBar, AlignmentMarginSpacingAndMinimumWidth)
{
    TKoBar bar;
    bar.resize(200, 40);
    auto* a = new QWidget(&bar);
    auto* b = new QWidget(&bar);
    a->resize(20, 10);
    b->resize(30, 10);
    new QObject(&bar); // not a widget: ignored
    bar.SetButtonMargin(5);
    bar.SetButtonSpacing(3);
    EXPECT_EQ(a->x(), 5);
    EXPECT_EQ(b->x(), 28);
    bar.SetAlignment(Qt::AlignRight);
    EXPECT_EQ(b->geometry().right(), 200 - 5 - 1);
    EXPECT_EQ(a->x(), 200 - 5 - 30 - 3 - 20);
    bar.SetAlignment(Qt::AlignHCenter);
    const int total = 5 + 20 + 3 + 30 + 5;
    EXPECT_EQ(a->x(), (200 - total) / 2 + 5);
    // A minimum width counts in the row's total: a right row still ends at the margin.
    bar.SetAlignment(Qt::AlignRight);
    bar.SetButtonMinWidth(40);
    EXPECT_EQ(a->width(), 40);
    EXPECT_EQ(b->width(), 40);
    EXPECT_EQ(b->geometry().right(), 200 - 5 - 1);
    EXPECT_EQ(bar.Controls().size(), 2);
}

TEST(KoBar, ExtremeSettingsDoNotOverflow)
{
    TKoBar bar;
    auto* a = new QWidget(&bar);
    bar.SetButtonMargin(INT_MAX);
    bar.SetButtonSpacing(INT_MIN);
    bar.SetButtonHeight(-5);
    bar.SetAlignment(Qt::AlignHCenter);
    EXPECT_GE(a->height(), 0);
}

TEST(KoImgBtn, CaptionShownOnlyWithShowCaption)
{
    TNopeAction action;
    action.SetCaption(QStringLiteral("Ouvrir"));
    action.SetHint(QStringLiteral("Ouvrir un fichier vidéo"));
    QPixmap pix(22, 22);
    pix.fill(Qt::red);
    action.Action()->setIcon(QIcon(pix));

    TKoImgBtn button;
    button.SetAction(&action);
    EXPECT_EQ(button.Action(), &action);
    EXPECT_EQ(button.defaultAction(), action.Action());
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_EQ(button.toolTip(), QStringLiteral("Ouvrir un fichier vidéo"));
    EXPECT_FALSE(button.ShowCaption());
    EXPECT_TRUE(button.text().isEmpty());
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(button.Caption(), QStringLiteral("Ouvrir"));

    button.SetShowCaption(true);
    EXPECT_EQ(button.text(), QStringLiteral("Ouvrir"));
    EXPECT_EQ(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);

    action.SetCaption(QStringLiteral("&Fermer"));
    EXPECT_EQ(button.text(), QStringLiteral("Fermer"));
    button.SetShowCaption(false);
    EXPECT_TRUE(button.text().isEmpty());
    action.SetEnabled(false); // another change of the action keeps the caption hidden
    EXPECT_TRUE(button.text().isEmpty());
    EXPECT_FALSE(button.isEnabled());
    EXPECT_EQ(button.Caption(), QStringLiteral("Fermer"));

    button.SetAction(nullptr);
    EXPECT_EQ(button.Action(), nullptr);
}

TEST(KoImgBtn, TriggeringRunsTheAction)
{
    TNopeAction action;
    int runs = 0;
    action.OnInternalApply = [&] { ++runs; };
    TKoImgBtn button;
    button.SetAction(&action);
    button.click();
    EXPECT_EQ(runs, 1);
}

TEST(KoSeparator, FlatWithoutBorder)
{
    TKoSeparator s;
    EXPECT_EQ(s.frameShape(), QFrame::NoFrame);
    EXPECT_EQ(s.frameWidth(), 0);
}

} // namespace
