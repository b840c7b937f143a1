#include "dialogs/comm_port_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "link/line_probe.h"
#include "text/text_ids.h"

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
    setWindowTitle(Text(text_id::kCommunicationPort, lang));

    auto *fraPort = new QGroupBox(Text(text_id::kCommunicationPort, lang), this);
    fraPort->setObjectName(QStringLiteral("fraPort"));
    auto *group = new QButtonGroup(this);
    auto *options = new QVBoxLayout(fraPort);
    int current = 0;
    for (int i = 0; i < ports_.size(); ++i) {
        const CommPortOption &port = ports_[i];
        QString caption = port.number == 0 ? port.systemName : Text(text_id::kComPrefix, lang) + QString::number(port.number);
        if (!port.systemName.isEmpty() && port.systemName != caption)
            caption += QStringLiteral(" (%1)").arg(port.systemName);
        if (!port.description.isEmpty())
            caption += QStringLiteral(" - ") + port.description;
        auto *option = new QRadioButton(caption, fraPort);
        option->setObjectName(QStringLiteral("optCOM%1").arg(i));
        group->addButton(option, i);
        options->addWidget(option);
        optCOM_.append(option);
        if (port.number == 0 || (port.number == state_.commPortNumber && ports_[current].number != 0))
            current = i;
    }
    optCOM_[current]->setChecked(true);

    auto *main = new QVBoxLayout(this);
    main->addWidget(fraPort);
    if (check_) {
        auto *fraCheck = new QGroupBox(Text(text_id::kPortCheck, lang), this);
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
        showCheck(current);
    }
    auto *fraTest = new QGroupBox(this);
    fraTest->setObjectName(QStringLiteral("fraTest"));
    cmdTest_ = new QPushButton(Text(text_id::kTestButton, lang), fraTest);
    cmdTest_->setObjectName(QStringLiteral("cmdTest"));
    lblTest_ = new QLabel(fraTest);
    lblTest_->setObjectName(QStringLiteral("lblTest"));
    lblTest_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblTest_->setWordWrap(true);
    lblTest_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    // Empty until a test has run: a screen reader still hears what the line is for.
    lblTest_->setAccessibleName(Text(text_id::kTestButton, lang).remove(QLatin1Char('&')));
    auto *testLayout = new QVBoxLayout(fraTest);
    testLayout->addWidget(cmdTest_, 0, Qt::AlignLeft);
    testLayout->addWidget(lblTest_);
    main->addWidget(fraTest);
    connect(cmdTest_, &QPushButton::clicked, this, &CommPortDialog::testPort);
    connect(group, &QButtonGroup::idToggled, lblTest_, &QLabel::clear);
    // Made after the test frame, so Tab reaches the buttons in the order they are seen.
    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    optCOM_[current]->setFocus();
}

void CommPortDialog::showCheck(int index)
{
    lblCheck_->setText(check_(ports_[index].systemName).join(QLatin1Char('\n')));
}

int CommPortDialog::chosen() const
{
    for (int i = 0; i < optCOM_.size(); ++i) {
        if (optCOM_[i]->isChecked())
            return i;
    }
    return 0;
}

void CommPortDialog::testPort()
{
    const LanguageMode lang = state_.language;
    auto *probe = new LineProbe(ports_[chosen()].systemName, lang, this);
    cmdTest_->setEnabled(false);
    lblTest_->setText(Text(text_id::kProbeRunning, lang));
    connect(probe, &LineProbe::finished, this, [this, probe, lang] {
        lblTest_->setText(probe->report().Lines(lang).join(QLatin1Char('\n')));
        cmdTest_->setEnabled(true);
        probe->deleteLater();
    });
    probe->start();
}

QRadioButton *CommPortDialog::option(int index) const
{
    return optCOM_.value(index, nullptr);
}

void CommPortDialog::accept()
{
    // The device in use stays in use; a numbered port replaces it.
    if (ports_[chosen()].number != 0)
        state_.commPortNumber = ports_[chosen()].number;
    QDialog::accept();
}

} // namespace zrk6
