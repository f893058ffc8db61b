#include "media/core/TDvFrame.h"

namespace {

constexpr std::uint8_t kSystem625 = 0xBF;
constexpr std::uint8_t kSystem525 = 0x3F;
constexpr std::size_t kSystemByte = 3;
constexpr std::size_t kTimecodeId1 = 110;
constexpr std::size_t kTimecodeId2 = 190;
constexpr std::uint8_t kTimecodePack = 0x13;
constexpr std::size_t kDateId = 458;
constexpr std::size_t kTimeId = 463;
constexpr std::size_t kVscId = 453;
constexpr std::uint8_t kVscPack = 0x61;
constexpr std::size_t kAudioSourceId = 4323;
constexpr std::uint8_t kAudioSourcePack = 0x50;
constexpr std::uint8_t kAudioControlPack = 0x51;
constexpr std::size_t kAudioControlDistance = 1280;

int Bcd(std::uint8_t b, std::uint8_t tensMask)
{
    return (b & 0x0F) + ((b & tensMask) >> 4) * 10;
}

int SamplingRate(int code)
{
    switch (code) {
    case 0:
        return 48'000;
    case 1:
        return 44'100;
    case 2:
        return 32'000;
    default:
        return 0;
    }
}

int Quantisation(int code)
{
    switch (code) {
    case 0:
        return 16;
    case 1:
        return 12;
    default:
        return 0;
    }
}

} // namespace

TDvFrame::TDvFrame(const std::uint8_t* data, std::size_t size)
{
    if (data && IsFrameSize(size)) {
        m_data = data;
        m_size = size;
        m_sequences = int(size / kSequenceSize);
    }
}

std::uint8_t TDvFrame::At(int sequence, std::size_t offset) const
{
    if (sequence < 0 || sequence >= m_sequences || offset >= kSequenceSize)
        return 0xFF;
    const std::size_t pos = std::size_t(sequence) * kSequenceSize + offset;
    return pos < m_size ? m_data[pos] : 0xFF;
}

quint8 TDvFrame::SystemVote() const
{
    if (!IsFrame())
        return tvSystemUndecided;
    int pal = 0, ntsc = 0;
    for (int n = 0; n < kSearchedSequences; ++n) {
        const std::uint8_t b = At(n, kSystemByte);
        pal += b == kSystem625;
        ntsc += b == kSystem525;
    }
    if (pal > ntsc)
        return tvSystem625;
    if (ntsc > pal)
        return tvSystem525;
    return tvSystemUndecided;
}

TDvTimecode TDvFrame::Timecode() const
{
    TDvTimecode tc;
    for (int n = 0; n < kSearchedSequences && IsFrame(); ++n) {
        if (At(n, kTimecodeId1) != kTimecodePack || At(n, kTimecodeId2) != kTimecodePack)
            continue;
        tc.valid = true;
        tc.frames = quint8(Bcd(At(n, kTimecodeId1 + 1), 0x30));
        tc.seconds = quint8(Bcd(At(n, kTimecodeId1 + 2), 0x70));
        tc.minutes = quint8(Bcd(At(n, kTimecodeId1 + 3), 0x70));
        tc.hours = quint8(Bcd(At(n, kTimecodeId1 + 4), 0x30));
        break;
    }
    return tc;
}

TDvRecording TDvFrame::Recording() const
{
    TDvRecording rec;
    for (int n = 0; n < kSearchedSequences && IsFrame(); ++n) {
        const std::uint8_t dateId = At(n, kDateId);
        const std::uint8_t timeId = At(n, kTimeId);
        if ((dateId != 0x62 && dateId != 0x00) || (timeId != 0x63 && timeId != 0x00))
            continue;
        const int day = Bcd(At(n, kDateId + 2), 0x30);
        const std::uint8_t monthByte = At(n, kDateId + 3);
        const int month = (monthByte & 0x0F) + ((monthByte & 0x10) ? 10 : 0);
        const int yy = Bcd(At(n, kDateId + 4), 0xF0);
        const int second = Bcd(At(n, kTimeId + 2), 0x70);
        const int minute = Bcd(At(n, kTimeId + 3), 0x70);
        const int hour = Bcd(At(n, kTimeId + 4), 0x30);
        // Two-digit years: 00-39 are 2000-2039, 40-99 are 1940-1999; anything else is no year.
        const int year = yy < 40 ? 2000 + yy : (yy < 100 ? 1900 + yy : 0);
        const QDate date(year, month, day);
        if (year > 0 && date.isValid() && QTime::isValid(hour, minute, second, 0)) {
            rec.valid = true;
            rec.dateTime = QDateTime(date, QTime(hour, minute, second), Qt::UTC);
        }
        break;
    }
    return rec;
}

bool TDvFrame::IsWide() const
{
    for (int n = 0; n < kSearchedSequences && IsFrame(); ++n) {
        if (At(n, kVscId) != kVscPack)
            continue;
        const int display = At(n, kVscId + 2) & 0x07;
        const int application = At(n, 7) & 0x07;
        return display == 2 || (display == 7 && application == 0);
    }
    return false;
}

TDvAudio TDvFrame::Audio() const
{
    TDvAudio audio;
    for (int n = 0; n < kSearchedSequences && IsFrame(); ++n) {
        if (At(n, kAudioSourceId) != kAudioSourcePack)
            continue;
        const std::uint8_t b = At(n, kAudioSourceId + 4);
        audio.samplingRate = SamplingRate((b >> 3) & 0x07);
        audio.bitsPerSample = Quantisation(b & 0x07);
        break;
    }
    return audio;
}

bool TDvFrame::StructureOk() const
{
    if (!IsFrame())
        return false;
    const std::uint8_t system = Is625() ? kSystem625 : kSystem525;
    for (int n = 0; n < m_sequences; ++n) {
        if (At(n, kSystemByte) != system || (At(n, 5) & 0x80) != 0)
            return false;
        const bool even = n % 2 == 0;
        const std::size_t vs = even ? 448 : 243;
        const std::size_t as = even ? kAudioSourceId : 483;
        if (At(n, vs) != 0x60 || At(n, vs + 5) != kVscPack || At(n, as) != kAudioSourcePack)
            return false;
        if (((At(n, as + 4) >> 3) & 0x07) > 2)
            return false;
        if (At(n, as + kAudioControlDistance) != kAudioControlPack)
            return false;
    }
    return true;
}
