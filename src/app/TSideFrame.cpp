#include "app/TSideFrame.h"

#include <QLabel>
#include <QVBoxLayout>

TSideFrame::TSideFrame(const QString& aName, const QString& aTitle, QWidget* aParent)
    : QFrame(aParent)
    , m_title(new QLabel(aTitle, this))
    , m_body(new QVBoxLayout)
{
    setObjectName(aName);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button)); // the button face, as dialogs
    setPalette(pal);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 6, 8, 6);
    outer->addWidget(m_title);
    outer->addLayout(m_body);
    outer->addStretch(1);
}
