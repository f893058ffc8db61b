#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Each test program keeps its own GStreamer registry beside it: test programs run side by
    // side, and a rebuilt plugin module makes every one of them rescan the shared registry at
    // once, when one may see it half written.
    if (!std::getenv("GST_REGISTRY") && argc > 0)
        setenv("GST_REGISTRY", (std::string(argv[0]) + ".gst-registry.bin").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
