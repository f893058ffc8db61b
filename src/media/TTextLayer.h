#pragma once

#include "prefs/PrefTypes.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <vector>

class QPainter;

// One line of the text drawn over the video. Its place is given as fractions of the picture:
// HFactor of the width from the left, VFactor of the height from the top (from the end of the
// previous line when Stacked).
struct TTextLine {
    QString Text;
    double HFactor = 0;
    double VFactor = 0;
    bool Enabled = false;
    bool Stacked = true;
    int Align = 0; // 0 left, 1 right, 2 centre
};
using TTextLines = std::array<TTextLine, 8>;

// Line 0 enabled with a French placeholder, not stacked; lines 1 to 7 disabled, stacked.
TTextLines DefaultTextLines();

struct TTextStyle {
    TFontDesc Font;
    int BorderWidth = 2;
    TColor BorderColor = 0;             // black
    TColor TransparentColor = 0xFF00FF; // fuchsia: text or outline of this colour is not drawn
    bool AntiAliasing = true;
    double Transparency = 1.0; // an opacity, see TextOpacity; not applied by RenderTextLayer
    bool AutoSize = false;
    int AnchorX = 0, AnchorY = 0; // ten-thousandths of the picture
};

// The offsets at which the outline of width aWidth is drawn: -n <= dx, dy <= n with
// |dx| + |dy| > n, row by row from the top; none when aWidth <= 0.
std::vector<QPoint> OutlineOffsets(int aWidth);

// The pixel size of the font RenderTextLayer uses for aPicture: the style's points, or with
// AutoSize max(width / 36, height / 28) points, turned into pixels at 96 dots per inch.
int TextPixelSize(QSize aPicture, const TTextStyle& aStyle);

// The text as drawn over a picture: only the part of it that holds text, and where that part
// lies in the picture. Redrawn at every frame when the text shows the position, so it stays
// small: a full-frame layer would cost a frame-sized fill, key pass and blend each time.
struct TTextPart {
    QImage Image; // ARGB32 premultiplied; null when nothing shows
    QPoint At;
    bool IsNull() const { return Image.isNull(); }
};

// The enabled lines drawn with their outline over a picture of size aPicture, cropped to the
// box that holds them (within the picture).
TTextPart RenderTextPart(QSize aPicture, const TTextLines& aLines, const TTextStyle& aStyle);

// The same drawn on a transparent picture of size aPicture (ARGB32 premultiplied); a null image
// for an empty size.
QImage RenderTextLayer(QSize aPicture, const TTextLines& aLines, const TTextStyle& aStyle);

// The stored transparency read as an opacity, clamped into 0..1 (the preference's 100.0 is
// fully opaque); a value that is not a number is fully opaque.
double TextOpacity(double aTransparency);

struct TVideoPaint {
    QRect Host; // the window's client rectangle
    QColor HostColor = Qt::black;
    QColor BorderColor = Qt::black;
    int Border = 8;
    QSize Aspect; // 0, 0: the picture fills the host less the border
    const QImage* Frame = nullptr;
    bool FlipH = false, FlipV = false;
    const QImage* TextLayer = nullptr;
    QPoint TextAt; // where the layer lies in the frame, in the frame's pixels
    double Opacity = 1.0;
    bool Smooth = true;
};

// The video rectangle PaintVideo draws the picture in.
QRect VideoRect(const TVideoPaint& aPaint);

// Paints the whole host once, each pixel once (no flicker): host colour around the bordered
// video rectangle, border colour around the video rectangle, the frame scaled into it
// (mirrored as asked; without a frame the video rectangle takes the host colour), then the
// text layer scaled into the same rectangle at the opacity, never mirrored. The painter's
// state is given back as it came.
void PaintVideo(QPainter& aPainter, const TVideoPaint& aPaint);

// What a grab gets: the frame at its own size (RGB32) with the text layer put onto it at aAt
// and aOpacity; a copy of the frame without a layer; a null image without a frame.
QImage ComposeCurrentImage(const QImage& aFrame, const QImage& aTextLayer, double aOpacity,
                           QPoint aAt = {});
