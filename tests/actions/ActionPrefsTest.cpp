#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
#include "prefs/TDravikPreferences.h"
#include "prefs/TIniPreferencesMan.h"
#include <TestDirs.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ActionPrefs : public ::testing::Test {
protected:
    TTestConfigHome home;
    TDravikPreferences gp;
    void SetUp() override
    {
        gp.SetProgramFolder(home.Path());
        gp.SetHiveFile(home.HiveFile());
    }
    // A fresh store of the same mode: the ini store writes its file as it goes.
    void ReopenIn(TSavePreferences aMode) { gp.ApplyMode(aMode); }
};

TEST_F(ActionPrefs, EveryTypeRoundTripsInBothStores)
{
    for (const TSavePreferences mode : {spRegistre, spPortable}) {
        gp.ApplyMode(mode);
        TCustomKoActionList list;
        auto* w =
            TCustomAbstractAction::CreateInternal<TWidestringAction>(QStringLiteral("waA"), &list);
        auto* i =
            TCustomAbstractAction::CreateInternal<TIntegerAction>(QStringLiteral("iaB"), &list);
        auto* d =
            TCustomAbstractAction::CreateInternal<TDoubleAction>(QStringLiteral("daC"), &list);
        auto* p = TCustomAbstractAction::CreateInternal<TPointAction>(QStringLiteral("paD"), &list);
        auto* r = TCustomAbstractAction::CreateInternal<TRectAction>(QStringLiteral("raE"), &list);
        auto* f = TCustomAbstractAction::CreateInternal<TFontAction>(QStringLiteral("faF"), &list);
        auto* c = TCustomAbstractAction::CreateInternal<TCheckAction>(QStringLiteral("caG"), &list);
        int n = 0;
        for (TCustomAbstractAction* a : list.TypedActions())
            a->ScriptName = QStringLiteral("V%1").arg(n++);
        w->SetValue(QStringLiteral("ligne 1\r\nligne 2"));
        i->SetValue(-7);
        d->SetValue(0.3);
        p->SetValue(4, 5);
        r->SetValue(TRect{1, 2, 3, 4});
        TFontDesc font;
        font.Name = QStringLiteral("Arial");
        font.Italic = true;
        f->SetValue(font);
        c->SetChecked(true);
        gp.OpenSection(QStringLiteral("ShowForm"));
        EXPECT_TRUE(list.SaveToPrefs(gp));
        gp.CloseSection();

        ReopenIn(mode);
        TCustomKoActionList back;
        for (TCustomAbstractAction* a : list.TypedActions()) {
            a->SetActionList(&back);
        }
        w->SetValue(QString());
        i->SetValue(0);
        d->SetValue(0);
        p->SetValue(0, 0);
        r->SetValue(TRect{});
        f->SetValue(TFontDesc{});
        c->SetChecked(false);
        gp.OpenSection(QStringLiteral("ShowForm"));
        EXPECT_TRUE(back.LoadFromPrefs(gp));
        gp.CloseSection();
        EXPECT_EQ(w->Value(), QStringLiteral("ligne 1\r\nligne 2")) << mode;
        EXPECT_EQ(i->Value(), -7);
        EXPECT_EQ(d->Value(), 0.3);
        EXPECT_EQ(p->Value(), (TPoint{4, 5}));
        EXPECT_EQ(r->Value(), (TRect{1, 2, 3, 4}));
        EXPECT_EQ(f->Value(), font);
        EXPECT_TRUE(c->Checked());
        for (TCustomAbstractAction* a : back.TypedActions())
            a->SetActionList(nullptr);
    }
}

TEST_F(ActionPrefs, AnAbsentCheckTakesItsDefaultAndAppliesOnlyWhenAsked)
{
    gp.ApplyMode(spPortable);
    TCheckAction c;
    c.ScriptName = QStringLiteral("BasculerVue");
    c.SetTrueCaption(QStringLiteral("Mettre la Vidéo à droite"));
    c.SetFalseCaption(QStringLiteral("Mettre la Vidéo à Gauche"));
    c.SetTrueImageIndex(1);
    c.SetFalseImageIndex(2);
    int applies = 0;
    c.OnInternalTrueApply = [&] { ++applies; };
    c.OnDefault = [](bool& v) {
        v = true;
        return true;
    };
    EXPECT_TRUE(c.LoadFromPrefs(gp));
    EXPECT_TRUE(c.Checked());
    EXPECT_EQ(c.Caption(), QStringLiteral("Mettre la Vidéo à droite"));
    EXPECT_EQ(c.ImageIndex(), 1);
    EXPECT_EQ(applies, 0);
    c.ApplyWhenLoad = true;
    c.LoadFromPrefs(gp);
    EXPECT_EQ(applies, 1);
}

TEST_F(ActionPrefs, DefaultsComeThroughTheDefaultEventsAndSavesThroughBeforeSave)
{
    gp.ApplyMode(spRegistre);
    TIntegerAction a;
    a.ScriptName = QStringLiteral("A");
    a.DefaultValue = 1;
    a.OnDefault = [](qint32& v) {
        v += 10;
        return true;
    };
    a.OnInternalDefault = [](qint32& v) {
        v *= 2;
        return true;
    };
    int applies = 0;
    a.OnInternalApply = [&](const qint32&) { ++applies; };
    EXPECT_TRUE(a.LoadFromPrefs(gp));
    EXPECT_EQ(a.Value(), 22);
    EXPECT_EQ(applies, 0); // no apply without ApplyWhenLoad, and no recording

    a.BeforeSave = [](qint32& v) {
        v = 99;
        return true;
    };
    EXPECT_TRUE(a.SaveToPrefs(gp));
    EXPECT_EQ(a.Value(), 99);
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("A"), 0), 99);

    // A check action saves what its events make of the state, not the state.
    TCheckAction c;
    c.ScriptName = QStringLiteral("C");
    c.SetChecked(true);
    c.OnInternalBeforeSave = [](bool& v) {
        v = false;
        return true;
    };
    c.SaveToPrefs(gp);
    EXPECT_TRUE(c.Checked());
    EXPECT_FALSE(gp.ReadBool(QStringLiteral("C"), true));
}

TEST_F(ActionPrefs, ExceptionsInHandlersAnswerFalse)
{
    gp.ApplyMode(spRegistre);
    TIntegerAction a;
    a.ScriptName = QStringLiteral("A");
    a.ApplyWhenLoad = true;
    a.OnInternalApply = [](const qint32&) { throw std::runtime_error("boom"); };
    EXPECT_FALSE(a.LoadFromPrefs(gp));
    a.BeforeSave = [](qint32&) -> bool { throw std::runtime_error("boom"); };
    EXPECT_FALSE(a.SaveToPrefs(gp));
    TNopeAction n;
    n.ApplyWhenLoad = true;
    n.OnInternalApply = [] { throw std::runtime_error("boom"); };
    EXPECT_FALSE(n.LoadFromPrefs(gp));
}

TEST_F(ActionPrefs, ListsLoadInOrderSkipExcludedActionsAndReportFailures)
{
    gp.ApplyMode(spRegistre);
    TCustomKoActionList list;
    QStringList applied;
    for (const char* id : {"iaFirst", "iaSkipped", "iaThird"}) {
        auto* a =
            TCustomAbstractAction::CreateInternal<TIntegerAction>(QString::fromUtf8(id), &list);
        a->ScriptName = a->InternalId;
        a->ApplyWhenLoad = true;
        a->OnInternalApply = [&applied, a](const qint32&) { applied << a->InternalId; };
    }
    list.FindByInternalId(QStringLiteral("iaSkipped"))->IncludePrefs = false;
    auto* plain = new QObject(&list);
    list.AddItem(plain); // a plain item is skipped
    EXPECT_TRUE(list.LoadFromPrefs(gp));
    EXPECT_EQ(applied, (QStringList{QStringLiteral("iaFirst"), QStringLiteral("iaThird")}));

    bool eventCalled = false;
    list.OnLoadFromPrefs = [&](TDravikPreferences&) {
        eventCalled = true;
        return false;
    };
    EXPECT_FALSE(list.LoadFromPrefs(gp));
    EXPECT_TRUE(eventCalled);
    EXPECT_TRUE(list.SaveToPrefs(gp));
    EXPECT_FALSE(gp.ReadInteger(QStringLiteral("iaSkipped"), -1) != -1);

    TCustomKoActionList empty;
    EXPECT_TRUE(empty.LoadFromPrefs(gp));
    EXPECT_TRUE(empty.SaveToPrefs(gp));
}

} // namespace
