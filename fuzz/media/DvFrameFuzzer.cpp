// DV frames built from the input: a first byte picks the system and a template, then each group
// of four bytes writes one byte (sequence, offset, value) so the packs are reached quickly.
#include "DvFrameBuilder.h"
#include "base/PrivateMessages.h"
#include "media/core/TDvFrame.h"
#include "media/core/TNotifier.h"

#include <cstddef>
#include <cstdint>

namespace {

void Read(TNotifier& n, bool interleaved, const std::uint8_t* data, std::size_t size)
{
    TStreamFormat f;
    f.name = QStringLiteral("video/x-dv");
    f.systemStream = interleaved;
    f.width = 720;
    f.height = 576;
    f.fpsNum = 25;
    TNotifyReports out;
    n.SetMediaType(f, out);
    n.ProcessSample(data, size, out);
    for (const auto& r : out)
        if (!NotifyMessageName(r.message))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TNotifier notifier = [] {
        TNotifier n;
        n.SetLocale(QLocale::c());
        n.SetVideoNotify(true);
        n.SetAudioNotify(true);
        n.SetDatecodeNotify(true);
        n.SetTimecodeNotify(true);
        n.SetPositionNotify(true);
        n.StreamStart();
        return n;
    }();
    // The raw input: almost never a frame size, and must then be left alone.
    const TDvFrame raw(data, size);
    if (raw.IsFrame() != TDvFrame::IsFrameSize(size))
        __builtin_trap();
    Read(notifier, size % 2 == 0, data, size);
    if (size == 0)
        return 0;

    const bool pal = data[0] & 1;
    TDvFrameBuilder b(pal);
    if (data[0] & 2)
        b.Structure((data[0] >> 4) & 7, (data[0] >> 2) & 3);
    if (data[0] & 0x80)
        b.Timecode(12, 34, 56, 7).Recording(2004, 5, 6, 7, 8, 9);
    for (std::size_t i = 1; i + 4 <= size; i += 4) {
        const int seq = data[i] % b.Sequences();
        const std::size_t off = ((std::size_t(data[i + 1]) << 8) | data[i + 2]) % 12000;
        b.At(seq, off) = data[i + 3];
    }
    const TDvFrame frame(b.Data(), b.Size());
    frame.SystemVote();
    frame.Timecode();
    const TDvRecording rec = frame.Recording();
    if (rec.valid && !rec.dateTime.isValid())
        __builtin_trap();
    frame.IsWide();
    frame.Audio();
    frame.StructureOk();
    Read(notifier, data[0] & 0x40, b.Data(), b.Size());
    return 0;
}
