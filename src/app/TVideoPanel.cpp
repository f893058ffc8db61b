#include "app/TVideoPanel.h"

#include "media/TVideoMan.h"
#include "ui/TLinkEdit.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>

namespace {

constexpr int kImageSize = 192;

QPixmap IdlePicture(const QString& aName)
{
    // The icon theme's pictures, scaled: no bitmap resources of our own to keep.
    const QIcon icon = QIcon::fromTheme(aName == u"BADVIDEO" ? QStringLiteral("dialog-error")
                                                             : QStringLiteral("video-x-generic"));
    if (!icon.isNull())
        return icon.pixmap(kImageSize, kImageSize);
    QPixmap p(kImageSize, kImageSize);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 8));
    painter.drawRoundedRect(QRectF(16, 40, 160, 112), 12, 12);
    if (aName == u"BADVIDEO") {
        painter.setPen(QPen(QColor(0xC0, 0, 0), 12));
        painter.drawLine(40, 40, 152, 152);
        painter.drawLine(152, 40, 40, 152);
    }
    return p;
}

} // namespace

TVideoPanel::TVideoPanel(TVideoMan* aVideo, QWidget* aParent)
    : QWidget(aParent)
    , m_video(aVideo)
    , m_label(new TLinkEdit(this))
    , m_image(new QLabel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel painted each time: no flicker
    setAutoFillBackground(false);
    m_label->setFrameShape(QFrame::NoFrame);
    m_label->setReadOnly(true);
    m_label->viewport()->setAutoFillBackground(false);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setCursorWidth(0);
    // A line or two of text: a scroll bar would only hide part of it.
    m_label->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_label->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_image->setFixedSize(kImageSize, kImageSize);
    m_image->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QColor TVideoPanel::HostColor() const
{
    return palette().color(QPalette::Window);
}

void TVideoPanel::SetActive(bool aActive)
{
    m_active = aActive;
    Relayout();
    update();
}

void TVideoPanel::Relayout()
{
    const int state = m_video ? int(m_video->DisplayState()) : 0;
    const bool idle = m_active && state != TVideoMan::dsVideo;
    if (idle && state != m_shownState) {
        m_label->SetRichText(m_video ? m_video->IdleText() : QString());
        m_image->setPixmap(IdlePicture(m_video ? m_video->IdleImage() : QString()));
    }
    m_shownState = idle ? state : -1;
    const int lh = m_video ? m_video->leHeight : 32;
    m_label->setGeometry(8, height() - lh - 8, qMax(0, width() - 16), lh);
    m_image->move((width() - kImageSize) / 2, (m_label->y() - kImageSize) / 2);
    m_label->setVisible(idle && width() > 16);
    m_image->setVisible(idle);
}

void TVideoPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_active && m_video && m_video->DisplayState() == TVideoMan::dsVideo)
        m_video->Paint(p, rect(), HostColor());
    else
        p.fillRect(rect(), HostColor());
}

void TVideoPanel::Refresh()
{
    const int state = m_video ? int(m_video->DisplayState()) : 0;
    const bool idle = m_active && state != TVideoMan::dsVideo;
    if ((idle ? state : -1) != m_shownState)
        Relayout();
    update();
}

void TVideoPanel::resizeEvent(QResizeEvent* aEvent)
{
    QWidget::resizeEvent(aEvent);
    Relayout();
}
