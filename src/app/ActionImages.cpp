#include "app/ActionImages.h"

#include "actions/TCheckAction.h"
#include "actions/TCustomKoActionList.h"
#include "actions/TImageList.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

#include <iterator>

namespace {

// A picture is a file of the bundled icon set, or a short text drawn in a rounded box for the
// commands that no stock picture says well.
struct ActionImage {
    int Index;
    const char* Icon; // ":/icons/<name>.png", or null
    const char* Text; // drawn when there is no icon
};

constexpr ActionImage kImages[] = {
    {0, "document-open", nullptr},
    {1, "edit-paste", nullptr},
    {2, "process-stop", nullptr},
    {3, "video-x-generic", nullptr},
    {4, "system-log-out", nullptr},
    {5, "camera-video", nullptr},
    {6, "camera-photo", nullptr},
    {7, "image-x-generic", nullptr},
    {8, "edit-copy", nullptr},
    {9, "help-browser", nullptr},
    {10, "preferences-system", nullptr},
    {11, "view-fullscreen", nullptr},
    {12, "audio-volume-muted", nullptr},
    {13, "audio-volume-high", nullptr},
    {14, nullptr, "1:23"},
    {19, "document-save", nullptr},
    {20, "appointment", nullptr},
    {22, "preferences-desktop-font", nullptr},
    {27, nullptr, "DV"},
    {31, "dialog-information", nullptr},
    {43, "media-playback-start", nullptr},
    {44, "media-playback-pause", nullptr},
    {71, "x-office-calendar", nullptr},
    {72, "accessories-text-editor", nullptr},
    {73, nullptr, "TC"},
    {74, nullptr, "123"},
    {75, "text-x-script", nullptr},
    {76, nullptr, "<>"},
    {77, nullptr, "A"},
    {78, nullptr, "4:3"},
    {79, nullptr, "16:9"},
    {80, nullptr, "1:1"},
    {81, "media-playback-stop", nullptr},
    {82, "go-jump", nullptr},
    {83, "folder", nullptr},
    {84, "media-eject", nullptr},
    {85, nullptr, "Aa"},
    {86, nullptr, "\u21C5"},
    {87, nullptr, "\u21C6"},
};

// Pictures of the managers' actions: an image, and for a check action the one when unchecked.
struct TPicture {
    const char* Id;
    int Image;
    int FalseImage = -2; // -2: as Image
};

constexpr TPicture kPictures[] = {
    {"waOpenFile", 0},  {"naPasteFile", 1},     {"naCloseFile", 84},    {"caFullscreen", 11},
    {"caMute", 12, 13}, {"caInsertTextOn", 85}, {"caFlipVertical", 86}, {"caFlipHorizontal", 87},
};

QPixmap TextPicture(const QString& aText)
{
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2e, 0x34, 0x36), 1));
    p.setBrush(QColor(0xee, 0xee, 0xec));
    p.drawRoundedRect(QRectF(1.5, 3.5, 19, 15), 3, 3);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(aText.size() > 3 ? 7 : aText.size() > 2 ? 8 : aText.size() > 1 ? 10 : 14);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x20, 0x4a, 0x87));
    p.drawText(QRect(1, 3, 20, 16), Qt::AlignCenter, aText);
    return pm;
}

} // namespace

void FillActionImages(TImageList& aImages)
{
    Q_INIT_RESOURCE(icons); // the bundle lives in a static library
    for (const ActionImage& img : kImages) {
        if (img.Icon)
            aImages.Set(img.Index,
                        QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(img.Icon))));
        else
            aImages.Set(img.Index, QIcon(TextPicture(QString::fromUtf8(img.Text))));
    }
}

void FillScriptImages(TImageList& aImages)
{
    Q_INIT_RESOURCE(icons);
    const char* const icons[] = {"document-open", "document-save",       "media-playback-start",
                                 "help-browser",  "media-playback-stop", "media-record",
                                 "edit-clear"};
    for (int i = 0; i < int(std::size(icons)); ++i)
        aImages.Set(i, QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(icons[i]))));
}

void GivePictures(const QList<TCustomKoActionList*>& aLists, TImageList* aImages)
{
    for (TCustomKoActionList* list : aLists)
        if (!list->Images())
            list->SetImages(aImages);
    for (const TPicture& p : kPictures)
        for (TCustomKoActionList* list : aLists) {
            TCustomAbstractAction* a = list->FindByInternalId(QString::fromLatin1(p.Id));
            if (!a || a->ImageIndex() >= 0)
                continue;
            if (auto* check = qobject_cast<TCheckAction*>(a)) {
                check->SetTrueImageIndex(p.Image);
                check->SetFalseImageIndex(p.FalseImage == -2 ? p.Image : p.FalseImage);
            } else {
                a->SetImageIndex(p.Image);
            }
        }
}
