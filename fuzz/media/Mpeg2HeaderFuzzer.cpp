// MPEG-2 sequence headers from the start of the input, as a sample of an MPEG-2 video stream.
#include "media/core/TMpeg2SequenceHeader.h"
#include "media/core/TNotifier.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto h = TMpeg2SequenceHeader::Parse(data, size);
    if (h && (size < TMpeg2SequenceHeader::kMinSize || h->width > 4095 || h->height > 4095))
        __builtin_trap();
    static TNotifier notifier = [] {
        TNotifier n;
        n.SetVideoNotify(true);
        TStreamFormat f;
        f.name = QStringLiteral("video/mpeg");
        f.version = 2;
        TNotifyReports out;
        n.SetMediaType(f, out);
        n.StreamStart();
        return n;
    }();
    TNotifyReports out;
    notifier.ProcessSample(data, size, out);
    return 0;
}
