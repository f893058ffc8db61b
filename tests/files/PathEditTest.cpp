#include "FakeQuestions.h"

#include "files/TPathEdit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct TEventLog {
    QStringList After;
    QStringList Abort;
    void Connect(TWideDialogEdit& aEdit)
    {
        aEdit.OnAfterDialog = [this, &aEdit](QObject* sender, const QString& name) {
            EXPECT_EQ(sender, &aEdit);
            After << name;
        };
        aEdit.OnAbortDialog = [this, &aEdit](QObject* sender, const QString& name) {
            EXPECT_EQ(sender, &aEdit);
            Abort << name;
        };
    }
};

TEST(PathEdit, LayoutFollowsTheWidthAndTheButtonWidth)
{
    TWideDirectoryEdit box;
    EXPECT_EQ(box.height(), 21);
    EXPECT_EQ(box.ButtonWidth(), 21);
    EXPECT_TRUE(box.Edit()->isReadOnly());
    EXPECT_FALSE(box.Edit()->hasFrame());
    box.resize(241, 21);
    box.show(); // a hidden widget gets its resize event when shown
    EXPECT_EQ(box.Button()->geometry(), QRect(216, 1, 21, 17));
    EXPECT_EQ(box.Edit()->geometry(), QRect(0, 1, 216, 19));
    box.SetButtonWidth(30);
    EXPECT_EQ(box.Button()->geometry(), QRect(207, 1, 30, 17));
    EXPECT_EQ(box.Edit()->width(), 207);
    box.SetButtonHint(QStringLiteral("Choisir le dossier"));
    EXPECT_EQ(box.ButtonHint(), QStringLiteral("Choisir le dossier"));
    EXPECT_EQ(box.Button()->toolTip(), QStringLiteral("Choisir le dossier"));
}

TEST(PathEdit, TypingDoesNotChangeThePath)
{
    TWideFileEdit box;
    box.SetFileName(QStringLiteral("/tmp/a.txt"));
    box.Edit()->setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(box.Edit(), &key); // refused: read-only
    EXPECT_EQ(box.Text(), QStringLiteral("/tmp/a.txt"));
    EXPECT_EQ(box.FileName(), QStringLiteral("/tmp/a.txt"));
}

TEST(PathEdit, FolderBoxBrowsesThroughTheQuestions)
{
    QTemporaryDir dir;
    TFakeQuestions questions;
    TWideDirectoryEdit box;
    box.SetQuestions(&questions);
    TEventLog log;
    log.Connect(box);
    box.DialogTitle = QStringLiteral("Dossier des images");
    box.SetFolder(dir.path());

    // Confirmed: the folder gets one "/" at the end.
    const QString chosen = dir.filePath(QStringLiteral("images été"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    questions.FolderAnswers << chosen;
    box.Button()->click();
    ASSERT_EQ(questions.FolderRequests.size(), 1);
    EXPECT_EQ(questions.FolderRequests[0].Title, QStringLiteral("Dossier des images"));
    EXPECT_EQ(questions.FolderRequests[0].Folder, dir.path());
    EXPECT_FALSE(questions.FolderRequests[0].CanCreateNew);
    EXPECT_EQ(box.Folder(), chosen + u'/');
    EXPECT_EQ(box.Text(), chosen + u'/');
    EXPECT_EQ(log.After, QStringList{chosen + u'/'});

    // The root keeps its single "/".
    questions.FolderAnswers << QStringLiteral("/");
    box.Button()->click();
    EXPECT_EQ(box.Folder(), QStringLiteral("/"));

    // Cancelled: unchanged, and the abort event gets the folder.
    questions.FolderAnswers << std::nullopt;
    box.Button()->click();
    EXPECT_EQ(box.Folder(), QStringLiteral("/"));
    EXPECT_EQ(log.Abort, QStringList{QStringLiteral("/")});
}

TEST(PathEdit, AFolderThatIsGoneIsNotPreselected)
{
    TFakeQuestions questions;
    TWideDirectoryEdit box;
    box.SetQuestions(&questions);
    TEventLog log;
    log.Connect(box);
    box.SetFolder(QStringLiteral("/nulle/part/"));
    questions.FolderAnswers << std::nullopt;
    box.Button()->click();
    ASSERT_EQ(questions.FolderRequests.size(), 1);
    EXPECT_TRUE(questions.FolderRequests[0].Folder.isEmpty());
    EXPECT_TRUE(box.Folder().isEmpty());
    EXPECT_EQ(box.Text(), QStringLiteral("/nulle/part/"));
    EXPECT_EQ(log.Abort, QStringList{QString()});
}

TEST(PathEdit, FileBoxHandsItsSettingsToTheDialog)
{
    TFakeQuestions questions;
    TWideFileEdit box;
    box.SetQuestions(&questions);
    TEventLog log;
    log.Connect(box);
    EXPECT_EQ(box.FilterIndex, 1);
    EXPECT_EQ(box.DialogOptions, TOpenOptions(ofHideReadOnly | ofEnableSizing));
    box.DialogTitle = QStringLiteral("Fichier macro");
    box.Filter = QStringLiteral("Fichiers Macro (*.txt)|*.txt");
    box.DefaultExt = QStringLiteral("txt");
    box.InitialDir = QStringLiteral("/tmp");
    box.DialogOptions |= ofFileMustExist;
    box.SetFileName(QStringLiteral("/tmp/ancien.txt"));

    questions.FileAnswers << QStringLiteral("/tmp/nouveau é.txt");
    box.Button()->click();
    ASSERT_EQ(questions.FileRequests.size(), 1);
    const TFileDialogRequest& r = questions.FileRequests[0];
    EXPECT_EQ(r.Title, QStringLiteral("Fichier macro"));
    EXPECT_EQ(r.Filter, QStringLiteral("Fichiers Macro (*.txt)"));
    EXPECT_EQ(r.DefaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(r.InitialDir, QStringLiteral("/tmp"));
    EXPECT_TRUE(r.MustExist);
    // Not preset from FileName: a fresh dialog has no name.
    EXPECT_TRUE(r.FileName.isEmpty());
    EXPECT_EQ(box.FileName(), QStringLiteral("/tmp/nouveau é.txt"));
    EXPECT_EQ(box.Text(), QStringLiteral("/tmp/nouveau é.txt"));
    EXPECT_EQ(log.After, QStringList{QStringLiteral("/tmp/nouveau é.txt")});

    // The next use starts from what the dialog last chose, whatever FileName says now.
    box.SetFileName(QStringLiteral("/tmp/autre.txt"));
    questions.FileAnswers << std::nullopt;
    box.Button()->click();
    EXPECT_EQ(questions.FileRequests[1].FileName, QStringLiteral("/tmp/nouveau é.txt"));
    // Cancelled: FileName and the box unchanged.
    EXPECT_EQ(box.FileName(), QStringLiteral("/tmp/autre.txt"));
    EXPECT_EQ(box.Text(), QStringLiteral("/tmp/autre.txt"));
    EXPECT_EQ(log.Abort, QStringList{QStringLiteral("/tmp/autre.txt")});
}

} // namespace
