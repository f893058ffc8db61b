#include "actions/ActionTable.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <QAction>

#include <gtest/gtest.h>

namespace {

const TActionRow kRows[] = {
    {.Kind = TActionKind::Check,
     .Name = "caBasculerVue",
     .Switch = "swi_bw",
     .ShortCut = "Alt+W",
     .Category = "cat_Dravik",
     .Default = false,
     .ApplyWhenLoad = true,
     .Caption = "Mettre la Vidéo à droite",
     .Hint = "Basculer la Vidéo à Droite et les réglages à Gauche",
     .FalseCaption = "Mettre la Vidéo à Gauche",
     .FalseHint = "Passer la vidéo à gauche et les réglages à droite"},
    {.Kind = TActionKind::Nope,
     .Name = "naReculeDebut",
     .Switch = "swi_deb",
     .Secondary = "Ctrl+Shift+Home",
     .Category = "cat_internal",
     .Caption = "Début",
     .Hint = "Reculer au début",
     .Image = 12},
    {.Kind = TActionKind::Integer,
     .Name = "iaLeftFrame",
     .Default = 0,
     .Comments = "Utilisé en interne."},
    {.Kind = TActionKind::Color, .Name = "laBack", .Default = TColor(0xFF00000F)},
    {.Kind = TActionKind::Widestring,
     .Name = "waTitre",
     .Default = "défaut",
     .IncludePrefs = false},
    {.Kind = TActionKind::Double, .Name = "daRatio", .Default = 1.5, .ScriptName = "Proportion"},
};

TEST(ActionTables, RowsBecomeActionsWithEveryColumn)
{
    TCustomKoActionList list;
    CreateActions(kRows, &list);
    ASSERT_EQ(list.TypedActions().size(), 6);

    auto* bw = list.Find<TCheckAction>(QStringLiteral("caBasculerVue"));
    ASSERT_NE(bw, nullptr);
    EXPECT_EQ(bw->ScriptName, QStringLiteral("BasculerVue"));
    EXPECT_EQ(bw->Switch, QStringLiteral("swi_bw"));
    EXPECT_EQ(bw->Category, QStringLiteral("cat_Dravik"));
    EXPECT_TRUE(bw->ApplyWhenLoad);
    EXPECT_EQ(bw->Action()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_W));
    EXPECT_EQ(bw->Caption(), QStringLiteral("Mettre la Vidéo à Gauche")); // default state False
    EXPECT_EQ(bw->Hint(), QStringLiteral("Passer la vidéo à gauche et les réglages à droite"));

    auto* deb = list.Find<TNopeAction>(QStringLiteral("naReculeDebut"));
    ASSERT_NE(deb, nullptr);
    EXPECT_EQ(deb->ShortCut(), 0);
    EXPECT_EQ(deb->Action()->shortcuts(),
              QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Home)});
    EXPECT_EQ(deb->Caption(), QStringLiteral("Début"));
    EXPECT_EQ(deb->ImageIndex(), 12);
    EXPECT_EQ(deb->Action()->toolTip(), QStringLiteral("Reculer au début"));

    auto* left = list.Find<TIntegerAction>(QStringLiteral("iaLeftFrame"));
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->Caption(), QStringLiteral("LeftFrame"));
    EXPECT_EQ(left->Category, QStringLiteral("internal"));
    EXPECT_EQ(left->Comments, QStringList{QStringLiteral("Utilisé en interne.")});

    EXPECT_EQ(list.Find<TColorAction>(QStringLiteral("laBack"))->DefaultValue, TColor(0xFF00000F));
    auto* titre = list.Find<TWidestringAction>(QStringLiteral("waTitre"));
    EXPECT_EQ(titre->DefaultValue, QStringLiteral("défaut"));
    EXPECT_FALSE(titre->IncludePrefs);
    auto* ratio = list.Find<TDoubleAction>(QStringLiteral("daRatio"));
    EXPECT_EQ(ratio->DefaultValue, 1.5);
    EXPECT_EQ(ratio->ScriptName, QStringLiteral("Proportion"));
}

} // namespace
