#include "app/TFullscreenForms.h"

#include "app/TVideoPanel.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

Tplaque::Tplaque(TVideoMan* aVideo, QWidget* aParent)
    : QWidget(aParent, Qt::Window | Qt::FramelessWindowHint)
    , m_panel(new TVideoPanel(aVideo, this))
    , m_hint(new QLabel(QStringLiteral("Alt+Entrée pour quitter le mode Plein Ecran"), this))
    , m_hintTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("plaque"));
    setWindowTitle(QStringLiteral("Tessarine"));
    m_panel->setObjectName(QStringLiteral("Shape"));
    m_hint->setObjectName(QStringLiteral("PanelQuit"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(17);
    m_hint->setFont(f);
    m_hint->setAutoFillBackground(true);
    m_hint->setPalette(QPalette(QColor(0xFF, 0xFF, 0xE1)));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->hide();
    m_hintTimer->setSingleShot(true);
    connect(m_hintTimer, &QTimer::timeout, m_hint, &QWidget::hide);
    m_hint->installEventFilter(this); // a click on the hint hides it too
}

bool Tplaque::eventFilter(QObject* aWatched, QEvent* aEvent)
{
    if (aWatched == m_hint && aEvent->type() == QEvent::MouseButtonPress) {
        m_hintTimer->stop();
        m_hint->hide();
        m_panel->update();
        return true;
    }
    return QWidget::eventFilter(aWatched, aEvent);
}

void Tplaque::SetBackColor(const QColor& aColor)
{
    m_panel->setPalette(QPalette(aColor));
    m_panel->update();
}

void Tplaque::ShowOn(QWidget* aNear, int aHintMs)
{
    const QScreen* screen =
        aNear && aNear->screen() ? aNear->screen() : QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    showFullScreen();
    raise();
    activateWindow();
    m_hint->setVisible(aHintMs > 0);
    if (aHintMs > 0) {
        m_hint->raise();
        m_hintTimer->start(aHintMs);
    }
}

void Tplaque::closeEvent(QCloseEvent* aEvent)
{
    aEvent->ignore();
    hide();
    if (OnClosed)
        OnClosed();
}

void Tplaque::resizeEvent(QResizeEvent*)
{
    m_panel->setGeometry(rect());
    m_hint->setGeometry(width() / 2 - 220, 20, 440, 40);
}

TPreviewForm::TPreviewForm(TVideoMan* aVideo, QWidget* aParent)
    : QWidget(aParent, Qt::Window)
    , m_panel(new TVideoPanel(aVideo, this))
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("Tessarine - Vidéo"));
}

void TPreviewForm::closeEvent(QCloseEvent* aEvent)
{
    aEvent->accept();
    if (OnClosed)
        OnClosed();
}

void TPreviewForm::resizeEvent(QResizeEvent*)
{
    m_panel->setGeometry(rect());
}
