#include "app/ShowFormLayout.h"

#include <gtest/gtest.h>

namespace {

TShowFormLayout Layout(int w, int h, bool right, bool sliders = false, double scale = 1.0)
{
    TShowFormLayoutInput in;
    in.Client = QSize(w, h);
    in.PanelsRight = right;
    in.SlidersShown = sliders;
    in.NavWidth = 560;
    in.Scale = scale;
    return ComputeShowFormLayout(in);
}

TEST(ShowFormLayout, PanelsOnTheLeftPutTheVideoAfterThem)
{
    const TShowFormLayout l = Layout(1009, 582, false);
    EXPECT_EQ(l.LeftFrame, 0);
    EXPECT_EQ(l.VideoOffset, 276);
    EXPECT_EQ(l.Bevel1.left(), 277);
    EXPECT_EQ(l.VideoPanel, QRect(295, 82, 695, 368)); // 11 more while the sliders are hidden
    EXPECT_EQ(l.Extraire.height(), 502);
    EXPECT_EQ(l.Extraire.left(), 0);
    EXPECT_EQ(l.PanelTitre, QRect(0, 30, 1009, 24));
    EXPECT_EQ(l.PanelImage.top(), 582 - 24);
    EXPECT_EQ(l.ScnLeft, 979);
    EXPECT_EQ(l.SrtLeft, 961);
    EXPECT_EQ(l.ModdLeft, 929);
    EXPECT_EQ(l.SeparatorWidth, (1009 - 580) / 4);
    EXPECT_EQ(l.Bevel1.top(), 54);
    EXPECT_EQ(l.Bevel1.height(), 582 - 84);
    EXPECT_EQ(l.Nav.left(), 295 + (695 - 560) / 2);
    EXPECT_EQ(l.Nav.top(), 82 + 368);
    EXPECT_EQ(l.PanelHaut.left(), 295);
    EXPECT_EQ(l.PanelHaut.width(), 695);

    const TShowFormLayout withSliders = Layout(1009, 582, false, true);
    EXPECT_EQ(withSliders.VideoPanel.left(), 284);
}

TEST(ShowFormLayout, PanelsOnTheRightFollowTheWidth)
{
    const TShowFormLayout l = Layout(1009, 582, true);
    EXPECT_EQ(l.LeftFrame, 1009 - 276);
    EXPECT_EQ(l.VideoOffset, 0);
    EXPECT_EQ(l.Bevel1.left(), l.LeftFrame - 1);
    EXPECT_EQ(l.VideoPanel.left(), 19);
    EXPECT_EQ(Layout(1009, 582, true, true).VideoPanel.left(), 8);

    const TShowFormLayout wider = Layout(1300, 700, true);
    EXPECT_EQ(wider.LeftFrame, 1300 - 276);
    EXPECT_EQ(wider.SidePanel.left(), 1300 - 276);
    EXPECT_EQ(wider.VideoPanel.size(), QSize(1300 - 314, 700 - 214));
}

TEST(ShowFormLayout, FiguresScaleWithTheDensity)
{
    const TShowFormLayout l = Layout(800, 500, false, false, 0.8);
    EXPECT_EQ(l.VideoOffset, 221);                // 276 x 0.8
    EXPECT_EQ(l.VideoPanel.left(), 221 + 6 + 9);  // 8 and 11, scaled
    EXPECT_EQ(l.VideoPanel.width(), 800 - 251);   // 314 x 0.8
    EXPECT_EQ(l.SeparatorWidth, (800 - 464) / 4); // 580 x 0.8
}

TEST(ShowFormLayout, SlidersFrameThePictureWithTheirOverhang)
{
    const QRect panel(295, 82, 695, 368);
    const QRect picture(10, 20, 600, 300); // L 10, T 20, R 610, B 320
    const TSliderPlaces s = PlaceSliderRects(panel, picture, 1.0);
    EXPECT_EQ(s.Y.left(), 295 + 610);
    EXPECT_EQ(s.Y.top(), 82 + 20 - 6);
    EXPECT_EQ(s.Y.height(), 300 + 12);
    EXPECT_EQ(s.X.top(), 82 + 320);
    EXPECT_EQ(s.X.left(), 295 + 10 - 6);
    EXPECT_EQ(s.X.width(), 600 + 12);
}

} // namespace
