#include "ui/THelpForm.h"
#include "ui/TScriptHighlighter.h"

#include "actions/ShortCut.h"
#include "actions/TCustomAbstractAction.h"
#include "actions/TCustomKoActionList.h"
#include "ui/TLinkEdit.h"
#include "ui/TLinkMarkup.h"
#include "ui/TObjetListBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 8;
constexpr int kPagesWidth = 321;

TLinkEdit* Pane(QWidget* aParent, const char* aName, int aPixels, QColor aBack)
{
    auto* e = new TLinkEdit(aParent);
    e->setObjectName(QString::fromLatin1(aName));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(aPixels);
    e->setFont(f);
    e->ResetAttributes();
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, aBack);
    e->setPalette(pal);
    e->setFrameShape(QFrame::NoFrame);
    return e;
}

} // namespace

THelpForm::THelpForm(QWidget* aParent)
    : QWidget(aParent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Aide pour Raccourcis, Script et Macros"));
    resize(800, 520);
    pc = new QTabWidget(this);
    pc->setObjectName(QStringLiteral("pc"));
    pc->setUsesScrollButtons(true);
    connect(pc, &QTabWidget::currentChanged, this, [this] { ShowDetails(); });

    leName = Pane(this, "leName", 23, QColor(0xC0, 0xDC, 0xC0));
    QFont bold = leName->font();
    bold.setBold(true);
    leName->setFont(bold);
    leName->SetFontColor(0xFF0000); // blue, as 0x00BBGGRR
    leName->ResetAttributes();
    leHint = Pane(this, "leHint", 15, palette().color(QPalette::ToolTipBase));
    leSyntaxe = new QPlainTextEdit(this);
    leSyntaxe->setObjectName(QStringLiteral("leSyntaxe"));
    leSyntaxe->setReadOnly(true);
    leSyntaxe->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    leSyntaxe->setFont(fixed);
    // Coloured as in the script editor: the declaration is script text.
    new TScriptHighlighter(leSyntaxe->document());
    leSwitch = Pane(this, "leSwitch", 17, QColor(0xC0, 0xC0, 0xC0));
    leCommentaire = Pane(this, "leCommentaire", 15, palette().color(QPalette::Base));
    QFont italic = leCommentaire->font();
    italic.setItalic(true);
    leCommentaire->setFont(italic);
    leCommentaire->ResetAttributes();

    pmenu = new QMenu(this);
    pmenu->setObjectName(QStringLiteral("pmenu"));
    for (const TSortOrder* order : {&kSortAlpha, &kSortShortcut, &kSortSwitch})
        pmenu->addAction(QString(), this, [this, order] { trier(*order); });
    Layout();
}

THelpForm::~THelpForm() = default;

TObjetListBox* THelpForm::CurrentList() const
{
    QWidget* page = pc->currentWidget();
    return page ? page->findChild<TObjetListBox*>() : nullptr;
}

void THelpForm::AddGroup(const QString& aName, TCustomKoActionList* aList)
{
    const QList<QAction*> items = pmenu->actions();
    const QString captions[] = {QStringLiteral("Ordre alphabétique"),
                                QStringLiteral("Trier par Raccourcis"),
                                QStringLiteral("Trier par Switch")};
    for (int i = 0; i < 3 && i < items.size(); ++i)
        items[i]->setText(captions[i]);
    TObjetListBox* lb = nullptr;
    for (int i = 0; i < pc->count() && !lb; ++i)
        if (pc->tabText(i) == aName)
            lb = pc->widget(i)->findChild<TObjetListBox*>();
    if (!lb) {
        auto* page = new QWidget;
        page->setObjectName(aName);
        lb = new TObjetListBox(page);
        lb->setObjectName(QStringLiteral("lb%1").arg(pc->count() + 1));
        lb->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lb, &QWidget::customContextMenuRequested, this,
                [this, lb](const QPoint& p) { pmenu->popup(lb->viewport()->mapToGlobal(p)); });
        connect(lb, &QListWidget::itemDoubleClicked, this,
                [this, lb](QListWidgetItem* i) { Execute(lb->At(lb->row(i))); });
        lb->OnActiveChange = [this](TAbstractListObjet*) { ShowDetails(); };
        lb->OnCountsChange = [lb](int, int) {
            lb->setToolTip(lb->SelectionText() +
                           QStringLiteral("\nCliquez avec le bouton droit pour trier"));
        };
        auto* fill = new QVBoxLayout(page);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(lb);
        pc->addTab(page, aName);
    }
    if (aList)
        for (TCustomAbstractAction* a : aList->TypedActions())
            lb->Add(std::make_unique<TActionObjet>(a));
    if (lb->Count() > 0) {
        lb->Resort(kSortAlpha);
        lb->setCurrentRow(0);
        ShowDetails();
    }
}

void THelpForm::trier(const TSortOrder& aOrder)
{
    for (TObjetListBox* lb : findChildren<TObjetListBox*>())
        lb->Resort(aOrder);
    ShowDetails();
}

void THelpForm::ShowDetails()
{
    TObjetListBox* lb = CurrentList();
    const auto* entry = lb ? dynamic_cast<TActionObjet*>(lb->Current()) : nullptr;
    if (!entry) {
        for (TLinkEdit* e : {leName, leHint, leSwitch, leCommentaire})
            e->SetRichText(QString());
        leSyntaxe->clear();
        return;
    }
    TCustomAbstractAction* a = entry->Action();
    const TShortCut s = a->ShortCut();
    leName->SetRichText(TLinkMarkup::Escape(a->ScriptName) +
                        QStringLiteral("    <size 12><color Black>") +
                        (s == scNone ? QString() : TLinkMarkup::Escape(ShortCutToText(s))) +
                        QStringLiteral("</color></size>"));
    leHint->SetRichText(TLinkMarkup::Escape(a->Hint()));
    leSyntaxe->setPlainText(a->ScriptDeclaration());
    const QString syntax = a->Switch.isEmpty() ? QStringLiteral(" N/A ") : a->SwitchSyntax();
    leSwitch->SetRichText(QStringLiteral("<i>Switch:    </i><B><color Navy><size 10>") +
                          TLinkMarkup::Escape(syntax) + QStringLiteral("</size></color></B>"));
    leCommentaire->SetRichText(TLinkMarkup::Escape(a->Comments.join(QStringLiteral("\r\n"))));
}

void THelpForm::Execute(TAbstractListObjet* aEntry)
{
    // A script waiting under the window (a seek, an open, an interval run) is not re-entered.
    if (Busy && Busy())
        return;
    const auto* entry = dynamic_cast<TActionObjet*>(aEntry);
    QAction* item = entry ? entry->Action()->Action() : nullptr;
    if (item && item->isEnabled())
        item->trigger();
}

void THelpForm::Layout()
{
    const int w = width();
    const int h = height();
    pc->setGeometry(0, 0, kPagesWidth, qMax(0, h - kMargin));
    const int left = kPagesWidth + kMargin;
    const int paneWidth = qMax(0, w - left - kMargin);
    const int lineHeight = leSyntaxe->fontMetrics().lineSpacing();
    int y = kMargin;
    const auto place = [&](QWidget* aPane, int aHeight) {
        aPane->setGeometry(left, y, paneWidth, aHeight);
        y += aHeight + kMargin;
    };
    place(leName, 40);
    place(leHint, 48);
    place(leSyntaxe, 2 * lineHeight + 12);
    place(leSwitch, 32);
    leCommentaire->setGeometry(left, y, paneWidth, qMax(0, h - kMargin - y));
}

void THelpForm::resizeEvent(QResizeEvent* aEvent)
{
    QWidget::resizeEvent(aEvent);
    Layout();
}

void THelpForm::showEvent(QShowEvent* aEvent)
{
    QWidget::showEvent(aEvent);
    ShowDetails();
}

void THelpForm::closeEvent(QCloseEvent* aEvent)
{
    QWidget::closeEvent(aEvent);
    if (aEvent->isAccepted() && OnClosed)
        OnClosed();
}
