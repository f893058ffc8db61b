#include "files/TDropFileSourceW.h"

#include "actions/TImageList.h"

#include <QDrag>
#include <QIcon>
#include <QUrl>

Qt::DropActions TDragTypes::Actions() const
{
    Qt::DropActions actions;
    if (Contains(dtCopy))
        actions |= Qt::CopyAction;
    if (Contains(dtMove))
        actions |= Qt::MoveAction;
    if (Contains(dtLink))
        actions |= Qt::LinkAction;
    return actions;
}

int DropEffectOf(Qt::DropAction aAction)
{
    switch (aAction) {
    case Qt::CopyAction:
        return 1;
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
        return 2;
    case Qt::LinkAction:
        return 4;
    default:
        return 0;
    }
}

TDragResult DragOutcome(Qt::DropAction aAction, TDragTypes aAllowed)
{
    switch (aAction) {
    case Qt::IgnoreAction:
        return drCancelled;
    case Qt::CopyAction:
        return aAllowed.Contains(dtCopy) ? drCopied : drCancelled;
    case Qt::MoveAction:
    case Qt::TargetMoveAction: // the target moved the data itself
        return aAllowed.Contains(dtMove) ? drMoved : drCancelled;
    case Qt::LinkAction:
        return aAllowed.Contains(dtLink) ? drLinked : drCancelled;
    default:
        return drOther;
    }
}

TDropSourceMimeData::TDropSourceMimeData(TDropSource* aSource)
    : m_source(aSource)
{
}

QStringList TDropSourceMimeData::formats() const
{
    return m_source ? m_source->Formats() : QStringList();
}

QVariant TDropSourceMimeData::retrieveData(const QString& aMimeType, QMetaType) const
{
    if (!m_source || !m_source->Formats().contains(aMimeType))
        return QVariant();
    return m_source->RenderFormat(aMimeType);
}

TDropSource::TDropSource(QObject* aOwner)
    : QObject(aOwner)
{
}

TDropSource::~TDropSource() = default;

void TDropSource::AddFormat(const QString& aMimeType)
{
    if (m_formats.size() < kMaxFormats)
        m_formats << aMimeType;
}

void TDropSource::SetImages(TImageList* aImages)
{
    disconnect(m_imagesGone);
    m_images = aImages;
    m_imageIndex = 0;
    m_showImage = aImages != nullptr;
    if (aImages)
        m_imagesGone = connect(aImages, &QObject::destroyed, this, &TDropSource::ImagesGone);
}

void TDropSource::ImagesGone()
{
    m_images = nullptr;
    m_imageIndex = 0;
    m_showImage = false;
}

void TDropSource::SetShowImage(bool aShow)
{
    m_showImage = aShow && m_images;
}

void TDropSource::SetImageIndex(int aIndex)
{
    if (aIndex < 0 || !m_images || m_images->Count() == 0) {
        m_imageIndex = 0;
        m_showImage = false;
        return;
    }
    if (aIndex < m_images->Count())
        m_imageIndex = aIndex;
}

void TDropSource::Feedback(Qt::DropAction aAction)
{
    m_feedbackEffect = DropEffectOf(aAction);
    bool useDefaultCursors = true;
    if (OnFeedback)
        OnFeedback(this, m_feedbackEffect, useDefaultCursors);
}

TDragResult TDropSource::Execute(QObject* aSource)
{
    // Qt deletes the drag after exec; the pointer tells whether it still has to be.
    QPointer<QDrag> drag = new QDrag(aSource ? aSource : this);
    drag->setMimeData(new TDropSourceMimeData(this));
    if (m_showImage && m_images && m_imageIndex < m_images->Count()) {
        const QIcon icon = m_images->Icon(m_imageIndex);
        const QList<QSize> sizes = icon.availableSizes();
        drag->setPixmap(icon.pixmap(sizes.isEmpty() ? QSize(32, 32) : sizes.constFirst()));
        drag->setHotSpot(QPoint(ImageHotSpotX, ImageHotSpotY));
    }
    connect(drag, &QDrag::actionChanged, this, &TDropSource::Feedback);
    const Qt::DropAction action = RunDrag(*drag, Dragtypes.Actions());
    if (drag)
        drag->deleteLater();
    TDragResult outcome = DragOutcome(action, Dragtypes);
    if (outcome <= drLinked && OnDrop) {
        bool go = true;
        OnDrop(this, TDragType(outcome), go);
        if (!go)
            outcome = drCancelled;
    }
    return outcome;
}

Qt::DropAction TDropSource::RunDrag(QDrag& aDrag, Qt::DropActions aAllowed)
{
    Qt::DropAction preferred = Qt::CopyAction;
    if (!(aAllowed & Qt::CopyAction))
        preferred = aAllowed & Qt::MoveAction ? Qt::MoveAction : Qt::LinkAction;
    return aDrag.exec(aAllowed, preferred);
}

TDropFileSourceW::TDropFileSourceW(QObject* aOwner)
    : TDropSource(aOwner)
{
    AddFormat(QStringLiteral("text/uri-list"));
}

QVariant TDropFileSourceW::RenderFormat(const QString& aMimeType) const
{
    if (Files.isEmpty() || aMimeType != u"text/uri-list")
        return QVariant();
    QByteArray list;
    for (const QString& file : Files)
        list += QUrl::fromLocalFile(file).toEncoded() + "\r\n";
    return list;
}
