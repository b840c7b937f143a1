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
        portOptions_.append(option);
        if (port.number == 0 || (port.number == state_.commPortNumber && ports_[current].number != 0))
            current = i;
    }
    portOptions_[current]->setChecked(true);

    auto *main = new QVBoxLayout(this);
    main->addWidget(fraPort);
    if (check_) {
        auto *fraCheck = new QGroupBox(Text(text_id::kPortCheck, lang), this);
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
    auto *fraTest = new QGroupBox(this);
    fraTest->setObjectName(QStringLiteral("fraTest"));
    testButton_ = new QPushButton(Text(text_id::kTestButton, lang), fraTest);
    testButton_->setObjectName(QStringLiteral("cmdTest"));
    testResult_ = new QLabel(fraTest);
    testResult_->setObjectName(QStringLiteral("lblTest"));
    testResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testResult_->setWordWrap(true);
    testResult_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    // Empty until a test has run: a screen reader still hears what the line is for.
    testResult_->setAccessibleName(Text(text_id::kTestButton, lang).remove(QLatin1Char('&')));
    auto *testLayout = new QVBoxLayout(fraTest);
    testLayout->addWidget(testButton_, 0, Qt::AlignLeft);
    testLayout->addWidget(testResult_);
    main->addWidget(fraTest);
    connect(testButton_, &QPushButton::clicked, this, &CommPortDialog::testPort);
    connect(group, &QButtonGroup::idToggled, testResult_, &QLabel::clear);
    // Made after the test frame, so Tab reaches the buttons in the order they are seen.
    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    portOptions_[current]->setFocus();
}

void CommPortDialog::showCheck(int index)
{
    portCheck_->setText(check_(ports_[index].systemName).join(QLatin1Char('\n')));
}

int CommPortDialog::chosen() const
{
    for (int i = 0; i < portOptions_.size(); ++i) {
        if (portOptions_[i]->isChecked())
            return i;
    }
    return 0;
}

void CommPortDialog::testPort()
{
    const LanguageMode lang = state_.language;
    auto *probe = new LineProbe(ports_[chosen()].systemName, lang, this);
    testButton_->setEnabled(false);
    testResult_->setText(Text(text_id::kProbeRunning, lang));
    connect(probe, &LineProbe::finished, this, [this, probe, lang] {
        testResult_->setText(probe->report().Lines(lang).join(QLatin1Char('\n')));
        testButton_->setEnabled(true);
        probe->deleteLater();
    });
    probe->start();
}

QRadioButton *CommPortDialog::option(int index) const
{
    return portOptions_.value(index, nullptr);
}

void CommPortDialog::accept()
{
    // The device in use stays in use; a numbered port replaces it.
    if (ports_[chosen()].number != 0)
        state_.commPortNumber = ports_[chosen()].number;
    QDialog::accept();
}

} // namespace zrk6
