#include "GstTestEnvironment.h"

#include "media/gst/MediaElements.h"

#include <gtest/gtest.h>

void EnsureGstreamer()
{
    static const bool ready = [] {
        gst_init(nullptr, nullptr);
        return TessRegisterMediaElements();
    }();
    ASSERT_TRUE(ready);
}

TBusCollector::TBusCollector(GstElement* element)
    : m_bus(gst_bus_new())
    , m_element(GST_ELEMENT(gst_object_ref(element)))
{
    gst_element_set_bus(element, m_bus);
}

TBusCollector::~TBusCollector()
{
    for (GstMessage* m : Take())
        gst_message_unref(m);
    gst_element_set_bus(m_element, nullptr);
    gst_object_unref(m_element);
    gst_object_unref(m_bus);
}

std::vector<GstMessage*> TBusCollector::Take()
{
    std::vector<GstMessage*> out;
    while (GstMessage* m = gst_bus_pop_filtered(m_bus, GST_MESSAGE_ELEMENT))
        out.push_back(m);
    return out;
}

std::vector<std::string> TBusCollector::Names()
{
    std::vector<std::string> names;
    for (GstMessage* m : Take()) {
        names.emplace_back(gst_structure_get_name(gst_message_get_structure(m)));
        gst_message_unref(m);
    }
    return names;
}
