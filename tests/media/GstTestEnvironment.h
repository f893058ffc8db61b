#pragma once

#include <gst/check/gstharness.h>
#include <gst/gst.h>

#include <memory>

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

// A harness torn down on every way out of a test, failed assertions included.
struct THarnessTeardown {
    void operator()(GstHarness* aHarness) const
    {
        if (aHarness)
            gst_harness_teardown(aHarness);
    }
};
using THarness = std::unique_ptr<GstHarness, THarnessTeardown>;
