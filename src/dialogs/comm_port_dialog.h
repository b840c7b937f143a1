#pragma once

#include <functional>

#include <QDialog>

#include "model/app_state.h"

class QRadioButton;

namespace zrk6 {

// frmCommPort: chooses CommPortNumber 1..4. Each option shows the system port it stands
// for, as given by portName (COM1 .. COM4 on Windows, a device path elsewhere).
class CommPortDialog final : public QDialog {
    Q_OBJECT
public:
    using PortNameFunction = std::function<QString(int portNumber)>;
    CommPortDialog(AppState &state, PortNameFunction portName, QWidget *parent = nullptr);

    QRadioButton *option(int index) const; // 0..3

public slots:
    void accept() override;

private:
    AppState &state_;
    QRadioButton *optCOM_[4] = {};
};

} // namespace zrk6
