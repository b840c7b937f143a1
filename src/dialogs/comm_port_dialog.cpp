#include "dialogs/comm_port_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

namespace zrk6 {

CommPortDialog::CommPortDialog(AppState &state, PortNameFunction portName, QWidget *parent)
    : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frmCommPort"));
    UseOwnerIcon(this);
    const LanguageMode lang = state_.language;
    setWindowTitle(Text(1317, lang));

    auto *fraPort = new QGroupBox(Text(1317, lang), this);
    fraPort->setObjectName(QStringLiteral("fraPort"));
    auto *group = new QButtonGroup(this);
    auto *options = new QVBoxLayout(fraPort);
    for (int i = 0; i < 4; ++i) {
        QString caption = Text(1318, lang) + QString::number(i + 1);
        const QString system = portName ? portName(i + 1) : QString();
        if (!system.isEmpty() && system != caption)
            caption += QStringLiteral(" (%1)").arg(system);
        optCOM_[i] = new QRadioButton(caption, fraPort);
        optCOM_[i]->setObjectName(QStringLiteral("optCOM%1").arg(i));
        group->addButton(optCOM_[i], i);
        options->addWidget(optCOM_[i]);
    }
    const int current = (state_.commPortNumber >= 1 && state_.commPortNumber <= 4) ? state_.commPortNumber : 1;
    optCOM_[current - 1]->setChecked(true);

    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);

    auto *main = new QVBoxLayout(this);
    main->addWidget(fraPort);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    optCOM_[current - 1]->setFocus();
}

QRadioButton *CommPortDialog::option(int index) const
{
    return (index >= 0 && index < 4) ? optCOM_[index] : nullptr;
}

void CommPortDialog::accept()
{
    for (int i = 0; i < 4; ++i) {
        if (optCOM_[i]->isChecked()) {
            state_.commPortNumber = i + 1;
            break;
        }
    }
    QDialog::accept();
}

} // namespace zrk6
