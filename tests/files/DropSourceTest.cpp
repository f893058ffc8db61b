#include "actions/TImageList.h"
#include "files/TDropFileSourceW.h"

#include <QDrag>
#include <QIcon>
#include <QPixmap>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Ends every drag with a chosen action instead of running the toolkit's loop.
class TScriptedSource : public TDropFileSourceW {
public:
    Qt::DropAction Result = Qt::IgnoreAction;
    Qt::DropActions Offered;
    QList<QUrl> Urls;
    QPixmap Pixmap;
    QPoint HotSpot;
    QList<Qt::DropAction> Feedbacks; // reported while the drag runs

protected:
    Qt::DropAction RunDrag(QDrag& aDrag, Qt::DropActions aAllowed) override
    {
        Offered = aAllowed;
        Urls = aDrag.mimeData()->urls();
        Pixmap = aDrag.pixmap();
        HotSpot = aDrag.hotSpot();
        for (Qt::DropAction a : Feedbacks)
            Q_EMIT aDrag.actionChanged(a);
        return Result;
    }
};

TEST(DropSource, MaskAndOutcomes)
{
    EXPECT_EQ(TDragTypes({dtCopy}).Mask(), 1);
    EXPECT_EQ(TDragTypes({dtCopy, dtMove, dtLink}).Mask(), 7);
    EXPECT_EQ(TDragTypes({dtLink}).Actions(), Qt::DropActions(Qt::LinkAction));
    const TDragTypes all{dtCopy, dtMove, dtLink};
    EXPECT_EQ(DragOutcome(Qt::CopyAction, all), drCopied);
    EXPECT_EQ(DragOutcome(Qt::MoveAction, all), drMoved);
    EXPECT_EQ(DragOutcome(Qt::TargetMoveAction, all), drMoved);
    EXPECT_EQ(DragOutcome(Qt::LinkAction, all), drLinked);
    EXPECT_EQ(DragOutcome(Qt::IgnoreAction, all), drCancelled);
    // With the default [dtCopy], a target that moves gets no drop.
    EXPECT_EQ(DragOutcome(Qt::MoveAction, TDragTypes{dtCopy}), drCancelled);
    EXPECT_EQ(DropEffectOf(Qt::LinkAction), 4);
    EXPECT_EQ(DropEffectOf(Qt::IgnoreAction), 0);
}

TEST(DropSource, FilesAreOfferedAsAUriList)
{
    TDropFileSourceW source;
    EXPECT_EQ(source.Dragtypes, TDragTypes{dtCopy});
    EXPECT_EQ(source.ImageHotSpotX, 16);
    EXPECT_EQ(source.ImageHotSpotY, 16);
    EXPECT_EQ(source.Formats(), QStringList{QStringLiteral("text/uri-list")});
    const QString name = QStringLiteral("/tmp/Mes vidéos/été & co.avi");
    source.Files = {name, QStringLiteral("/tmp/b.avi")};
    TDropSourceMimeData data(&source);
    EXPECT_EQ(data.urls(), (QList<QUrl>{QUrl::fromLocalFile(name),
                                        QUrl::fromLocalFile(QStringLiteral("/tmp/b.avi"))}));
    EXPECT_TRUE(data.data(QStringLiteral("text/uri-list")).endsWith("\r\n"));
    // An unknown format is refused.
    EXPECT_TRUE(data.data(QStringLiteral("application/x-inconnu")).isEmpty());
}

TEST(DropSource, EmptyFileListRefusesEveryRequest)
{
    TDropFileSourceW source;
    TDropSourceMimeData data(&source);
    EXPECT_TRUE(data.hasFormat(QStringLiteral("text/uri-list")));
    EXPECT_TRUE(data.data(QStringLiteral("text/uri-list")).isEmpty());
    EXPECT_TRUE(data.urls().isEmpty());
}

TEST(DropSource, AtMostTwentyFormats)
{
    TDropFileSourceW source;
    for (int i = 0; i < 30; ++i)
        source.AddFormat(QStringLiteral("application/x-f%1").arg(i));
    EXPECT_EQ(source.Formats().size(), TDropSource::kMaxFormats);
    EXPECT_EQ(source.Formats().constFirst(), QStringLiteral("text/uri-list"));
}

TEST(DropSource, ExecuteGivesTheOutcome)
{
    QObject widget;
    TScriptedSource source;
    source.Files = {QStringLiteral("/tmp/a.avi")};
    source.Result = Qt::CopyAction;
    EXPECT_EQ(source.Execute(&widget), drCopied);
    EXPECT_EQ(source.Offered, Qt::DropActions(Qt::CopyAction));
    EXPECT_EQ(source.Urls, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/a.avi"))});

    source.Result = Qt::MoveAction;
    EXPECT_EQ(source.Execute(&widget), drCancelled);
    source.Dragtypes = TDragTypes{dtCopy, dtMove};
    EXPECT_EQ(source.Execute(&widget), drMoved);
    source.Result = Qt::IgnoreAction;
    EXPECT_EQ(source.Execute(&widget), drCancelled);
}

TEST(DropSource, FeedbackAndDropEvents)
{
    TScriptedSource source;
    source.Files = {QStringLiteral("/tmp/a.avi")};
    QList<int> effects;
    source.OnFeedback = [&](QObject* sender, int effect, bool& useDefault) {
        EXPECT_EQ(sender, &source);
        EXPECT_TRUE(useDefault);
        effects << effect;
    };
    QList<TDragType> drops;
    bool allow = true;
    source.OnDrop = [&](QObject*, TDragType type, bool& go) {
        drops << type;
        go = allow;
    };
    source.Feedbacks = {Qt::MoveAction, Qt::CopyAction};
    source.Result = Qt::CopyAction;
    EXPECT_EQ(source.Execute(), drCopied);
    EXPECT_EQ(effects, (QList<int>{2, 1}));
    EXPECT_EQ(source.FeedbackEffect(), 1);
    EXPECT_EQ(drops, QList<TDragType>{dtCopy});
    // A veto turns the outcome into a cancel.
    allow = false;
    EXPECT_EQ(source.Execute(), drCancelled);
    // No drop: OnDrop is not asked.
    source.Result = Qt::IgnoreAction;
    EXPECT_EQ(source.Execute(), drCancelled);
    EXPECT_EQ(drops.size(), 2);
}

TEST(DropSource, ImageRules)
{
    auto images = std::make_unique<TImageList>();
    QPixmap red(22, 22);
    red.fill(Qt::red);
    images->Add(QIcon(red));
    images->Add(QIcon(red));

    TScriptedSource source;
    source.Files = {QStringLiteral("/tmp/a.avi")};
    source.SetShowImage(true);
    EXPECT_FALSE(source.ShowImage()) << "no image without a list";
    source.SetImages(images.get());
    EXPECT_TRUE(source.ShowImage());
    EXPECT_EQ(source.ImageIndex(), 0);
    source.SetImageIndex(1);
    EXPECT_EQ(source.ImageIndex(), 1);
    source.SetImageIndex(5); // past the list: ignored
    EXPECT_EQ(source.ImageIndex(), 1);
    source.ImageHotSpotX = 3;
    source.ImageHotSpotY = 4;
    source.Execute();
    EXPECT_EQ(source.Pixmap.size(), QSize(22, 22));
    EXPECT_EQ(source.HotSpot, QPoint(3, 4));

    source.SetImageIndex(-1);
    EXPECT_EQ(source.ImageIndex(), 0);
    EXPECT_FALSE(source.ShowImage());
    source.SetShowImage(true);
    images.reset();
    EXPECT_EQ(source.Images(), nullptr);
    EXPECT_FALSE(source.ShowImage());
    EXPECT_EQ(source.ImageIndex(), 0);
    source.Execute();
    EXPECT_TRUE(source.Pixmap.isNull());
}

} // namespace
