#include "media/core/TMpeg2SequenceHeader.h"

namespace {

double FrameRate(int code)
{
    switch (code) {
    case 1:
        return 24000.0 / 1001;
    case 2:
        return 24;
    case 3:
        return 25;
    case 4:
        return 30000.0 / 1001;
    case 5:
        return 30;
    case 6:
        return 50;
    case 7:
        return 60000.0 / 1001;
    case 8:
        return 60;
    default:
        return 0;
    }
}

} // namespace

std::optional<TMpeg2SequenceHeader> TMpeg2SequenceHeader::Parse(const std::uint8_t* data,
                                                                std::size_t size)
{
    if (!data || size < kMinSize)
        return std::nullopt;
    if (data[0] != 0x00 || data[1] != 0x00 || data[2] != 0x01 || data[3] != 0xB3)
        return std::nullopt;
    TMpeg2SequenceHeader h;
    h.aspectInformation = data[7] >> 4;
    h.frameRateCode = data[7] & 0x0F;
    if (h.aspectInformation == 0 || h.frameRateCode == 0)
        return std::nullopt;
    h.width = data[4] * 16 + (data[5] >> 4);
    h.height = (data[5] & 0x0F) * 256 + data[6];
    h.frameRate = FrameRate(h.frameRateCode);
    return h;
}
