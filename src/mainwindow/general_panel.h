#pragma once

#include <QGroupBox>
#include <QString>

class QComboBox;
class QLabel;

namespace zrk6 {

struct AppState;
class ImageDocument;

// The frame fraGeneral: the product label, the band list cboGenFreq and the hidden model
// list cboGenModel. It shows the document's band and model and follows their changes
// without writing. Choosing another band emits bandChosen; the list then shows the
// document's band again until the window has changed it. The band list takes the mouse
// wheel only while it has the keyboard focus.
class GeneralPanel : public QGroupBox {
    Q_OBJECT

public:
    GeneralPanel(AppState &state, const ImageDocument &document, QWidget *parent = nullptr);

    // Puts the band texts and the model texts in the lists (start-up).
    void fillLists();
    // Selects the model and the band of the image (ShowGeneralPanel); never asks anything.
    void showFromImage();
    // Frame and label captions in the current language.
    void applyCaptions();

    QComboBox *bandList() const { return bandList_; }
    QComboBox *modelList() const { return modelList_; }
    const QString &prevBandText() const { return prevBandText_; }

signals:
    // The user chose the band of BandTable row index.
    void bandChosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bandListChanged(int index);
    void selectBandText(const QString &text);

    AppState &state_;
    const ImageDocument &document_;
    QLabel *modelLabel_;
    QLabel *productName_;
    QLabel *bandLabel_;
    QComboBox *bandList_;
    QComboBox *modelList_;
    QString prevBandText_;
    bool bandEventsEnabled_ = false;
};

} // namespace zrk6
