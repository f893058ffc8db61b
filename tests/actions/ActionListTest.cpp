#include "FakeScript.h"

#include "actions/TCheckAction.h"
#include "actions/TImageList.h"
#include "actions/TKoActionComponent.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/TScriptComponent.h"
#include "actions/ValueActions.h"

#include <QAction>
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class TFakeEngine : public TScriptComponent {
public:
    QStringList Compile(std::function<bool(const QString&)> aRefuse = {})
    {
        TRecordingScript script;
        script.Refuse = std::move(aRefuse);
        RegisterAttachedLists(script);
        return script.Declarations;
    }
};

TNopeAction* Command(TCustomKoActionList& list, const QString& aName)
{
    auto* a = TCustomAbstractAction::CreateInternal<TNopeAction>(u"na" + aName, &list);
    a->ScriptName = aName;
    a->Switch = u"swi_" + aName.toLower();
    return a;
}

TEST(ActionLists, FindByInternalIdIsExactAndSkipsPlainActions)
{
    TKoActionList list;
    auto* plain = new QAction(&list);
    plain->setObjectName(QStringLiteral("naGrab"));
    list.AddItem(plain);
    TNopeAction* grab = Command(list, QStringLiteral("Grab"));
    EXPECT_EQ(list.FindByInternalId(QStringLiteral("naGrab")), grab);
    EXPECT_EQ(list.FindByInternalId(QStringLiteral("nagrab")), nullptr);
    EXPECT_EQ(list.Find<TIntegerAction>(QStringLiteral("naGrab")), nullptr);
    EXPECT_EQ(list.TypedActions().size(), 1);
    delete grab;
    EXPECT_EQ(list.FindByInternalId(QStringLiteral("naGrab")), nullptr);
}

TEST(ActionLists, GetAnswersTheActionOrThrowsNamingTheIdentifierAndTheList)
{
    TKoActionList list;
    list.setObjectName(QStringLiteral("gpal"));
    TNopeAction* grab = Command(list, QStringLiteral("Grab"));
    EXPECT_EQ(list.Get<TNopeAction>(QStringLiteral("naGrab")), grab);
    EXPECT_EQ(list.GetByInternalId(QStringLiteral("naGrab")), grab);
    // The base class of the action is as good as its own.
    EXPECT_EQ(list.Get<TCustomAbstractAction>(QStringLiteral("naGrab")), grab);

    for (const QString& id : {QStringLiteral("naCopy"), QStringLiteral("nagrab")}) {
        try {
            list.Get<TNopeAction>(id);
            ADD_FAILURE() << "no exception for " << qPrintable(id);
        } catch (const EActionWrongType&) {
            ADD_FAILURE() << "a missing action is not of the wrong type";
        } catch (const EActionNotFound& e) {
            EXPECT_EQ(e.Id(), id);
            EXPECT_EQ(e.List(), QStringLiteral("gpal"));
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(id)) << e.what();
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(u"gpal")) << e.what();
        }
    }
    EXPECT_THROW(list.GetByInternalId(QStringLiteral("naCopy")), EActionNotFound);
    EXPECT_THROW(list.Get<TNopeAction>(QString()), EActionNotFound);
}

TEST(ActionLists, GetThrowsForAnActionOfAnotherClassNamingBoth)
{
    TKoActionList list; // unnamed: messages give its class
    Command(list, QStringLiteral("Grab"));
    try {
        list.Get<TIntegerAction>(QStringLiteral("naGrab"));
        ADD_FAILURE() << "no exception";
    } catch (const EActionWrongType& e) {
        EXPECT_EQ(e.Id(), QStringLiteral("naGrab"));
        EXPECT_EQ(e.List(), QStringLiteral("TKoActionList"));
        EXPECT_EQ(e.Expected(), QStringLiteral("TIntegerAction"));
        EXPECT_EQ(e.Found(), QStringLiteral("TNopeAction"));
        const QString what = QString::fromUtf8(e.what());
        for (const char* part : {"naGrab", "TKoActionList", "TIntegerAction", "TNopeAction"})
            EXPECT_TRUE(what.contains(QLatin1String(part))) << e.what();
    }
    // Caught as a missing action too, and as a logic error by code that knows neither.
    EXPECT_THROW(list.Get<TCheckAction>(QStringLiteral("naGrab")), EActionNotFound);
    EXPECT_THROW(list.Get<TCheckAction>(QStringLiteral("naGrab")), std::logic_error);
}

TEST(ActionLists, EnginesRegisterListsInAttachOrderAndDetachAnyOne)
{
    TFakeEngine engine;
    TKoActionList first, second, third;
    Command(first, QStringLiteral("A"));
    Command(second, QStringLiteral("B"));
    Command(third, QStringLiteral("C"));
    first.SetPascalScript(&engine);
    second.SetPascalScript(&engine);
    third.SetPascalScript(&engine);
    EXPECT_EQ(engine.Compile().join(u' '),
              QStringLiteral("procedure A; procedure B; procedure C;"));

    // Detaching the first keeps the later ones, and in their order.
    first.SetPascalScript(nullptr);
    EXPECT_EQ(engine.Compile().join(u' '), QStringLiteral("procedure B; procedure C;"));
    // A refused registration does not stop the others.
    EXPECT_EQ(engine.Compile([](const QString& d) { return d.contains(u'B'); }).join(u' '),
              QStringLiteral("procedure C;"));
    // Compiling twice registers everything again.
    EXPECT_EQ(engine.Compile().size(), 2);
}

TEST(ActionLists, AListForgetsAnEngineThatIsDestroyed)
{
    TKoActionList list;
    {
        TFakeEngine engine;
        list.SetPascalScript(&engine);
        EXPECT_EQ(list.PascalScript(), &engine);
    }
    EXPECT_EQ(list.PascalScript(), nullptr);
    auto* engine = new TFakeEngine;
    {
        TKoActionList shortLived;
        shortLived.SetPascalScript(engine);
    }
    EXPECT_TRUE(engine->AttachedLists().isEmpty());
    delete engine;
}

TEST(ActionLists, TheSwitchTableIsFilledOnceWhenAttaching)
{
    TKoSwitch sw;
    TKoActionList list;
    TNopeAction* grab = Command(list, QStringLiteral("Grab"));
    list.SetSwitch(&sw);
    list.SetSwitch(&sw);                      // the same switch: nothing entered twice
    grab->Switch = QStringLiteral("swi_new"); // changed afterwards: not seen
    EXPECT_EQ(sw.FindSwitch(QStringLiteral("swi_grab")), grab);
    EXPECT_EQ(sw.FindSwitch(QStringLiteral("swi_new")), nullptr);
    list.SetSwitch(nullptr);
    EXPECT_EQ(sw.FindSwitch(QStringLiteral("swi_grab")), nullptr);
}

TEST(ActionLists, IconsFollowTheListImages)
{
    TKoActionList list;
    TImageList images;
    QPixmap red(22, 22);
    red.fill(Qt::red);
    images.Add(QIcon(red));
    TNopeAction* a = Command(list, QStringLiteral("A"));
    a->SetImageIndex(0);
    EXPECT_TRUE(a->Action()->icon().isNull());
    std::pair<TImageList*, int> told{nullptr, -1};
    a->OnImageChanged = [&](TImageList* l, int i) { told = {l, i}; };
    list.SetImages(&images);
    EXPECT_FALSE(a->Action()->icon().isNull());
    a->SetImageIndex(5);
    EXPECT_EQ(told.first, &images);
    EXPECT_EQ(told.second, 5);
    EXPECT_TRUE(a->Action()->icon().isNull());
}

class TProbeComponent : public TKoActionComponent {
public:
    QStringList Steps;
    TNopeAction* Grab = nullptr;
    QList<int> Messages;

    void CreateActions() override
    {
        Steps << QStringLiteral("create");
        Command(*this, QStringLiteral("Grab"));
    }
    void FindActions() override
    {
        Steps << QStringLiteral("find");
        Grab = Find<TNopeAction>(QStringLiteral("naGrab"));
    }
    void AssignHandlers() override
    {
        Steps << QStringLiteral("assign");
        if (Grab)
            Grab->SetCaption(QStringLiteral("Capturer"));
    }
    bool WndProc(QEvent& aMessage) override
    {
        Messages << int(aMessage.type()) - QEvent::User;
        return true;
    }
};

TEST(ActionComponents, SetUpFindsThenBindsAndReceivesPostedMessages)
{
    TProbeComponent c;
    c.Setup();
    EXPECT_EQ(c.Steps, (QStringList{QStringLiteral("create"), QStringLiteral("find"),
                                    QStringLiteral("assign")}));
    ASSERT_NE(c.Grab, nullptr);
    EXPECT_EQ(c.Grab->Caption(), QStringLiteral("Capturer"));

    QCoreApplication::postEvent(c.Handle(), new QEvent(MessageEventType(0x241A)));
    QCoreApplication::postEvent(c.Handle(), new QEvent(MessageEventType(0x2421)));
    EXPECT_TRUE(c.Messages.isEmpty()); // delivered by the event loop, not at once
    QCoreApplication::processEvents();
    EXPECT_EQ(c.Messages, (QList<int>{0x241A, 0x2421}));
}

TEST(ActionComponents, MessagesStillQueuedDieWithTheComponent)
{
    auto* c = new TProbeComponent;
    QCoreApplication::postEvent(c->Handle(), new QEvent(MessageEventType(1)));
    delete c;
    QCoreApplication::processEvents(); // must not reach the deleted component
    SUCCEED();
}

} // namespace
