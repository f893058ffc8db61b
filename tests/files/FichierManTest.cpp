#include "FakeQuestions.h"

#include "actions/MacroState.h"
#include "actions/ShortCut.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "files/FileNames.h"
#include "files/TFichierMan.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Records drags and "show in folder" instead of starting them.
class TTestFichierMan : public TFichierMan {
public:
    using TFichierMan::TFichierMan;
    int Drags = 0;
    QStringList DraggedNames;
    QStringList Shown;

protected:
    void DragCurrentFile() override
    {
        ++Drags;
        DraggedNames << CurrentFileName();
    }
    void ShowInFileManager(const QString& aPath) override { Shown << aPath; }
};

class FichierMan : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TFakeQuestions questions;
    std::unique_ptr<TTestFichierMan> fm;
    QStringList opened, closed, saved, errors;
    QList<QStringList> tested;
    int news = 0;
    bool openResult = true;

    void SetUp() override
    {
        fm = std::make_unique<TTestFichierMan>();
        fm->Setup();
        fm->SetQuestions(&questions);
    }

    // A file in the temporary folder, created unless aCreate is false.
    QString File(const QString& aName, bool aCreate = true)
    {
        const QString path = dir.filePath(aName);
        if (aCreate) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        }
        return path;
    }

    void ConnectAll(bool aWithSave)
    {
        fm->OnOpenFile = [this](const QString& n) {
            opened << n;
            return openResult;
        };
        fm->OnCloseFile = [this](const QString& n) { closed << n; };
        fm->OnErrorOpenFile = [this](const QString& n) {
            errors << n;
            return true;
        };
        fm->OnNewFile = [this] { ++news; };
        if (aWithSave)
            fm->OnSaveFile = [this](const QString& n) {
                saved << n;
                QFile f(n);
                return f.open(QIODevice::WriteOnly);
            };
    }
};

struct TExpectedRow {
    const char* Name;
    const char* Type;
    TShortCut Key;
    bool ApplyWhenLoad;
    const char* Caption;
    const char* Hint;
};

TEST_F(FichierMan, ConstructionDefaults)
{
    TFichierMan plain;
    EXPECT_EQ(plain.State(), fsNew);
    EXPECT_FALSE(plain.ExistingOnly);
    EXPECT_EQ(plain.DeleteExisting, ctAskif);
    EXPECT_EQ(plain.SaveType, ctAskif);
    EXPECT_EQ(plain.RecentLength(), 0);
    EXPECT_EQ(plain.DragControl(), nullptr);
    EXPECT_TRUE(plain.CurrentFileName().isEmpty());
    EXPECT_EQ(plain.FilterIndex(), 1);
}

TEST_F(FichierMan, ThirtyActionsWithTheirNamesCaptionsHintsAndShortcuts)
{
    const char* recentHint = "Ouvrir le fichier récemment utilisé";
    QList<TExpectedRow> rows = {
        {"naNewFile", "TNopeAction", TShortCut(scCtrl | 'N'), false, "Nouveau...",
         "Ouvrir un nouveau fichier"},
        {"waOpenFile", "TWidestringAction", TShortCut(scCtrl | 'O'), false, "Ouvrir...",
         "Ouvrir un fichier"},
        {"waCurrentFileName", "TWidestringAction", scNone, true, "Fichier Courant",
         "Fichier courant actuellement ouvert"},
        {"baOpenLastFile", "TBooleanAction", scNone, true, "Fichier précédent",
         "Ouvrir le fichier précédent au démarrage"},
        {"waInitialDir", "TWidestringAction", scNone, true, "Dossier initial",
         "Si vous changez ce dossier, alors les fichiers à ouvrir y seront recherchés"},
        {"naPasteFile", "TNopeAction", TShortCut(scCtrl | 'V'), false, "Coller",
         "Coller un fichier"},
        {"naSaveFile", "TNopeAction", TShortCut(scCtrl | 'S'), false, "Enregistrer",
         "Enregistrer le fichier courant"},
        {"waSaveFileAs", "TWidestringAction", TShortCut(scCtrl | scShift | 'S'), false,
         "Enregistrer sous...", "Nommer et Enregistrer le fichier courant"},
        {"naCloseFile", "TNopeAction", TShortCut(scCtrl | 'F'), false, "Fermer",
         "Fermer le fichier sélectionné"},
        {"naParentFolder", "TNopeAction", TShortCut(VK_F1 + 8), false, "Dossier parent",
         "Ouvrir le dossier parent du fichier sélectionné"},
    };
    static QList<QByteArray> keep;
    for (int i = 1; i <= 10; ++i) {
        keep << QByteArray("naRecent") + QByteArray::number(i) << QByteArray::number(i);
        rows.append({keep[keep.size() - 2].constData(), "TNopeAction", scNone, false,
                     keep.back().constData(), recentHint});
    }
    for (int i = 1; i <= 10; ++i) {
        keep << QByteArray("waRecentFilename") + QByteArray::number(i)
             << QByteArray("Filename") + QByteArray::number(i);
        rows.append({keep[keep.size() - 2].constData(), "TWidestringAction", scNone, true,
                     keep.back().constData(), ""});
    }
    const QList<TCustomAbstractAction*> actions = fm->TypedActions();
    ASSERT_EQ(actions.size(), 30);
    for (int i = 0; i < 30; ++i) {
        const TExpectedRow& r = rows[i];
        const TCustomAbstractAction* a = actions[i];
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(a->InternalId, QString::fromUtf8(r.Name));
        EXPECT_STREQ(a->metaObject()->className(), r.Type);
        EXPECT_EQ(a->ScriptName, QString::fromUtf8(r.Name + 2));
        EXPECT_TRUE(a->Switch.isEmpty());
        EXPECT_EQ(a->Category, QStringLiteral("internal"));
        EXPECT_TRUE(a->IncludePrefs);
        EXPECT_EQ(a->ApplyWhenLoad, r.ApplyWhenLoad);
        EXPECT_EQ(a->ShortCut(), r.Key);
        EXPECT_EQ(a->Hint(), QString::fromUtf8(r.Hint));
        EXPECT_EQ(a->Caption(), QString::fromUtf8(r.Caption));
        // The recent commands are hidden while their entry names no file.
        if (QByteArray(r.Name).startsWith("naRecent")) {
            EXPECT_FALSE(a->Visible());
        }
    }
    EXPECT_TRUE(fm->baOpenLastFile->DefaultValue);
}

TEST_F(FichierMan, CurrentNameRuleAndItsSavedValue)
{
    const QString a = File(QStringLiteral("a.avi"));
    fm->waCurrentFileName->SetValue(a);
    EXPECT_EQ(fm->CurrentFileName(), a);
    EXPECT_EQ(fm->State(), fsNamed);
    fm->waCurrentFileName->SetValue(File(QStringLiteral("absent.avi"), false));
    EXPECT_EQ(fm->State(), fsNew);

    // Refreshed before it is saved: "%new%", empty, or the name.
    QString v = QStringLiteral("x");
    ASSERT_TRUE(fm->waCurrentFileName->OnInternalBeforeSave);
    fm->waCurrentFileName->OnInternalBeforeSave(v);
    EXPECT_EQ(v, QStringLiteral("%new%"));
    fm->CloseFile();
    fm->waCurrentFileName->OnInternalBeforeSave(v);
    EXPECT_EQ(v, QString());
    fm->OpenFile(a);
    fm->waCurrentFileName->OnInternalBeforeSave(v);
    EXPECT_EQ(v, a);
}

TEST_F(FichierMan, OpeningGoesThroughTheCurrentNameActionSoMacrosShowIt)
{
    const QString a = File(QStringLiteral("l'été.avi"));
    TMacroLineList lines;
    MacroLines = &lines;
    fm->OpenFile(a);
    MacroLines = nullptr;
    ASSERT_EQ(lines.Lines.size(), 1);
    EXPECT_TRUE(lines.Lines[0].startsWith(QStringLiteral("    CurrentFileName('")));
    EXPECT_TRUE(lines.Lines[0].contains(QStringLiteral("l''été.avi")));
}

TEST_F(FichierMan, OpenTestsTheExtensionAndExistence)
{
    ConnectAll(false);
    const QString clip = File(QStringLiteral("Clip.AVI"));
    fm->OnTestExtension = [this](const QString& ext, const QString& name) {
        tested << QStringList{ext, name};
        return ext == u".avi";
    };
    fm->OpenFile(clip);
    ASSERT_EQ(tested.size(), 1);
    EXPECT_EQ(tested[0], (QStringList{QStringLiteral(".avi"), clip}));
    EXPECT_EQ(opened, QStringList{clip});
    EXPECT_EQ(fm->State(), fsNamed);

    // A refused extension changes nothing.
    fm->OpenFile(File(QStringLiteral("notes.txt")));
    EXPECT_EQ(fm->CurrentFileName(), clip);
    EXPECT_EQ(opened.size(), 1);

    // A name without an extension is tested with an empty one.
    fm->OnTestExtension = [this](const QString& ext, const QString& name) {
        tested << QStringList{ext, name};
        return true;
    };
    fm->OpenFile(dir.filePath(QStringLiteral("sans.ext/fichier")));
    EXPECT_EQ(tested.back().constFirst(), QString());

    // With ExistingOnly, a missing file changes nothing.
    fm->ExistingOnly = true;
    const QString missing = File(QStringLiteral("absent.avi"), false);
    fm->OpenFile(missing);
    EXPECT_NE(fm->CurrentFileName(), missing);
}

TEST_F(FichierMan, FailedOpenCallsTheErrorEventAndStillUpdatesNameAndList)
{
    ConnectAll(false);
    openResult = false;
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    EXPECT_EQ(errors, QStringList{a});
    EXPECT_EQ(fm->CurrentFileName(), a);
    EXPECT_EQ(fm->RecentFiles().constFirst(), a);
}

TEST_F(FichierMan, OpenFileDoesNotCloseButTheOpenActionDoes)
{
    ConnectAll(false);
    const QString a = File(QStringLiteral("a.avi"));
    const QString b = File(QStringLiteral("b.avi"));
    fm->OpenFile(a);
    fm->OpenFile(b);
    EXPECT_TRUE(closed.isEmpty());
    fm->waOpenFile->SetValue(a);
    EXPECT_EQ(closed, QStringList{b});
    EXPECT_EQ(fm->CurrentFileName(), a);
    // No file: nothing to close first.
    fm->CloseFile();
    closed.clear();
    fm->waOpenFile->SetValue(b);
    EXPECT_TRUE(closed.isEmpty());
    EXPECT_EQ(fm->CurrentFileName(), b);

    // A choice that is refused keeps the open file, and says why.
    fm->ExistingOnly = true;
    fm->OnTestExtension = [](const QString& ext, const QString&) { return ext == u".avi"; };
    fm->waOpenFile->SetValue(File(QStringLiteral("notes.txt")));
    fm->waOpenFile->SetValue(File(QStringLiteral("absent.avi"), false));
    EXPECT_TRUE(closed.isEmpty());
    EXPECT_EQ(fm->CurrentFileName(), b);
    ASSERT_EQ(questions.Asked.size(), 2);
    EXPECT_EQ(questions.Asked[0].Text,
              QStringLiteral("Le fichier notes.txt n'est pas d'un type pris en charge."));
    EXPECT_EQ(questions.Asked[1].Text, QStringLiteral("Le fichier absent.avi n'existe pas."));
    EXPECT_EQ(questions.Asked[1].Buttons, TQuestionButtons::Ok);
}

TEST_F(FichierMan, OpenPromptAsksWithItsTitleAndFilter)
{
    ConnectAll(false);
    fm->SetFilter(QStringLiteral("Vidéos (*.avi;*.mpg)|*.avi;*.mpg"));
    fm->SetInitialDir(dir.path() + u'/');
    const QString a = File(QStringLiteral("a.avi"));
    questions.FileAnswers << std::nullopt << a;
    fm->waOpenFile->DoExecute(nullptr);
    EXPECT_TRUE(opened.isEmpty());
    fm->waOpenFile->DoExecute(nullptr);
    EXPECT_EQ(opened, QStringList{a});
    ASSERT_EQ(questions.FileRequests.size(), 2);
    const TFileDialogRequest& r = questions.FileRequests[1];
    EXPECT_EQ(questions.DialogKinds[1], QStringLiteral("open"));
    EXPECT_EQ(r.Title, QStringLiteral("Sélectionnez le fichier à ouvrir"));
    EXPECT_TRUE(r.FileName.isEmpty());
    EXPECT_EQ(r.InitialDir, dir.path());
    EXPECT_EQ(r.Filter, QStringLiteral("Vidéos (*.avi *.mpg);;Tous fichiers (*)"));
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_FALSE(r.MustExist);
}

TEST_F(FichierMan, FilterSetterAddsAllFilesAndSelectsTheFirst)
{
    fm->SetFilter(QStringLiteral("Vidéos|*.avi"));
    EXPECT_EQ(fm->DialogFilter(), QStringLiteral("Vidéos|*.avi|Tous fichiers (*.*)|*.*"));
    EXPECT_EQ(fm->QtDialogFilter(), QStringLiteral("Vidéos (*.avi);;Tous fichiers (*)"));
    EXPECT_EQ(fm->FilterIndex(), 1);
    fm->SetFilter(QString());
    EXPECT_EQ(fm->DialogFilter(), QStringLiteral("Tous fichiers (*.*)|*.*"));
    EXPECT_EQ(fm->QtDialogFilter(), QStringLiteral("Tous fichiers (*)"));
}

TEST_F(FichierMan, InitialFolderLosesItsTrailingSlashAndTheMenuSetsItEmpty)
{
    fm->waInitialDir->SetValue(QStringLiteral("/home/moi/Vidéos/"));
    EXPECT_EQ(fm->InitialDir(), QStringLiteral("/home/moi/Vidéos"));
    fm->SetInitialDir(QStringLiteral("/"));
    EXPECT_EQ(fm->InitialDir(), QStringLiteral("/"));
    fm->waInitialDir->DoExecute(nullptr);
    EXPECT_EQ(fm->InitialDir(), QString());
}

TEST_F(FichierMan, CloseWithoutSaveEventClosesWhateverTheState)
{
    ConnectAll(false);
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    fm->naCloseFile->DoExecute(nullptr);
    EXPECT_EQ(closed, QStringList{a});
    EXPECT_EQ(fm->State(), fsNone);
    EXPECT_TRUE(fm->CurrentFileName().isEmpty());
    EXPECT_TRUE(questions.Asked.isEmpty());
}

TEST_F(FichierMan, CloseWithNoFileAndASaveEventRaisesNothing)
{
    ConnectAll(true);
    questions.Answers << TAnswer::No; // state 1 after construction: asked
    fm->CloseFile();
    closed.clear();
    ASSERT_EQ(fm->State(), fsNone);
    fm->CloseFile();
    EXPECT_TRUE(closed.isEmpty());
}

TEST_F(FichierMan, CloseQuestionAnswers)
{
    ConnectAll(true);
    const QString a = File(QStringLiteral("a.txt"));
    const QString question =
        QStringLiteral("Voulez-vous sauver le fichier ouvert ?\r\nSinon, toutes les modifications "
                       "seront perdues");

    // Asked, Yes: saved, then closed.
    fm->OpenFile(a);
    questions.Answers << TAnswer::Yes;
    fm->CloseFile();
    ASSERT_EQ(questions.Asked.size(), 1);
    EXPECT_EQ(questions.Asked[0].Text, question);
    EXPECT_EQ(questions.Asked[0].Buttons, TQuestionButtons::YesNo);
    EXPECT_EQ(questions.Asked[0].Icon, TQuestionIcon::Warning);
    EXPECT_EQ(saved, QStringList{a});
    EXPECT_EQ(closed, QStringList{a});

    // Asked, No: closed without saving.
    fm->OpenFile(a);
    questions.Answers << TAnswer::No;
    fm->CloseFile();
    EXPECT_EQ(saved.size(), 1);
    EXPECT_EQ(closed.size(), 2);

    // Always: saved without a question; Never: neither.
    fm->SaveType = ctAlways;
    fm->OpenFile(a);
    fm->CloseFile();
    EXPECT_EQ(saved.size(), 2);
    fm->SaveType = ctNever;
    fm->OpenFile(a);
    fm->CloseFile();
    EXPECT_EQ(saved.size(), 2);
    EXPECT_EQ(closed.size(), 4);
    EXPECT_EQ(questions.Asked.size(), 2);
}

TEST_F(FichierMan, ClosingANewDocumentSavesItThroughTheSaveAsPrompt)
{
    ConnectAll(true);
    fm->NewFileName = QStringLiteral("Sans titre");
    fm->DefaultExtension = QStringLiteral(".txt");
    questions.Answers << TAnswer::No; // the close of "new" asks first (state 1 after creation)
    fm->NewFile();
    const QString target = File(QStringLiteral("cible.txt"), false);
    questions.Answers << TAnswer::Yes;
    questions.FileAnswers << target;
    fm->CloseFile();
    EXPECT_EQ(questions.DialogKinds, QStringList{QStringLiteral("save")});
    EXPECT_EQ(saved, QStringList{target});
    EXPECT_EQ(closed.back(), target);
    EXPECT_EQ(fm->State(), fsNone);
}

TEST_F(FichierMan, NewFile)
{
    ConnectAll(false);
    fm->NewFileName = QStringLiteral("Sans titre.doc");
    fm->DefaultExtension = QStringLiteral(".txt");
    fm->ExistingOnly = true;
    fm->NewFile();
    EXPECT_EQ(news, 0);
    EXPECT_TRUE(closed.isEmpty());

    fm->ExistingOnly = false;
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    fm->naNewFile->DoExecute(nullptr);
    EXPECT_EQ(closed, QStringList{a});
    EXPECT_EQ(fm->CurrentFileName(), QStringLiteral("Sans titre.txt"));
    EXPECT_EQ(fm->State(), fsNew);
    EXPECT_EQ(news, 1);
}

TEST_F(FichierMan, SaveFile)
{
    ConnectAll(true);
    // No file: nothing.
    questions.Answers << TAnswer::No;
    fm->CloseFile();
    fm->SaveFile();
    EXPECT_TRUE(saved.isEmpty());

    // A named file is saved without a question.
    const QString a = File(QStringLiteral("a.txt"));
    fm->OpenFile(a);
    fm->naSaveFile->DoExecute(nullptr);
    EXPECT_EQ(saved, QStringList{a});
    EXPECT_TRUE(questions.FileRequests.isEmpty());

    // A new one asks for a name; cancelling saves nothing.
    fm->NewFileName = QStringLiteral("Nouveau");
    fm->DefaultExtension = QStringLiteral(".txt");
    questions.Answers << TAnswer::No;
    fm->NewFile();
    questions.FileAnswers << std::nullopt;
    fm->SaveFile();
    EXPECT_EQ(saved.size(), 1);
    const QString target = File(QStringLiteral("nouveau nom.txt"), false);
    questions.FileAnswers << target;
    fm->SaveFile();
    EXPECT_EQ(saved.back(), target);
    EXPECT_EQ(fm->CurrentFileName(), target);
    // The current-name rule gave "new": the file did not exist when it was chosen.
    EXPECT_EQ(fm->State(), fsNew);
}

TEST_F(FichierMan, SaveAsPromptOffersTheNextFreeName)
{
    ConnectAll(true);
    fm->DefaultExtension = QStringLiteral(".txt");
    const QString a = File(QStringLiteral("rapport.txt"));
    File(QStringLiteral("rapport_001.txt"));
    fm->OpenFile(a);
    questions.FileAnswers << std::nullopt;
    fm->waSaveFileAs->DoExecute(nullptr);
    ASSERT_EQ(questions.FileRequests.size(), 1);
    const TFileDialogRequest& r = questions.FileRequests[0];
    EXPECT_EQ(questions.DialogKinds[0], QStringLiteral("save"));
    EXPECT_EQ(r.Title, QStringLiteral("Sélectionner le fichier cible"));
    EXPECT_EQ(r.DefaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(r.FileName, dir.filePath(QStringLiteral("rapport_002.txt")));
    EXPECT_TRUE(saved.isEmpty());

    // A name that is not taken is offered as it is.
    fm->waCurrentFileName->SetValue(File(QStringLiteral("libre.txt"), false));
    questions.FileAnswers << std::nullopt;
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_EQ(questions.FileRequests[1].FileName, dir.filePath(QStringLiteral("libre.txt")));
}

TEST_F(FichierMan, SaveAsOntoAnExistingFileFollowsDeleteExisting)
{
    ConnectAll(true);
    const QString a = File(QStringLiteral("a.txt"));
    const QString b = File(QStringLiteral("b.txt"));
    fm->OpenFile(a);

    fm->DeleteExisting = ctNever;
    questions.FileAnswers << b;
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_TRUE(saved.isEmpty());
    EXPECT_TRUE(questions.Asked.isEmpty());

    fm->DeleteExisting = ctAskif;
    questions.FileAnswers << b << b;
    questions.Answers << TAnswer::No << TAnswer::Yes;
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_TRUE(saved.isEmpty());
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_EQ(saved, QStringList{b});
    ASSERT_EQ(questions.Asked.size(), 2);
    EXPECT_EQ(questions.Asked[0].Text,
              QStringLiteral("Voulez-vous écraser le fichier existant:\r\n") + b +
                  QStringLiteral(" ?"));

    fm->DeleteExisting = ctAlways;
    questions.FileAnswers << a;
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_EQ(saved.back(), a);
    EXPECT_EQ(questions.Asked.size(), 2);
}

TEST_F(FichierMan, SavingUnderTheNewFileNameItselfAppendsOne)
{
    ConnectAll(true);
    fm->NewFileName = dir.filePath(QStringLiteral("Macro"));
    const QString a = File(QStringLiteral("a.txt"));
    fm->OpenFile(a);
    questions.FileAnswers << fm->NewFileName;
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_EQ(saved, QStringList{fm->NewFileName + u'1'});
    EXPECT_EQ(fm->CurrentFileName(), fm->NewFileName + u'1');
}

TEST_F(FichierMan, SaveAsWithoutSaveEventStillChangesTheName)
{
    const QString a = File(QStringLiteral("a.txt"));
    fm->OpenFile(a);
    // The prompt fails without OnSaveFile...
    fm->waSaveFileAs->DoExecute(nullptr);
    EXPECT_TRUE(questions.FileRequests.isEmpty());
    EXPECT_EQ(fm->CurrentFileName(), a);
    // ...but a value set by a script applies.
    const QString b = File(QStringLiteral("b.txt"), false);
    fm->waSaveFileAs->SetValue(b);
    EXPECT_EQ(fm->CurrentFileName(), b);
    EXPECT_EQ(fm->State(), fsNamed);
}

TEST_F(FichierMan, SaveAsReplacesTheFirstRecentEntry)
{
    ConnectAll(true);
    const QString a = File(QStringLiteral("a.txt"));
    const QString b = File(QStringLiteral("b.txt"));
    fm->OpenFile(b);
    fm->OpenFile(a);
    ASSERT_EQ(fm->RecentFiles().mid(0, 2), (QStringList{a, b}));
    const QString c = File(QStringLiteral("c.txt"), false);
    fm->waSaveFileAs->SetValue(c);
    EXPECT_EQ(saved, QStringList{c});
    EXPECT_EQ(fm->RecentFiles().mid(0, 3), (QStringList{c, b, QString()}));
}

TEST_F(FichierMan, RecentListOrder)
{
    ConnectAll(false);
    QStringList files;
    for (int i = 1; i <= 12; ++i)
        files << File(QStringLiteral("f%1.avi").arg(i));
    for (const QString& f : files)
        fm->OpenFile(f);
    // Most recent first; the first two fell out.
    QStringList expected;
    for (int i = 11; i >= 2; --i)
        expected << files[i];
    EXPECT_EQ(fm->RecentFiles(), expected);

    // The first again: unchanged.
    fm->OpenFile(files[11]);
    EXPECT_EQ(fm->RecentFiles(), expected);

    // The fourth moves to the top; entries 1 to 3 move down one place.
    fm->OpenFile(files[8]);
    EXPECT_EQ(fm->RecentFiles(), (QStringList{files[8], files[11], files[10], files[9], files[7],
                                              files[6], files[5], files[4], files[3], files[2]}));

    // A link to an entry's file is the same file: it moves up instead of being added.
    const QString link = dir.filePath(QStringLiteral("lien.avi"));
    ASSERT_TRUE(QFile::link(files[5], link));
    fm->OpenFile(link);
    EXPECT_EQ(fm->RecentFiles().count(files[5]), 0);
    EXPECT_EQ(fm->RecentFiles().constFirst(), link);
    EXPECT_EQ(fm->RecentFiles().size(), 10);
}

TEST_F(FichierMan, RecentDuplicatesLoadedFromElsewhereMoveTheFirstOne)
{
    ConnectAll(false);
    const QString a = File(QStringLiteral("a.avi"));
    const QString b = File(QStringLiteral("b.avi"));
    fm->waRecentFilename[0]->SetValue(b);
    fm->waRecentFilename[1]->SetValue(a);
    fm->waRecentFilename[2]->SetValue(a);
    fm->OpenFile(a);
    EXPECT_EQ(fm->RecentFiles().mid(0, 4), (QStringList{a, b, a, QString()}));
}

TEST_F(FichierMan, RecentCaptionsAndVisibility)
{
    ConnectAll(false);
    fm->SetRecentLength(50);
    const QString amp = File(QStringLiteral("Tom & Jerry.avi"));
    fm->OpenFile(amp);
    EXPECT_EQ(fm->naRecent[0]->Caption(),
              QStringLiteral("1 ") + LiteralMenuText(ShortenFileName(amp, 50)));
    EXPECT_TRUE(fm->naRecent[0]->Caption().contains(QStringLiteral("Tom && Jerry.avi")));
    EXPECT_TRUE(fm->naRecent[0]->Visible());
    EXPECT_FALSE(fm->naRecent[1]->Visible());

    // A missing file is hidden; its caption is set all the same.
    fm->waRecentFilename[3]->SetValue(QStringLiteral("/nulle/part/absent.avi"));
    EXPECT_FALSE(fm->naRecent[3]->Visible());
    EXPECT_EQ(fm->naRecent[3]->Caption(), QStringLiteral("4 /nulle/part/absent.avi"));

    // A new length recaptions without touching visibility.
    fm->naRecent[0]->SetVisible(false);
    fm->SetRecentLength(20);
    EXPECT_EQ(fm->naRecent[0]->Caption(),
              QStringLiteral("1 ") + LiteralMenuText(ShortenFileName(amp, 20)));
    EXPECT_TRUE(fm->naRecent[0]->Caption().contains(QStringLiteral(".../")));
    EXPECT_FALSE(fm->naRecent[0]->Visible());

    // Choosing a recent command opens its entry (without closing first).
    const QString b = File(QStringLiteral("b.avi"));
    fm->OpenFile(b);
    fm->naRecent[1]->DoExecute(nullptr);
    EXPECT_EQ(opened.back(), amp);
    EXPECT_TRUE(closed.isEmpty());
}

TEST_F(FichierMan, PasteOpensTheClipboardsFileWithSpacesAndAccents)
{
    ConnectAll(false);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Mes vidéos")));
    const QString name = File(QStringLiteral("Mes vidéos/Été à la plage ünï (1).avi"));
    QClipboard* clipboard = QGuiApplication::clipboard();

    auto* list = new QMimeData;
    list->setUrls({QUrl::fromLocalFile(name)});
    list->setText(QStringLiteral("/autre/chose.avi"));
    clipboard->setMimeData(list);
    fm->naPasteFile->DoExecute(nullptr);
    EXPECT_EQ(opened, QStringList{name});

    clipboard->setText(name);
    fm->PasteFile();
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.back(), name);

    // Longer than the 260 characters of the Windows program.
    QString deep = dir.path();
    while (deep.size() < 300) {
        deep += QStringLiteral("/dossier très long");
        ASSERT_TRUE(QDir().mkpath(deep));
    }
    const QString longName = deep + QStringLiteral("/fin.avi");
    {
        QFile f(longName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    clipboard->setText(longName);
    fm->PasteFile();
    EXPECT_EQ(opened.back(), longName);

    // Nothing that names a file: nothing happens.
    clipboard->setText(QStringLiteral("bonjour"));
    fm->PasteFile();
    EXPECT_EQ(opened.size(), 3);
    clipboard->clear();
}

TEST_F(FichierMan, DropIsPostedThenOpened)
{
    ConnectAll(false);
    const QString a = File(QStringLiteral("a.avi"));
    const QString b = File(QStringLiteral("b c é.avi"));
    fm->OpenFile(a);
    opened.clear();
    QWidget panel;
    panel.resize(200, 100);
    fm->SetDragControl(&panel);
    EXPECT_TRUE(panel.acceptDrops());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(b)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);

    QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(opened.isEmpty()) << "opened inside the drop handler";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(opened, QStringList{b});

    // The current file again, under another name of the same file: nothing.
    const QString link = dir.filePath(QStringLiteral("lien.avi"));
    ASSERT_TRUE(QFile::link(b, link));
    QMimeData again;
    again.setUrls({QUrl::fromLocalFile(link)});
    QDropEvent drop2(QPointF(10, 10), Qt::CopyAction, &again, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &drop2);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(opened.size(), 1);

    // Something else than files is not accepted.
    QMimeData text;
    text.setText(a);
    QDragEnterEvent enterText(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &enterText);
    EXPECT_FALSE(enterText.isAccepted());

    // A source that offers only a move is refused: it would delete its file.
    QDragEnterEvent enterMove(QPoint(10, 10), Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &enterMove);
    EXPECT_FALSE(enterMove.isAccepted());
}

TEST_F(FichierMan, DragControlIsReleasedAndForgotten)
{
    auto panel = std::make_unique<QWidget>();
    fm->SetDragControl(panel.get());
    EXPECT_TRUE(panel->acceptDrops());
    fm->SetDragControl(nullptr);
    EXPECT_FALSE(panel->acceptDrops());
    fm->SetDragControl(panel.get());
    panel.reset();
    EXPECT_EQ(fm->DragControl(), nullptr);
}

class TSwallowPresses : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* aEvent) override
    {
        return aEvent->type() == QEvent::MouseButtonPress;
    }
};

TEST_F(FichierMan, DragStartsAfterTenPixelsWithAButtonHeld)
{
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    QWidget panel;
    panel.resize(200, 100);
    fm->SetDragControl(&panel);
    const auto press = [&](QPointF p, Qt::MouseButton b) {
        QMouseEvent e(QEvent::MouseButtonPress, p, panel.mapToGlobal(p), b, b, Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &e);
    };
    const auto move = [&](QPointF p, Qt::MouseButtons held) {
        QMouseEvent e(QEvent::MouseMove, p, panel.mapToGlobal(p), Qt::NoButton, held,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(&panel, &e);
    };
    // Another filter of the control, installed after, that keeps presses to itself (the main
    // window placing text): the distance is still measured from the press.
    TSwallowPresses swallow;
    panel.installEventFilter(&swallow);
    press(QPointF(50, 50), Qt::LeftButton);
    panel.removeEventFilter(&swallow);
    move(QPointF(59, 59), Qt::LeftButton);
    move(QPointF(41, 41), Qt::LeftButton);
    EXPECT_EQ(fm->Drags, 0);
    move(QPointF(70, 70), Qt::NoButton); // no button held
    EXPECT_EQ(fm->Drags, 0);
    move(QPointF(60, 50), Qt::LeftButton);
    EXPECT_EQ(fm->Drags, 1);
    press(QPointF(20, 20), Qt::RightButton);
    move(QPointF(20, 10), Qt::RightButton);
    EXPECT_EQ(fm->Drags, 2);
    press(QPointF(20, 20), Qt::MiddleButton);
    move(QPointF(40, 40), Qt::MiddleButton);
    EXPECT_EQ(fm->Drags, 2);
    EXPECT_EQ(fm->DraggedNames, (QStringList{a, a}));
}

TEST_F(FichierMan, AnOpenRequestDuringANestedLoopIsQueuedLatestWins)
{
    const QString a = File(QStringLiteral("a.avi"));
    const QString b = File(QStringLiteral("b.avi"));
    const QString c = File(QStringLiteral("c.avi"));
    QStringList log;
    fm->OnCloseFile = [&](const QString& n) { log << QStringLiteral("close ") + n; };
    fm->OnOpenFile = [&](const QString& n) {
        log << QStringLiteral("open ") + n;
        if (n == a) {
            // Opening runs a nested loop, during which a drop, a menu and a script arrive.
            QEventLoop loop;
            QTimer::singleShot(0, &loop, [&] {
                fm->OpenFile(b);
                fm->waOpenFile->SetValue(c);
                EXPECT_TRUE(fm->Busy());
                loop.quit();
            });
            loop.exec();
            EXPECT_EQ(log, QStringList{QStringLiteral("open ") + a});
            EXPECT_EQ(fm->CurrentFileName(), a);
        }
        return true;
    };
    fm->OpenFile(a);
    EXPECT_FALSE(fm->Busy());
    EXPECT_EQ(log, (QStringList{QStringLiteral("open ") + a, QStringLiteral("close ") + a,
                                QStringLiteral("open ") + c}));
    EXPECT_EQ(fm->CurrentFileName(), c);
}

TEST_F(FichierMan, ParentFolderShowsTheCurrentFileAndNothingForANewOne)
{
    // As loaded at the start of a program that never opened a file.
    fm->waCurrentFileName->SetValue(QStringLiteral("%new%"));
    fm->naParentFolder->DoExecute(nullptr);
    EXPECT_TRUE(fm->Shown.isEmpty());
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    fm->naParentFolder->DoExecute(nullptr);
    EXPECT_EQ(fm->Shown, QStringList{a});
}

// A variant without the current-name actions, as the single-file manager is.
class TWithoutCurrentName : public TFichierMan {
public:
    TWithoutCurrentName()
    {
        for (const TActionRow& r : TFichierMan::ActionRows())
            if (QByteArray(r.Name) != "waCurrentFileName" && QByteArray(r.Name) != "baOpenLastFile")
                m_rows.push_back(r);
    }

protected:
    std::span<const TActionRow> ActionRows() const override { return m_rows; }
    void FindOwnActions() override {}

private:
    std::vector<TActionRow> m_rows;
};

TEST_F(FichierMan, AVariantCanLeaveOutTheCurrentNameActions)
{
    TWithoutCurrentName variant;
    variant.Setup();
    EXPECT_EQ(variant.TypedActions().size(), 28);
    EXPECT_EQ(variant.waCurrentFileName, nullptr);
    const QString a = File(QStringLiteral("a.avi"));
    variant.waOpenFile->SetValue(a);
    EXPECT_EQ(variant.CurrentFileName(), a);
    EXPECT_EQ(variant.State(), fsNamed);
    EXPECT_EQ(variant.RecentFiles().constFirst(), a);
    EXPECT_EQ(variant.naRecent[0]->Caption(), QStringLiteral("1 .../"));
}

// --- preferences

class FichierManPrefs : public FichierMan {
protected:
    TTestConfigHome home;
    TDravikPreferences gp;
    void SetUp() override
    {
        FichierMan::SetUp();
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
        gp.ApplyMode(spPortable);
    }
    void Save(TFichierMan& aMan)
    {
        gp.OpenSection(QStringLiteral("ShowForm"));
        aMan.SaveToPrefs(gp);
        gp.CloseSection();
        gp.ApplyMode(spPortable);
    }
    // A second manager, as at the next start, loading what was saved.
    std::unique_ptr<TTestFichierMan> Load()
    {
        auto second = std::make_unique<TTestFichierMan>();
        second->Setup();
        second->SetQuestions(&questions);
        second->ExistingOnly = true;
        second->OnOpenFile = [this](const QString& n) {
            opened << n;
            return true;
        };
        gp.OpenSection(QStringLiteral("ShowForm"));
        second->LoadFromPrefs(gp);
        gp.CloseSection();
        return second;
    }
};

TEST_F(FichierManPrefs, LastFileReopensAtLoadWhenOn)
{
    const QString a = File(QStringLiteral("a.avi"));
    const QString b = File(QStringLiteral("b.avi"));
    fm->SetRecentLength(50);
    fm->OpenFile(b);
    fm->OpenFile(a);
    fm->baOpenLastFile->SetValue(true);
    Save(*fm);
    const auto second = Load();
    EXPECT_EQ(opened, QStringList{a});
    EXPECT_EQ(second->CurrentFileName(), a);
    EXPECT_EQ(second->State(), fsNamed);
    EXPECT_EQ(second->RecentFiles().mid(0, 3), (QStringList{a, b, QString()}));
    EXPECT_TRUE(second->naRecent[1]->Visible());
    EXPECT_FALSE(second->naRecent[2]->Visible());
}

TEST_F(FichierManPrefs, LastFileStaysClosedWhenOff)
{
    const QString a = File(QStringLiteral("a.avi"));
    fm->OpenFile(a);
    fm->baOpenLastFile->SetValue(true);
    fm->baOpenLastFile->SetValue(false); // a change from a menu opens nothing
    Save(*fm);
    const auto second = Load();
    EXPECT_TRUE(opened.isEmpty());
    // The name is restored all the same (the current-name rule).
    EXPECT_EQ(second->CurrentFileName(), a);
    // Turning it on later does not reopen either.
    second->baOpenLastFile->SetValue(true);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(FichierManPrefs, LastFileReopensByDefault)
{
    const QString a = File(QStringLiteral("a.avi"));
    gp.OpenSection(QStringLiteral("ShowForm"));
    gp.WriteString(QStringLiteral("CurrentFileName"), a);
    gp.CloseSection();
    gp.ApplyMode(spPortable);
    const auto second = Load();
    EXPECT_EQ(opened, QStringList{a});
}

TEST_F(FichierManPrefs, NothingToReopenWhenNoFileWasOpenOrItIsGone)
{
    TBatchRun::SetActive(true);
    Save(*fm); // never opened a file: the new-file marker is stored
    Load();
    const QString gone = File(QStringLiteral("gone.avi"));
    fm->OpenFile(gone);
    Save(*fm);
    QFile::remove(gone);
    Load();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(TBatchRun::ExitStatus(), 0);
    TBatchRun::SetActive(false);
    TBatchRun::Reset();
}

TEST_F(FichierManPrefs, SavingWithOpenLastFileSavesTheDocument)
{
    ConnectAll(true);
    const QString a = File(QStringLiteral("a.txt"));
    fm->OpenFile(a);
    fm->baOpenLastFile->SetValue(true);
    Save(*fm);
    EXPECT_EQ(saved, QStringList{a});
}

TEST_F(FichierManPrefs, InitialFolderIsRestored)
{
    fm->waInitialDir->SetValue(dir.path());
    Save(*fm);
    const auto second = Load();
    EXPECT_EQ(second->InitialDir(), dir.path());
}

} // namespace
