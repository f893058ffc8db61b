#pragma once

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QDrag;
class TImageList;

// The effects a drop may perform. As a mask (1 << type) they are copy 1, move 2, link 4, which is
// also the mask of the Windows drop effects.
enum TDragType { dtCopy = 0, dtMove = 1, dtLink = 2 };

class TDragTypes {
public:
    constexpr TDragTypes() = default;
    constexpr TDragTypes(std::initializer_list<TDragType> aTypes)
    {
        for (TDragType t : aTypes)
            m_mask |= quint8(1u << t);
    }
    static constexpr TDragTypes FromMask(int aMask)
    {
        TDragTypes t;
        t.m_mask = quint8(aMask & 7);
        return t;
    }
    constexpr int Mask() const { return m_mask; }
    constexpr bool Contains(TDragType aType) const { return m_mask & (1u << aType); }
    constexpr bool operator==(const TDragTypes&) const = default;
    Qt::DropActions Actions() const;

private:
    quint8 m_mask = 0;
};

// Outcomes of Execute.
enum TDragResult {
    drCopied = 0,
    drMoved = 1,
    drLinked = 2,
    drCancelled = 3,   // cancelled, refused, or an effect that was not allowed
    drOutOfMemory = 4, // kept for the numbering; Qt reports no such failure
    drOther = 5
};

// The drop-effect mask of a Qt action: copy 1, move 2, link 4, nothing 0.
int DropEffectOf(Qt::DropAction aAction);
// The outcome of a drag that ended with aAction when aAllowed were offered.
TDragResult DragOutcome(Qt::DropAction aAction, TDragTypes aAllowed);

class TDropSource;

// The data of one drag: it offers the source's formats and asks the source for each when a
// target reads it, as the Windows data object did.
class TDropSourceMimeData : public QMimeData {
    Q_OBJECT
public:
    explicit TDropSourceMimeData(TDropSource* aSource);
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& aMimeType, QMetaType aType) const override;

private:
    QPointer<TDropSource> m_source;
};

// A drag source on QDrag, with a table of the formats it offers (MIME types) and a drag image.
//
// Windows pieces without a Qt counterpart are kept for the programs that set them:
// - the format table's aspect, index and storage medium: a Qt format is a MIME type alone, so
//   AddFormat takes the type only;
// - OnFeedback's "use default cursors": Qt always draws its own drag cursors, the answer is
//   ignored;
// - OnDrop's veto: Qt offers no step between the button's release and the drop, so OnDrop runs
//   once the target has dropped, and ContinueDrop = false only turns the outcome into
//   drCancelled (the target already has the data);
// - the "out of memory" outcome 4 is never given.
class TDropSource : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFormats = 20;

    using TDropEvent = std::function<void(QObject* aSender, TDragType aType, bool& aContinue)>;
    using TFeedbackEvent =
        std::function<void(QObject* aSender, int aEffect, bool& aUseDefaultCursors)>;

    explicit TDropSource(QObject* aOwner = nullptr);
    ~TDropSource() override;

    TDragTypes Dragtypes{dtCopy};
    TDropEvent OnDrop;
    TFeedbackEvent OnFeedback;
    int ImageHotSpotX = 16;
    int ImageHotSpotY = 16;

    // The effect the target last reported, as a mask (copy 1, move 2, link 4).
    int FeedbackEffect() const { return m_feedbackEffect; }

    // Appends a format; ignored once kMaxFormats are offered.
    void AddFormat(const QString& aMimeType);
    const QStringList& Formats() const { return m_formats; }

    TImageList* Images() const { return m_images; }
    // Index 0 and ShowImage = whether a list is given; the list's destruction clears all three.
    void SetImages(TImageList* aImages);
    bool ShowImage() const { return m_showImage; }
    // Cannot be true without Images.
    void SetShowImage(bool aShow);
    int ImageIndex() const { return m_imageIndex; }
    // A negative index, or no list or an empty one: 0 and no image. Past the list: ignored.
    void SetImageIndex(int aIndex);

    // Runs a drag from aSource (a widget, usually; null: this) and returns its outcome.
    TDragResult Execute(QObject* aSource = nullptr);

    // The data of one format: what a target reading it gets; a null variant refuses it.
    virtual QVariant RenderFormat(const QString& aMimeType) const = 0;

protected:
    // Runs the toolkit's drag loop and gives the action the target performed. Tests override it;
    // the drag is deleted by Qt after exec, by Execute otherwise.
    virtual Qt::DropAction RunDrag(QDrag& aDrag, Qt::DropActions aAllowed);
    // Where a drag reports the effect the target would perform.
    void Feedback(Qt::DropAction aAction);

private:
    void ImagesGone();

    int m_feedbackEffect = 0;
    QStringList m_formats;
    QPointer<TImageList> m_images;
    QMetaObject::Connection m_imagesGone;
    bool m_showImage = false;
    int m_imageIndex = 0;
};

// Offers files to other programs: "text/uri-list" with a file: URL per name.
class TDropFileSourceW : public TDropSource {
    Q_OBJECT
public:
    explicit TDropFileSourceW(QObject* aOwner = nullptr);

    // Absolute paths, "/" separated.
    QStringList Files;
    // The names the files should take at the target on Windows (FileNameMap). Linux targets have
    // no such format: kept, not offered.
    QStringList MappedNames;

    // The uri-list of Files (CR LF after each URI); with no file every format is refused.
    QVariant RenderFormat(const QString& aMimeType) const override;
};
