#include "actions/ActionTable.h"
#include "actions/ActionErrors.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <QAction>

#include <gtest/gtest.h>

#include <optional>

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

// Every kind against every kind of default: what each kind accepts besides no default.
TEST(ActionTables, ADefaultIsAcceptedOnlyByItsKinds)
{
    using K = TActionKind;
    const TActionDefault defaults[] = {true,     qint32(1), 1.0,        "texte",
                                       TPoint{}, TRect{},   TFontDesc{}};
    const std::pair<K, std::optional<size_t>> kinds[] = {{K::Nope, std::nullopt},
                                                         {K::Widestring, 3},
                                                         {K::String, 3},
                                                         {K::Integer, 1},
                                                         {K::Color, 1},
                                                         {K::Double, 2},
                                                         {K::Boolean, 0},
                                                         {K::Point, 4},
                                                         {K::Rect, 5},
                                                         {K::Font, 6},
                                                         {K::Check, 0}};
    for (const auto& [kind, accepted] : kinds) {
        EXPECT_NO_THROW(CheckActionRow({.Kind = kind, .Name = "xaNone"})) << int(kind);
        for (size_t i = 0; i < std::size(defaults); ++i) {
            const TActionRow row{.Kind = kind, .Name = "xaRow", .Default = defaults[i]};
            if (accepted == i)
                EXPECT_NO_THROW(CheckActionRow(row)) << int(kind) << " " << i;
            else
                EXPECT_THROW(CheckActionRow(row), EActionRowRefused) << int(kind) << " " << i;
        }
    }
}

TEST(ActionTables, ARowWhoseDefaultDoesNotFitIsRefusedByName)
{
    // An int where a double is expected used to give 0.0 without a word.
    const TActionRow bad{.Kind = TActionKind::Double, .Name = "daBad", .Default = 1};
    TCustomKoActionList list;
    try {
        CreateAction(bad, &list);
        ADD_FAILURE() << "no exception";
    } catch (const EActionRowRefused& e) {
        EXPECT_EQ(e.Row(), QStringLiteral("daBad"));
        const QString what = QString::fromUtf8(e.what());
        EXPECT_TRUE(what.contains(u"daBad")) << e.what();
        EXPECT_TRUE(what.contains(u"Double")) << e.what();
    }
    EXPECT_TRUE(list.TypedActions().isEmpty());

    // In a table, the good rows before it are not created either.
    const TActionRow table[] = {
        {.Kind = TActionKind::Integer, .Name = "iaGood", .Default = 3},
        {.Kind = TActionKind::Boolean, .Name = "baBad", .Default = 0},
    };
    EXPECT_THROW(CreateActions(table, &list), EActionRowRefused);
    EXPECT_TRUE(list.TypedActions().isEmpty());
    EXPECT_THROW(
        CreateAction({.Kind = TActionKind::Nope, .Name = "naBad", .Default = false}, &list),
        EActionRowRefused);
    EXPECT_THROW(CreateAction({.Kind = TActionKind::Color, .Name = "laBad", .Default = 1.0}, &list),
                 EActionRowRefused);
}

} // namespace
