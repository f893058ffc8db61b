#include "app/TAboutFrame.h"

#include "ui/TLinkEdit.h"

#include <QLabel>
#include <QVBoxLayout>

TAboutFrame::TAboutFrame(QWidget* aParent)
    : QFrame(aParent)
    , TitleLab(new QLabel(this))
    , InfoLab(new TLinkEdit(this))
    , CloseLab(new TLinkEdit(this))
{
    setObjectName(QStringLiteral("AboutFrame"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    resize(520, 340);
    QFont big = TitleLab->font();
    if (big.pixelSize() > 0)
        big.setPixelSize(big.pixelSize() * 8 / 5);
    else
        big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    TitleLab->setFont(big);
    for (TLinkEdit* e : {InfoLab, CloseLab})
        e->setFrameShape(QFrame::NoFrame);
    QFont closeFont = CloseLab->font();
    closeFont.setBold(true);
    closeFont.setItalic(true);
    CloseLab->setFont(closeFont);
    CloseLab->SetFontColor(128); // maroon
    CloseLab->ResetAttributes();
    CloseLab->setFixedHeight(40);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLab);
    layout->addWidget(InfoLab, 1);
    layout->addWidget(CloseLab);
}
