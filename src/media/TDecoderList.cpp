#include "media/TDecoderList.h"

#include "prefs/TDravikPreferences.h"

#include <algorithm>

void TDecoderList::Remember(const TMediaTypeKey& aKey, std::unique_ptr<TFilterRec> aRecord)
{
    const int i = IndexOf(aKey);
    if (i >= 0)
        m_links[size_t(i)].Record = std::move(aRecord);
    else
        m_links.push_back({aKey, std::move(aRecord)});
}

const TFilterRec* TDecoderList::Find(const TMediaTypeKey& aKey) const
{
    const int i = IndexOf(aKey);
    return i >= 0 ? m_links[size_t(i)].Record.get() : nullptr;
}

void TDecoderList::Forget(const TMediaTypeKey& aKey)
{
    std::erase_if(m_links, [&](const TLink& l) { return l.Key == aKey; });
}

int TDecoderList::IndexOf(const TMediaTypeKey& aKey) const
{
    const auto it = std::find_if(m_links.cbegin(), m_links.cend(),
                                 [&](const TLink& l) { return l.Key == aKey; });
    return it == m_links.cend() ? -1 : int(it - m_links.cbegin());
}

void TDecoderList::LoadFromPrefs(TDravikPreferences& aPrefs, const QString& aName)
{
    if (!aPrefs.OpenSection(aName))
        return;
    QStringList entries;
    aPrefs.GetKeyNames(entries);
    const QString none = QStringLiteral("\x01");
    for (const QString& entry : std::as_const(entries)) {
        if (!aPrefs.OpenSection(entry))
            continue;
        TMediaTypeKey key;
        key.Major = aPrefs.ReadString(QStringLiteral("majortype"), none);
        key.Subtype = aPrefs.ReadString(QStringLiteral("subtype"), none);
        key.Format = aPrefs.ReadString(QStringLiteral("formattype"), none);
        const QString name = aPrefs.ReadString(QStringLiteral("name"), none);
        const QString factory = aPrefs.ReadString(QStringLiteral("decoderguid"), none);
        aPrefs.CloseSection();
        const bool readable = key.Major != none && key.Subtype != none && key.Format != none &&
                              name != none && factory != none && !key.Subtype.isEmpty();
        if (readable)
            Remember(key, std::make_unique<TFilterRec>(factory, name));
    }
    aPrefs.CloseSection();
}

bool TDecoderList::SaveToPrefs(TDravikPreferences& aPrefs, const QString& aName) const
{
    // Written anew, so that forgotten entries do not come back at the next start.
    aPrefs.DeleteSubKey(aName);
    if (!aPrefs.OpenSection(aName))
        return false;
    bool ok = true;
    for (size_t i = 0; i < m_links.size(); ++i) {
        const TLink& l = m_links[i];
        if (!aPrefs.OpenSection(QStringLiteral("dc%1").arg(i))) {
            ok = false;
            continue;
        }
        ok = aPrefs.WriteString(QStringLiteral("majortype"), l.Key.Major) && ok;
        ok = aPrefs.WriteString(QStringLiteral("subtype"), l.Key.Subtype) && ok;
        ok = aPrefs.WriteString(QStringLiteral("formattype"), l.Key.Format) && ok;
        ok = aPrefs.WriteString(QStringLiteral("decoderguid"), l.Record->Factory) && ok;
        ok = aPrefs.WriteString(QStringLiteral("name"), l.Record->Name) && ok;
        aPrefs.CloseSection();
    }
    aPrefs.CloseSection();
    return ok;
}

TDecoderList& VideoDecoderMemory()
{
    static TDecoderList list;
    return list;
}

TDecoderList& AudioDecoderMemory()
{
    static TDecoderList list;
    return list;
}

const TFilterRec* NoVideoDecoder()
{
    static const TFilterRec none(QString(), QStringLiteral("Aucun décodeur Video"));
    return &none;
}

const TFilterRec* NoAudioDecoder()
{
    static const TFilterRec none(QString(), QStringLiteral("Aucun décodeur Audio"));
    return &none;
}
