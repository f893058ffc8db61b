#include "media/core/TMpeg2SequenceHeader.h"

#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uint8_t> Header(int width, int height, int aspect, int rate)
{
    return {0x00,
            0x00,
            0x01,
            0xB3,
            std::uint8_t(width >> 4),
            std::uint8_t(((width & 0x0F) << 4) | (height >> 8)),
            std::uint8_t(height & 0xFF),
            std::uint8_t((aspect << 4) | rate),
            0xFF,
            0xFF,
            0xE0,
            0x18};
}

TEST(Mpeg2Header, Fields)
{
    const auto h = Header(720, 576, 3, 3);
    const auto parsed = TMpeg2SequenceHeader::Parse(h.data(), h.size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->width, 720);
    EXPECT_EQ(parsed->height, 576);
    EXPECT_EQ(parsed->aspectInformation, 3);
    EXPECT_EQ(parsed->frameRate, 25);
    const auto big = Header(4095, 4095, 2, 8);
    EXPECT_EQ(TMpeg2SequenceHeader::Parse(big.data(), big.size())->width, 4095);
    EXPECT_EQ(TMpeg2SequenceHeader::Parse(big.data(), big.size())->height, 4095);
}

TEST(Mpeg2Header, FrameRates)
{
    const double rates[] = {0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};
    for (int code = 1; code <= 15; ++code) {
        const auto h = Header(352, 288, 2, code);
        const auto parsed = TMpeg2SequenceHeader::Parse(h.data(), h.size());
        ASSERT_TRUE(parsed) << code;
        EXPECT_DOUBLE_EQ(parsed->frameRate, code <= 8 ? rates[code] : 0.0) << code;
    }
    EXPECT_DOUBLE_EQ(24000.0 / 1001, 24 / 1.001);
}

TEST(Mpeg2Header, Rejected)
{
    auto h = Header(720, 576, 2, 3);
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(h.data(), 11)); // cut short
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(h.data(), 4));
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(nullptr, 12));
    h[3] = 0xB8; // a GOP header
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(h.data(), h.size()));
    h = Header(720, 576, 0, 3);
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(h.data(), h.size()));
    h = Header(720, 576, 2, 0);
    EXPECT_FALSE(TMpeg2SequenceHeader::Parse(h.data(), h.size()));
}

} // namespace
