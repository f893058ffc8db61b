#include "grab/SavedImageSize.h"

#include <gtest/gtest.h>

TEST(SavedImageSize, TheLargestRectangleOfTheAspectInsideTheFrame)
{
    EXPECT_EQ(SavedImageSize(4, 3, QSize(720, 576)), QSize(720, 540));
    EXPECT_EQ(SavedImageSize(16, 9, QSize(720, 576)), QSize(720, 405));
    EXPECT_EQ(SavedImageSize(9, 16, QSize(720, 576)), QSize(324, 576));
    EXPECT_EQ(SavedImageSize(4, 3, QSize(640, 480)), QSize(640, 480));
    EXPECT_EQ(SavedImageSize(16, 9, QSize(1920, 1080)), QSize(1920, 1080));
    EXPECT_EQ(SavedImageSize(4, 3, QSize(1920, 1080)), QSize(1440, 1080));
    EXPECT_EQ(SavedImageSize(1, 1, QSize(3, 2)), QSize(2, 2));
}

TEST(SavedImageSize, NoAspectKeepsTheFrameAndNoFrameGivesNothing)
{
    EXPECT_EQ(SavedImageSize(0, 0, QSize(720, 576)), QSize(720, 576));
    EXPECT_EQ(SavedImageSize(0, 3, QSize(720, 576)), QSize(720, 576));
    EXPECT_EQ(SavedImageSize(-4, 3, QSize(720, 576)), QSize(720, 576));
    EXPECT_EQ(SavedImageSize(4, -3, QSize(720, 576)), QSize(720, 576));
    EXPECT_EQ(SavedImageSize(4, 3, QSize(0, 0)), QSize(0, 0));
    EXPECT_EQ(SavedImageSize(0, 0, QSize(0, 0)), QSize(0, 0));
    EXPECT_EQ(SavedImageSize(4, 3, QSize()), QSize(0, 0));
    EXPECT_EQ(SavedImageSize(0, 0, QSize()), QSize(0, 0));
    EXPECT_EQ(SavedImageSize(16, 9, QSize(720, 0)), QSize(0, 0));
}
