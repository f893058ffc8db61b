#include "ui/UserMessages.h"

#include "base/TBatchRun.h"
#include "base/TCommandQueue.h"

#include <QMessageBox>
#include <QPointer>

void WarnUser(QWidget* aParent, const QString& aText)
{
    if (TBatchRun::Active()) {
        TBatchRun::Fail(aText);
        return;
    }
    // A box is a modal loop of its own: never inside a command's wait, once that is over.
    TCommandQueue& commands = TCommandQueue::Instance();
    if (commands.Waiting()) {
        commands.Post([parent = QPointer(aParent), aText] { WarnUser(parent, aText); });
        return;
    }
    QMessageBox::warning(aParent, QStringLiteral("Tessarine"), aText);
}
