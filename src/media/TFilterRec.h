#pragma once

#include "media/gst/GstPtr.h"

#include <QString>

// A filter to make: an element factory by name, with the name shown to the user. Each
// CreateInstance makes a fresh element. An empty factory stands for "none" (the null GUID).
class TFilterRec {
public:
    TFilterRec(const QString& aFactory, const QString& aName)
        : Factory(aFactory)
        , Name(aName)
    {
    }
    virtual ~TFilterRec() = default;
    TFilterRec(const TFilterRec&) = delete;
    TFilterRec& operator=(const TFilterRec&) = delete;

    // A new element, floating; null when the factory is missing or empty.
    virtual GstElement* CreateInstance() const;
    bool IsNull() const { return Factory.isEmpty(); }

    QString Factory;
    QString Name;
};

// A filter of a module the program loaded itself (the private sets): it holds that module's
// factory, so it is made from the loaded code, never from whatever else bears the name. A
// missing factory gives the record "No BaseFilter" with no factory.
class TBaseFilterRec : public TFilterRec {
public:
    TBaseFilterRec(GstElementFactory* aFactory, const QString& aName);
    GstElement* CreateInstance() const override;
    GstElementFactory* ElementFactory() const { return m_factory.get(); }

private:
    TGstRef<GstElementFactory> m_factory;
};
