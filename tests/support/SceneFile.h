#pragma once

// Scene files written byte by byte for the tests: the header with the first scene, then the
// records, little-endian, each string with the length prefix asked for.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

namespace SceneFile {

struct TEntry {
    qint32 Start = 0;
    qint32 Second = 0;
    quint8 F1 = 0;
    quint8 F2 = 0;
    // A whole string, length prefix included: the one before the start frame.
    QByteArray Name = QByteArray("\x04scn1", 5);
};

class TWriter {
public:
    QByteArray Bytes;

    void Zeros(int aCount) { Bytes.append(aCount, '\0'); }
    void Byte(quint8 aValue) { Bytes.append(char(aValue)); }
    void Word(quint16 aValue)
    {
        Byte(quint8(aValue));
        Byte(quint8(aValue >> 8));
    }
    void Int32(qint32 aValue)
    {
        const quint32 v = quint32(aValue);
        for (int shift = 0; shift < 32; shift += 8)
            Byte(quint8(v >> shift));
    }
    void String(const QByteArray& aWhole) { Bytes.append(aWhole); }
    void Flagged(const TEntry& aEntry)
    {
        if (aEntry.F2 & 0x40)
            Int32(-1);
        if (aEntry.F1 & 0x80)
            String(QByteArray("\x02zz", 3));
    }
    void Header(const TEntry& aEntry, quint16 aCount)
    {
        Zeros(24);
        String(QByteArray("\x03"
                          "cam",
                          4));
        Zeros(8);
        Word(aCount);
        Zeros(11);
        Byte(aEntry.F1);
        Byte(aEntry.F2);
        Zeros(12);
        String(aEntry.Name);
        Int32(aEntry.Start);
        Int32(aEntry.Second);
        Zeros(6);
        String(QByteArray("\x01x", 2));
        Zeros(8 + 4);
        Flagged(aEntry);
    }
    void Record(const TEntry& aEntry)
    {
        Zeros(3);
        Byte(aEntry.F1);
        Byte(aEntry.F2);
        Zeros(3);
        String(aEntry.Name);
        Int32(aEntry.Start);
        Int32(aEntry.Second);
        Zeros(6 + 3 * 4);
        Flagged(aEntry);
    }
};

// A whole file: the first entry in the header, the others as records.
inline QByteArray Make(const std::vector<TEntry>& aScenes)
{
    TWriter w;
    w.Header(aScenes.front(), quint16(aScenes.size() - 1));
    for (size_t i = 1; i < aScenes.size(); ++i)
        w.Record(aScenes[i]);
    return w.Bytes;
}

// Scenes starting at the frames given, without flags.
inline QByteArray Starting(const std::vector<qint32>& aStarts)
{
    std::vector<TEntry> scenes;
    for (qint32 s : aStarts)
        scenes.push_back({.Start = s});
    return Make(scenes);
}

inline bool Write(const QString& aPath, const QByteArray& aBytes)
{
    QFile f(aPath);
    return f.open(QIODevice::WriteOnly) && f.write(aBytes) == aBytes.size();
}

} // namespace SceneFile
