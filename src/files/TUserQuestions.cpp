#include "files/TUserQuestions.h"

#include "base/TBatchRun.h"
#include "files/FileNames.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

TUserQuestions* g_questions = nullptr;

QString AnswerText(TAnswer aAnswer)
{
    switch (aAnswer) {
    case TAnswer::Yes:
        return QStringLiteral("Oui");
    case TAnswer::No:
        return QStringLiteral("Non");
    case TAnswer::Cancel:
        return QStringLiteral("Annuler");
    case TAnswer::YesToAll:
        return QStringLiteral("Oui à tous");
    }
    return QString();
}

QString Shown(const QString& aText)
{
    QString text = aText;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The labels of Qt's own dialog; a native dialog has its own.
void FrenchLabels(QFileDialog& aDialog, bool aSave)
{
    aDialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Regarder dans :"));
    aDialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nom du fichier :"));
    aDialog.setLabelText(QFileDialog::FileType, QStringLiteral("Type de fichier :"));
    aDialog.setLabelText(QFileDialog::Accept,
                         aSave ? QStringLiteral("Enregistrer") : QStringLiteral("Ouvrir"));
    aDialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
}

void NoteBatch(const QString& aWhat, const QString& aAnswer)
{
    TBatchRun::Note(QStringLiteral("sans fenêtre, pas de question : ") + Shown(aWhat) +
                    QStringLiteral(" (réponse : ") + aAnswer + u')');
}

} // namespace

TAnswer SafeAnswer(const TQuestion& aQuestion)
{
    if (aQuestion.BatchAnswer)
        return *aQuestion.BatchAnswer;
    return aQuestion.Buttons == TQuestionButtons::YesNo ? TAnswer::No : TAnswer::Cancel;
}

void TUserQuestions::Notice(QWidget* aParent, const QString& aText)
{
    TQuestion q;
    q.Text = aText;
    q.Buttons = TQuestionButtons::Ok;
    q.BatchAnswer = TAnswer::Yes;
    Ask(aParent, q);
}

bool TUserQuestions::YesNo(QWidget* aParent, const QString& aText)
{
    TQuestion q;
    q.Text = aText;
    return Ask(aParent, q) == TAnswer::Yes;
}

TAnswer TUserQuestions::YesNoCancel(QWidget* aParent, const QString& aText)
{
    TQuestion q;
    q.Text = aText;
    q.Buttons = TQuestionButtons::YesNoCancel;
    return Ask(aParent, q);
}

TAnswer TUserQuestions::YesNoCancelYesToAll(QWidget* aParent, const QString& aText)
{
    TQuestion q;
    q.Text = aText;
    q.Buttons = TQuestionButtons::YesNoCancelYesToAll;
    return Ask(aParent, q);
}

TAnswer TDialogQuestions::Ask(QWidget* aParent, const TQuestion& aQuestion)
{
    if (TBatchRun::Active()) {
        const TAnswer answer = SafeAnswer(aQuestion);
        NoteBatch(aQuestion.Text, AnswerText(answer));
        return answer;
    }
    QMessageBox::Icon icon = QMessageBox::Warning;
    if (aQuestion.Icon == TQuestionIcon::Question)
        icon = QMessageBox::Question;
    else if (aQuestion.Icon == TQuestionIcon::Information)
        icon = QMessageBox::Information;
    QMessageBox box(icon, aQuestion.Title.isEmpty() ? QStringLiteral("Tessarine") : aQuestion.Title,
                    Shown(aQuestion.Text), QMessageBox::NoButton, aParent);
    if (aQuestion.Buttons == TQuestionButtons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return TAnswer::Yes;
    }
    QPushButton* yes = box.addButton(AnswerText(TAnswer::Yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(AnswerText(TAnswer::No), QMessageBox::NoRole);
    QPushButton* cancel = nullptr;
    QPushButton* yesToAll = nullptr;
    if (aQuestion.Buttons != TQuestionButtons::YesNo)
        cancel = box.addButton(AnswerText(TAnswer::Cancel), QMessageBox::RejectRole);
    if (aQuestion.Buttons == TQuestionButtons::YesNoCancelYesToAll)
        yesToAll = box.addButton(AnswerText(TAnswer::YesToAll), QMessageBox::AcceptRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel ? cancel : no);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == yes)
        return TAnswer::Yes;
    if (clicked && clicked == yesToAll)
        return TAnswer::YesToAll;
    if (clicked && clicked == cancel)
        return TAnswer::Cancel;
    if (clicked == no || !cancel)
        return TAnswer::No;
    return TAnswer::Cancel;
}

bool TDialogQuestions::AskOpenFile(QWidget* aParent, TFileDialogRequest& aRequest)
{
    return RunFileDialog(aParent, aRequest, false);
}

bool TDialogQuestions::AskSaveFile(QWidget* aParent, TFileDialogRequest& aRequest)
{
    return RunFileDialog(aParent, aRequest, true);
}

bool TDialogQuestions::RunFileDialog(QWidget* aParent, TFileDialogRequest& r, bool aSave)
{
    if (TBatchRun::Active()) {
        NoteBatch(r.Title, QStringLiteral("Annuler"));
        return false;
    }
    QFileDialog dialog(aParent, r.Title, r.InitialDir);
    dialog.setAcceptMode(aSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!aSave && r.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QFileDialog::Options options;
    // The file managers ask their own overwrite question, in French and by their own rule.
    if (aSave)
        options |= QFileDialog::DontConfirmOverwrite;
    if (r.DontResolveSymlinks)
        options |= QFileDialog::DontResolveSymlinks;
    dialog.setOptions(options);
    FrenchLabels(dialog, aSave);
    if (!r.Filter.isEmpty()) {
        dialog.setNameFilters(r.Filter.split(QStringLiteral(";;")));
        dialog.selectNameFilter(QtFilterEntry(r.Filter, r.FilterIndex));
    }
    if (!r.DefaultSuffix.isEmpty())
        dialog.setDefaultSuffix(r.DefaultSuffix);
    if (!r.FileName.isEmpty())
        dialog.selectFile(r.FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return false;
    r.FileName = chosen;
    if (!r.Filter.isEmpty())
        r.FilterIndex = QtFilterIndex(r.Filter, dialog.selectedNameFilter());
    return true;
}

bool TDialogQuestions::AskFolder(QWidget* aParent, TFolderDialogRequest& r)
{
    if (TBatchRun::Active()) {
        NoteBatch(r.Title, QStringLiteral("Annuler"));
        return false;
    }
    QFileDialog dialog(aParent, r.Title, r.Folder.isEmpty() ? r.Root : r.Folder);
    dialog.setFileMode(QFileDialog::Directory);
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    // A read-only dialog has no button that makes a folder.
    if (!r.CanCreateNew)
        options |= QFileDialog::ReadOnly;
    dialog.setOptions(options);
    FrenchLabels(dialog, false);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choisir"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return false;
    r.Folder = chosen;
    return true;
}

TUserQuestions& UserQuestions()
{
    static TDialogQuestions dialogs;
    return g_questions ? *g_questions : dialogs;
}

TUserQuestions* SetUserQuestions(TUserQuestions* aQuestions)
{
    return std::exchange(g_questions, aQuestions);
}
