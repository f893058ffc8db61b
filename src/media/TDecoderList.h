#pragma once

#include "media/TFilterRec.h"
#include "media/TGraphChunk.h"

#include <memory>
#include <vector>

class TDravikPreferences;

// The decoder memory: for each kind of stream, the decoder that played it last. Kept in the
// preferences under "VideoDecoders" / "AudioDecoders", one sub-key "dcN" per entry.
class TDecoderList {
public:
    struct TLink {
        TMediaTypeKey Key;
        std::unique_ptr<TFilterRec> Record;
    };

    // Replaces the record of aKey, or appends one; the list owns it.
    void Remember(const TMediaTypeKey& aKey, std::unique_ptr<TFilterRec> aRecord);
    const TFilterRec* Find(const TMediaTypeKey& aKey) const;
    void Forget(const TMediaTypeKey& aKey);
    int IndexOf(const TMediaTypeKey& aKey) const;
    int Count() const { return int(m_links.size()); }
    const TLink& At(int aIndex) const { return m_links.at(size_t(aIndex)); }
    void Clear() { m_links.clear(); }

    // Inside the current key of aPrefs: the sub-key aName is read, or deleted and written anew.
    // An entry that cannot be read is skipped; a later entry of the same key wins.
    void LoadFromPrefs(TDravikPreferences& aPrefs, const QString& aName);
    bool SaveToPrefs(TDravikPreferences& aPrefs, const QString& aName) const;

private:
    std::vector<TLink> m_links;
};

// The two memories, from start to exit.
TDecoderList& VideoDecoderMemory();
TDecoderList& AudioDecoderMemory();
// "Aucun décodeur Video" and "Aucun décodeur Audio": nothing chosen.
const TFilterRec* NoVideoDecoder();
const TFilterRec* NoAudioDecoder();
