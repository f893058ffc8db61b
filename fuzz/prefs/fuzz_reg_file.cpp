// Any bytes as a .reg file: parsing never fails badly, stays bounded, and what it yields, once
// applied, never writes outside the allowed key.
#include "prefs/TRegFile.h"
#include "prefs/TRegistryHive.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool aCondition)
{
    if (!aCondition)
        abort();
}

// Only aName (without case), if anything, below aKey.
void OnlyChild(TRegistryHive& aHive, qint64 aKey, const QString& aName)
{
    const auto names = aHive.SubKeyNames(aKey);
    Check(names.has_value());
    for (const QString& n : *names)
        Check(n.compare(aName, Qt::CaseInsensitive) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TRegFileContent content = TRegFile::Parse(bytes);
    Check(content.Recognised() || content.Operations.isEmpty());
    Check(content.Errors.size() <= TRegFile::kMaxErrors + 2); // the count and the cut
    for (const TRegOperation& op : content.Operations) {
        Check(op.Line >= 1);
        // Widened 8-bit strings at most double, plus a string's terminator.
        Check(op.Data.size() <= 2 * bytes.size() + 2);
        if (op.Kind == TRegOperation::CreateKey || op.Kind == TRegOperation::DeleteKey)
            Check(op.Name.isEmpty() && op.Data.isEmpty());
    }

    if (content.Operations.isEmpty())
        return 0;
    // A private in-memory hive: nothing may land outside Software\DRV.
    TRegistryHive hive(QStringLiteral(":memory:"), TRegistryHive::Create);
    Check(hive.IsOpen());
    TRegFile::Apply(content, hive, QStringLiteral("Software\\DRV"));
    Check(hive.ValueNames(TRegistryHive::RootKey)->isEmpty());
    OnlyChild(hive, TRegistryHive::RootKey, QStringLiteral("Software"));
    if (const auto software = hive.OpenKey(QStringLiteral("Software"), false)) {
        Check(hive.ValueNames(*software)->isEmpty());
        OnlyChild(hive, *software, QStringLiteral("DRV"));
    }
    return 0;
}
