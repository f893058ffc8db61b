#include "ui/UserMessages.h"

#include "base/TBatchRun.h"

#include <QMessageBox>

void WarnUser(QWidget* aParent, const QString& aText)
{
    if (TBatchRun::Active())
        TBatchRun::Fail(aText);
    else
        QMessageBox::warning(aParent, QStringLiteral("Tessarine"), aText);
}
