#pragma once

#include "media/TFilterRec.h"
#include "media/TGraphChunk.h"

// A file: its source element (with a file source in front when the record is not a source
// itself) and optionally a splitter; the base is the element whose pads carry the streams.
class TFileDevice : public TMediaDevice {
public:
    // The records are not owned; the probe runs here.
    TFileDevice(const QString& aFileName, const TFilterRec* aSource, const TFilterRec* aSplitter);
    ~TFileDevice() override;

    bool Insert() override;
    bool Remove() override;

    const QString& FileName() const { return m_fileName; }
    const TFilterRec* SourceRec() const { return m_source; }
    const TFilterRec* SplitterRec() const { return m_splitter; }

private:
    QString m_fileName;
    const TFilterRec* m_source;
    const TFilterRec* m_splitter;
};

// An interleaved DV stream split out of its parent: "DV Notifier" (which reads the DV packs for
// both streams) then "DV Splitter".
class TDVDevice : public TMediaDevice {
public:
    TDVDevice(TMediaDevice* aParent, int aIndex);
    // The placeholder "Aucun DV".
    TDVDevice();
    ~TDVDevice() override;

    bool Insert() override;
    bool Remove() override;

    GstElement* DVNotifier() const { return m_notifier.get(); }

private:
    TGstRef<GstElement> m_notifier;
    QString m_key;
};

// A byte stream the program does not split: it never has a base and so never sources; it only
// records that its parent has such an output.
class TStreamDevice : public TMediaDevice {
public:
    TStreamDevice(TMediaDevice* aParent, int aIndex);
    // The placeholder "Aucun Stream".
    TStreamDevice();

    bool Insert() override { return true; }
    bool Remove() override { return true; }
};
