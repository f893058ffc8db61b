#pragma once

#include <gst/gst.h>

#include <string>
#include <vector>

// gst_init and the static registration of our elements, once per test program.
void EnsureGstreamer();

// Collects the element messages posted on a bus set on an element that has no pipeline.
class TBusCollector {
public:
    explicit TBusCollector(GstElement* element);
    ~TBusCollector();
    // Names of the structures of the element messages posted since the last call, in order.
    std::vector<std::string> Names();
    // The element messages since the last call (the caller unrefs).
    std::vector<GstMessage*> Take();

private:
    GstBus* m_bus;
    GstElement* m_element;
};
