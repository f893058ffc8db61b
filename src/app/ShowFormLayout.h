#pragma once

#include <QRect>
#include <QSize>

// Where the main window's controls go for a client size. The figures are the design's pixels,
// multiplied by Scale: the screen's logical density over the desktop's usual 96 dots per inch,
// at which the design's 13-pixel font is the desktop's own 10 points.
struct TShowFormLayoutInput {
    QSize Client;
    bool PanelsRight = false;
    bool SlidersShown = false; // caSliders checked
    int NavWidth = 0;          // navframe's own width
    double Scale = 1.0;
};

struct TShowFormLayout {
    int LeftFrame = 0;   // iaLeftFrame: left edge of the side panels
    int VideoOffset = 0; // left edge of the video area
    QRect Bevel1, Bevel2, Bar, PanelTitre, PanelImage, VideoPanel, PanelHaut, Nav, Intervallo;
    QRect SidePanel;                            // the five side panels
    QRect Extraire;                             // its height follows the window
    int ScnLeft = 0, SrtLeft = 0, ModdLeft = 0; // markers in the title bar
    int SeparatorWidth = 0;                     // each of the bar's four spacers
};

TShowFormLayout ComputeShowFormLayout(const TShowFormLayoutInput& aInput);

// The sliders around the picture: aVideo is the picture's rectangle inside videoPanel.
struct TSliderPlaces {
    QRect Y, X;
};
TSliderPlaces PlaceSliderRects(const QRect& aVideoPanel, const QRect& aVideo, double aScale);

// The design figures, before scaling.
namespace ShowFormDesign {
constexpr int Width = 1025, Height = 644, MinWidth = 708, MinHeight = 522;
constexpr int PanelWidth = 276, VideoMargin = 314, VideoHeightMargin = 214, ExtraireMargin = 80;
constexpr int TitreTop = 30, TitreHeight = 24, ImageBarHeight = 24, BarHeight = 29;
constexpr int SideTop = 56, HautTop = 56, HautHeight = 24, VideoTop = 82, NavHeight = 74;
constexpr int SliderThickness = 20, SliderOverhang = 6, ButtonSize = 28, IconSize = 22;
} // namespace ShowFormDesign
