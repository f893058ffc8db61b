// Scene files as they come from a disk: any bytes read within their end, never more scenes than
// the bytes can hold, and a file that reads whole reads the same with bytes after it.
#include "files/TSceneList.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool aCondition)
{
    if (!aCondition)
        std::abort();
}

// The fewest bytes a header and a record take.
constexpr qsizetype kHeaderBytes = 24 + 1 + 8 + 2 + 11 + 2 + 12 + 1 + 8 + 6 + 1 + 12;
constexpr qsizetype kRecordBytes = 3 + 2 + 3 + 1 + 8 + 6 + 12;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize)
{
    const QByteArray bytes(reinterpret_cast<const char*>(aData), qsizetype(aSize));
    const QString path = QStringLiteral("/fuzz.scn");
    TSceneList list;
    const bool whole = ReadScenes(list, bytes, path);
    const qsizetype count = list.Count();
    Check(count == 0 || bytes.size() >= kHeaderBytes + (count - 1) * kRecordBytes);
    Check(!whole || count >= 1);
    for (qsizetype i = 0; i < count; ++i)
        Check(SceneAt(list, i) && SceneAt(list, i)->Path == path);
    Check(!SceneAt(list, count) && !SceneAt(list, -1));

    TSceneList longer;
    const bool again = ReadScenes(longer, bytes + QByteArray(64, '\xFF'), path);
    Check(longer.Count() >= count);
    if (whole) {
        Check(again && longer.Count() == count);
        for (qsizetype i = 0; i < count; ++i)
            Check(SceneAt(longer, i)->StartFrame == SceneAt(list, i)->StartFrame &&
                  SceneAt(longer, i)->Second == SceneAt(list, i)->Second);
    }
    ClearScenes(list);
    Check(list.IsEmpty());
    return 0;
}
