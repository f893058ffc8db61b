#include "DvFrameBuilder.h"

TDvFrameBuilder::TDvFrameBuilder(bool pal)
    : m_pal(pal)
    , m_bytes(pal ? 144000 : 120000, 0xFF)
{
    for (int n = 0; n < Sequences(); ++n) {
        At(n, 0) = 0x1F;
        At(n, 1) = std::uint8_t((n << 4) | 0x07);
        At(n, 2) = 0x00;
        At(n, 3) = pal ? 0xBF : 0x3F;
        At(n, 4) = 0x68;
        At(n, 5) = 0x78; // audio valid: bit 7 clear
        At(n, 6) = 0x78;
        At(n, 7) = 0x78; // application code 0
    }
}

TDvFrameBuilder& TDvFrameBuilder::Structure(int samplingCode, int quantisation)
{
    for (int n = 0; n < Sequences(); ++n) {
        const bool even = n % 2 == 0;
        const std::size_t vs = even ? 448 : 243;
        const std::size_t as = even ? 4323 : 483;
        At(n, vs) = 0x60;
        At(n, vs + 5) = 0x61;
        At(n, vs + 7) = 0xC8; // display mode 0: 4:3
        At(n, as) = 0x50;
        At(n, as + 4) = std::uint8_t((samplingCode << 3) | quantisation);
        At(n, as + 1280) = 0x51;
    }
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::System(int sequence, std::uint8_t value)
{
    At(sequence, 3) = value;
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::Timecode(int hours, int minutes, int seconds, int frames,
                                           int from, std::uint8_t flags)
{
    for (int n = from; n < Sequences(); ++n) {
        for (std::size_t id : {std::size_t(110), std::size_t(190)}) {
            At(n, id) = 0x13;
            At(n, id + 1) = Bcd(frames) | (flags & 0xC0);
            At(n, id + 2) = Bcd(seconds) | (flags & 0x80);
            At(n, id + 3) = Bcd(minutes) | (flags & 0x80);
            At(n, id + 4) = Bcd(hours) | (flags & 0xC0);
        }
    }
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::RecordingRaw(int n, std::uint8_t dateId, std::uint8_t day,
                                               std::uint8_t month, std::uint8_t year,
                                               std::uint8_t timeId, std::uint8_t seconds,
                                               std::uint8_t minutes, std::uint8_t hours)
{
    At(n, 458) = dateId;
    At(n, 459) = dateId == 0 ? 0 : 0xFF;
    At(n, 460) = day;
    At(n, 461) = month;
    At(n, 462) = year;
    At(n, 463) = timeId;
    At(n, 464) = timeId == 0 ? 0 : 0xFF;
    At(n, 465) = seconds;
    At(n, 466) = minutes;
    At(n, 467) = hours;
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::Recording(int year, int month, int day, int hours, int minutes,
                                            int seconds)
{
    for (int n = 0; n < Sequences(); ++n) {
        // Flag bits set as camcorders do: they must not change the values.
        RecordingRaw(n, 0x62, Bcd(day) | 0xC0, std::uint8_t(Bcd(month) | 0xE0), Bcd(year % 100),
                     0x63, Bcd(seconds) | 0x80, Bcd(minutes) | 0x80, Bcd(hours) | 0xC0);
    }
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::Display(int mode, int application, int sequence)
{
    At(sequence, 453) = 0x61;
    At(sequence, 455) = std::uint8_t(0xF8 | (mode & 0x07));
    At(sequence, 7) = std::uint8_t(0x78 | (application & 0x07));
    return *this;
}

TDvFrameBuilder& TDvFrameBuilder::AudioSource(int samplingCode, int quantisation)
{
    for (int n = 0; n < Sequences(); n += 2) {
        At(n, 4323) = 0x50;
        At(n, 4327) = std::uint8_t((samplingCode << 3) | quantisation);
    }
    return *this;
}
