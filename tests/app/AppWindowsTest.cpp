#include "FakeQuestions.h"
#include "app/TOptionsFrame.h"
#include "app/TShowForm.h"
#include "ui/TKoAppliMan.h"

#include "actions/MacroState.h"
#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TKoScript.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/TMonoFichierMan.h"
#include "prefs/TDravikPreferences.h"
#include "prefs/TIniPreferencesMan.h"
#include "ui/THelpForm.h"
#include "ui/TKoBar.h"
#include "ui/TObjetListBox.h"
#include "ui/TScriptEditor.h"
#include "ui/TScriptForm.h"
#include <TestDirs.h>

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class TQuietAnswer : public TPrefsQuestion {
public:
    std::optional<TSavePreferences> AskSaveMode(const QString&) override { return spNone; }
    void Warn(const QString&) override {}
};

// The main window with its script and help windows, settings in an ini file.
class AppWindows : public ::testing::Test {
protected:
    TTestConfigHome home;
    TQuietAnswer answer;
    TFakeQuestions questions;
    std::unique_ptr<TShowForm> form;

    void TearDown() override
    {
        form.reset();
        MacroLines = nullptr;
        InApply = false;
    }
    QString Ini() const { return home.File(QStringLiteral("Tessarine.ini")); }
    void Start(bool aFreshSettings)
    {
        if (aFreshSettings) {
            QFile ini(Ini());
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write("[]\r\n");
        }
        form.reset();
        form = std::make_unique<TShowForm>(&answer);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
        Script()->ficman_script->SetQuestions(&questions);
        form->show();
        QCoreApplication::processEvents();
    }
    TScriptForm* Script() const { return form->am->ScriptForm(); }
    QMap<QString, QString> Section(const QString& aName)
    {
        EXPECT_TRUE(form->gp->SaveNow());
        TIniPreferencesMan ini(Ini());
        QMap<QString, QString> values;
        if (!ini.OpenKey(aName, false))
            return values;
        QStringList names;
        ini.GetValueNames(names);
        for (const QString& n : names) {
            QString v;
            ini.ReadString(n, v);
            values.insert(n, v);
        }
        return values;
    }
    QAction* MenuItem(const QString& aText)
    {
        for (QAction* menu : form->menuBar()->actions())
            if (menu->menu())
                for (QAction* a : menu->menu()->actions())
                    if (a->text() == aText)
                        return a;
        return nullptr;
    }
};

TEST_F(AppWindows, EveryWindowBindsEachKeyOnceAndEverySectionEachNameOnce)
{
    Start(true);
    const QList<QWidget*> windows = {form.get(), Script(), form->am->HelpForm()};
    for (QWidget* window : windows) {
        QMap<QKeySequence, QString> bound;
        for (QAction* a : window->actions())
            for (const QKeySequence& k : a->shortcuts()) {
                EXPECT_FALSE(bound.contains(k))
                    << k.toString().toStdString() << " twice in "
                    << qPrintable(window->objectName()) << ": " << qPrintable(bound.value(k))
                    << " and " << qPrintable(a->text());
                bound.insert(k, a->text());
            }
    }
    // Each window its own file commands; the main window's keys where the other binds none.
    const auto owner = [](QWidget* aWindow, const char* aKey) -> QObject* {
        for (QAction* a : aWindow->actions())
            if (a->shortcuts().contains(QKeySequence(QString::fromLatin1(aKey))))
                return a->parent();
        return nullptr;
    };
    EXPECT_EQ(owner(Script(), "Ctrl+N"), Script()->ficman_script->naNewFile);
    EXPECT_EQ(owner(form.get(), "Ctrl+N"),
              form->FindAction(QStringLiteral("caInsertAntiAliasing")));
    EXPECT_EQ(owner(Script(), "Ctrl+F12"), Script()->naExecuteMacro);
    EXPECT_EQ(owner(form.get(), "Ctrl+F12"), form->FindAction(QStringLiteral("naExecuteScript")));
    EXPECT_EQ(owner(Script(), "F12"), form->am->caScript);
    EXPECT_EQ(owner(form->am->HelpForm(), "F1"), form->am->caHelp);

    const auto sectionNames = [](const QList<TCustomKoActionList*>& aLists) {
        QStringList names;
        for (TCustomKoActionList* list : aLists)
            for (TCustomAbstractAction* a : list->TypedActions())
                if (a->IncludePrefs && !a->ScriptName.isEmpty())
                    names << a->ScriptName.toLower();
        return names;
    };
    for (const QStringList& names :
         {sectionNames(form->ShowFormLists()),
          sectionNames({Script()->ficman_script, Script()->al_script})}) {
        QStringList seen;
        for (const QString& n : names) {
            EXPECT_FALSE(seen.contains(n)) << n.toStdString() << " stored twice";
            seen << n;
        }
    }
}

TEST_F(AppWindows, TheHelpListsEveryActionOfTheSixListsInThreeOrders)
{
    Start(true);
    int expected = 0;
    for (TCustomKoActionList* list : form->ShowFormLists())
        expected += int(list->TypedActions().size());
    QTabWidget* pages = form->am->HelpForm()->pc;
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Tessarine"));
    TObjetListBox* box = form->am->HelpForm()->CurrentList();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Count(), expected);

    const auto position = [box](const QString& aText) {
        for (int i = 0; i < box->count(); ++i)
            if (box->item(i)->text() == aText)
                return i;
        return -1;
    };
    form->am->HelpForm()->trier(kSortShortcut);
    const int custom = position(QStringLiteral("Custom"));    // Alt+F10
    const int newFile = position(QStringLiteral("OpenFile")); // Ctrl+O
    const int help = position(QStringLiteral("Help"));        // F1
    const int noKey = position(QStringLiteral("FormSave"));   // none
    EXPECT_TRUE(custom >= 0 && custom < newFile && newFile < help && help < noKey)
        << custom << " " << newFile << " " << help << " " << noKey;
    form->am->HelpForm()->trier(kSortSwitch);
    EXPECT_LT(position(QStringLiteral("Options")), position(QStringLiteral("FormSave")));
    form->am->HelpForm()->trier(kSortAlpha);
    EXPECT_LT(position(QStringLiteral("About")), position(QStringLiteral("Quit")));
}

TEST_F(AppWindows, TitleBarCloseUnchecksAndTheNextKeyShowsAgain)
{
    Start(true);
    form->am->caHelp->SetChecked(true);
    EXPECT_TRUE(form->am->HelpForm()->isVisible());
    form->am->HelpForm()->close();
    EXPECT_FALSE(form->am->caHelp->Checked());
    form->am->caHelp->SetChecked(true);
    EXPECT_TRUE(form->am->HelpForm()->isVisible());

    form->am->caScript->SetChecked(true);
    EXPECT_TRUE(Script()->isVisible());
    Script()->close();
    EXPECT_FALSE(form->am->caScript->Checked());
    form->am->caScript->SetChecked(true);
    EXPECT_TRUE(Script()->isVisible());
}

TEST_F(AppWindows, ARecordedMacroGivesBackTheSameSettings)
{
    Start(true);
    form->am->caScript->SetChecked(true);
    Script()->BitBtn1->click(); // Démarrer
    ASSERT_TRUE(Script()->Recording());

    QAction* forcer = MenuItem(QStringLiteral("Forcer 4x3"));
    ASSERT_TRUE(forcer);
    forcer->trigger();                         // a menu
    form->OptionsFrame->cbNavPrecise->click(); // a panel
    QToolButton* barButton = nullptr;
    for (QToolButton* b : form->barUnique->findChildren<QToolButton*>()) {
        auto* check = b->defaultAction() ? qobject_cast<TCheckAction*>(b->defaultAction()->parent())
                                         : nullptr;
        if (check && check->IncludePrefs && b->isEnabled() && b->isVisibleTo(form.get())) {
            barButton = b;
            break;
        }
    }
    ASSERT_TRUE(barButton);
    barButton->click(); // a button
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_W, Qt::AltModifier); // a shortcut: caBasculerVue
    EXPECT_TRUE(form->PanelsRight());
    Script()->BitBtn2->click(); // Arrêter
    ASSERT_FALSE(Script()->Recording());

    const QStringList macro = Script()->Editor->Lines();
    EXPECT_EQ(macro.last(), QStringLiteral("end."));
    EXPECT_EQ(macro.size(), 3 + 4 + 1) << macro.join(u'\n').toStdString();
    const QString file = home.File(QStringLiteral("macro.txt"));
    questions.FileAnswers << file;
    Script()->ficman_script->naSaveFile->DoExecute(nullptr);
    ASSERT_TRUE(QFile::exists(file));
    const QMap<QString, QString> recorded = Section(QStringLiteral("ShowForm"));

    // Settings reset, the macro loaded and run.
    Start(true);
    ASSERT_NE(Section(QStringLiteral("ShowForm")), recorded);
    Script()->ficman_script->OpenFile(file);
    EXPECT_EQ(Script()->Editor->Lines(), macro);
    Script()->ExecuteBtn->click();
    EXPECT_TRUE(Script()->Memo->toPlainText().contains(QStringLiteral("*** Exécution réussie ***")))
        << Script()->Memo->toPlainText().toStdString();
    const QMap<QString, QString> replayed = Section(QStringLiteral("ShowForm"));
    for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
        EXPECT_EQ(replayed.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(replayed.keys(), recorded.keys());
}

TEST_F(AppWindows, TheEditorKeepsItsTextKeys)
{
    Start(true);
    form->am->caScript->SetChecked(true);
    Script()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Script()));
    Script()->Editor->setFocus();
    Script()->Editor->moveCursor(QTextCursor::End);
    // A file name on the clipboard: the editor pastes it as text, no file is opened.
    const QString file = home.File(QStringLiteral("pasted.txt"));
    QFile(file).open(QIODevice::WriteOnly);
    QGuiApplication::clipboard()->setText(file);
    QTest::keyClick(Script()->Editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(Script()->Editor->toPlainText().endsWith(file));
    EXPECT_NE(Script()->ficman_script->CurrentFileName(), file);
    EXPECT_FALSE(Script()->naStopMacro->Enabled());
    questions.Answers << TAnswer::No; // the pasted text is not kept
    Script()->BitBtn1->click();
    EXPECT_FALSE(Script()->naStartMacro->Enabled());
    EXPECT_TRUE(Script()->naStopMacro->Enabled());
    Script()->BitBtn2->click();
    EXPECT_TRUE(Script()->naStartMacro->Enabled());
}

TEST_F(AppWindows, TheScriptWindowAndItsTextComeBackAtTheNextStart)
{
    Start(true);
    form->am->caScript->SetChecked(true);
    Script()->setGeometry(150, 160, 700, 500);
    Script()->Editor->SetLines({QStringLiteral("begin"), QStringLiteral("end.")});
    ASSERT_TRUE(form->close());
    form.reset();
    Start(false);
    EXPECT_EQ(Script()->geometry(), QRect(150, 160, 700, 500));
    EXPECT_EQ(Script()->Editor->Lines(),
              (QStringList{QStringLiteral("begin"), QStringLiteral("end.")}));
    EXPECT_FALSE(Script()->isVisible()); // not stored open
}

} // namespace
