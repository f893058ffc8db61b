#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "ui/THelpForm.h"
#include "ui/TKoAppliMan.h"
#include "ui/TLinkEdit.h"

#include <QFrame>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class AppliMan : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(900, 600);
        client = new QWidget(&window);
        client->resize(900, 600);
        am = new TKoAppliMan(&window, client);
        am->Setup();
        options = new QFrame;
        options->resize(300, 200);
        about = new QFrame;
        about->resize(200, 100);
        am->SetOptionsFrame(options);
        am->SetAboutFrame(about);
        am->OnFillAbout = [this](const QString& aClose) { aboutClose = aClose; };
        window.show();
    }
    bool Open(int aPage) const { return am->Page(aPage)->isVisibleTo(&window); }

    QWidget window;
    QWidget* client = nullptr;
    TKoAppliMan* am = nullptr;
    QFrame* options = nullptr;
    QFrame* about = nullptr;
    QString aboutClose;
};

enum { kOptions, kCustom, kAbout };

} // namespace

TEST_F(AppliMan, ProgramTexts)
{
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(TKoAppliMan::Version())
                    .hasMatch());
    EXPECT_EQ(TKoAppliMan::FullTitle(),
              QStringLiteral("Tessarine ") + TKoAppliMan::Version() + QStringLiteral(" fr"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"))
                    .match(TKoAppliMan::UpdateDate())
                    .hasMatch());
    EXPECT_EQ(TKoAppliMan::CloseText(QStringLiteral("F10"), QStringLiteral("closeOptions")),
              QStringLiteral("Tapez F10 pour quitter cette page ou <link closeOptions>cliquez "
                             "ici</link>."));
    am->TitreUses = {QStringLiteral("Qt"), QStringLiteral("SQLite")};
    am->UrlUses = {QStringLiteral("https://qt.io/"), QStringLiteral("https://sqlite.org/")};
    EXPECT_EQ(am->UsesText(), QStringLiteral("Il utilise <url https://qt.io/>Qt</url>, "
                                             "<url https://sqlite.org/>SQLite</url>.<br><br>"));
    // Without addresses in the build, mail and home page do nothing and say so.
    EXPECT_EQ(am->naEMail->Enabled(), !TKoAppliMan::MailAddress().isEmpty());
    EXPECT_EQ(am->naHomePage->Enabled(), !TKoAppliMan::HomePage().isEmpty());
}

TEST_F(AppliMan, OnePageAtATimeEachFrameCentred)
{
    am->caOptions->SetChecked(true);
    EXPECT_TRUE(Open(kOptions));
    EXPECT_EQ(am->Page(kOptions)->geometry(), client->rect());
    EXPECT_EQ(options->pos(), QPoint((900 - 300) / 2, (600 - 200) / 2));
    EXPECT_EQ(am->OptionsCloseLabel()->parentWidget(), options);
    // F11 over the options: the options close, the about page opens, filled.
    am->caAbout->SetChecked(true);
    EXPECT_FALSE(Open(kOptions));
    EXPECT_FALSE(am->caOptions->Checked());
    EXPECT_TRUE(Open(kAbout));
    EXPECT_TRUE(aboutClose.contains(QStringLiteral("F11")));
    EXPECT_TRUE(aboutClose.contains(QStringLiteral("closeAbout")));
    am->caOptions->SetChecked(true);
    EXPECT_FALSE(Open(kAbout));
    am->caOptions->SetChecked(false);
    EXPECT_FALSE(Open(kOptions));
    // A page without a frame shows nothing, and still closes the others.
    am->caAbout->SetChecked(true);
    am->caCustom->SetChecked(true);
    EXPECT_FALSE(Open(kCustom));
    EXPECT_FALSE(Open(kAbout));
    // The close link of a page.
    am->caOptions->SetChecked(true);
    am->CloseLink(QStringLiteral("closeOptions"));
    EXPECT_FALSE(am->caOptions->Checked());
    EXPECT_FALSE(Open(kOptions));
    // The client grows: the page follows, the frame stays centred.
    am->caOptions->SetChecked(true);
    client->resize(1000, 700);
    EXPECT_EQ(am->Page(kOptions)->size(), QSize(1000, 700));
    EXPECT_EQ(options->pos(), QPoint(350, 250));
}

TEST_F(AppliMan, HelpClosedByItsOwnButtonComesBackWithF1)
{
    am->caHelp->SetChecked(true);
    EXPECT_TRUE(am->HelpForm()->isVisible());
    am->HelpForm()->close();
    EXPECT_FALSE(am->caHelp->Checked());
    am->caHelp->SetChecked(true);
    EXPECT_TRUE(am->HelpForm()->isVisible());
    EXPECT_FALSE(am->caHelp->IncludePrefs); // never stored: no hidden state at the next start
}

TEST_F(AppliMan, WindowBoundsCentredFirstThenAsLeftUnlessOffEveryScreen)
{
    const QRect screen(0, 0, 1920, 1080);
    const TRect centred = TKoAppliMan::CentredBounds(QSize(800, 600), screen);
    EXPECT_EQ(centred, (TRect{560, 240, 1360, 840}));
    const QList<QRect> screens{screen, QRect(1920, 0, 1280, 1024)};
    const TRect left{2000, 100, 2800, 700};
    EXPECT_EQ(TKoAppliMan::UsableBounds(left, centred, screens), left);
    // The second monitor is gone.
    EXPECT_EQ(TKoAppliMan::UsableBounds(left, centred, {screen}), centred);
    // Hardly a corner on screen, or a size nobody can use.
    EXPECT_EQ(TKoAppliMan::UsableBounds({1900, 1060, 2700, 1660}, centred, {screen}), centred);
    EXPECT_EQ(TKoAppliMan::UsableBounds({10, 10, 60, 40}, centred, {screen}), centred);
    EXPECT_EQ(TKoAppliMan::UsableBounds({-50, 10, 750, 610}, centred, {screen}),
              (TRect{-50, 10, 750, 610}));

    am->raFormSave->SetValue({100, 80, 900, 680});
    EXPECT_EQ(window.size(), QSize(800, 600));
}
