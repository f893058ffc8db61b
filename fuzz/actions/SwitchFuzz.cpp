// Any command line, one argument per line, parsed and run against a small set of actions.
#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TKoSwitch.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TKoActionList list;
    static TKoSwitch sw;
    static bool ready = false;
    if (!ready) {
        ready = true;
        const std::pair<TCustomAbstractAction*, const char*> actions[] = {
            {TCustomAbstractAction::CreateInternal<TCheckAction>(QStringLiteral("caM"), &list),
             "swi_m"},
            {TCustomAbstractAction::CreateInternal<TIntegerAction>(QStringLiteral("iaV"), &list),
             "swi_vol"},
            {TCustomAbstractAction::CreateInternal<TPointAction>(QStringLiteral("paP"), &list),
             "swi_inpos"},
            {TCustomAbstractAction::CreateInternal<TNopeAction>(QStringLiteral("naG"), &list),
             "swi_g"},
            {TCustomAbstractAction::CreateInternal<TWidestringAction>(QStringLiteral("waO"), &list),
             ""},
        };
        for (const auto& [a, name] : actions)
            a->Switch = QString::fromLatin1(name);
        list.SetSwitch(&sw);
        sw.DefaultAction = list.FindByInternalId(QStringLiteral("waO"));
        sw.OnQuit = [] {};
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    sw.Arguments = text.split(u'\n');
    if (sw.Arguments.size() > 64)
        return 0;
    sw.ProcessCommandLine();
    if (sw.Executing() || !sw.Entries().empty())
        abort();
    return 0;
}
