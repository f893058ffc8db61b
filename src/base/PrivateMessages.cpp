#include "base/PrivateMessages.h"

#include <cstring>
#include <iterator>

namespace {

struct TNamedMessage {
    int value;
    const char* name;
};

constexpr TNamedMessage kMessages[] = {
    {NM_VIDEO_INFO, "NM_VIDEO_INFO"},
    {NM_AUDIO_INFO, "NM_AUDIO_INFO"},
    {NM_DATECODE, "NM_DATECODE"},
    {NM_TIMECODE, "NM_TIMECODE"},
    {NM_STREAM_CODES, "NM_STREAM_CODES"},
    {NM_POSITION_CHANGED, "NM_POSITION_CHANGED"},
    {NM_POSITION_TEXT, "NM_POSITION_TEXT"},
    {NM_FRAME_DURATION, "NM_FRAME_DURATION"},
    {NM_TARGET_REACHED, "NM_TARGET_REACHED"},
};

} // namespace

const char* NotifyMessageName(int value)
{
    for (const auto& m : kMessages)
        if (m.value == value)
            return m.name;
    return nullptr;
}

int NotifyMessageValue(const char* name)
{
    if (!name)
        return 0;
    for (const auto& m : kMessages)
        if (std::strcmp(m.name, name) == 0)
            return m.value;
    return 0;
}
