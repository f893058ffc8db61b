#include "app/ShowFormLayout.h"

#include <QtMath>

namespace {
struct Scaler {
    double f;
    int operator()(int v) const { return qRound(v * f); }
};
} // namespace

TShowFormLayout ComputeShowFormLayout(const TShowFormLayoutInput& in)
{
    using namespace ShowFormDesign;
    const Scaler px{in.Scale};
    const int w = in.Client.width();
    const int h = in.Client.height();
    TShowFormLayout l;

    int bevel1Left = 0;
    if (in.PanelsRight) {
        l.LeftFrame = w - px(PanelWidth);
        l.VideoOffset = 0;
        bevel1Left = l.LeftFrame - 1;
    } else {
        l.LeftFrame = 0;
        l.VideoOffset = px(PanelWidth);
        bevel1Left = px(PanelWidth + 1);
    }
    l.Bar = QRect(0, 0, w, px(BarHeight));
    l.PanelTitre = QRect(0, px(TitreTop), w, px(TitreHeight));
    l.PanelImage = QRect(0, h - px(ImageBarHeight), w, px(ImageBarHeight));

    const int videoLeft = l.VideoOffset + px(8) + (in.SlidersShown ? 0 : px(11));
    l.VideoPanel = QRect(videoLeft, px(VideoTop), w - px(VideoMargin), h - px(VideoHeightMargin));
    l.Extraire = QRect(l.LeftFrame, px(SideTop), px(PanelWidth), h - px(ExtraireMargin));
    l.SidePanel = l.Extraire;

    const int titreWidth = l.PanelTitre.width();
    l.ScnLeft = titreWidth - px(30);
    l.SrtLeft = titreWidth - px(48);
    l.ModdLeft = titreWidth - px(80);

    const int navLeft = l.VideoPanel.left() + (l.VideoPanel.width() - in.NavWidth) / 2;
    const int navTop = l.VideoPanel.top() + l.VideoPanel.height();
    l.Nav = QRect(navLeft, navTop, in.NavWidth, px(NavHeight));
    l.Intervallo = l.Nav;
    l.PanelHaut = QRect(l.VideoPanel.left(), px(HautTop), l.VideoPanel.width(), px(HautHeight));

    l.Bevel1 = QRect(bevel1Left, px(54), 2, h - px(84));
    l.Bevel2 = QRect(0, px(29), w, 2);
    l.SeparatorWidth = (w - px(580)) / 4;
    return l;
}

TSliderPlaces PlaceSliderRects(const QRect& aVideoPanel, const QRect& aVideo, double aScale)
{
    using namespace ShowFormDesign;
    const Scaler px{aScale};
    const int over = px(SliderOverhang);
    const int thick = px(SliderThickness);
    // The overhang lets the slider thumbs reach the picture's edges.
    TSliderPlaces s;
    s.Y = QRect(aVideoPanel.left() + aVideo.right() + 1, aVideoPanel.top() + aVideo.top() - over,
                thick, aVideo.height() + 2 * over);
    s.X = QRect(aVideoPanel.left() + aVideo.left() - over, aVideoPanel.top() + aVideo.bottom() + 1,
                aVideo.width() + 2 * over, thick);
    return s;
}
