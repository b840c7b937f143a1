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

    QLineEdit *frequencyBox(int index) const { return frequencyEdits_[index]; }
    QComboBox *stepList() const { return stepList_; }
    QComboBox *duplexList() const { return duplexList_; }
    QComboBox *decodeList() const { return decodeList_; }
    QComboBox *encodeList() const { return encodeList_; }
    QComboBox *wideList() const { return bandwidthList_; }
    QComboBox *powerList() const { return powerList_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyStep(int index);
    void applyDuplex(int index);
    void applyBandwidth(int index);
    void applyPower(int index);
    void applyDecode(int index);
    void applyEncode(int index);
    void showOutOfRange();
    void applyVfo(const std::function<void(MemoryImage &)> &edit);

    AppState &state_;
    ImageDocument &document_;
    Prompts &prompts_;
    QLabel *labels_[8];
    QLineEdit *frequencyEdits_[2];
    QComboBox *stepList_;
    QComboBox *duplexList_;
    QComboBox *decodeList_;
    QComboBox *encodeList_;
    QComboBox *bandwidthList_;
    QComboBox *powerList_;
    bool committing_ = false;
};

} // namespace zrk6
