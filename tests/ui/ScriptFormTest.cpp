#include "FakeQuestions.h"

#include "actions/MacroState.h"
#include "actions/ShortCut.h"
#include "actions/TKoScript.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "files/TMonoFichierMan.h"
#include "prefs/TDravikPreferences.h"
#include "ui/TScriptEditor.h"
#include "ui/TScriptForm.h"
#include "ui/TScriptHighlighter.h"

#include <TestDirs.h>

#include <QFile>
#include <QFileDevice>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ScriptForm : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TFakeQuestions questions;
    std::unique_ptr<TScriptForm> form;
    TKoActionList host; // a main window's list, attached after the window's own
    TIntegerAction* volume = nullptr;

    void SetUp() override
    {
        form = std::make_unique<TScriptForm>();
        form->ficman_script->SetQuestions(&questions);
        volume = TCustomAbstractAction::CreateInternal<TIntegerAction>(QStringLiteral("iaVolume"),
                                                                       &host);
        volume->ScriptName = QStringLiteral("Volume");
        host.SetPascalScript(form->KoScript);
        form->al_script->SetPascalScript(form->KoScript);
    }
    void TearDown() override
    {
        form.reset();
        MacroLines = nullptr;
        InApply = false;
        TBatchRun::SetActive(false);
        TBatchRun::Reset();
    }

    QString File(const QString& aName, const QByteArray& aBytes)
    {
        return WriteTestFile(dir.filePath(aName), aBytes);
    }
    static QByteArray Read(const QString& aPath) { return ReadTestFile(aPath); }
    void Type(const QString& aText) { form->Editor->insertPlainText(aText); }
};

TEST_F(ScriptForm, TheEditorAndTheLayoutAsDesigned)
{
    EXPECT_EQ(form->Editor->Lines(), TScriptForm::Template());
    EXPECT_EQ(TScriptForm::Template().size(), 5);
    EXPECT_TRUE(QFontInfo(form->Editor->font()).fixedPitch());
    EXPECT_EQ(form->Editor->lineWrapMode(), QPlainTextEdit::NoWrap);
    const QList<QTextOption::Tab> tabs = form->Editor->document()->defaultTextOption().tabs();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[1].position, 2 * tabs[0].position);
    EXPECT_FALSE(form->ficman_script->Modified());

    const TScriptFormLayout l = TScriptForm::ComputeLayout(QSize(800, 560));
    EXPECT_EQ(l.Editor, QRect(8, 8, 800 - 145 - 8, 560 - 49 - 24));
    EXPECT_EQ(l.Memo, QRect(8, 560 - 8 - 49, 647, 49));
    EXPECT_EQ(l.Panel, QRect(800 - 145, 0, 145, 503));
    EXPECT_EQ(l.Editor.bottom() + 8 + 1, l.Memo.top()); // 8 pixels between them
    // A window squeezed to nothing places nothing at a negative size.
    const TScriptFormLayout tiny = TScriptForm::ComputeLayout(QSize(10, 10));
    EXPECT_GE(tiny.Editor.width(), 0);
    EXPECT_GE(tiny.Editor.height(), 0);

    EXPECT_EQ(form->SaveBtn->text(), QStringLiteral("Enregistrer"));
    EXPECT_EQ(form->ExecuteBtn->text(), QStringLiteral("Executer"));
    EXPECT_EQ(form->ExecuteBtn->geometry(), QRect(24, 320, 96, 32));
    EXPECT_EQ(form->naExecuteMacro->ShortCut(), TextToShortCut(QStringLiteral("Ctrl+F12")));
    EXPECT_TRUE(form->naStartMacro->ScriptName.isEmpty());
}

TEST_F(ScriptForm, ShowingAsksBeforeTheTemplateReplacesEdits)
{
    form->ShowScript();
    Type(QStringLiteral("// my work\n"));
    EXPECT_TRUE(form->ficman_script->Modified());
    form->HideScript();

    questions.Answers << TAnswer::Cancel;
    form->ShowScript();
    EXPECT_TRUE(form->Editor->toPlainText().contains(QStringLiteral("my work")));

    // Yes: a name is asked, the work saved, then the template.
    const QString target = dir.filePath(QStringLiteral("work.txt"));
    questions.Answers << TAnswer::Yes;
    questions.FileAnswers << target;
    form->ShowScript();
    EXPECT_TRUE(Read(target).contains("my work"));
    EXPECT_EQ(form->Editor->Lines(), TScriptForm::Template());
    EXPECT_EQ(form->ficman_script->State(), fsNone); // the name is gone: Ctrl+S asks again
    EXPECT_FALSE(form->ficman_script->Modified());
}

TEST_F(ScriptForm, ARecordingSurvivesHideAndShowAndStopsBeforeAnOpen)
{
    form->ShowScript();
    form->naStartMacro->DoExecute(nullptr);
    ASSERT_TRUE(form->Recording());
    EXPECT_TRUE(form->Editor->Lines().value(0).startsWith(QStringLiteral("//Macro enregistrée")));
    volume->SetValue(7);
    form->HideScript();
    form->ShowScript(); // no reset while recording
    EXPECT_TRUE(form->Recording());
    EXPECT_TRUE(form->Editor->Lines().contains(QStringLiteral("    Volume(7);")));
    EXPECT_TRUE(form->ficman_script->Modified()); // recorded lines count

    // Opening a file ends the recording first; the recorded text is then offered for saving.
    const QString other = File(QStringLiteral("other.txt"), "begin\nend.\n");
    questions.Answers << TAnswer::No;
    form->ficman_script->OpenFile(other);
    EXPECT_FALSE(form->Recording());
    EXPECT_EQ(MacroLines, nullptr);
    EXPECT_EQ(form->Editor->Lines(),
              (QStringList{QStringLiteral("begin"), QStringLiteral("end.")}));

    // The file manager's own commands are never recorded.
    form->naStartMacro->DoExecute(nullptr);
    EXPECT_EQ(form->ficman_script->State(), fsNone); // a recording is a new document
    questions.FileAnswers << std::nullopt;
    form->ficman_script->naSaveFile->DoExecute(nullptr);
    form->naStopMacro->DoExecute(nullptr);
    EXPECT_FALSE(form->Editor->toPlainText().contains(QStringLiteral("SaveFile")));
    EXPECT_EQ(form->Editor->Lines().last(), QStringLiteral("end."));
}

TEST_F(ScriptForm, RunReportsInTheMemoAndHighlightsTheProgramsRoutines)
{
    form->Editor->SetLines(
        {QStringLiteral("begin"), QStringLiteral("  Volume(12);"), QStringLiteral("end.")});
    form->naExecuteMacro->DoExecute(nullptr);
    EXPECT_EQ(volume->Value(), 12);
    EXPECT_TRUE(form->Memo->toPlainText().contains(QStringLiteral("*** Exécution réussie ***")));

    form->Editor->SetLines(
        {QStringLiteral("begin"), QStringLiteral("  Nowhere;"), QStringLiteral("end.")});
    form->ExecuteMacro();
    EXPECT_TRUE(form->Memo->toPlainText().contains(QStringLiteral("### Compilation Failed")));
    EXPECT_FALSE(form->Memo->toPlainText().contains(QStringLiteral("réussie")));

    form->ShowScript();
    EXPECT_TRUE(form->Editor->Highlighter()->IsRoutineName(QStringLiteral("volume")));
    EXPECT_TRUE(form->Editor->Highlighter()->IsRoutineName(QStringLiteral("ExecuteMacro")));
}

TEST_F(ScriptForm, ScriptFilesInEitherEncodingAndSafeWrites)
{
    // Windows-1252 bytes, CR LF line ends.
    const QString latin = File(QStringLiteral("latin.txt"), "//\xe9t\xe9\r\nbegin\r\nend.\r\n");
    form->ficman_script->OpenFile(latin);
    EXPECT_EQ(form->Editor->Lines(), (QStringList{QStringLiteral("//été"), QStringLiteral("begin"),
                                                  QStringLiteral("end.")}));
    EXPECT_EQ(form->FileLab->text(), QStringLiteral("latin.txt"));
    EXPECT_EQ(form->KoScript->FileName, latin);

    Type(QStringLiteral("// ça\n"));
    form->ficman_script->naSaveFile->DoExecute(nullptr);
    EXPECT_TRUE(Read(latin).startsWith("// \xc3\xa7"
                                       "a\n//\xc3\xa9t\xc3\xa9\n"));
    EXPECT_FALSE(form->ficman_script->Modified());

    // A folder that cannot be written: the old file stays, the edits stay unsaved.
    if (QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner) &&
        !QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly)) {
        TBatchRun::SetActive(true); // the message goes to the standard error
        const QByteArray before = Read(latin);
        Type(QStringLiteral("// more\n"));
        form->ficman_script->naSaveFile->DoExecute(nullptr);
        EXPECT_EQ(Read(latin), before);
        EXPECT_TRUE(form->ficman_script->Modified());
        EXPECT_EQ(TBatchRun::ExitStatus(), 1);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }

    // An unreadable file leaves no name behind.
    TBatchRun::SetActive(true);
    questions.Answers << TAnswer::No;
    const QString locked = File(QStringLiteral("locked.txt"), "begin end.");
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    if (!QFile(locked).open(QIODevice::ReadOnly)) {
        form->ficman_script->OpenFile(locked);
        EXPECT_EQ(form->ficman_script->State(), fsNone);
    }
}

TEST_F(ScriptForm, TheSectionHoldsTheTextTheBoundsAndTheRecentFiles)
{
    TTestConfigHome home;
    TDravikPreferences gp;
    gp.SetProgramFolder(home.Path());
    gp.SetHiveFile(home.HiveFile());
    gp.ApplyMode(spPortable);
    const QString a = File(QStringLiteral("a.txt"), "begin end.");
    form->ficman_script->OpenFile(a);
    form->Editor->SetLines(
        {QStringLiteral("begin"), QStringLiteral("  Volume(3);"), QStringLiteral("end.")});
    form->setGeometry(120, 130, 640, 480);
    form->SavePrefs(gp);

    gp.ApplyMode(spPortable); // a fresh store reads the file again
    TScriptForm next;
    next.LoadPrefs(gp);
    EXPECT_EQ(next.Editor->Lines().value(1), QStringLiteral("  Volume(3);"));
    EXPECT_TRUE(next.ficman_script->Modified()); // in no file: closing it asks
    EXPECT_EQ(next.ficman_script->RecentFiles().value(0), a);
    EXPECT_EQ(next.geometry().size(), QSize(640, 480));

    // Nothing stored: the designed bounds, and the template is not a loss.
    TTestConfigHome empty;
    TDravikPreferences fresh;
    fresh.SetProgramFolder(empty.Path());
    fresh.SetHiveFile(empty.HiveFile());
    fresh.ApplyMode(spPortable);
    TScriptForm first;
    first.LoadPrefs(fresh);
    EXPECT_EQ(first.geometry(), QRect(300, 300, 800, 560));
    EXPECT_FALSE(first.ficman_script->Modified());
}

} // namespace
