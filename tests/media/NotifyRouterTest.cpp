#include "GstTestEnvironment.h"
#include "base/PrivateMessages.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/NotifyStructure.h"
#include "media/gst/TNotifyRouter.h"

#include <QCoreApplication>
#include <QThread>

#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

// A manager's message object: keeps what it receives, on the thread it lives on.
class TSink : public QObject {
public:
    struct TGot {
        QEvent::Type type;
        TNotifyPayload payload;
        QString source;
        bool mainThread;
    };
    std::vector<TGot> got;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() >= QEvent::User) {
            const TNotifyEvent* n = TNotifyEvent::From(e);
            got.push_back({e->type(), n ? n->Payload() : TNotifyPayload(),
                           n ? n->Source() : QString(),
                           QThread::currentThread() == QCoreApplication::instance()->thread()});
            return true;
        }
        return QObject::event(e);
    }
};

GstMessage* Message(GstElement* source, const TNotifyPayload& p)
{
    return gst_message_new_element(GST_OBJECT(source), NotifyStructure(p));
}

void Drain()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class NotifyRouter : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureGstreamer();
        pipeline = gst_pipeline_new("p");
        a = gst_element_factory_make("identity", "a");
        b = gst_element_factory_make("identity", "b");
        gst_bin_add_many(GST_BIN(pipeline), a, b, nullptr);
        bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline));
    }
    void TearDown() override
    {
        router.reset();
        gst_object_unref(bus);
        gst_object_unref(pipeline);
    }

    GstElement* pipeline = nullptr;
    GstElement* a = nullptr;
    GstElement* b = nullptr;
    GstBus* bus = nullptr;
    std::unique_ptr<TNotifyRouter> router = std::make_unique<TNotifyRouter>();
};

TEST_F(NotifyRouter, PayloadsSurviveTheStructure)
{
    TNotifyPayload p;
    p.message = NM_DATECODE;
    p.frame.dateValid = true;
    p.frame.date = 39303.5;
    p.frame.dateText = QStringLiteral("jeudi 9 août 2007 - 12:00:00");
    p.frame.tvSystem = tvSystem525;
    p.frame.frameNumber = 41;
    p.frame.hours = 23;
    p.frame.audioText = QStringLiteral("DV 48000Hz 16bits stéréo");
    GstStructure* s = NotifyStructure(p);
    TNotifyPayload back;
    ASSERT_TRUE(PayloadFromStructure(s, back));
    EXPECT_EQ(back, p);
    gst_structure_free(s);

    TNotifyPayload v;
    v.message = NM_VIDEO_INFO;
    v.kind = kVideoInfoFormat;
    v.video.valid = true;
    v.video.averageFrameTime = 333'667;
    v.video.frameRate = 30000.0 / 1001;
    v.video.description = QStringLiteral("MPEG2 (16x9)");
    s = NotifyStructure(v);
    ASSERT_TRUE(PayloadFromStructure(s, back));
    EXPECT_EQ(back, v);
    gst_structure_free(s);

    TNotifyPayload none;
    none.message = 0x1234;
    EXPECT_EQ(NotifyStructure(none), nullptr);
    GstStructure* other = gst_structure_new_empty("level");
    EXPECT_FALSE(PayloadFromStructure(other, back));
    gst_structure_free(other);
}

TEST_F(NotifyRouter, DeliversOnTheMainThreadInOrder)
{
    TSink sink;
    router->SetTarget(NM_POSITION_TEXT, &sink);
    router->SetTarget(NM_TARGET_REACHED, &sink);
    ASSERT_TRUE(router->Attach(bus));
    std::thread streaming([&] {
        for (int i = 0; i < 50; ++i) {
            TNotifyPayload p;
            p.message = i == 25 ? NM_TARGET_REACHED : NM_POSITION_TEXT;
            p.position = i;
            p.text = QString::number(i);
            gst_element_post_message(a, Message(a, p));
        }
    });
    streaming.join();
    Drain();
    ASSERT_EQ(sink.got.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        const auto& g = sink.got[i];
        EXPECT_EQ(g.type,
                  QEvent::Type(QEvent::User + (i == 25 ? NM_TARGET_REACHED : NM_POSITION_TEXT)));
        EXPECT_EQ(g.payload.position, i);
        EXPECT_EQ(g.source, u"a");
        EXPECT_TRUE(g.mainThread);
    }
    // Handled messages stay off the bus; others go on.
    EXPECT_EQ(gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT), nullptr);
    gst_element_post_message(
        a, gst_message_new_element(GST_OBJECT(a), gst_structure_new_empty("other")));
    GstMessage* other = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT);
    EXPECT_NE(other, nullptr);
    if (other)
        gst_message_unref(other);
}

TEST_F(NotifyRouter, SecondRouterOnABus)
{
    TSink sink;
    router->SetTarget(NM_FRAME_DURATION, &sink);
    auto first = std::make_unique<TNotifyRouter>();
    ASSERT_TRUE(first->Attach(bus));
    ASSERT_TRUE(router->Attach(bus)); // replaces the first one's handler
    // The first router going away leaves the handler that replaced its own.
    first.reset();
    TNotifyPayload p;
    p.message = NM_FRAME_DURATION;
    gst_element_post_message(a, Message(a, p));
    Drain();
    EXPECT_EQ(sink.got.size(), 1u);
    EXPECT_EQ(gst_bus_pop(bus), nullptr); // probes never reach the queue
}

TEST_F(NotifyRouter, PerSourceTargets)
{
    TSink video, audio, fallback;
    router->SetTarget(a, NM_VIDEO_INFO, &video);
    router->SetTarget(b, NM_VIDEO_INFO, &audio);
    router->SetTarget(NM_VIDEO_INFO, &fallback);
    router->Attach(bus);
    TNotifyPayload p;
    p.message = NM_VIDEO_INFO;
    gst_element_post_message(a, Message(a, p));
    gst_element_post_message(b, Message(b, p));
    Drain();
    EXPECT_EQ(video.got.size(), 1u);
    EXPECT_EQ(audio.got.size(), 1u);
    EXPECT_EQ(fallback.got.size(), 0u);
    router->ClearTargets(b);
    gst_element_post_message(b, Message(b, p));
    Drain();
    EXPECT_EQ(fallback.got.size(), 1u);
    EXPECT_EQ(router->TargetOf(a, NM_VIDEO_INFO), &video);
    router->SetTarget(a, NM_VIDEO_INFO, nullptr);
    EXPECT_EQ(router->TargetOf(a, NM_VIDEO_INFO), &fallback);
}

TEST_F(NotifyRouter, GoneTargetsAndRouters)
{
    auto sink = std::make_unique<TSink>();
    router->SetTarget(NM_FRAME_DURATION, sink.get());
    router->Attach(bus);
    TNotifyPayload p;
    p.message = NM_FRAME_DURATION;
    p.frameDuration = 400'000;
    gst_element_post_message(a, Message(a, p));
    sink.reset(); // gone before delivery
    Drain();
    EXPECT_EQ(router->TargetOf(nullptr, NM_FRAME_DURATION), nullptr);
    // A router destroyed with messages on their way, then more messages: nothing happens.
    gst_element_post_message(a, Message(a, p));
    router.reset();
    gst_element_post_message(a, Message(a, p));
    Drain();
    // Without a router the message stays on the bus.
    GstMessage* left = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT);
    EXPECT_NE(left, nullptr);
    if (left)
        gst_message_unref(left);
}

} // namespace
