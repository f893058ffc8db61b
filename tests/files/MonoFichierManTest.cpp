#include "FakeQuestions.h"

#include "actions/ShortCut.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "files/TMonoFichierMan.h"
#include "files/TPathEdit.h"

#include <TestDirs.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The script window's settings, with a document that is a string in memory.
class MonoFichierMan : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TFakeQuestions questions;
    std::unique_ptr<TMonoFichierMan> fm;
    QLabel label;
    TWideFileEdit edit;
    QString document;
    QStringList events;
    bool readFails = false;
    bool writeFails = false;

    void SetUp() override
    {
        fm = std::make_unique<TMonoFichierMan>();
        fm->SetFilter(QStringLiteral("Fichiers Macro (*.txt)|*.txt"));
        fm->DefaultExtension = QStringLiteral(".txt");
        fm->NewFileName = QStringLiteral("Macro");
        fm->NoFileName = QStringLiteral("(aucun)");
        fm->ExistingOnly = true;
        fm->SetRecentLength(10);
        fm->Setup();
        fm->SetQuestions(&questions);
        fm->SetFileLabel(&label);
        fm->SetFileEdit(&edit);
        fm->OnOpenFile = [this](const QString& n) {
            events << QStringLiteral("open ") + n;
            QFile f(n);
            if (readFails || !f.open(QIODevice::ReadOnly))
                return false;
            document = QString::fromUtf8(f.readAll());
            return true;
        };
        fm->OnSaveFile = [this](const QString& n) {
            events << QStringLiteral("save ") + n;
            QFile f(n);
            if (writeFails || !f.open(QIODevice::WriteOnly))
                return false;
            f.write(document.toUtf8());
            return true;
        };
        fm->OnCloseFile = [this](const QString& n) {
            events << QStringLiteral("close ") + n;
            document.clear();
        };
    }

    QString File(const QString& aName, const QByteArray& aBytes)
    {
        return WriteTestFile(dir.filePath(aName), aBytes);
    }
    static QByteArray Read(const QString& aPath) { return ReadTestFile(aPath); }

    QString SavedOpenValue()
    {
        QString v;
        fm->waOpenFile->OnInternalBeforeSave(v);
        return v;
    }

    // The user edits the document.
    void Edit(const QString& aText)
    {
        document = aText;
        fm->SetModified(true);
    }
};

TEST_F(MonoFichierMan, TwentyEightActionsAndTheNameInTheOpenActionsSavedValue)
{
    EXPECT_EQ(fm->TypedActions().size(), TMonoFichierMan::kActionCount);
    EXPECT_EQ(fm->FindByInternalId(QStringLiteral("waCurrentFileName")), nullptr);
    EXPECT_EQ(fm->FindByInternalId(QStringLiteral("baOpenLastFile")), nullptr);
    EXPECT_EQ(fm->waOpenFile->ShortCut(), TextToShortCut(QStringLiteral("Ctrl+O")));

    EXPECT_EQ(fm->State(), fsNone);
    EXPECT_EQ(label.text(), QStringLiteral("(aucun)"));
    EXPECT_EQ(SavedOpenValue(), QStringLiteral("%no%"));

    fm->waOpenFile->SetValue(QStringLiteral("%new%"));
    EXPECT_EQ(fm->State(), fsNew);
    EXPECT_EQ(fm->CurrentFileName(), QStringLiteral("Macro"));
    EXPECT_EQ(label.text(), QStringLiteral("Macro (non enregistré)"));
    EXPECT_TRUE(edit.FileName().isEmpty());
    EXPECT_EQ(SavedOpenValue(), QStringLiteral("%new%"));

    const QString a = File(QStringLiteral("a.txt"), "begin end.");
    fm->waOpenFile->SetValue(a);
    EXPECT_EQ(label.text(), QStringLiteral("a.txt"));
    EXPECT_EQ(edit.FileName(), a);
    EXPECT_EQ(SavedOpenValue(), a);
    fm->IncludePath = true;
    fm->SetFileLabel(&label);
    EXPECT_EQ(label.text(), a);

    fm->waOpenFile->SetValue(QStringLiteral("%no%"));
    EXPECT_EQ(fm->State(), fsNone);
    EXPECT_EQ(events.last(), QStringLiteral("close ") + a);
}

TEST_F(MonoFichierMan, EveryOpenClosesTheCurrentDocumentFirst)
{
    const QString a = File(QStringLiteral("a.txt"), "A");
    const QString b = File(QStringLiteral("b.txt"), "B");
    fm->OpenFile(a);
    fm->OpenFile(b);
    EXPECT_EQ(fm->RecentFiles().mid(0, 2), (QStringList{b, a}));
    events.clear();
    fm->naRecent[1]->DoExecute(nullptr);
    EXPECT_EQ(events, (QStringList{QStringLiteral("close ") + b, QStringLiteral("open ") + a}));
    EXPECT_EQ(document, QStringLiteral("A"));
    EXPECT_FALSE(fm->Modified());

    // New works even for existing files only, and closes too.
    events.clear();
    fm->NewFile();
    EXPECT_EQ(events, QStringList{QStringLiteral("close ") + a});
    EXPECT_EQ(fm->State(), fsNew);

    // A missing file is refused without closing anything.
    Edit(QStringLiteral("edited"));
    events.clear();
    fm->OpenFile(dir.filePath(QStringLiteral("absent.txt")));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(fm->Modified());
}

TEST_F(MonoFichierMan, SavingAsksForANameOnlyWithoutOne)
{
    fm->NewFile();
    Edit(QStringLiteral("new text"));
    const QString target = dir.filePath(QStringLiteral("m.txt"));
    questions.FileAnswers << target;
    fm->naSaveFile->DoExecute(nullptr);
    ASSERT_EQ(questions.DialogKinds, QStringList{QStringLiteral("save")});
    EXPECT_EQ(questions.FileRequests[0].DefaultSuffix, QStringLiteral(".txt"));
    EXPECT_EQ(Read(target), QByteArray("new text"));
    EXPECT_EQ(fm->State(), fsNamed);
    EXPECT_FALSE(fm->Modified());

    Edit(QStringLiteral("second"));
    fm->naSaveFile->DoExecute(nullptr);
    EXPECT_EQ(questions.DialogKinds.size(), 1); // named: no dialog
    EXPECT_EQ(Read(target), QByteArray("second"));

    // Save-as leaves the recent list alone.
    const QStringList recent = fm->RecentFiles();
    fm->SaveFileAs(dir.filePath(QStringLiteral("copy.txt")));
    EXPECT_EQ(fm->RecentFiles(), recent);
    EXPECT_EQ(fm->CurrentFileName(), dir.filePath(QStringLiteral("copy.txt")));

    // After a close there is no name: a save asks for one rather than doing nothing.
    fm->naCloseFile->DoExecute(nullptr);
    Edit(QStringLiteral("typed after the close"));
    questions.FileAnswers << std::nullopt;
    fm->naSaveFile->DoExecute(nullptr);
    EXPECT_EQ(questions.DialogKinds.size(), 2);
    EXPECT_TRUE(fm->Modified());
}

TEST_F(MonoFichierMan, AFailedWriteKeepsTheOldFileTheNameAndTheModification)
{
    const QString a = File(QStringLiteral("a.txt"), "old");
    fm->OpenFile(a);
    Edit(QStringLiteral("new"));
    writeFails = true;
    fm->naSaveFile->DoExecute(nullptr);
    EXPECT_FALSE(fm->LastSaveDone());
    EXPECT_TRUE(fm->Modified());
    EXPECT_EQ(Read(a), QByteArray("old"));

    fm->SaveFileAs(dir.filePath(QStringLiteral("other.txt")));
    EXPECT_EQ(fm->CurrentFileName(), a);
    EXPECT_EQ(label.text(), QStringLiteral("a.txt"));
    EXPECT_TRUE(fm->Modified());

    // The close question: Yes, the write fails, the document stays.
    questions.Answers << TAnswer::Yes;
    events.clear();
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(fm->State(), fsNamed);
    EXPECT_EQ(document, QStringLiteral("new"));
    EXPECT_FALSE(events.contains(QStringLiteral("close ") + a));
}

TEST_F(MonoFichierMan, AFailedReadLeavesNoNameToSaveOver)
{
    const QString a = File(QStringLiteral("a.txt"), "precious");
    QStringList errors;
    fm->OnErrorOpenFile = [&](const QString& n) {
        errors << n;
        return true;
    };
    readFails = true;
    fm->OpenFile(a);
    EXPECT_EQ(errors, QStringList{a});
    EXPECT_EQ(fm->State(), fsNone);
    EXPECT_TRUE(fm->CurrentFileName().isEmpty());
    EXPECT_NE(fm->RecentFiles().value(0), a);

    Edit(QStringLiteral("template"));
    questions.FileAnswers << std::nullopt;
    fm->naSaveFile->DoExecute(nullptr);
    EXPECT_EQ(Read(a), QByteArray("precious"));
}

TEST_F(MonoFichierMan, TheCloseQuestionAndItsAnswers)
{
    // Nothing modified: no question.
    fm->NewFile();
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_TRUE(questions.Asked.isEmpty());

    // No: closed without saving.
    fm->NewFile();
    Edit(QStringLiteral("draft"));
    questions.Answers << TAnswer::No;
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(fm->State(), fsNone);
    EXPECT_FALSE(fm->Modified());

    // Cancel, or Yes with the name refused: the document stays and nothing is closed.
    fm->NewFile();
    Edit(QStringLiteral("draft"));
    questions.Answers << TAnswer::Cancel;
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(fm->State(), fsNew);
    questions.Answers << TAnswer::Yes;
    questions.FileAnswers << std::nullopt;
    fm->OpenFile(File(QStringLiteral("b.txt"), "B"));
    EXPECT_EQ(fm->State(), fsNew);
    EXPECT_EQ(document, QStringLiteral("draft"));

    // Yes with a name: saved, then closed.
    const QString target = dir.filePath(QStringLiteral("draft.txt"));
    questions.Answers << TAnswer::Yes;
    questions.FileAnswers << target;
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(Read(target), QByteArray("draft"));
    EXPECT_EQ(fm->State(), fsNone);

    // Without the question, always saving.
    fm->SaveType = ctAlways;
    fm->OpenFile(target);
    Edit(QStringLiteral("again"));
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(Read(target), QByteArray("again"));
}

TEST_F(MonoFichierMan, BeforeChangeRunsAheadOfEveryDocumentChange)
{
    int before = 0;
    fm->OnBeforeChange = [&] { ++before; };
    fm->NewFile();
    fm->OpenFile(File(QStringLiteral("a.txt"), "A"));
    fm->CloseFile();
    EXPECT_EQ(before, 3);
}

} // namespace
