#include "files/TPathEdit.h"

#include "files/FileNames.h"
#include "files/TUserQuestions.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

TWideDialogEdit::TWideDialogEdit(QWidget* aParent)
    : QFrame(aParent)
    , m_edit(new QLineEdit(this))
    , m_button(new QPushButton(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    SetBorderStyle(bsSingle);
    m_edit->setReadOnly(true);
    m_edit->setFrame(false);
    m_edit->setGeometry(0, 1, m_edit->width(), 19);
    // The picture of the program's "ouvrir" button.
    m_button->setIcon(QIcon::fromTheme(QStringLiteral("document-open"),
                                       style()->standardIcon(QStyle::SP_DialogOpenButton)));
    m_button->setIconSize(QSize(14, 14));
    m_button->setFlat(false);
    m_button->setFocusPolicy(Qt::TabFocus);
    m_button->setGeometry(m_button->x(), 1, m_button->width(), 17);
    connect(m_button, &QPushButton::clicked, this, [this] { ButtonClick(); });
    resize(width(), 21);
    LayOut();
}

TWideDialogEdit::~TWideDialogEdit() = default;

QSize TWideDialogEdit::sizeHint() const
{
    return QSize(185, 21);
}

void TWideDialogEdit::SetButtonWidth(int aWidth)
{
    m_buttonWidth = aWidth;
    LayOut();
}

QString TWideDialogEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TWideDialogEdit::SetButtonHint(const QString& aHint)
{
    m_button->setToolTip(aHint);
}

void TWideDialogEdit::SetBorderStyle(TBorderStyle aStyle)
{
    m_borderStyle = aStyle;
    setFrameStyle(aStyle == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

QString TWideDialogEdit::Text() const
{
    return m_edit->text();
}

void TWideDialogEdit::ShowText(const QString& aText)
{
    m_edit->setText(aText);
    m_edit->setCursorPosition(0);
}

TUserQuestions& TWideDialogEdit::Questions() const
{
    return m_questions ? *m_questions : UserQuestions();
}

void TWideDialogEdit::resizeEvent(QResizeEvent* aEvent)
{
    QFrame::resizeEvent(aEvent);
    LayOut();
}

void TWideDialogEdit::LayOut()
{
    const int w = width();
    const int h = height();
    const int left = w - m_buttonWidth - 4;
    m_edit->setGeometry(0, m_edit->y(), std::max(0, left), std::max(0, h - 2));
    m_button->setGeometry(left, m_button->y(), std::max(0, m_buttonWidth), std::max(0, h - 4));
}

TWideDirectoryEdit::TWideDirectoryEdit(QWidget* aParent)
    : TWideDialogEdit(aParent)
{
}

void TWideDirectoryEdit::SetFolder(const QString& aFolder)
{
    m_folder = aFolder;
    ShowText(aFolder);
}

void TWideDirectoryEdit::ButtonClick()
{
    // A folder that is gone is not preselected; the box still shows it.
    if (!QFileInfo(m_folder).isDir())
        m_folder.clear();
    TFolderDialogRequest r;
    r.Title = DialogTitle;
    r.Folder = m_folder;
    r.Root = Root;
    r.CanCreateNew = CanCreateNew;
    if (!Questions().AskFolder(window(), r)) {
        if (OnAbortDialog)
            OnAbortDialog(this, m_folder);
        return;
    }
    QString folder = QDir::fromNativeSeparators(r.Folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    SetFolder(folder);
    if (OnAfterDialog)
        OnAfterDialog(this, m_folder);
}

TWideFileEdit::TWideFileEdit(QWidget* aParent)
    : TWideDialogEdit(aParent)
{
}

void TWideFileEdit::SetFileName(const QString& aFileName)
{
    m_fileName = aFileName;
    ShowText(aFileName);
}

void TWideFileEdit::ButtonClick()
{
    TFileDialogRequest r;
    r.InitialDir = InitialDir;
    r.Title = DialogTitle;
    r.Filter = QtFilterFromWindows(Filter);
    r.FilterIndex = FilterIndex;
    r.MustExist = DialogOptions.testFlag(ofFileMustExist);
    r.DontResolveSymlinks = DialogOptions.testFlag(ofNoDereferenceLinks);
    r.DefaultSuffix = DefaultExt;
    // Not preset from FileName: the dialog keeps what its previous use left.
    r.FileName = m_dialogFileName;
    if (!Questions().AskOpenFile(window(), r)) {
        if (OnAbortDialog)
            OnAbortDialog(this, m_fileName);
        return;
    }
    m_dialogFileName = r.FileName;
    SetFileName(r.FileName);
    if (OnAfterDialog)
        OnAfterDialog(this, m_fileName);
}
