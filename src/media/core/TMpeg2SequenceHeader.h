#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The start of an MPEG-2 video sequence header (start code 00 00 01 B3).
struct TMpeg2SequenceHeader {
    static constexpr std::size_t kMinSize = 12; // start code and the fixed fields

    int width = 0;
    int height = 0;
    int aspectInformation = 0; // 1 square pixels, 2 4:3, 3 16:9, 4 2.21:1
    int frameRateCode = 0;
    double frameRate = 0; // 0 for the reserved codes 9-15

    // Needs a whole header at the buffer's start, a non-zero aspect and frame rate code.
    static std::optional<TMpeg2SequenceHeader> Parse(const std::uint8_t* data, std::size_t size);
};
