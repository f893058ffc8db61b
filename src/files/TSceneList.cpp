#include "files/TSceneList.h"

#include <QFile>

namespace {

// Little-endian fields read against the end of the bytes: a read past it fails and leaves the
// reader failed, so a short file gives no invented values.
class TSceneReader {
public:
    explicit TSceneReader(const QByteArray& aBytes)
        : m_data(reinterpret_cast<const uchar*>(aBytes.constData()))
        , m_size(aBytes.size())
    {
    }

    bool Skip(qint64 aCount)
    {
        if (!m_ok || aCount < 0 || aCount > m_size - m_pos)
            return m_ok = false;
        m_pos += aCount;
        return true;
    }
    bool Byte(quint8& aValue)
    {
        if (!Skip(1))
            return false;
        aValue = m_data[m_pos - 1];
        return true;
    }
    bool Word(quint16& aValue)
    {
        if (!Skip(2))
            return false;
        aValue = quint16(m_data[m_pos - 2] | m_data[m_pos - 1] << 8);
        return true;
    }
    bool Int32(qint32& aValue)
    {
        if (!Skip(4))
            return false;
        const uchar* p = m_data + m_pos - 4;
        aValue =
            qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        return true;
    }
    // A text skipped by its length prefix: a byte under 255, else a 16-bit length under 0xFEFF,
    // else 16-bit characters counted the same way. The 16-bit lengths are little-endian like
    // every other field (the bytes FE FF still mark the wide text).
    bool SkipString()
    {
        quint8 n = 0;
        if (!Byte(n))
            return false;
        if (n < 255)
            return Skip(n);
        quint16 m = 0;
        if (!Word(m))
            return false;
        if (m < 0xFEFF)
            return Skip(m);
        quint8 k = 0;
        if (!Byte(k))
            return false;
        if (k < 255)
            return Skip(2 * qint64(k));
        quint16 j = 0;
        return Word(j) && Skip(2 * qint64(j));
    }
    bool Ok() const { return m_ok; }

private:
    const uchar* m_data;
    qint64 m_size;
    qint64 m_pos = 0;
    bool m_ok = true;
};

// The flagged tail both the header and the records end with.
bool SkipFlagged(TSceneReader& aReader, quint8 aF1, quint8 aF2)
{
    if (aF2 & 0x40)
        aReader.Skip(4);
    if (aF1 & 0x80)
        aReader.SkipString();
    return aReader.Ok();
}

std::unique_ptr<TScene> ReadHeader(TSceneReader& aReader, const QString& aPath, quint16& aCount)
{
    auto scene = std::make_unique<TScene>();
    scene->Path = aPath;
    quint8 f1 = 0, f2 = 0;
    aReader.Skip(24);
    aReader.SkipString();
    aReader.Skip(8);
    aReader.Word(aCount);
    aReader.Skip(11);
    aReader.Byte(f1);
    aReader.Byte(f2);
    aReader.Skip(12);
    aReader.SkipString();
    aReader.Int32(scene->StartFrame);
    aReader.Int32(scene->Second);
    aReader.Skip(6);
    aReader.SkipString();
    aReader.Skip(8 + 4);
    if (!SkipFlagged(aReader, f1, f2))
        return nullptr;
    return scene;
}

std::unique_ptr<TScene> ReadRecord(TSceneReader& aReader, const QString& aPath)
{
    auto scene = std::make_unique<TScene>();
    scene->Path = aPath;
    quint8 f1 = 0, f2 = 0;
    aReader.Skip(3);
    aReader.Byte(f1);
    aReader.Byte(f2);
    aReader.Skip(3);
    aReader.SkipString();
    aReader.Int32(scene->StartFrame);
    aReader.Int32(scene->Second);
    aReader.Skip(6 + 3 * 4);
    if (!SkipFlagged(aReader, f1, f2))
        return nullptr;
    return scene;
}

} // namespace

const TScene* TSceneList::At(qsizetype aIndex) const
{
    if (aIndex < 0 || aIndex >= Count())
        return nullptr;
    return m_scenes[size_t(aIndex)].get();
}

bool ReadScenes(TSceneList& aList, const QByteArray& aBytes, const QString& aPath)
{
    aList.Clear();
    TSceneReader reader(aBytes);
    quint16 count = 0;
    std::unique_ptr<TScene> first = ReadHeader(reader, aPath, count);
    if (!first)
        return false;
    aList.Add(std::move(first));
    // Nothing is reserved from the count: the file's own length bounds what is read.
    for (quint32 i = 0; i < count; ++i) {
        std::unique_ptr<TScene> scene = ReadRecord(reader, aPath);
        if (!scene)
            return false;
        aList.Add(std::move(scene));
    }
    return true;
}

bool LoadScenes(TSceneList& aList, const QString& aPath)
{
    // The scenes of the previous video never outlive it, whatever this file holds.
    aList.Clear();
    QFile file(aPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return ReadScenes(aList, bytes, aPath);
}

void ClearScenes(TSceneList& aList)
{
    aList.Clear();
}

const TScene* SceneAt(const TSceneList& aList, qsizetype aIndex)
{
    return aList.At(aIndex);
}

std::optional<qint64> NextSceneStart(const TSceneList& aList, qint64 aFrame)
{
    for (qsizetype i = 0; i < aList.Count(); ++i)
        if (qint64(aList.At(i)->StartFrame) > aFrame)
            return aList.At(i)->StartFrame;
    return std::nullopt;
}

std::optional<qint64> PreviousSceneStart(const TSceneList& aList, qint64 aFrame)
{
    for (qsizetype i = aList.Count() - 1; i >= 0; --i)
        if (qint64(aList.At(i)->StartFrame) < aFrame)
            return aList.At(i)->StartFrame;
    return std::nullopt;
}
