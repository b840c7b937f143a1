#pragma once

#include <functional>

#include <QDialog>

#include "model/app_state.h"

class QLabel;
class QRadioButton;

namespace zrk6 {

// frmCommPort: chooses CommPortNumber 1..4. Each option shows the system port it stands
// for, as given by portName (COM1 .. COM4 on Windows, a device path elsewhere). Given a
// check, a frame below the options shows what the cable doctor finds for the chosen port.
class CommPortDialog final : public QDialog {
    Q_OBJECT
public:
    using PortNameFunction = std::function<QString(int portNumber)>;
    // The findings for a system port name, one line each, in the dialog's language.
    using PortCheckFunction = std::function<QStringList(const QString &systemName)>;
    CommPortDialog(AppState &state, PortNameFunction portName, QWidget *parent = nullptr,
                   PortCheckFunction check = {});

    QRadioButton *option(int index) const; // 0..3
    QLabel *portCheck() const { return lblCheck_; } // null without a check

public slots:
    void accept() override;

private:
    void showCheck(int index);

    AppState &state_;
    PortNameFunction portName_;
    PortCheckFunction check_;
    QRadioButton *optCOM_[4] = {};
    QLabel *lblCheck_ = nullptr;
};

} // namespace zrk6
