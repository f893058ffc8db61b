#include "GstTestEnvironment.h"
#include "base/PrivateMessages.h"
#include "media/core/TNotifyEvent.h"
#include "media/gst/NotifyStructure.h"
#include "media/gst/TNotifyRouter.h"
#include "media/gst/TPipelineBus.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

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
        owner = std::make_unique<TPipelineBus>(pipeline, router.get());
    }
    void TearDown() override
    {
        owner.reset();
        router.reset();
        gst_object_unref(bus);
        gst_object_unref(pipeline);
    }

    GstElement* pipeline = nullptr;
    GstElement* a = nullptr;
    GstElement* b = nullptr;
    GstBus* bus = nullptr;
    std::unique_ptr<TNotifyRouter> router = std::make_unique<TNotifyRouter>();
    std::unique_ptr<TPipelineBus> owner;
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
    std::vector<std::string> others;
    owner->OnMessage = [&](GstMessage* m) {
        if (const GstStructure* st = gst_message_get_structure(m))
            others.push_back(gst_structure_get_name(st));
    };
    std::thread streaming([&] {
        for (int i = 0; i < 50; ++i) {
            TNotifyPayload p;
            p.message = i == 25 ? NM_TARGET_REACHED : NM_POSITION_TEXT;
            p.position = i;
            p.text = QString::number(i);
            gst_element_post_message(a, Message(a, p));
        }
        gst_element_post_message(
            a, gst_message_new_element(GST_OBJECT(a), gst_structure_new_empty("other")));
    });
    streaming.join();
    Drain();
    ASSERT_EQ(sink.got.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        const auto& g = sink.got[i];
        EXPECT_EQ(g.type, MessageEventType(i == 25 ? NM_TARGET_REACHED : NM_POSITION_TEXT));
        EXPECT_EQ(g.payload.position, i);
        EXPECT_EQ(g.source, u"a");
        EXPECT_TRUE(g.mainThread);
    }
    // Routed messages are ours alone; others reach the bus owner, on the main thread.
    EXPECT_EQ(others, std::vector<std::string>{"other"});
    EXPECT_EQ(gst_bus_pop(bus), nullptr);
}

TEST_F(NotifyRouter, AWaitEndsOnItsMessageOnErrorOnTimeOutAndOnAbort)
{
    owner->Drain();
    gst_element_post_message(pipeline,
                             gst_message_new_async_done(GST_OBJECT(pipeline), GST_CLOCK_TIME_NONE));
    EXPECT_EQ(owner->WaitForBus(GST_MESSAGE_ASYNC_DONE, 5000), GST_MESSAGE_ASYNC_DONE);
    // An ASYNC_DONE of an element inside is not the pipeline's.
    gst_element_post_message(a, gst_message_new_async_done(GST_OBJECT(a), GST_CLOCK_TIME_NONE));
    EXPECT_EQ(owner->WaitForBus(GST_MESSAGE_ASYNC_DONE, 50), GST_MESSAGE_UNKNOWN);

    std::thread streaming([&] {
        GError* e = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "cassé");
        gst_element_post_message(a, gst_message_new_error(GST_OBJECT(a), e, "détail"));
        g_error_free(e);
    });
    EXPECT_EQ(owner->WaitForBus(GST_MESSAGE_ASYNC_DONE, 5000), GST_MESSAGE_ERROR);
    streaming.join();
    EXPECT_TRUE(owner->LastError().contains(QStringLiteral("cassé")));

    QTimer::singleShot(20, owner.get(), [this] { owner->Abort(); });
    EXPECT_EQ(owner->WaitForBus(GST_MESSAGE_EOS, 10000), GST_MESSAGE_UNKNOWN);
    EXPECT_FALSE(owner->Waiting());
}

TEST_F(NotifyRouter, PerSourceTargets)
{
    TSink video, audio, fallback;
    router->SetTarget(a, NM_VIDEO_INFO, &video);
    router->SetTarget(b, NM_VIDEO_INFO, &audio);
    router->SetTarget(NM_VIDEO_INFO, &fallback);
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

TEST_F(NotifyRouter, GoneTargetsAndOwners)
{
    auto sink = std::make_unique<TSink>();
    router->SetTarget(NM_FRAME_DURATION, sink.get());
    TNotifyPayload p;
    p.message = NM_FRAME_DURATION;
    p.frameDuration = 400'000;
    gst_element_post_message(a, Message(a, p));
    sink.reset(); // gone before delivery
    Drain();
    EXPECT_EQ(router->TargetOf(nullptr, NM_FRAME_DURATION), nullptr);
    // The bus owner and the router destroyed with messages on their way, then more messages
    // posted from another thread: nothing happens, and nothing is left behind.
    gst_element_post_message(a, Message(a, p));
    gst_element_post_message(a, gst_message_new_eos(GST_OBJECT(a)));
    owner.reset();
    router.reset();
    std::thread streaming([&] { gst_element_post_message(a, Message(a, p)); });
    streaming.join();
    Drain();
    GstMessage* left = gst_bus_pop_filtered(bus, GST_MESSAGE_ELEMENT);
    EXPECT_NE(left, nullptr); // without an owner the bus keeps its messages
    if (left)
        gst_message_unref(left);
}

} // namespace
