#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TNopeAction.h"
#include "ui/THelpForm.h"
#include "ui/TLinkEdit.h"
#include "ui/TObjetListBox.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TAbstractListObjet> Entry(const QString& aKey, const QString& aText = {})
{
    auto e = std::make_unique<TAbstractListObjet>();
    e->AlphaKey = aKey;
    e->Text = aText.isEmpty() ? aKey : aText;
    return e;
}

QStringList Shown(const TObjetListBox& aList)
{
    QStringList out;
    for (int i = 0; i < aList.count(); ++i)
        out << aList.item(i)->text();
    return out;
}

void Press(QWidget* aWidget, int aKey, Qt::KeyboardModifiers aMods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, aKey, aMods);
    QCoreApplication::sendEvent(aWidget, &e);
}

struct TActions {
    TCustomKoActionList list;
    TNopeAction* Command(const char* aName, int aKey, const char* aSwitch)
    {
        auto* a = TCustomAbstractAction::CreateInternal<TNopeAction>(
            QStringLiteral("na%1").arg(QLatin1String(aName)), &list);
        a->ScriptName = QString::fromLatin1(aName);
        a->SetShortCut(TShortCut(aKey));
        a->Switch = QString::fromLatin1(aSwitch);
        return a;
    }
};

} // namespace

TEST(ObjetListBox, KeysWithoutCaseOneEntryPerKeyAndTheCurrentOneFollowed)
{
    TObjetListBox lb;
    int counts = 0;
    lb.OnCountsChange = [&](int, int aCount) { counts = aCount; };
    std::vector<TAbstractListObjet*> active;
    lb.OnActiveChange = [&](TAbstractListObjet* e) { active.push_back(e); };
    lb.Add(Entry(QStringLiteral("mid")));
    EXPECT_EQ(lb.currentRow(), 0); // the only entry is current
    TAbstractListObjet* mid = lb.Current();
    lb.Add(Entry(QStringLiteral("Alpha")));
    lb.Add(Entry(QStringLiteral("zulu")));
    lb.Add(Entry(QStringLiteral("beta")));
    EXPECT_EQ(Shown(lb), QStringList({QStringLiteral("Alpha"), QStringLiteral("beta"),
                                      QStringLiteral("mid"), QStringLiteral("zulu")}));
    EXPECT_EQ(lb.Current(), mid); // inserted before it: it moved down with its row
    EXPECT_EQ(counts, 4);
    // The same key in another case: the later entry takes the place.
    lb.Add(Entry(QStringLiteral("ALPHA"), QStringLiteral("second")));
    EXPECT_EQ(Shown(lb), QStringList({QStringLiteral("second"), QStringLiteral("beta"),
                                      QStringLiteral("mid"), QStringLiteral("zulu")}));
    lb.OnAccept = [](const TAbstractListObjet& e) { return !e.AlphaKey.startsWith(u'x'); };
    lb.Add(Entry(QStringLiteral("xray")));
    EXPECT_EQ(lb.Count(), 4);
    EXPECT_EQ(lb.SelectionText(), QStringLiteral("un item sélectionné sur 4"));
    lb.clearSelection();
    lb.item(0)->setSelected(true);
    lb.item(3)->setSelected(true);
    EXPECT_EQ(lb.SelectionText(), QStringLiteral("2 items sélectionnés sur 4"));
    // Any other order has no key: everything collapses into one entry, the last.
    lb.Resort(kSortSwitch);
    EXPECT_EQ(lb.Count(), 1);
    ASSERT_FALSE(active.empty());
    EXPECT_EQ(active.front(), mid);
}

TEST(ObjetListBox, DeleteRemovesTheSelectionOnlyWhenAllowed)
{
    TObjetListBox lb;
    for (const char* k : {"a", "b", "c", "d", "e"})
        lb.Add(Entry(QString::fromLatin1(k)));
    lb.setCurrentRow(2);
    lb.clearSelection();
    lb.item(2)->setSelected(true);
    lb.item(3)->setSelected(true);
    Press(&lb, Qt::Key_Delete);
    EXPECT_EQ(lb.Count(), 5); // KeyDelete is off
    lb.KeyDelete = true;
    Press(&lb, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(lb.Count(), 5);
    lb.clearSelection();
    lb.item(2)->setSelected(true);
    lb.item(3)->setSelected(true);
    Press(&lb, Qt::Key_Delete);
    EXPECT_EQ(Shown(lb),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("e")}));
    EXPECT_EQ(lb.Current()->AlphaKey, QStringLiteral("b")); // the one before the lowest removed
    lb.Clear();
    EXPECT_EQ(lb.Count(), 0);
    EXPECT_EQ(lb.Current(), nullptr);
}

TEST(HelpForm, ThreeOrdersDetailsAndDoubleClick)
{
    TActions acts;
    TNopeAction* grab = acts.Command("Grab", VK_F1 + 4, "swi_g");
    acts.Command("Options", scAlt | (VK_F1 + 9), "");
    acts.Command("NewFile", scCtrl | 'N', "swi_n");
    acts.Command("Help", VK_F1, "swi_ch");
    TNopeAction* plain = acts.Command("About", scNone, "");
    plain->SetHint(QStringLiteral("a <b> c"));
    plain->Comments = {QStringLiteral("ligne 1"), QStringLiteral("ligne 2")};
    auto* mute =
        TCustomAbstractAction::CreateInternal<TCheckAction>(QStringLiteral("caMute"), &acts.list);
    mute->ScriptName = QStringLiteral("Mute");
    mute->Switch = QStringLiteral("swi_m");

    THelpForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Aide pour Raccourcis, Script et Macros"));
    form.AddGroup(QStringLiteral("Tessarine"), &acts.list);
    form.AddGroup(QStringLiteral("Tessarine"), nullptr); // the same page again
    ASSERT_EQ(form.pc->count(), 1);
    TObjetListBox* lb = form.CurrentList();
    ASSERT_NE(lb, nullptr);
    EXPECT_EQ(lb->objectName(), QStringLiteral("lb1"));
    EXPECT_EQ(Shown(*lb), QStringList({QStringLiteral("About"), QStringLiteral("Grab"),
                                       QStringLiteral("Help"), QStringLiteral("Mute"),
                                       QStringLiteral("NewFile"), QStringLiteral("Options")}));
    EXPECT_EQ(form.pmenu->actions().at(1)->text(), QStringLiteral("Trier par Raccourcis"));

    // The first entry's details; the hint's "<" is shown, not taken for a tag.
    EXPECT_EQ(form.leHint->toPlainText(), QStringLiteral("a <b> c"));
    EXPECT_EQ(form.leCommentaire->toPlainText(), QStringLiteral("ligne 1\nligne 2"));
    EXPECT_TRUE(form.leSwitch->toPlainText().contains(QStringLiteral("N/A")));
    EXPECT_FALSE(form.leSyntaxe->toPlainText().isEmpty());
    // Coloured as script text: its reserved words stand out.
    form.show();
    QCoreApplication::processEvents();
    const QTextBlock first = form.leSyntaxe->document()->firstBlock();
    const QList<QTextLayout::FormatRange> formats = first.layout()->formats();
    EXPECT_TRUE(std::any_of(
        formats.cbegin(), formats.cend(),
        [](const QTextLayout::FormatRange& r) { return r.format.fontWeight() == QFont::Bold; }))
        << first.text().toStdString();

    lb->setCurrentRow(1); // Grab
    form.trier(kSortShortcut);
    EXPECT_EQ(Shown(*lb), QStringList({QStringLiteral("Options"), QStringLiteral("NewFile"),
                                       QStringLiteral("Help"), QStringLiteral("Grab"),
                                       QStringLiteral("About"), QStringLiteral("Mute")}));
    EXPECT_EQ(lb->Current()->Text, QStringLiteral("Grab")); // still the one chosen
    EXPECT_TRUE(form.leName->toPlainText().startsWith(QStringLiteral("Grab")));
    EXPECT_TRUE(form.leName->toPlainText().endsWith(QStringLiteral("F5")));
    EXPECT_TRUE(form.leSwitch->toPlainText().contains(QStringLiteral("/swi_g")));
    form.trier(kSortSwitch);
    EXPECT_EQ(Shown(*lb), QStringList({QStringLiteral("Help"), QStringLiteral("Grab"),
                                       QStringLiteral("Mute"), QStringLiteral("NewFile"),
                                       QStringLiteral("About"), QStringLiteral("Options")}));

    int grabbed = 0;
    grab->OnAfterApply = [&] { ++grabbed; };
    const auto doubleClick = [&] {
        for (int i = 0; i < lb->count(); ++i)
            if (lb->item(i)->text() == u"Grab")
                Q_EMIT lb->itemDoubleClicked(lb->item(i));
    };
    doubleClick();
    EXPECT_EQ(grabbed, 1);
    grab->SetEnabled(false);
    doubleClick();
    EXPECT_EQ(grabbed, 1);
    grab->SetEnabled(true);
    bool busy = true;
    form.Busy = [&] { return busy; };
    doubleClick();
    EXPECT_EQ(grabbed, 1);
    busy = false;
    doubleClick();
    EXPECT_EQ(grabbed, 2);

    bool closed = false;
    form.OnClosed = [&] { closed = true; };
    form.show();
    form.close();
    EXPECT_TRUE(closed);
}
