#include "media/core/TKeyFrames.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 kFrame = 400'000;

// Key frames every aEvery frames over aFrames frames, as a decoder's input sees them.
void Feed(TKeyFrames& aKeys, int aFrom, int aTo, int aEvery)
{
    for (int f = aFrom; f < aTo; ++f)
        aKeys.Note(f * kFrame, f % aEvery == 0);
}

} // namespace

TEST(KeyFrames, KnownKeysAndTheSpacingTheyShow)
{
    TKeyFrames keys;
    EXPECT_FALSE(keys.KeyBetween(0, 100 * kFrame)); // nothing known: decode on
    Feed(keys, 0, 10, 50);
    EXPECT_FALSE(keys.KeyBetween(0, 40 * kFrame)); // one key: no spacing yet
    Feed(keys, 50, 60, 50);
    // Known: 0 and 50. After (not at) the start, at or before the end.
    EXPECT_TRUE(keys.KeyBetween(25 * kFrame, 50 * kFrame));
    EXPECT_FALSE(keys.KeyBetween(50 * kFrame, 75 * kFrame));
    EXPECT_FALSE(keys.KeyBetween(25 * kFrame, 49 * kFrame));
    // Not seen yet, expected one spacing on: at 100, 150, ...
    EXPECT_TRUE(keys.KeyBetween(75 * kFrame, 100 * kFrame));
    EXPECT_FALSE(keys.KeyBetween(75 * kFrame, 99 * kFrame));
    EXPECT_TRUE(keys.KeyBetween(130 * kFrame, 160 * kFrame));
    EXPECT_FALSE(keys.KeyBetween(101 * kFrame, 149 * kFrame));
    EXPECT_FALSE(keys.IntraOnly());
    // A closer pair (a scene cut) makes the expectation the safer one: more seeks, never fewer.
    keys.Note(70 * kFrame, true);
    EXPECT_TRUE(keys.KeyBetween(75 * kFrame, 90 * kFrame));
    keys.Clear();
    EXPECT_FALSE(keys.KeyBetween(25 * kFrame, 50 * kFrame));
}

TEST(KeyFrames, AStreamOfKeyFramesOnlyAlwaysHasOneOnTheWay)
{
    TKeyFrames keys;
    Feed(keys, 0, TKeyFrames::kIntraRun - 1, 1);
    EXPECT_FALSE(keys.IntraOnly());
    Feed(keys, TKeyFrames::kIntraRun - 1, 200, 1);
    EXPECT_TRUE(keys.IntraOnly());
    EXPECT_TRUE(keys.KeyBetween(500 * kFrame, 500 * kFrame + 1));
    EXPECT_FALSE(keys.KeyBetween(10 * kFrame, 10 * kFrame)); // no way at all
    // One frame that is not a key ends it.
    keys.Note(200 * kFrame, false);
    EXPECT_FALSE(keys.IntraOnly());
}

TEST(KeyFrames, FarPositionsDoNotOverflow)
{
    TKeyFrames keys;
    keys.Note(0, true);
    keys.Note(kFrame, false);
    keys.Note(50 * kFrame, true);
    const qint64 far = std::numeric_limits<qint64>::max() - 10;
    EXPECT_FALSE(keys.KeyBetween(far - 100, far));
    EXPECT_FALSE(keys.KeyBetween(-far, -far + 100));
}
