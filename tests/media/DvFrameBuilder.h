#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Builds a DV frame byte by byte: header, subcode and VAUX/AAUX packs where a camcorder puts
// them, every other byte 0xFF. Enough for the notifier; not a picture a decoder would show.
class TDvFrameBuilder {
public:
    explicit TDvFrameBuilder(bool pal = true);

    int Sequences() const { return m_pal ? 12 : 10; }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::uint8_t* Data() const { return m_bytes.data(); }
    std::size_t Size() const { return m_bytes.size(); }
    std::uint8_t& At(int sequence, std::size_t offset)
    {
        return m_bytes[sequence * 12000 + offset];
    }

    // A well-formed interleaved frame: system bytes, audio flag, VS/VSC and AS/ASC packs.
    TDvFrameBuilder& Structure(int samplingCode = 0, int quantisation = 0);
    TDvFrameBuilder& System(int sequence, std::uint8_t value);
    // Timecode pack (0x13) at 110 and 190 of every sequence from `from` on; raw BCD bytes.
    TDvFrameBuilder& Timecode(int hours, int minutes, int seconds, int frames, int from = 0,
                              std::uint8_t flags = 0);
    // Recording date and time packs (0x62 at 458, 0x63 at 463) of every sequence.
    TDvFrameBuilder& Recording(int year, int month, int day, int hours, int minutes, int seconds);
    TDvFrameBuilder& RecordingRaw(int sequence, std::uint8_t dateId, std::uint8_t day,
                                  std::uint8_t month, std::uint8_t year, std::uint8_t timeId,
                                  std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours);
    // Video source control pack (0x61 at 453) with a display mode, and the application code.
    TDvFrameBuilder& Display(int mode, int application = 0, int sequence = 0);
    // Audio source pack in every even sequence (offset 4323).
    TDvFrameBuilder& AudioSource(int samplingCode, int quantisation);

    static std::uint8_t Bcd(int v) { return std::uint8_t(((v / 10) << 4) | (v % 10)); }

private:
    bool m_pal;
    std::vector<std::uint8_t> m_bytes;
};
