#include "app/TAboutFrame.h"

#include <QLabel>
#include <QVBoxLayout>

TAboutFrame::TAboutFrame(QWidget* aParent)
    : QFrame(aParent)
    , TitleLab(new QLabel(this))
    , InfoLab(new QLabel(this))
{
    setObjectName(QStringLiteral("AboutFrame"));
    QFont big = TitleLab->font();
    if (big.pixelSize() > 0)
        big.setPixelSize(big.pixelSize() * 8 / 5);
    else
        big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    TitleLab->setFont(big);
    InfoLab->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLab);
    layout->addWidget(InfoLab);
    layout->addStretch(1);
}
