#include "app/ShowFormActions.h"
#include "app/ShowFormMenus.h"
#include "app/TShowForm.h"
#include "ui/AppliManActions.h"
#include "ui/ScriptFormActions.h"

#include "actions/uScriptAction.h"
#include "actions/uWndComponent.h"
#include "prefs/TDravikPreferences.h"
#include <TestDirs.h>

#include <QSet>

#include <array>

#include <gtest/gtest.h>

namespace {

// Identifiers that the menus, the button bar or the bindings name before the component that owns
// them is built. Remove an entry when its owner lands: the test fails while an entry is stale.
struct TNotBuiltYet {
    const char* Owner;
    const char* Id;
};
constexpr std::array<TNotBuiltYet, 0> kNotBuiltYet{};

const TNotBuiltYet* Pending(const QString& aId)
{
    for (const TNotBuiltYet& p : kNotBuiltYet)
        if (aId == QLatin1String(p.Id)) // exact: a case mismatch is not excused
            return &p;
    return nullptr;
}

class TQuietQuestion : public TPrefsQuestion {
public:
    std::optional<TSavePreferences> AskSaveMode(const QString&) override { return spNone; }
    void Warn(const QString&) override {}
};

class ShowFormActionIds : public ::testing::Test {
protected:
    TTestConfigHome home;
    TQuietQuestion question;
    std::unique_ptr<TShowForm> form;

    void SetUp() override
    {
        form = std::make_unique<TShowForm>(&question);
        form->gp->SetProgramFolder(home.Path());
        form->gp->SetHiveFile(home.HiveFile());
    }

    // Where each identifier is named: "menus", "context menu", "button bar", "bindings".
    QList<std::pair<QString, QString>> NamedIds() const
    {
        QList<std::pair<QString, QString>> named;
        const auto add = [&](const char* aWhere, const QStringList& aIds) {
            for (const QString& id : aIds)
                named.append({QString::fromLatin1(aWhere), id});
        };
        add("menus", MenuBarActionIds());
        add("context menu", ContextMenuActionIds());
        add("button bar", ButtonBarActionIds());
        add("bindings", form->BoundActionIds());
        return named;
    }

    // The window's identifiers equal to aId but for case, to tell what a mismatch should say.
    QStringList CaseVariants(const QString& aId) const
    {
        QStringList variants;
        for (TCustomKoActionList* list : form->ShowFormLists())
            for (TCustomAbstractAction* a : list->TypedActions())
                if (a->InternalId != aId && a->InternalId.compare(aId, Qt::CaseInsensitive) == 0)
                    variants << a->InternalId;
        for (const TNotBuiltYet& p : kNotBuiltYet)
            if (aId != QLatin1String(p.Id) &&
                aId.compare(QLatin1String(p.Id), Qt::CaseInsensitive) == 0)
                variants << QString::fromLatin1(p.Id);
        return variants;
    }
};

TEST_F(ShowFormActionIds, EveryNamedIdentifierExistsWithItsExactCase)
{
    const auto named = NamedIds();
    ASSERT_FALSE(named.isEmpty());
    for (const auto& [where, id] : named) {
        if (form->FindAction(id) || Pending(id))
            continue;
        const QStringList variants = CaseVariants(id);
        ADD_FAILURE() << "the " << qPrintable(where) << " name \"" << qPrintable(id)
                      << "\", which no list of the main window holds"
                      << (variants.isEmpty()
                              ? std::string()
                              : " (the action is \"" +
                                    variants.join(QStringLiteral("\", \"")).toStdString() + "\")");
    }
}

TEST_F(ShowFormActionIds, TheListOfComponentsNotBuiltYetHoldsNothingStale)
{
    QSet<QString> named;
    for (const auto& [where, id] : NamedIds())
        named << id;
    QSet<QString> seen;
    for (const TNotBuiltYet& p : kNotBuiltYet) {
        const QString id = QString::fromLatin1(p.Id);
        EXPECT_FALSE(seen.contains(id)) << p.Id << " is listed twice";
        seen << id;
        EXPECT_TRUE(named.contains(id)) << p.Id << " (" << p.Owner << ") is named nowhere";
        EXPECT_EQ(form->FindAction(id), nullptr)
            << p.Id << " exists now: remove it from the list of the " << p.Owner;
    }
}

TEST_F(ShowFormActionIds, NoListHoldsAnIdentifierTwice)
{
    QSet<QString> inWindow;
    for (TCustomKoActionList* list : form->ShowFormLists()) {
        QSet<QString> inList;
        for (TCustomAbstractAction* a : list->TypedActions()) {
            EXPECT_FALSE(inList.contains(a->InternalId))
                << qPrintable(a->InternalId) << " twice in " << qPrintable(list->ListName());
            // The window finds the first list's action only, so another one would be hidden.
            EXPECT_TRUE(inList.contains(a->InternalId) || !inWindow.contains(a->InternalId))
                << qPrintable(a->InternalId) << " of " << qPrintable(list->ListName())
                << " is also in an earlier list of the window";
            inList << a->InternalId;
        }
        inWindow.unite(inList);
    }
}

TEST_F(ShowFormActionIds, TheBindingsNameWhatTheWindowUses)
{
    const QStringList bound = form->BoundActionIds();
    for (const char* id : {"iaLeftFrame", "iaPanneauActif", "caBasculerVue", "naAbort",
                           "naShowDVIncrustFrame", "naForcerNative", "caSliders"})
        EXPECT_TRUE(bound.contains(QString::fromLatin1(id))) << id;
}

TEST(ShowFormActionTables, EveryTableOfTheProgramCreatesItsActions)
{
    const std::span<const TActionRow> tables[] = {ShowFormActionRows(), AppliManActionRows(),
                                                  ScriptFormActionRows()};
    for (const std::span<const TActionRow> rows : tables) {
        TKoActionList list;
        ASSERT_NO_THROW(CreateActions(rows, &list)) << rows.front().Name;
        EXPECT_EQ(list.TypedActions().size(), qsizetype(rows.size()));
    }
}

} // namespace
