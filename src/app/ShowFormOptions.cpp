// The options page mirrors its actions both ways: a click sets the action, applying the action
// sets the box (under a signal blocker, so that the box does not set the action again).
#include "app/QuietControls.h"
#include "app/TOptionsFrame.h"
#include "app/TShowForm.h"

#include "actions/TCheckAction.h"
#include "actions/ValueActions.h"

#include <QCheckBox>
#include <QSpinBox>

void TShowForm::BindOptions()
{
    // Check actions.
    if (auto* precise =
            qobject_cast<TCheckAction*>(FindAction(QStringLiteral("caSeekPrecision")))) {
        QCheckBox* box = OptionsFrame->cbNavPrecise;
        precise->OnAfterTrueApply = [box] { SetCheckedQuietly(box, true); };
        precise->OnAfterFalseApply = [box] { SetCheckedQuietly(box, false); };
        connect(box, &QCheckBox::clicked, this, [precise](bool v) { precise->SetChecked(v); });
    }
    // Boolean actions; those of the grab are bound once they exist.
    const struct {
        const char* Id;
        QCheckBox* Box;
    } booleans[] = {{"baRAZWhenOpenFile", OptionsFrame->cbRAZwhenOpenFile},
                    {"baSauverQuandClic", OptionsFrame->cbSauverQuandClic},
                    {"baConfirmerImage", OptionsFrame->cbConfirmerImage},
                    {"baImageDeinterlacer", OptionsFrame->cbImagesDeInterlacer}};
    for (const auto& b : booleans) {
        auto* action = qobject_cast<TBooleanAction*>(FindAction(QString::fromLatin1(b.Id)));
        b.Box->setEnabled(action != nullptr);
        if (!action)
            continue;
        QCheckBox* box = b.Box;
        action->OnAfterApply = [box](const bool& v) { SetCheckedQuietly(box, v); };
        connect(box, &QCheckBox::clicked, this, [action](bool v) { action->SetValue(v); });
    }
    if (auto* prepos = qobject_cast<TIntegerAction*>(FindAction(QStringLiteral("iaSeekPrepos")))) {
        QSpinBox* spin = OptionsFrame->seSeekPrepos;
        prepos->OnAfterApply = [spin](const qint32& v) { SetValueQuietly(spin, v); };
        connect(spin, &QSpinBox::valueChanged, this, [prepos](int v) { prepos->SetValue(v); });
    }
}
