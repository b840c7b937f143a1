#include "dialogs/comm_port_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

namespace zrk6 {

namespace {

QList<CommPortOption> FirstFourPorts(const CommPortDialog::PortNameFunction &portName)
{
    QList<CommPortOption> ports;
    for (int n = 1; n <= 4; ++n)
        ports.append(CommPortOption{n, portName ? portName(n) : QString(), QString()});
    return ports;
}

} // namespace

CommPortDialog::CommPortDialog(AppState &state, const PortNameFunction &portName, QWidget *parent,
                               PortCheckFunction check)
    : CommPortDialog(state, FirstFourPorts(portName), parent, std::move(check))
{
}

CommPortDialog::CommPortDialog(AppState &state, QList<CommPortOption> ports, QWidget *parent,
                               PortCheckFunction check)
    : QDialog(parent), state_(state), ports_(std::move(ports)), check_(std::move(check))
{
    if (ports_.isEmpty())
        ports_.append(CommPortOption{1, QString(), QString()}); // there is always a port 1 to choose
    setObjectName(QStringLiteral("frmCommPort"));
    UseOwnerIcon(this);
    const LanguageMode lang = state_.language;
    setWindowTitle(Text(1317, lang));

    auto *fraPort = new QGroupBox(Text(1317, lang), this);
    fraPort->setObjectName(QStringLiteral("fraPort"));
    auto *group = new QButtonGroup(this);
    auto *options = new QVBoxLayout(fraPort);
    int current = 0;
    for (int i = 0; i < ports_.size(); ++i) {
        const CommPortOption &port = ports_[i];
        QString caption = Text(1318, lang) + QString::number(port.number);
        if (!port.systemName.isEmpty() && port.systemName != caption)
            caption += QStringLiteral(" (%1)").arg(port.systemName);
        if (!port.description.isEmpty())
            caption += QStringLiteral(" - ") + port.description;
        auto *option = new QRadioButton(caption, fraPort);
        option->setObjectName(QStringLiteral("optCOM%1").arg(i));
        group->addButton(option, i);
        options->addWidget(option);
        portOptions_.append(option);
        if (port.number == state_.commPortNumber)
            current = i;
    }
    portOptions_[current]->setChecked(true);

    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);

    auto *main = new QVBoxLayout(this);
    main->addWidget(fraPort);
    if (check_) {
        auto *fraCheck = new QGroupBox(Text(1871, lang), this);
        fraCheck->setObjectName(QStringLiteral("fraCheck"));
        portCheck_ = new QLabel(fraCheck);
        portCheck_->setObjectName(QStringLiteral("lblCheck"));
        portCheck_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the commands can be copied
        portCheck_->setWordWrap(true);
        portCheck_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
        auto *checkLayout = new QVBoxLayout(fraCheck);
        checkLayout->addWidget(portCheck_);
        main->addWidget(fraCheck);
        connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
            if (checked)
                showCheck(id);
        });
        showCheck(current);
    }
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    portOptions_[current]->setFocus();
}

void CommPortDialog::showCheck(int index)
{
    portCheck_->setText(check_(ports_[index].systemName).join(QLatin1Char('\n')));
}

QRadioButton *CommPortDialog::option(int index) const
{
    return portOptions_.value(index, nullptr);
}

void CommPortDialog::accept()
{
    for (int i = 0; i < portOptions_.size(); ++i) {
        if (portOptions_[i]->isChecked()) {
            state_.commPortNumber = ports_[i].number;
            break;
        }
    }
    QDialog::accept();
}

} // namespace zrk6
