#pragma once

#include <QString>

#include <optional>

class QWidget;

// What the user answered. The buttons read "Oui", "Non", "Annuler" and "Oui à tous".
enum class TAnswer { Yes, No, Cancel, YesToAll };

enum class TQuestionButtons {
    Ok, // a notice: nothing to choose
    YesNo,
    YesNoCancel,
    YesNoCancelYesToAll // the overwrite question of a grab
};

enum class TQuestionIcon { Warning, Question, Information };

struct TQuestion {
    QString Text; // as the Parts give it; "\r\n" line breaks are shown as line breaks
    TQuestionButtons Buttons = TQuestionButtons::YesNo;
    TQuestionIcon Icon = TQuestionIcon::Warning;
    QString Title; // empty: "Tessarine"
    // The answer of a run without anybody at the screen; none: see SafeAnswer.
    std::optional<TAnswer> BatchAnswer;
};

// The batch answer of a question: its own, else No for Yes/No and Cancel for the others, so that
// nothing is overwritten and no run goes on by default.
TAnswer SafeAnswer(const TQuestion& aQuestion);

// An open or save dialog. Filters are in Qt's form (see QtFilterFromWindows).
struct TFileDialogRequest {
    QString Title;
    QString InitialDir;     // the folder shown first; empty: the dialog's own choice
    QString FileName;       // in: the name proposed; out: the file chosen
    QString Filter;         // "Vidéos (*.avi *.mpg);;Tous fichiers (*)"
    int FilterIndex = 1;    // in and out, 1-based as on Windows
    QString DefaultSuffix;  // added to a name typed without an extension; with or without its dot
    bool MustExist = false; // open: only an existing file can be chosen
    bool DontResolveSymlinks = false; // give a link's own name, not its target's
};

// The folder browser.
struct TFolderDialogRequest {
    QString Title;
    QString Folder; // in: the folder selected first (empty: none); out: the folder chosen
    QString Root;   // where browsing starts when nothing is selected; empty: the dialog's choice
    bool CanCreateNew = false; // offer the button that makes a new folder
};

// Every question and dialog of the file layer goes through here, so that tests can answer them.
// The default implementation shows QMessageBox and QFileDialog with French buttons; in a batch run
// (TBatchRun::Active) it shows nothing, notes the question on the standard error and answers the
// safe default (a dialog is cancelled).
class TUserQuestions {
public:
    virtual ~TUserQuestions() = default;

    virtual TAnswer Ask(QWidget* aParent, const TQuestion& aQuestion) = 0;
    // True when the user confirmed; the request then holds the choice.
    virtual bool AskOpenFile(QWidget* aParent, TFileDialogRequest& aRequest) = 0;
    virtual bool AskSaveFile(QWidget* aParent, TFileDialogRequest& aRequest) = 0;
    virtual bool AskFolder(QWidget* aParent, TFolderDialogRequest& aRequest) = 0;

    // The usual forms: a warning with Yes and No (true on Yes), and with Yes, No and Cancel.
    bool YesNo(QWidget* aParent, const QString& aText);
    TAnswer YesNoCancel(QWidget* aParent, const QString& aText);
    // The grab's overwrite question: Yes, No, Cancel and Yes to all.
    TAnswer YesNoCancelYesToAll(QWidget* aParent, const QString& aText);
    // A warning with an OK button.
    void Notice(QWidget* aParent, const QString& aText);
};

// The dialogs and message boxes of the toolkit.
class TDialogQuestions : public TUserQuestions {
public:
    TAnswer Ask(QWidget* aParent, const TQuestion& aQuestion) override;
    bool AskOpenFile(QWidget* aParent, TFileDialogRequest& aRequest) override;
    bool AskSaveFile(QWidget* aParent, TFileDialogRequest& aRequest) override;
    bool AskFolder(QWidget* aParent, TFolderDialogRequest& aRequest) override;

private:
    bool RunFileDialog(QWidget* aParent, TFileDialogRequest& aRequest, bool aSave);
};

// The questions of the program: a TDialogQuestions unless replaced. SetUserQuestions(nullptr)
// puts the default back; it returns the one replaced (not owned).
TUserQuestions& UserQuestions();
TUserQuestions* SetUserQuestions(TUserQuestions* aQuestions);
