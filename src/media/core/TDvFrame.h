#pragma once

#include "media/core/TframeData.h"

#include <QDateTime>

#include <cstddef>
#include <cstdint>

struct TDvTimecode {
    bool valid = false;
    quint8 hours = 0;
    quint8 minutes = 0;
    quint8 seconds = 0;
    quint8 frames = 0;
};

struct TDvRecording {
    bool valid = false;
    QDateTime dateTime; // UTC-specced wall-clock time, valid only when valid
};

struct TDvAudio {
    int samplingRate = -1; // -1 when no sequence carries an audio source pack
    int bitsPerSample = -1;
};

// Read-only view of one whole DV frame: 10 DIF sequences of 12,000 bytes (525/60) or 12
// (625/50). A buffer of any other size is not a frame: every rule then finds nothing.
class TDvFrame {
public:
    static constexpr std::size_t kSequenceSize = 12'000;
    static constexpr std::size_t kFrameSize525 = 120'000;
    static constexpr std::size_t kFrameSize625 = 144'000;
    // Rules that search the frame look at these first sequences, whatever the system.
    static constexpr int kSearchedSequences = 10;

    TDvFrame(const std::uint8_t* data, std::size_t size);

    static bool IsFrameSize(std::size_t size)
    {
        return size == kFrameSize525 || size == kFrameSize625;
    }
    bool IsFrame() const { return m_sequences > 0; }
    bool Is625() const { return m_sequences == 12; }
    int Sequences() const { return m_sequences; }

    // More 0xBF than 0x3F system bytes: 625/50; more 0x3F: 525/60; equal: undecided.
    quint8 SystemVote() const;
    TDvTimecode Timecode() const;
    TDvRecording Recording() const;
    bool IsWide() const;
    TDvAudio Audio() const;
    // The layout of an interleaved frame: system bytes, audio flags, VAUX and AAUX packs.
    bool StructureOk() const;

    // Byte `offset` of sequence `sequence`; 0xFF outside the frame.
    std::uint8_t At(int sequence, std::size_t offset) const;

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    int m_sequences = 0;
};
