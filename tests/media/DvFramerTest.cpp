#include "media/core/TDvFramer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// n PAL frames, each beginning with a header block and filled with its number.
std::vector<std::uint8_t> Frames(int aCount, bool aPal = true)
{
    const std::size_t size = aPal ? 144000 : 120000;
    std::vector<std::uint8_t> bytes(size * std::size_t(aCount));
    for (int f = 0; f < aCount; ++f) {
        std::uint8_t* at = bytes.data() + size * std::size_t(f);
        std::fill(at, at + size, std::uint8_t(f + 1));
        at[0] = 0x1F;
        at[1] = 0x07;
        at[2] = 0x00;
        at[3] = aPal ? 0xBF : 0x3F;
    }
    return bytes;
}

struct TSeen {
    std::vector<std::int64_t> numbers;
    std::vector<int> fills; // the byte after the header: which frame the bytes came from
    TDvFramer::TFrame Sink()
    {
        return [this](const std::uint8_t* aData, std::size_t aSize, std::int64_t aNumber) {
            numbers.push_back(aNumber);
            fills.push_back(aSize > 10 ? aData[10] : -1);
        };
    }
};

// Pushes bytes [aFrom, aTo) of aBytes in chunks of aChunk, with their offsets when asked.
void Feed(TDvFramer& aFramer, const std::vector<std::uint8_t>& aBytes, std::size_t aFrom,
          std::size_t aTo, std::size_t aChunk, bool aOffsets, const TDvFramer::TFrame& aSink)
{
    for (std::size_t at = aFrom; at < aTo; at += aChunk) {
        const std::size_t n = std::min(aChunk, aTo - at);
        aFramer.Push(aBytes.data() + at, n, aOffsets ? std::int64_t(at) : -1, aSink);
    }
}

} // namespace

TEST(DvFramer, ChunksOfAnySizeComeOutAsNumberedFrames)
{
    const auto bytes = Frames(5);
    for (std::size_t chunk : {4096u, 1u << 16, 7u, 300000u}) {
        TDvFramer framer;
        TSeen seen;
        Feed(framer, bytes, 0, bytes.size(), chunk, true, seen.Sink());
        EXPECT_EQ(seen.numbers, (std::vector<std::int64_t>{0, 1, 2, 3, 4})) << chunk;
        EXPECT_EQ(seen.fills, (std::vector<int>{1, 2, 3, 4, 5})) << chunk;
        EXPECT_EQ(framer.Size(), 144000u);
    }
    // NTSC frames, without offsets: counted from the start.
    const auto ntsc = Frames(3, false);
    TDvFramer framer;
    TSeen seen;
    Feed(framer, ntsc, 0, ntsc.size(), 5000, false, seen.Sink());
    EXPECT_EQ(seen.numbers, (std::vector<std::int64_t>{0, 1, 2}));
    EXPECT_EQ(framer.Size(), 120000u);
}

TEST(DvFramer, AfterASeekFramesKeepTheirNumbersAndAPartOneIsSkipped)
{
    const auto bytes = Frames(6);
    TDvFramer framer;
    TSeen seen;
    Feed(framer, bytes, 0, 144000 + 5000, 4096, true, seen.Sink()); // frame 0, part of 1
    framer.Reset();
    Feed(framer, bytes, 3 * 144000, bytes.size(), 4096, true, seen.Sink());
    EXPECT_EQ(seen.numbers, (std::vector<std::int64_t>{0, 3, 4, 5}));
    EXPECT_EQ(seen.fills, (std::vector<int>{1, 4, 5, 6}));

    // A jump without a flush, landing inside frame 1: it starts over at frame 2.
    TSeen jumped;
    TDvFramer other;
    Feed(other, bytes, 0, 4096, 4096, true, jumped.Sink());
    Feed(other, bytes, 144000 + 1000, bytes.size(), 4096, true, jumped.Sink());
    EXPECT_EQ(jumped.numbers, (std::vector<std::int64_t>{2, 3, 4, 5}));
    EXPECT_EQ(jumped.fills, (std::vector<int>{3, 4, 5, 6}));
}

TEST(DvFramer, BytesThatAreNoDvGiveNothing)
{
    std::vector<std::uint8_t> noise(400000, 0xAB);
    TDvFramer framer;
    TSeen seen;
    Feed(framer, noise, 0, noise.size(), 4096, true, seen.Sink());
    EXPECT_TRUE(seen.numbers.empty());
    EXPECT_EQ(TDvFramer::FrameSize(noise.data()), 0u);
}
