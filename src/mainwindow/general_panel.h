#pragma once

#include <QGroupBox>
#include <QString>

class QComboBox;
class QLabel;

namespace zrk6 {

struct AppState;
class Prompts;

// The frame fraGeneral: the product label, the band list cboGenFreq and the hidden model
// list cboGenModel. Choosing a band asks 1329; on OK bandConfirmed() asks the window to
// rebuild the document, on Cancel the previous band comes back.
class GeneralPanel : public QGroupBox {
    Q_OBJECT

public:
    GeneralPanel(AppState &state, Prompts &prompts, QWidget *parent = nullptr);

    // Puts the band texts and the model texts in the lists (start-up).
    void fillLists();
    // Selects the model and the band of the image (ShowGeneralPanel); never asks anything.
    void showFromImage();
    // Frame and label captions in the current language.
    void applyCaptions();

    QComboBox *bandList() const { return cboGenFreq_; }
    QComboBox *modelList() const { return cboGenModel_; }
    const QString &prevBandText() const { return prevBandText_; }

signals:
    // The user chose another band and answered OK: state.doc.band holds it.
    void bandConfirmed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cboGenFreq_Click(int index);
    void cboGenModel_Click(int index);
    void selectBandText(const QString &text);

    AppState &state_;
    Prompts &prompts_;
    QLabel *lblGeneral0_;
    QLabel *label1_;
    QLabel *lblGeneral1_;
    QComboBox *cboGenFreq_;
    QComboBox *cboGenModel_;
    QString prevBandText_;
    bool bandEventsEnabled_ = false;
};

} // namespace zrk6
