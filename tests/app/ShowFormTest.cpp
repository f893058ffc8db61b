#include "TestPrinters.h"
#include "app/TShowForm.h"
#include "app/TVideoPanel.h"
#include "ui/TKoAppliMan.h"

#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TNopeAction.h"
#include "actions/uScriptAction.h"
#include "actions/uWndComponent.h"
#include "app/TAboutFrame.h"
#include "app/TOptionsFrame.h"
#include "app/TSideFrame.h"
#include "prefs/TDravikPreferences.h"
#include "prefs/TIniPreferencesMan.h"
#include "prefs/TRegistryHive.h"
#include "ui/TLinkEdit.h"
#include "ui/uLinkEdit.h"
#include <ScratchMount.h>
#include <TestDirs.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QSpinBox>
#include <QTextCursor>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

class TAnswer : public TPrefsQuestion {
public:
    std::optional<TSavePreferences> Answer = spNone;
    int Asked = 0;
    std::optional<TSavePreferences> AskSaveMode(const QString&) override
    {
        ++Asked;
        return Answer;
    }
    void Warn(const QString&) override {}
};

class ShowForm : public ::testing::Test {
protected:
    TTestConfigHome home;
    TAnswer answer;
    std::unique_ptr<TShowForm> form;

    void Start(const QStringList& aArgs = {})
    {
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        form->am->SwitchComponent()->Arguments = aArgs;
        form->show();
        QCoreApplication::processEvents();
    }
    template <class A> A* Action(const char* aId)
    {
        return qobject_cast<A*>(form->FindAction(QString::fromLatin1(aId)));
    }
    int Px(int v) const { return qRound(v * form->Scale()); }
};

TEST_F(ShowForm, TheSidePanelSwitchShowsOnePanelAndChecksItsCommand)
{
    Start();
    auto* save = Action<TNopeAction>("naShowSaveImagesFrame");
    auto* incrust = Action<TNopeAction>("naShowIncrustFrame");
    auto* active = Action<TIntegerAction>("iaPanneauActif");
    save->Action()->trigger();
    EXPECT_TRUE(form->Panel(1)->isVisible());
    EXPECT_TRUE(save->Checked());
    EXPECT_EQ(active->Value(), 1);

    incrust->Apply();
    EXPECT_FALSE(form->Panel(1)->isVisible());
    EXPECT_FALSE(save->Checked());
    EXPECT_TRUE(form->Panel(3)->isVisible());
    EXPECT_TRUE(incrust->Checked());

    for (int none : {0, 5, -1}) {
        form->HideActivePanel();
        active->SetValue(none);
        for (int i = 1; i <= 4; ++i)
            EXPECT_FALSE(form->Panel(i)->isVisible()) << none;
    }
}

TEST_F(ShowForm, TheAboutPagesCloseLinkClosesItAndItsOtherLinksAreLive)
{
    Start();
    auto* about = Action<TCheckAction>("caAbout");
    about->SetChecked(true);
    ASSERT_TRUE(form->AboutFrame->isVisible());
    TLinkEdit* close = form->AboutFrame->CloseLab;
    const int at = close->toPlainText().indexOf(QStringLiteral("cliquez ici"));
    ASSERT_GE(at, 0);
    QTextCursor c(close->document());
    c.setPosition(at + 2);
    const QPoint p = close->cursorRect(c).center();
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, QPointF(p), close->viewport()->mapToGlobal(QPointF(p)), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(close->viewport(), &e);
    }
    EXPECT_FALSE(about->Checked());
    EXPECT_FALSE(form->AboutFrame->isVisible());
    // The home page and the libraries open in the browser, with the address as their hint.
    EXPECT_TRUE(form->AboutFrame->InfoLab->OnUrlClick);
    QString hint;
    form->AboutFrame->InfoLab->OnUrlHint(QStringLiteral("https://example.org"), hint);
    EXPECT_EQ(hint, QStringLiteral("https://example.org"));
}

TEST_F(ShowForm, SwappingSidesMovesThePanelsAndFollowsResizes)
{
    Start();
    auto* swap = Action<TCheckAction>("caBasculerVue");
    EXPECT_EQ(swap->Caption(), QStringLiteral("Mettre la Vidéo à Gauche"));
    EXPECT_EQ(swap->Action()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_W));
    swap->Action()->trigger();
    EXPECT_TRUE(form->PanelsRight());
    const int w = form->ClientArea()->width();
    EXPECT_EQ(form->Panel(2)->x(), w - Px(276));
    EXPECT_EQ(Action<TIntegerAction>("iaLeftFrame")->Value(), w - Px(276));
    EXPECT_EQ(form->videoPanel->x(), Px(8) + Px(11));

    form->resize(form->width() + 200, form->height() + 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Panel(2)->x(), form->ClientArea()->width() - Px(276));
    EXPECT_EQ(form->videoPanel->width(), form->ClientArea()->width() - Px(314));
    EXPECT_EQ(form->Panel(2)->height(), form->ClientArea()->height() - Px(80));
}

TEST_F(ShowForm, TheLayoutIsNotRecordedIntoAMacro)
{
    Start();
    TMacroLineList lines;
    MacroLines = &lines;
    form->resize(form->width() + 30, form->height());
    QCoreApplication::processEvents();
    Action<TCheckAction>("caBasculerVue")->SetChecked(true);
    MacroLines = nullptr;
    EXPECT_EQ(lines.Lines, QStringList{QStringLiteral("    setBasculerVue(True);")});
}

TEST_F(ShowForm, MenusAndBarHoldTheActionsThatExist)
{
    Start();
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Vidéo"));
    QStringList video;
    for (QAction* a : menus[1]->menu()->actions())
        video << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(video,
              (QStringList{QStringLiteral("Plein écran"), QStringLiteral("Détacher la vidéo"),
                           QStringLiteral("Mettre la Vidéo à Gauche"), QStringLiteral("-"),
                           QStringLiteral("FlipVertical"), QStringLiteral("FlipHorizontal"),
                           QStringLiteral("-"), QStringLiteral("Aspect Normal"),
                           QStringLiteral("Forcer 4x3"), QStringLiteral("Forcer 16x9"),
                           QStringLiteral("Aspect Natif"), QStringLiteral("-"),
                           QStringLiteral("Couper le son")}));
    EXPECT_FALSE(Action<TNopeAction>("naShowSaveImagesFrame")->Action()->icon().isNull());
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Tessarine %1 fr de Orvalis").arg(QStringLiteral(TESS_VERSION)));
}

TEST_F(ShowForm, ASwitchThenQuitStoresTheSettingInTheIniFile)
{
    {
        QFile ini(home.File(QStringLiteral("Tessarine.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[]\r\n");
    }
    Start({QStringLiteral("+swi_bw"), QStringLiteral("/quit")});
    for (int i = 0; i < 20 && form->isVisible(); ++i)
        QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(answer.Asked, 0);
    form.reset();
    TIniPreferencesMan ini(home.File(QStringLiteral("Tessarine.ini")));
    ini.OpenKey(QStringLiteral("ShowForm"), false);
    QString v;
    EXPECT_TRUE(ini.ReadString(QStringLiteral("BasculerVue"), v));
    EXPECT_EQ(v, QStringLiteral("True"));

    Start(); // the next start puts the panels on the right
    EXPECT_TRUE(form->PanelsRight());
    EXPECT_EQ(form->Panel(1)->x(), form->ClientArea()->width() - Px(276));
}

TEST_F(ShowForm, InRegistryModeTheHiveHoldsADword)
{
    answer.Answer = spRegistre;
    Start({QStringLiteral("+swi_bw"), QStringLiteral("/quit")});
    for (int i = 0; i < 20 && form->isVisible(); ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(answer.Asked, 1);
    form.reset();
    TRegistryHive hive(home.HiveFile(), TRegistryHive::ReadOnly);
    const auto key = hive.OpenKey(QStringLiteral("Software\\Orvalis\\Tessarine\\ShowForm"), false);
    ASSERT_TRUE(key);
    const auto v = hive.QueryValue(*key, QStringLiteral("BasculerVue"));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Type, TRegistryHive::REG_DWORD);
    EXPECT_EQ(qFromLittleEndian<qint32>(v->Data.constData()), 1);
}

TEST_F(ShowForm, DismissingTheQuestionKeepsTheWindowOpen)
{
    answer.Answer = std::nullopt;
    Start();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    answer.Answer = spNone;
    EXPECT_TRUE(form->close());
}

TEST_F(ShowForm, ClosingTheWindowStopsARunningScript)
{
    Start();
    form->KoScript->Script = {QStringLiteral("begin while True do ; end.")};
    ASSERT_TRUE(form->KoScript->Compile());
    QTimer::singleShot(100, form.get(), [this] { form->close(); });
    EXPECT_FALSE(form->KoScript->Execute());
    EXPECT_TRUE(form->KoScript->Messages().value(0).contains(QStringLiteral("interrompue")));
    // The close waited for the script's end, and came then.
    EXPECT_TRUE(form->isVisible());
    for (int i = 0; i < 20 && form->isVisible(); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(form->isVisible());
}

TEST(Program, StartsAndQuitsWithTheIniFileBesideIt)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("tessarine"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARINE_BIN), bin));
    {
        QFile ini(dir.filePath(QStringLiteral("Tessarine.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[]\r\n");
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    p.setProcessEnvironment(env);
    p.start(bin, {QStringLiteral("+swi_bw"), QStringLiteral("/quit")});
    ASSERT_TRUE(p.waitForFinished(60000)) << p.readAllStandardError().constData();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    TIniPreferencesMan ini(dir.filePath(QStringLiteral("Tessarine.ini")));
    ini.OpenKey(QStringLiteral("ShowForm"), false);
    bool swapped = false;
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("BasculerVue"), swapped));
    EXPECT_TRUE(swapped);
    QString exe;
    ini.CloseKey();
    EXPECT_TRUE(ini.ReadString(QStringLiteral("ExeName"), exe));
    EXPECT_EQ(QFileInfo(exe).canonicalFilePath(), QFileInfo(bin).canonicalFilePath());
}

// tessarine /swi_exec /quit on a machine without a screen: runs the script kept from the last
// session and saves what it set.
TEST(Program, ABatchRunNeedsNoScreenAndRunsTheStoredScript)
{
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("tessarine"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARINE_BIN), bin));
    const QString file = dir.filePath(QStringLiteral("Tessarine.ini"));
    {
        TIniPreferencesMan ini(file);
        ASSERT_TRUE(ini.OpenKey(QStringLiteral("ScriptForm"), true));
        ini.WriteString(QStringLiteral("Lines"),
                        QStringLiteral("begin setBasculerVue(True); showmessage('fait'); end."));
        ini.CloseKey();
        ASSERT_TRUE(ini.Flush());
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    p.setProcessEnvironment(env);
    p.start(bin, {QStringLiteral("/swi_exec"), QStringLiteral("/quit")});
    ASSERT_TRUE(p.waitForFinished(60000)) << p.readAllStandardError().constData();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(p.readAllStandardOutput().trimmed(), QByteArray("fait"));
    TIniPreferencesMan ini(file);
    ini.OpenKey(QStringLiteral("ShowForm"), false);
    bool swapped = false;
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("BasculerVue"), swapped));
    EXPECT_TRUE(swapped);
}

// tessarine ARGS /quit on a disk that cannot take the preferences: ends by itself, tells why on
// the standard error with a failed status, and leaves the ini file as it was.
TEST(Program, ABatchRunThatCannotSaveEndsByItselfAndKeepsTheIniFile)
{
    const qint64 binSize = QFileInfo(QStringLiteral(TESSARINE_BIN)).size();
    for (const bool full : {true, false}) {
        TScratchMount disk(binSize + 1024 * 1024);
        if (!disk.Valid())
            GTEST_SKIP() << TScratchMount::kSkipReason;
        const QString bin = disk.File(QStringLiteral("tessarine"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TESSARINE_BIN), bin));
        const QString iniFile = disk.File(QStringLiteral("Tessarine.ini"));
        {
            TIniPreferencesMan ini(iniFile);
            ini.OpenKey(QStringLiteral("ShowForm"), true);
            ini.WriteInteger(QStringLiteral("PanneauActif"), 3);
        }
        QFile f(iniFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        ASSERT_TRUE(full ? disk.Fill() : disk.RemountReadOnly());

        QTemporaryDir config;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        p.setProcessEnvironment(env);
        p.start(bin, {QStringLiteral("/swi_ap=1"), QStringLiteral("/quit")});
        ASSERT_TRUE(p.waitForFinished(30000)) << (full ? "full" : "read-only");
        EXPECT_EQ(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QStringLiteral("Tessarine.ini"))) << qPrintable(err);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << (full ? "full" : "read-only");
    }
}

} // namespace

TEST_F(ShowForm, ATextBoxWithTheFocusTakesTheVolumeAndPlayKeys)
{
    Start();
    auto* louder = Action<TNopeAction>("naIncVolume");
    auto* play = Action<TCheckAction>("caPlay");
    ASSERT_TRUE(louder && play);
    EXPECT_EQ(ShortCutToText(louder->ShortCut()), QStringLiteral("Num +"));
    EXPECT_EQ(louder->SecondaryShortcuts().size(), 1);
    auto* box = new QLineEdit(form->ClientArea());
    form->WatchTextBox(box);
    QFocusEvent in(QEvent::FocusIn);
    QCoreApplication::sendEvent(box, &in);
    EXPECT_EQ(louder->ShortCut(), 0);
    EXPECT_TRUE(louder->SecondaryShortcuts().isEmpty());
    EXPECT_EQ(play->ShortCut(), 0);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(box, &out);
    EXPECT_EQ(ShortCutToText(louder->ShortCut()), QStringLiteral("Num +"));
    EXPECT_EQ(louder->SecondaryShortcuts().size(), 1);
    EXPECT_EQ(ShortCutToText(play->ShortCut()), QStringLiteral("Ctrl+Space"));
}

TEST_F(ShowForm, TheOptionsPageMirrorsItsActionsBothWays)
{
    Start();
    auto* precise = Action<TCheckAction>("caSeekPrecision");
    auto* prepos = Action<TIntegerAction>("iaSeekPrepos");
    ASSERT_TRUE(precise && prepos);
    QCheckBox* box = form->OptionsFrame->cbNavPrecise;
    QSpinBox* spin = form->OptionsFrame->seSeekPrepos;

    precise->ApplyChecked(false);
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(precise->Checked());
    EXPECT_TRUE(box->isChecked());

    prepos->SetValue(2500);
    EXPECT_EQ(spin->value(), 2500);
    spin->setValue(700);
    EXPECT_EQ(prepos->Value(), 700);
    // Boxes whose actions do not exist yet cannot be ticked for nothing.
    EXPECT_EQ(form->OptionsFrame->cbConfirmerImage->isEnabled(),
              form->FindAction(QStringLiteral("baConfirmerImage")) != nullptr);
}

// --help, the manual page and --version come from the window's own lists, need no display and
// leave the settings alone.
TEST_F(ShowForm, HelpAndVersionListEverySwitchWithoutADisplay)
{
    form = std::make_unique<TShowForm>(&answer);
    QStringList switches;
    for (TCustomKoActionList* list : form->AttachedLists())
        for (TCustomAbstractAction* a : list->TypedActions())
            if (!a->Switch.isEmpty())
                switches << a->SwitchSyntax();
    ASSERT_GT(switches.size(), 100);
    EXPECT_TRUE(switches.contains(QStringLiteral("/swi_co +swi_co -swi_co"))); // options page

    const auto run = [&](const char* aArg) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.Path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(TESSARINE_BIN), {QString::fromLatin1(aArg)});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    // The sound server's client may leave its own folder; none of ours.
    const auto settings = [&] {
        QStringList in = QDir(home.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        in.removeAll(QStringLiteral("pulse"));
        return in;
    };
    const QStringList before = settings();
    const QString help = run("--help");
    QStringList shown;
    for (const QString& line : help.split(u'\n'))
        if (line.startsWith(QStringLiteral("  /")))
            shown << line.mid(2).section(QStringLiteral("  "), 0, 0).trimmed();
    EXPECT_EQ(shown.size(), switches.size());
    for (const QString& s : switches)
        EXPECT_TRUE(shown.contains(s)) << s.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("  quit")));

    const QString manual = run("--help-roff");
    EXPECT_TRUE(manual.startsWith(QStringLiteral(".TH TESSARINE 1")));
    EXPECT_EQ(manual.count(QStringLiteral("\n.TP\n.B ")), switches.size() + 3); // quit, 2 options
    EXPECT_EQ(run("--version").trimmed(), TShowForm::FullTitle());
    EXPECT_EQ(settings(), before);
}
