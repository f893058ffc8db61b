#include "app/TExtraireFrame.h"

#include <QLabel>

TExtraireFrame::TExtraireFrame(QWidget* aParent)
    : TSideFrame(QStringLiteral("ExtraireFrame"), QStringLiteral("Imagette capturée"), aParent)
    , Bevel1(new QFrame(this))
    , SnapLab(new QLabel(this))
    , labImagetteTaille(new QLabel(this))
    , Image(new QLabel(this))
    , Bevel3(new QFrame(this))
    , labsnapname(new QLabel(this))
{
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    SnapLab->setObjectName(QStringLiteral("SnapLab"));
    SnapLab->setAlignment(Qt::AlignCenter);
    SnapLab->setToolTip(QStringLiteral("Timecode de l'image ci-dessous."));
    labImagetteTaille->setObjectName(QStringLiteral("labImagetteTaille"));
    Image->setObjectName(QStringLiteral("Image"));
    Image->setScaledContents(true);
    Image->setToolTip(QStringLiteral("Cliquez sur l'imagette pour remettre la vidéo courante au "
                                     "timecode de l'imagette."));
    Bevel3->setObjectName(QStringLiteral("Bevel3"));
    Bevel3->setFrameShape(QFrame::Box);
    Bevel3->setFrameShadow(QFrame::Sunken);
    labsnapname->setObjectName(QStringLiteral("labsnapname"));
    labsnapname->setAlignment(Qt::AlignCenter);
    labsnapname->setAutoFillBackground(true);
    // Design places, until the first thumbnail is placed.
    Bevel1->setGeometry(12, 40, 252, 30);
    SnapLab->setGeometry(14, 44, 248, 22);
    Bevel3->setGeometry(12, 82, 252, 189);
    Image->setGeometry(12, 82, 252, 189);
    labsnapname->setGeometry(12, 271, 252, 20);
    labImagetteTaille->setGeometry(12, 70, 252, 12);
}
