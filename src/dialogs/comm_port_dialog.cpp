#include "dialogs/comm_port_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

namespace zrk6 {

CommPortDialog::CommPortDialog(AppState &state, PortNameFunction portName, QWidget *parent,
                               PortCheckFunction check)
    : QDialog(parent), state_(state), portName_(std::move(portName)), check_(std::move(check))
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
        const QString system = portName_ ? portName_(i + 1) : QString();
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
    if (check_) {
        auto *fraCheck = new QGroupBox(Text(1871, lang), this);
        fraCheck->setObjectName(QStringLiteral("fraCheck"));
        lblCheck_ = new QLabel(fraCheck);
        lblCheck_->setObjectName(QStringLiteral("lblCheck"));
        lblCheck_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the commands can be copied
        lblCheck_->setWordWrap(true);
        lblCheck_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
        auto *checkLayout = new QVBoxLayout(fraCheck);
        checkLayout->addWidget(lblCheck_);
        main->addWidget(fraCheck);
        connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
            if (checked)
                showCheck(id);
        });
        showCheck(current - 1);
    }
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    optCOM_[current - 1]->setFocus();
}

void CommPortDialog::showCheck(int index)
{
    const QString system = portName_ ? portName_(index + 1) : QString();
    lblCheck_->setText(check_(system).join(QLatin1Char('\n')));
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
