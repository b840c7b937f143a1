#pragma once

#include <functional>

#include <QGroupBox>

#include "model/memory_image.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace zrk6 {

struct AppState;
class ImageDocument;
class Prompts;

// The frame fraVfo. It stays hidden; it shows the VFO block of the document and follows
// its changes without writing, and a choice or a committed entry in it is one command.
class VfoPanel : public QGroupBox {
    Q_OBJECT

public:
    VfoPanel(AppState &state, ImageDocument &document, Prompts &prompts, QWidget *parent = nullptr);

    // Puts the fixed items and the tone list (in the current language) in the lists.
    void fillLists();
    // Texts, frame and label captions and list items in the current language; selections stay.
    void applyCaptions();
    // Fills the controls from the image (ShowVfo); runs no handler.
    void showFromImage();

    // Validates the text of box 0 (receive) or 1 (offset), stores it and shows the result.
    void commitFrequency(int index);

    QLineEdit *frequencyBox(int index) const { return txtVfoFreq_[index]; }
    QComboBox *stepList() const { return cboVfoStep_; }
    QComboBox *duplexList() const { return cboVfoDuplex_; }
    QComboBox *decodeList() const { return cboVfoDeCode_; }
    QComboBox *encodeList() const { return cboVfoEncode_; }
    QComboBox *wideList() const { return cboVfoWide_; }
    QComboBox *powerList() const { return cboVfoTxP_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboVfoStep_Click(int index);
    void cboVfoDuplex_Click(int index);
    void cboVfoWide_Click(int index);
    void cboVfoTxP_Click(int index);
    void cboVfoDeCode_Click(int index);
    void cboVfoEncode_Click(int index);
    void showOutOfRange();
    void applyVfo(const std::function<void(MemoryImage &)> &edit);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    QLabel *lblVfo_[8];
    QLineEdit *txtVfoFreq_[2];
    QComboBox *cboVfoStep_;
    QComboBox *cboVfoDuplex_;
    QComboBox *cboVfoDeCode_;
    QComboBox *cboVfoEncode_;
    QComboBox *cboVfoWide_;
    QComboBox *cboVfoTxP_;
    bool committing_ = false;
};

} // namespace zrk6
