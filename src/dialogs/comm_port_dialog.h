#pragma once

#include <functional>

#include <QDialog>
#include <QList>

#include "model/app_state.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zrk6 {

// One port the dialog offers.
struct CommPortOption {
    int number = 1; // 0: the device in use, given by its path (zrk6 --port); chosen at first
    QString systemName;  // COM5 on Windows, a device path elsewhere; may be empty
    QString description; // the system's description of the port, may be empty
};

// frmCommPort: chooses CommPortNumber. Each option shows the system port it stands for and
// its description: ports 1..4 always, then every other port the system has, so that a USB
// adapter at COM5 or above can be chosen. Below the options the Device field (txtDevice)
// shows the chosen port's system name; a device typed there that no option stands for
// (a pseudo-terminal, a port the system does not list) is the choice instead. Given a check,
// a frame below shows what the cable doctor finds for the chosen port.
class CommPortDialog final : public QDialog {
    Q_OBJECT
public:
    using PortNameFunction = std::function<QString(int portNumber)>;
    // The findings for a system port name, one line each, in the dialog's language.
    using PortCheckFunction = std::function<QStringList(const QString &systemName)>;
    CommPortDialog(AppState &state, QList<CommPortOption> ports, QWidget *parent = nullptr,
                   PortCheckFunction check = {});
    // Ports 1..4 named by portName.
    CommPortDialog(AppState &state, const PortNameFunction &portName, QWidget *parent = nullptr,
                   PortCheckFunction check = {});

    QRadioButton *option(int index) const; // 0 .. optionCount() - 1
    int optionCount() const { return int(portOptions_.size()); }
    QLabel *portCheck() const { return portCheck_; } // null without a check
    // Test: greets the radio on the chosen port and reads its identification (nothing is
    // written); the result shows in testResult().
    QPushButton *testButton() const { return testButton_; }
    QLabel *testResult() const { return testResult_; }
    QLineEdit *deviceField() const { return deviceField_; }
    // Why OK did not close the dialog (no device typed, no such device); hidden until then.
    QLabel *deviceMessage() const { return deviceMessage_; }
    // After OK: the system name of the chosen port, or the device typed.
    QString chosenDevice() const;
    // After OK: the number of the chosen option; 0 for a device by its path (the device in use,
    // or one typed).
    int chosenNumber() const;

public slots:
    // Takes the chosen option, or the device typed when it exists; otherwise says why not in
    // deviceMessage() and stays open.
    void accept() override;

private:
    void showCheck(int index);
    void testPort();
    void deviceEdited(const QString &text);
    void refuse(const QString &why);
    int chosen() const; // -1 when a typed device stands for no option

    AppState &state_;
    QList<CommPortOption> ports_;
    PortCheckFunction check_;
    QList<QRadioButton *> portOptions_;
    QButtonGroup *group_ = nullptr;
    QLineEdit *deviceField_ = nullptr;
    QLabel *deviceMessage_ = nullptr;
    QLabel *portCheck_ = nullptr;
    QPushButton *testButton_ = nullptr;
    QLabel *testResult_ = nullptr;
};

} // namespace zrk6
