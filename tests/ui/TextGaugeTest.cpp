#include "actions/ActionColors.h"
#include "ui/TTextGauge.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <climits>

namespace {

quint32 Rgb(TColor aColor)
{
    return ColorToQColor(aColor).rgb() & 0x00FFFFFFu;
}

quint32 Pixel(const QImage& aImage, int x, int y)
{
    return aImage.pixel(x, y) & 0x00FFFFFFu;
}

// A gauge as the navigation bar's volume shows it.
TTextGauge* Volume(TTextGauge& g)
{
    g.SetMaxValue(10000);
    g.SetAlertValue(11000);
    g.SetTextKind(tkPercentDone);
    return &g;
}

TEST(TextGauge, Defaults)
{
    TTextGauge g;
    EXPECT_EQ(g.size(), QSize(100, 100));
    EXPECT_EQ(g.GaugeKind(), gkHorizontalBar);
    EXPECT_EQ(g.TextKind(), tkValueDone);
    EXPECT_EQ(g.BorderStyle(), TTextGauge::bsSingle);
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_EQ(g.AlertValue(), 80);
    EXPECT_EQ(g.Caption(), QStringLiteral("%d"));
    EXPECT_EQ(quint32(g.BackColor()), 0xFFFFFFu);
    EXPECT_EQ(quint32(g.ForeColor()), 0xC0DCC0u);
    EXPECT_TRUE(g.ShowText());
    EXPECT_EQ(g.DisplayText(), QStringLiteral("0"));
}

TEST(TextGauge, PercentagesAndTexts)
{
    TTextGauge g;
    Volume(g)->SetProgress(5000);
    EXPECT_EQ(g.PercentDone(), 50);
    EXPECT_EQ(g.DisplayText(), QStringLiteral("50%"));
    g.SetProgress(3333);
    EXPECT_EQ(g.PercentDone(), 33); // truncated
    g.SetTextKind(tkPercentRemaining);
    EXPECT_EQ(g.DisplayText(), QStringLiteral("67%"));
    g.SetTextKind(tkValueDone);
    g.SetCaption(QStringLiteral("Volume %d"));
    EXPECT_EQ(g.DisplayText(), QStringLiteral("Volume 3333"));
    g.SetTextKind(tkValueRemaining);
    EXPECT_EQ(g.DisplayText(), QStringLiteral("Volume 6667"));
    g.SetCustomText(true);
    EXPECT_EQ(g.DisplayText(), QStringLiteral("Volume %d"));
}

TEST(TextGauge, PercentageOfTheWidestBoundsDoesNotOverflow)
{
    TTextGauge g;
    g.SetMinValue(INT_MIN);
    g.SetMaxValue(INT_MAX);
    g.SetProgress(0);
    EXPECT_EQ(g.PercentDone(), 50);
    g.SetProgress(INT_MAX);
    EXPECT_EQ(g.PercentDone(), 100);
    g.SetTextKind(tkValueRemaining);
    g.SetProgress(INT_MIN);
    EXPECT_EQ(g.DisplayText(), QStringLiteral("4294967295"));
    g.SetMinValue(7);
    g.SetMaxValue(7);
    EXPECT_EQ(g.PercentDone(), 0);
}

TEST(TextGauge, ProgressIsKeptWithinTheBounds)
{
    TTextGauge g;
    g.SetMaxValue(10000);
    g.SetProgress(12000);
    EXPECT_EQ(g.Progress(), 10000);
    g.SetProgress(-5);
    EXPECT_EQ(g.Progress(), 0);
    g.SetProgress(500);
    g.SetMinValue(600);
    EXPECT_EQ(g.Progress(), 600);
    g.SetMaxValue(700);
    g.SetProgress(700);
    g.SetMaxValue(650);
    EXPECT_EQ(g.Progress(), 650);
}

TEST(TextGauge, BoundsOnTheWrongSideRaiseAtRunTime)
{
    TTextGauge g;
    try {
        g.SetMaxValue(-1);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("La valeur doit être comprise entre 1 et 2147483647"));
        EXPECT_STREQ(e.what(), "La valeur doit être comprise entre 1 et 2147483647");
    }
    try {
        g.SetMinValue(101);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("La valeur doit être comprise entre -2147483647 et 99"));
    }
    EXPECT_EQ(g.MinValue(), 0);
    EXPECT_EQ(g.MaxValue(), 100);
    EXPECT_NO_THROW(g.SetMinValue(100)); // equal bounds are allowed
    // The bounds of the message do not overflow at the ends of the integers.
    g.SetMaxValue(INT_MAX);
    g.SetMinValue(INT_MAX);
    EXPECT_THROW(g.SetMaxValue(0), std::logic_error);
}

TEST(TextGauge, BoundsAreFreeWhileLoadingAndPutInOrderAfter)
{
    TTextGauge g;
    g.BeginLoading();
    EXPECT_NO_THROW(g.SetMinValue(500));
    EXPECT_NO_THROW(g.SetProgress(50));
    EXPECT_EQ(g.MinValue(), 500);
    EXPECT_NO_THROW(g.SetMaxValue(1000));
    g.EndLoading();
    EXPECT_EQ(g.Progress(), 500);
    EXPECT_THROW(g.SetMaxValue(10), EInvalidOperation);

    TTextGauge h;
    h.BeginLoading();
    h.SetMaxValue(-10); // below the minimum, and never set right
    h.EndLoading();
    EXPECT_LE(h.MinValue(), h.MaxValue());
    EXPECT_EQ(h.Progress(), h.MinValue());
    EXPECT_FALSE(h.Loading());
}

TEST(TextGauge, AlertColourPastTheAlertValue)
{
    TTextGauge g;
    g.SetTextKind(tkValueDone);
    g.SetProgress(80);
    EXPECT_EQ(g.FillColor(), g.ForeColor());
    g.SetProgress(81);
    EXPECT_EQ(g.FillColor(), TTextGauge::kAlertColor);
    g.SetTextKind(tkPercentRemaining);
    EXPECT_EQ(g.FillColor(), g.ForeColor());
    g.SetProgress(79);
    EXPECT_EQ(g.FillColor(), TTextGauge::kAlertColor);
    // The volume gauge: the alert value lies beyond the maximum.
    TTextGauge v;
    Volume(v);
    for (int p : {0, 5000, 10000, 12000}) {
        v.SetProgress(p);
        EXPECT_EQ(v.FillColor(), v.ForeColor()) << p;
    }
}

TEST(TextGauge, HorizontalBarWidthsInPixels)
{
    TTextGauge g;
    g.resize(102, 22); // a 100 x 20 figure inside the border
    g.SetShowText(false);
    g.SetProgress(37);
    QImage img = g.Picture();
    EXPECT_EQ(Pixel(img, 0, 0), 0u); // the border
    EXPECT_EQ(Pixel(img, 101, 21), 0u);
    EXPECT_EQ(Pixel(img, 1, 10), Rgb(g.ForeColor()));
    EXPECT_EQ(Pixel(img, 37, 10), Rgb(g.ForeColor()));
    EXPECT_EQ(Pixel(img, 38, 10), Rgb(g.BackColor()));
    EXPECT_EQ(Pixel(img, 100, 20), Rgb(g.BackColor()));
    g.SetProgress(0);
    EXPECT_EQ(Pixel(g.Picture(), 1, 10), Rgb(g.BackColor()));
    g.SetProgress(100);
    g.SetBorderStyle(TTextGauge::bsNone);
    img = g.Picture();
    EXPECT_EQ(Pixel(img, 0, 0), Rgb(TTextGauge::kAlertColor));
    EXPECT_EQ(Pixel(img, 101, 21), Rgb(TTextGauge::kAlertColor));
}

TEST(TextGauge, VerticalBarFromTheBottomInTheAlertColour)
{
    TTextGauge g;
    g.resize(12, 102);
    g.SetShowText(false);
    g.SetGaugeKind(gkVerticalBar);
    g.SetProgress(90);
    const QImage img = g.Picture();
    const quint32 alert = Rgb(TTextGauge::kAlertColor);
    EXPECT_EQ(alert, 0xEEA2A2u);
    EXPECT_EQ(Pixel(img, 5, 100), alert);
    EXPECT_EQ(Pixel(img, 5, 11), alert);
    EXPECT_EQ(Pixel(img, 5, 10), Rgb(g.BackColor()));
}

TEST(TextGauge, PieFromTheTopClockwise)
{
    TTextGauge g;
    g.resize(101, 101);
    g.SetBorderStyle(TTextGauge::bsNone);
    g.SetShowText(false);
    g.SetGaugeKind(gkPie);
    g.SetColor(0x000080);
    g.SetProgress(25);
    const QImage img = g.Picture();
    EXPECT_EQ(Pixel(img, 75, 25), Rgb(g.ForeColor())); // upper right quarter
    EXPECT_EQ(Pixel(img, 25, 25), Rgb(g.BackColor())); // upper left
    EXPECT_EQ(Pixel(img, 75, 75), Rgb(g.BackColor())); // lower right
    EXPECT_EQ(Pixel(img, 1, 1), Rgb(g.Color()));       // outside the ellipse
}

TEST(TextGauge, NeedleFromTheMiddleOfTheBottom)
{
    TTextGauge g;
    g.resize(101, 51);
    g.SetBorderStyle(TTextGauge::bsNone);
    g.SetShowText(false);
    g.SetGaugeKind(gkNeedle);
    g.SetColor(0x000080);
    g.SetProgress(50);
    QImage img = g.Picture();
    EXPECT_EQ(Pixel(img, 50, 25), Rgb(g.ForeColor())); // straight up
    EXPECT_EQ(Pixel(img, 40, 25), Rgb(g.BackColor()));
    EXPECT_EQ(Pixel(img, 1, 1), Rgb(g.Color()));       // outside the dial
    EXPECT_EQ(Pixel(img, 20, 50), Rgb(g.ForeColor())); // the bottom line
    g.SetProgress(0);
    img = g.Picture();
    EXPECT_EQ(Pixel(img, 50, 25), Rgb(g.BackColor()));
}

// Every pixel of the text is the inverse of what lies beneath it, wherever it falls.
TEST(TextGauge, TextIsCombinedByExclusiveOr)
{
    TTextGauge g;
    g.resize(122, 32);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(24);
    f.setBold(true);
    g.setFont(f);
    g.SetCustomText(true);
    g.SetCaption(QStringLiteral("XXXXXXXX"));
    g.SetProgress(50);
    g.SetShowText(false);
    const QImage figure = g.Picture();
    g.SetShowText(true);
    const QImage both = g.Picture();
    int onFill = 0;
    int onBack = 0;
    for (int y = 0; y < both.height(); ++y)
        for (int x = 0; x < both.width(); ++x) {
            const quint32 under = Pixel(figure, x, y);
            const quint32 shown = Pixel(both, x, y);
            if (shown == under)
                continue;
            ASSERT_EQ(shown, under ^ 0xFFFFFFu) << x << "," << y;
            onFill += under == Rgb(g.ForeColor());
            onBack += under == Rgb(g.BackColor());
        }
    EXPECT_GT(onFill, 20);
    EXPECT_GT(onBack, 20);
}

TEST(TextGauge, RepaintsWhenTheShownValueChanges)
{
    TTextGauge g;
    g.SetMaxValue(10000);
    g.show();
    QApplication::processEvents();
    struct Counter : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            Paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    g.installEventFilter(&counter);
    g.SetProgress(5000);
    QApplication::processEvents();
    const int afterFirst = counter.Paints;
    EXPECT_GE(afterFirst, 1);
    g.SetProgress(5001); // same percentage, another value text
    QApplication::processEvents();
    EXPECT_GT(counter.Paints, afterFirst);
    g.SetTextKind(tkPercentDone);
    QApplication::processEvents();
    const int percent = counter.Paints;
    g.SetProgress(5002);
    QApplication::processEvents();
    EXPECT_EQ(counter.Paints, percent);
}

TEST(TextGauge, FormatValue)
{
    auto f = [](const char* pattern, qint64 v) {
        return TTextGauge::FormatValue(QString::fromUtf8(pattern), v).toStdString();
    };
    EXPECT_EQ(f("%d", 42), "42");
    EXPECT_EQ(f("%d", -42), "-42");
    EXPECT_EQ(f("[%5d]", 42), "[   42]");
    EXPECT_EQ(f("[%-5d]", 42), "[42   ]");
    EXPECT_EQ(f("%.4d", -42), "-0042");
    EXPECT_EQ(f("%x %X", 255), "ff FF");
    EXPECT_EQ(f("%u", -1), "4294967295");
    EXPECT_EQ(f("%0:d%%", 7), "7%");
    EXPECT_EQ(f("%s %f %", 1), "%s %f %");
    EXPECT_EQ(f("%999999999999d", 1).size(), 64u);
    EXPECT_EQ(f("%d", LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(f("", 1), "");
}

} // namespace
