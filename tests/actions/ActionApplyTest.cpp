#include "actions/MacroState.h"
#include "actions/TCheckAction.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

#include <QAction>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Records into a fresh list for the test's length.
class Recording : public ::testing::Test {
protected:
    TMacroLineList lines;
    void SetUp() override
    {
        MacroLines = &lines;
        InApply = false;
    }
    void TearDown() override
    {
        MacroLines = nullptr;
        InApply = false;
    }
};

TEST_F(Recording, ValueApplyRunsItsChainInOrderWithTheValue)
{
    TIntegerAction a;
    a.ScriptName = QStringLiteral("Volume");
    QStringList steps;
    a.OnBeforeApply = [&](const qint32& v) { steps << QStringLiteral("before %1").arg(v); };
    a.OnInternalApply = [&](const qint32& v) { steps << QStringLiteral("hook %1").arg(v); };
    a.OnAfterApply = [&](const qint32& v) { steps << QStringLiteral("after %1").arg(v); };
    a.SetValue(50);
    EXPECT_EQ(steps, (QStringList{QStringLiteral("before 50"), QStringLiteral("hook 50"),
                                  QStringLiteral("after 50")}));
    EXPECT_EQ(lines.Lines, QStringList{QStringLiteral("    Volume(50);")});
    a.SetValue(50); // unchanged values record and apply again
    EXPECT_EQ(lines.Lines.size(), 2);
    EXPECT_EQ(steps.size(), 6);
}

TEST_F(Recording, NestedAppliesRecordOnlyTheOutermostAction)
{
    TBooleanAction inner;
    inner.ScriptName = QStringLiteral("Inner");
    TNopeAction noped;
    noped.ScriptName = QStringLiteral("Noped");
    TCheckAction outer;
    outer.ScriptName = QStringLiteral("Mute");
    outer.OnBeforeTrueApply = [&] {
        inner.SetValue(true);
        noped.Apply();
    };
    outer.SetChecked(true);
    EXPECT_EQ(lines.Lines, QStringList{QStringLiteral("    setMute(True);")});
    EXPECT_TRUE(inner.Value());
    EXPECT_FALSE(InApply);
    noped.Apply();
    EXPECT_EQ(lines.Lines.last(), QStringLiteral("    Noped;"));
}

TEST_F(Recording, BooleanSameValueNeitherAppliesNorRecordsButCheckDoes)
{
    TBooleanAction b;
    b.ScriptName = QStringLiteral("Flag");
    int applies = 0;
    b.OnInternalApply = [&](const bool&) { ++applies; };
    b.SetValue(false);
    EXPECT_EQ(applies, 0);
    EXPECT_TRUE(lines.Lines.isEmpty());

    TCheckAction c;
    c.ScriptName = QStringLiteral("Mute");
    int falseApplies = 0;
    c.OnInternalFalseApply = [&] { ++falseApplies; };
    c.SetChecked(false);
    EXPECT_EQ(falseApplies, 1);
    EXPECT_EQ(lines.Lines, QStringList{QStringLiteral("    setMute(False);")});
    c.Toggle();
    EXPECT_EQ(lines.Lines.last(), QStringLiteral("    setMute(True);"));
}

TEST_F(Recording, TheScriptCheckActionRecordsNothingYetShieldsItsHandlers)
{
    TCheckAction script;
    script.ScriptName = QStringLiteral("Script");
    TIntegerAction other;
    other.ScriptName = QStringLiteral("Other");
    script.OnInternalTrueApply = [&] { other.SetValue(3); };
    script.SetChecked(true);
    EXPECT_TRUE(lines.Lines.isEmpty());
    EXPECT_FALSE(InApply);
}

TEST_F(Recording, NopeWithoutScriptNameIsNotRecordedAndDoesNotShield)
{
    TNopeAction start;
    TIntegerAction v;
    v.ScriptName = QStringLiteral("V");
    start.OnInternalApply = [&] { v.SetValue(1); };
    start.Apply();
    EXPECT_EQ(lines.Lines, QStringList{QStringLiteral("    V(1);")});
}

TEST_F(Recording, AThrowingHandlerDoesNotStopLaterRecording)
{
    TIntegerAction a;
    a.ScriptName = QStringLiteral("A");
    a.OnInternalApply = [](const qint32& v) {
        if (v == 1)
            throw std::runtime_error("refused");
    };
    TCheckAction c;
    c.ScriptName = QStringLiteral("C");
    c.OnInternalTrueApply = [] { throw std::runtime_error("refused"); };
    TNopeAction n;
    n.ScriptName = QStringLiteral("N");
    n.OnBeforeApply = [] { throw std::runtime_error("refused"); };

    EXPECT_THROW(a.SetValue(1), std::runtime_error);
    EXPECT_FALSE(InApply);
    EXPECT_THROW(c.SetChecked(true), std::runtime_error);
    EXPECT_FALSE(InApply);
    EXPECT_THROW(n.Apply(), std::runtime_error);
    EXPECT_FALSE(InApply);
    a.SetValue(2);
    EXPECT_EQ(lines.Lines.last(), QStringLiteral("    A(2);"));
}

TEST(Execute, ValueActionsNeedAPrepareHandlerAndHonourItsVeto)
{
    TIntegerAction a;
    int applies = 0;
    a.OnInternalApply = [&](const qint32&) { ++applies; };
    a.Action()->trigger();
    EXPECT_EQ(applies, 0);

    a.OnPrepare = [](qint32& v) {
        EXPECT_EQ(v, 0); // starts from the empty value
        v = 7;
        return true;
    };
    a.OnInternalPrepare = [](qint32& v) { return v == 7; };
    a.Action()->trigger();
    EXPECT_EQ(applies, 1);
    EXPECT_EQ(a.Value(), 7);
    a.OnPrepare = [](qint32&) { return false; };
    a.Action()->trigger();
    EXPECT_EQ(applies, 1);

    TFontAction f;
    TFontDesc seen;
    seen.Name = QStringLiteral("unset");
    f.OnPrepare = [&](TFontDesc& v) {
        seen = v;
        return false;
    };
    f.Action()->trigger();
    EXPECT_EQ(seen, TFontDesc()); // a new default font
}

TEST(Execute, TriggeringACheckActionTogglesThroughItsSetterOnly)
{
    TCheckAction c;
    c.SetTrueCaption(QStringLiteral("Pause"));
    c.SetFalseCaption(QStringLiteral("Play"));
    c.SetTrueHint(QStringLiteral("Mettre en pause"));
    c.SetTrueImageIndex(3);
    c.SetFalseImageIndex(4);
    c.SetDefaultValue(false);
    EXPECT_EQ(c.Caption(), QStringLiteral("Play"));
    EXPECT_EQ(c.ImageIndex(), 4);
    EXPECT_TRUE(c.Action()->isCheckable());

    bool veto = true;
    c.OnPrepare = [&] { return !veto; };
    c.Action()->trigger();
    EXPECT_FALSE(c.Checked());
    EXPECT_FALSE(c.Action()->isChecked()); // the QAction's own toggle is undone

    veto = false;
    c.Action()->trigger();
    EXPECT_TRUE(c.Checked());
    EXPECT_TRUE(c.Action()->isChecked());
    EXPECT_EQ(c.Caption(), QStringLiteral("Pause"));
    EXPECT_EQ(c.Action()->text(), QStringLiteral("Pause"));
    EXPECT_EQ(c.Hint(), QStringLiteral("Mettre en pause"));
    EXPECT_EQ(c.ImageIndex(), 3);

    // ApplyChecked applies without recording.
    TMacroLineList lines;
    MacroLines = &lines;
    c.ApplyChecked(false);
    MacroLines = nullptr;
    EXPECT_TRUE(lines.Lines.isEmpty());
    EXPECT_EQ(c.Caption(), QStringLiteral("Play"));
}

TEST(Execute, NopeRunsWhenBothPrepareStepsAgree)
{
    TNopeAction n;
    int runs = 0;
    n.OnInternalApply = [&] { ++runs; };
    n.Action()->trigger();
    EXPECT_EQ(runs, 1);
    n.OnInternalPrepare = [] { return false; };
    n.Action()->trigger();
    EXPECT_EQ(runs, 1);

    // An auto-check command flips its own check state before it runs.
    TNopeAction panel;
    panel.SetAutoCheck(true);
    panel.Action()->trigger();
    EXPECT_TRUE(panel.Checked());
    EXPECT_TRUE(panel.Action()->isChecked());
}

TEST(Execute, ClearBindingsDropsIdentityKeysAndHooks)
{
    TCheckAction c;
    c.ScriptName = QStringLiteral("Mute");
    c.Category = QStringLiteral("cat_UI");
    c.SetShortCut(TextToShortCut(QStringLiteral("Ctrl+M")));
    c.SetSecondaryShortcuts({TextToShortCut(QStringLiteral("F5"))});
    int hooks = 0;
    c.OnInternalTrueApply = [&] { ++hooks; };
    c.ClearBindings();
    EXPECT_TRUE(c.ScriptName.isEmpty());
    EXPECT_TRUE(c.Category.isEmpty());
    EXPECT_EQ(c.ShortCut(), 0);
    EXPECT_TRUE(c.Action()->shortcuts().isEmpty());
    c.SetChecked(true);
    EXPECT_EQ(hooks, 0);
}

} // namespace
