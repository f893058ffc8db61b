// Position texts as typed, switched or scripted, and times formatted back.
#include "media/core/FormatPosition.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qint64 d = 0;
    qint64 t = 0;
    if (size >= 16) {
        std::memcpy(&d, data, 8);
        std::memcpy(&t, data + 8, 8);
    }
    const QString text = FormatPosition(d, t);
    if (text.isEmpty())
        __builtin_trap();
    const qint64 back = ParsePosition(text, d);
    if (back < 0)
        __builtin_trap();
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (qint64 duration : {qint64(0), qint64(1), qint64(400'000), d})
        if (ParsePosition(typed, duration) < 0)
            __builtin_trap();
    return 0;
}
