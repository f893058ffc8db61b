#pragma once

#include "files/TUserQuestions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

// Answers questions and dialogs from a script, and keeps what was asked. A question or dialog
// without a scripted answer fails the test and is cancelled.
class TFakeQuestions : public TUserQuestions {
public:
    QList<TQuestion> Asked;
    QList<TAnswer> Answers;

    // "open", "save" for the file dialogs, with their requests as handed over.
    QStringList DialogKinds;
    QList<TFileDialogRequest> FileRequests;
    QList<std::optional<QString>> FileAnswers; // nullopt: cancelled

    QList<TFolderDialogRequest> FolderRequests;
    QList<std::optional<QString>> FolderAnswers;

    TAnswer Ask(QWidget*, const TQuestion& aQuestion) override
    {
        Asked << aQuestion;
        if (aQuestion.Buttons == TQuestionButtons::Ok)
            return TAnswer::Yes; // a notice: nothing to answer
        if (Answers.isEmpty()) {
            ADD_FAILURE() << "question sans réponse prévue : " << aQuestion.Text.toStdString();
            return TAnswer::Cancel;
        }
        return Answers.takeFirst();
    }

    bool AskOpenFile(QWidget*, TFileDialogRequest& aRequest) override
    {
        return File(QStringLiteral("open"), aRequest);
    }

    bool AskSaveFile(QWidget*, TFileDialogRequest& aRequest) override
    {
        return File(QStringLiteral("save"), aRequest);
    }

    bool AskFolder(QWidget*, TFolderDialogRequest& aRequest) override
    {
        FolderRequests << aRequest;
        if (FolderAnswers.isEmpty()) {
            ADD_FAILURE() << "dialogue de dossier sans réponse prévue";
            return false;
        }
        const std::optional<QString> answer = FolderAnswers.takeFirst();
        if (!answer)
            return false;
        aRequest.Folder = *answer;
        return true;
    }

private:
    bool File(const QString& aKind, TFileDialogRequest& aRequest)
    {
        DialogKinds << aKind;
        FileRequests << aRequest;
        if (FileAnswers.isEmpty()) {
            ADD_FAILURE() << "dialogue de fichier sans réponse prévue : "
                          << aRequest.Title.toStdString();
            return false;
        }
        const std::optional<QString> answer = FileAnswers.takeFirst();
        if (!answer)
            return false;
        aRequest.FileName = *answer;
        return true;
    }
};
