#pragma once

#include <QString>

// The names of grabbed images: folder + root + "_" + number or time stamp + extension.

struct TImageNameSettings {
    QString folder;     // save folder, "/" or "\" at the end or not
    int rootSource = 0; // 0: fixedRoot; otherwise the video's name
    QString fixedRoot = QStringLiteral("Tessarine");
    bool limitLength = false; // cut the video's name to rootLength
    int rootLength = 8;
    int suffixKind = 0; // 0: time stamp; 1: number; else no change
    qint64 nextNumber = 1;
    int digits = 3;
    int extension = 0; // 0: BMP; otherwise JPEG
};

// The decimal number, with "0" in front up to aDigits characters; a longer one is kept whole.
QString FormatNumber(qint64 aNumber, int aDigits);

// The file name of aPath without its extension (the text from its last "." on).
QString NameWithoutExtension(const QString& aPath);

// The fixed root, or the name of the video aVideoPath (empty: no video) without its extension,
// cut to rootLength characters when limitLength is on.
QString ImageRoot(const TImageNameSettings& aSettings, const QString& aVideoPath);

// aFolder ending with "/"; a "\" left at its end by Windows preferences becomes that "/".
QString ImageFolder(const QString& aFolder);

// The position text "h:mm:ss:ff" made fit for a file name: "h.mm.ss.ff".
QString TimeStampText(const QString& aPositionText);
// The same from a position and the frame duration, in reference time.
QString TimeStampText(qint64 aFrameDuration, qint64 aPosition);

// ".bmp" for 0, ".jpg" otherwise.
QString ImageExtension(int aExtension);

// The path of the next grabbed image; aPrevious when the suffix kind is neither 0 nor 1.
// aPositionText is the position of the frame (used in time-stamp mode).
QString NextImagePath(const TImageNameSettings& aSettings, const QString& aVideoPath,
                      const QString& aPositionText, const QString& aPrevious);

// A file (not a folder) at aPath.
bool ImageFileExists(const QString& aPath);

// What a click on the next image's path shows: the next image when it exists, else the first
// earlier image of the same root in the folder, else the folder itself, else nothing.
struct TImageClickTarget {
    enum TKind { Nothing, ShowFile, OpenFolder };
    TKind kind = Nothing;
    QString path;
};
TImageClickTarget ImageClickTarget(const QString& aNextImagePath, const QString& aFolder,
                                   const QString& aRoot);
