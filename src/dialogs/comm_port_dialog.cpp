#include "dialogs/comm_port_dialog.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "link/line_probe.h"
#include "link/port_names.h"
#include "text/text_ids.h"
#include "ui/accessibility.h"

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
    auto *group = group_ = new QButtonGroup(this);
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

    // The device field: follows the options, and a device typed that no option stands for
    // takes the choice from them.
    auto *lblDevice = Named(new QLabel(Text(text_id::kDeviceField, lang), fraPort), QStringLiteral("lblDevice"));
    deviceField_ = Named(new QLineEdit(ports_[current].systemName, fraPort), QStringLiteral("txtDevice"));
    lblDevice->setBuddy(deviceField_);
    // "Device", "设备": the label without its mnemonic ("&D", "(&D)") and colon.
    static const QRegularExpression kMarks(QStringLiteral("\\(&.\\)|&|:|\uFF1A"));
    deviceField_->setAccessibleName(lblDevice->text().remove(kMarks));
    deviceField_->setMinimumWidth(fontMetrics().averageCharWidth() * 30);
    auto *deviceRow = new QHBoxLayout;
    deviceRow->addWidget(lblDevice);
    deviceRow->addWidget(deviceField_, 1);
    options->addLayout(deviceRow);
    deviceMessage_ = Named(new QLabel(fraPort), QStringLiteral("lblDeviceMessage"));
    deviceMessage_->setWordWrap(true);
    deviceMessage_->hide();
    options->addWidget(deviceMessage_);
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        deviceMessage_->hide();
        if (deviceField_->text() != ports_[id].systemName)
            deviceField_->setText(ports_[id].systemName);
    });
    connect(deviceField_, &QLineEdit::textEdited, this, &CommPortDialog::deviceEdited);

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
    return group_->checkedId();
}

QString CommPortDialog::chosenDevice() const
{
    const int index = chosen();
    return index >= 0 ? ports_[index].systemName : NormalizePortName(deviceField_->text().trimmed());
}

int CommPortDialog::chosenNumber() const
{
    const int index = chosen();
    return index >= 0 ? ports_[index].number : 0;
}

void CommPortDialog::deviceEdited(const QString &text)
{
    deviceMessage_->hide();
    const QString device = text.trimmed();
    for (int i = 0; i < ports_.size(); ++i) {
        if (!device.isEmpty() && SamePortName(ports_[i].systemName, device)) {
            portOptions_[i]->setChecked(true);
            return;
        }
    }
    // A device of its own: no option stands for it, and what was found for one does not either.
    if (QAbstractButton *checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
    if (portCheck_ != nullptr)
        portCheck_->clear();
    testResult_->clear();
}

void CommPortDialog::refuse(const QString &why)
{
    deviceMessage_->setText(why);
    deviceMessage_->show();
    Announce(deviceMessage_, why);
    deviceField_->setFocus(Qt::OtherFocusReason);
    deviceField_->selectAll();
}

void CommPortDialog::testPort()
{
    const LanguageMode lang = state_.language;
    const QString device = chosenDevice();
    if (device.isEmpty()) {
        refuse(Text(text_id::kTypeADevice, lang));
        return;
    }
    auto *probe = new LineProbe(device, lang, this);
    // Disabled, the button hands the keyboard to the next control (OK); it takes it back after,
    // so that Enter then does not close the dialog unasked.
    const bool hadFocus = focusWidget() == testButton_;
    testButton_->setEnabled(false);
    testResult_->setText(Text(text_id::kProbeRunning, lang));
    connect(probe, &LineProbe::finished, this, [this, probe, lang, hadFocus] {
        testResult_->setText(probe->report().Lines(lang).join(QLatin1Char('\n')));
        testButton_->setEnabled(true);
        if (hadFocus)
            testButton_->setFocus(Qt::OtherFocusReason);
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
    const int index = chosen();
    if (index < 0) {
        // A typed device is taken only when it is there: never a silent switch to nothing.
        const QString device = chosenDevice();
        if (device.isEmpty())
            return refuse(Text(text_id::kTypeADevice, state_.language));
        if (!PortDeviceExists(device, ListSerialPorts()))
            return refuse(Text(text_id::kDeviceMissing, state_.language).arg(QDir::toNativeSeparators(device)));
    } else if (ports_[index].number != 0) {
        // The device in use stays in use; a numbered port replaces it.
        state_.commPortNumber = ports_[index].number;
    }
    QDialog::accept();
}

} // namespace zrk6
