#pragma once

#include <QDialog>

#include "document/image_document.h"
#include "model/app_state.h"
#include "ui/prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zrk6 {

// frmCopy in the mode of state.copyMode, from the channel state.currentChannel:
// 0 copies the whole record onto other channels (any number of times while open),
// 1 sets the channel's transmit frequency, 2 sets its encode tone.
// It reads the document and changes nothing: each choice is a signal, which the caller
// applies to the document at once (a channel copy while the dialog stays open).
class CopyDialog final : public QDialog {
    Q_OBJECT
public:
    CopyDialog(const AppState &state, const ImageDocument &document, Prompts &prompts, QWidget *parent = nullptr);

    int mode() const { return mode_; }
    QLineEdit *destinationBox() const { return destinationEdit_; }
    QComboBox *toneList() const { return toneList_; }

signals:
    // Mode 0: copy the record of source onto destination (1..128).
    void channelCopyChosen(int source, int destination);
    // Mode 1: the channel's transmit frequency, already rounded into the band; empty removes it.
    void transmitChosen(int channel, const QString &frequency);
    // Mode 2: the channel's encode tone as the list shows it.
    void encodeToneChosen(int channel, const QString &tone);

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void copyChannel();        // mode 0: one copy (or the range message), then the box resets
    void storeTxFrequency();   // mode 1
    void storeEncodeTone();    // mode 2
    void resetDestination();

    const AppState &state_;
    const ImageDocument &document_;
    Prompts &prompts_;
    int mode_ = 0;
    int source_ = 1;
    QString sourceText_;

    QLabel *lbl1_ = nullptr;
    QLabel *sourceLabel_ = nullptr;
    QLabel *lbl2_ = nullptr;
    QLabel *lbl3_ = nullptr;
    QLineEdit *destinationEdit_ = nullptr;
    QComboBox *toneList_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};

} // namespace zrk6
