#include "ui/TScriptForm.h"

#include "actions/ActionTable.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TImageList.h"
#include "actions/TKoScript.h"
#include "actions/TMacroCommands.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "base/TBatchRun.h"
#include "base/TextDecoding.h"
#include "files/TMonoFichierMan.h"
#include "prefs/TDravikPreferences.h"
#include "prefs/TIniPreferencesMan.h"
#include "ui/ScriptFormActions.h"
#include "ui/TKoAppliMan.h"
#include "ui/TScriptEditor.h"
#include "ui/TScriptHighlighter.h"
#include "ui/UserMessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QToolButton>

#include <cstdio>

namespace {

// A script bigger than this is not a script: the editor would stall on it.
constexpr qint64 kMaxScriptBytes = 16 * 1024 * 1024;

QString ScriptFilter()
{
    return QStringLiteral("Fichiers Macro (*.txt)|*.txt");
}

} // namespace

TScriptForm::TScriptForm(QWidget* aParent)
    : QWidget(aParent, Qt::Window)
{
    setObjectName(QStringLiteral("ScriptForm"));
    setWindowTitle(QStringLiteral("Script"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Active, QPalette::Highlight));
    setPalette(pal);
    resize(800, 560);

    Images = new TImageList(this);
    Editor = new TScriptEditor(this);
    Editor->SetLines(Template());
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));

    KoScript = new TKoScript(this);
    KoScript->setObjectName(QStringLiteral("KoScript"));
    al_script = new TKoActionList(this);
    al_script->setObjectName(QStringLiteral("al_script"));
    al_script->SetImages(Images);
    CreateActions(ScriptFormActionRows(), al_script);
    ficman_script = new TMonoFichierMan(this);
    ficman_script->setObjectName(QStringLiteral("ficman_script"));
    ficman_script->SetFilter(ScriptFilter());
    ficman_script->DefaultExtension = QStringLiteral(".txt");
    ficman_script->NewFileName = QStringLiteral("Macro");
    ficman_script->NoFileName = QStringLiteral("Aucun fichier");
    ficman_script->IncludePath = false;
    ficman_script->ExistingOnly = true;
    ficman_script->DeleteExisting = ctAskif;
    ficman_script->SaveType = ctAskif;
    ficman_script->SetRecentLength(10);
    ficman_script->SetDialogParent(this);
    // Its lines could not run: the engine does not know its procedures.
    ficman_script->Recorded = false;
    ficman_script->Setup();
    ficman_script->SetImages(Images);
    ficman_script->waOpenFile->SetImageIndex(0);
    ficman_script->waSaveFileAs->SetImageIndex(1);
    ficman_script->naCloseFile->SetImageIndex(6);

    KoScript->OnShowMessage = [this](const QString& aText) {
        if (TBatchRun::Active())
            std::fprintf(stdout, "%s\n", aText.toLocal8Bit().constData());
        else
            QMessageBox::information(isVisible() ? this : parentWidget(),
                                     QStringLiteral("Tessarine"), aText);
    };
    m_macros = std::make_unique<TMacroCommands>(
        *KoScript, *Editor, [this] { Memo->clear(); },
        [this](const QStringList& aLines) {
            for (const QString& line : aLines)
                Memo->appendPlainText(line);
        });

    GroupBox1 = new QGroupBox(QStringLiteral("Macros"), Panel);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(16, 8, kButtonWidth + 16, 97);
    BindActions();
    BitBtn1 = MakeButton(GroupBox1, naStartMacro, QPoint(8, 20));
    BitBtn2 = MakeButton(GroupBox1, naStopMacro, QPoint(8, 57));
    HelpBtn = MakeButton(Panel, naHelpMacro, QPoint(24, 144));
    ClearBtn =
        MakeButton(Panel, ficman_script->naCloseFile, QPoint(24, 184), QStringLiteral("Nouveau"));
    LoadBtn = MakeButton(Panel, ficman_script->waOpenFile, QPoint(24, 216));
    SaveBtn = MakeButton(Panel, ficman_script->waSaveFileAs, QPoint(24, 248),
                         QStringLiteral("Enregistrer"));
    ExecuteBtn = MakeButton(Panel, naExecuteMacro, QPoint(24, 320));
    for (auto [button, name] : {std::pair{BitBtn1, "BitBtn1"},
                                {BitBtn2, "BitBtn2"},
                                {HelpBtn, "HelpBtn"},
                                {ClearBtn, "ClearBtn"},
                                {LoadBtn, "LoadBtn"},
                                {SaveBtn, "SaveBtn"},
                                {ExecuteBtn, "ExecuteBtn"}})
        button->setObjectName(QString::fromLatin1(name));
    FileLab = new QLabel(Panel);
    FileLab->setObjectName(QStringLiteral("FileLab"));
    FileLab->setGeometry(8, 364, kPanelWidth - 16, 48);
    FileLab->setWordWrap(true);
    FileLab->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette labelPal = FileLab->palette();
    labelPal.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
    FileLab->setPalette(labelPal);
    GroupBox1->setPalette(labelPal);
    ficman_script->SetFileLabel(FileLab);
    BindFiles();
    ShowRecording();

    // The window's own keys; the main window's others are shared by the host.
    for (TCustomKoActionList* list : {static_cast<TCustomKoActionList*>(al_script),
                                      static_cast<TCustomKoActionList*>(ficman_script)})
        for (TCustomAbstractAction* a : list->TypedActions())
            addAction(a->Action());
    Layout();
}

TScriptForm::~TScriptForm()
{
    if (Recording())
        m_macros->StopMacro();
}

QStringList TScriptForm::Template()
{
    return {QStringLiteral("//Ecrivez un script entre begin et end."),
            QStringLiteral("//N'oubliez pas de finir chaque commande par ;"),
            QStringLiteral("begin"), QString(), QStringLiteral("end.")};
}

TScriptFormLayout TScriptForm::ComputeLayout(QSize aClient)
{
    TScriptFormLayout l;
    const int width = qMax(0, aClient.width() - kPanelWidth - 8);
    l.Editor = QRect(8, 8, width, qMax(0, aClient.height() - kMemoHeight - 24));
    const int memoTop = aClient.height() - 8 - kMemoHeight;
    l.Memo = QRect(8, memoTop, width, kMemoHeight);
    l.Panel = QRect(aClient.width() - kPanelWidth, 0, kPanelWidth, qMax(0, memoTop));
    return l;
}

void TScriptForm::Layout()
{
    const TScriptFormLayout l = ComputeLayout(size());
    Editor->setGeometry(l.Editor);
    Memo->setGeometry(l.Memo);
    Panel->setGeometry(l.Panel);
}

void TScriptForm::resizeEvent(QResizeEvent* aEvent)
{
    QWidget::resizeEvent(aEvent);
    Layout();
}

void TScriptForm::closeEvent(QCloseEvent* aEvent)
{
    QWidget::closeEvent(aEvent);
    if (aEvent->isAccepted() && OnClosed)
        OnClosed();
}

QToolButton* TScriptForm::MakeButton(QWidget* aParent, TCustomAbstractAction* aAction, QPoint aAt,
                                     const QString& aCaption)
{
    // A fixed caption: "Enregistrer" runs "Enregistrer sous...".
    auto* b = new QToolButton(aParent);
    b->setGeometry(QRect(aAt, QSize(kButtonWidth, kButtonHeight)));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setIconSize(QSize(22, 22));
    b->setText(aCaption.isEmpty() ? aAction->Caption() : aCaption);
    QAction* action = aAction->Action();
    const auto follow = [b, action] {
        b->setIcon(action->icon());
        b->setToolTip(action->toolTip());
        b->setEnabled(action->isEnabled());
    };
    follow();
    connect(action, &QAction::changed, b, follow);
    connect(b, &QToolButton::clicked, action, [action] { action->trigger(); });
    return b;
}

void TScriptForm::BindActions()
{
    raScriptFormSave = al_script->Get<TRectAction>(QStringLiteral("raScriptFormSave"));
    naExecuteMacro = al_script->Get<TNopeAction>(QStringLiteral("naExecuteMacro"));
    naStartMacro = al_script->Get<TNopeAction>(QStringLiteral("naStartMacro"));
    naStopMacro = al_script->Get<TNopeAction>(QStringLiteral("naStopMacro"));
    naHelpMacro = al_script->Get<TNopeAction>(QStringLiteral("naHelpMacro"));
    saLines = al_script->Get<TStringAction>(QStringLiteral("saLines"));

    raScriptFormSave->OnInternalBeforeSave = [this](TRect& aValue) {
        aValue = TKoAppliMan::BoundsOf(geometry());
        return true;
    };
    raScriptFormSave->OnInternalApply = [this](const TRect& aValue) {
        TKoAppliMan::PlaceWindow(this, aValue, raScriptFormSave->DefaultValue);
    };
    naExecuteMacro->OnInternalApply = [this] { ExecuteMacro(); };
    naStartMacro->OnInternalApply = [this] { StartMacro(); };
    naStopMacro->OnInternalApply = [this] { StopMacro(); };
    saLines->OnInternalApply = [this](const QByteArray& aValue) {
        const QStringList lines =
            QString::fromUtf8(aValue).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
        Editor->SetLines(lines);
        // The text of the last session is not in any file: losing it must be asked about.
        ficman_script->SetModified(lines != Template() &&
                                   lines != QStringList{QString::fromUtf8(saLines->DefaultValue)});
    };
    saLines->OnInternalBeforeSave = [this](QByteArray& aValue) {
        aValue = Editor->Lines().join(QStringLiteral("\r\n")).toUtf8();
        return true;
    };
}

void TScriptForm::BindFiles()
{
    ficman_script->OnOpenFile = [this](const QString& aName) { return ReadScript(aName); };
    ficman_script->OnSaveFile = [this](const QString& aName) { return WriteScript(aName); };
    ficman_script->OnCloseFile = [this](const QString&) {
        Editor->SetLines(Template());
        KoScript->FileName.clear();
    };
    ficman_script->OnBeforeChange = [this] {
        if (Recording())
            StopMacro();
    };
    ficman_script->OnModifiedChanged = [this](bool aModified) {
        Editor->document()->setModified(aModified);
    };
    connect(Editor->document(), &QTextDocument::modificationChanged, this,
            [this](bool aModified) { ficman_script->SetModified(aModified); });
}

bool TScriptForm::ReadScript(const QString& aFileName)
{
    QFile f(aFileName);
    const auto refuse = [&](const QString& aWhy) {
        WarnUser(this,
                 QStringLiteral("Impossible de lire le fichier %1 :\n%2").arg(aFileName, aWhy));
        return false;
    };
    if (!f.open(QIODevice::ReadOnly))
        return refuse(f.errorString());
    if (f.size() > kMaxScriptBytes) {
        WarnUser(this,
                 QStringLiteral("Le fichier %1 est trop grand pour un script.").arg(aFileName));
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return refuse(f.errorString());
    // The ini files' reader: any line end, the last one ending the last line.
    Editor->SetLines(TIniPreferencesMan::SplitLines(DecodeText(bytes)));
    KoScript->FileName = aFileName; // {$I} looks beside it
    return true;
}

bool TScriptForm::WriteScript(const QString& aFileName)
{
    QSaveFile f(aFileName);
    const QByteArray bytes = (Editor->Lines().join(u'\n') + u'\n').toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        WarnUser(this, QStringLiteral("Impossible d'écrire le fichier %1 :\n%2")
                           .arg(aFileName, f.errorString()));
        return false; // the old file stays whole
    }
    KoScript->FileName = aFileName;
    return true;
}

void TScriptForm::ShowScript()
{
    if (!Recording())
        ficman_script->CloseFile();
    ficman_script->SetFilter(ScriptFilter());
    Editor->Highlighter()->SetRoutineNames(KoScript->Engine().RoutineNames());
    show();
    raise();
    activateWindow();
}

void TScriptForm::HideScript()
{
    hide();
}

void TScriptForm::ExecuteMacro()
{
    m_macros->ExecuteMacro();
}

bool TScriptForm::Recording() const
{
    return m_macros->Recording();
}

void TScriptForm::StartMacro()
{
    if (Recording())
        return;
    // A recording replaces the document: the close question comes first, and the name goes.
    ficman_script->CloseFile();
    if (ficman_script->Modified())
        return; // the user kept the document
    m_macros->StartMacro();
    ShowRecording();
}

void TScriptForm::StopMacro()
{
    m_macros->StopMacro();
    ShowRecording();
}

void TScriptForm::ShowRecording()
{
    naStartMacro->SetEnabled(!Recording());
    naStopMacro->SetEnabled(Recording());
}

void TScriptForm::LoadPrefs(TDravikPreferences& aPrefs)
{
    aPrefs.OpenSection(objectName());
    ficman_script->LoadFromPrefs(aPrefs);
    al_script->LoadFromPrefs(aPrefs);
    aPrefs.CloseSection();
}

void TScriptForm::SavePrefs(TDravikPreferences& aPrefs)
{
    aPrefs.OpenSection(objectName());
    al_script->SaveToPrefs(aPrefs);
    ficman_script->SaveToPrefs(aPrefs);
    aPrefs.CloseSection();
}
