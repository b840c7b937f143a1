#pragma once

#include <QDialog>

#include "document/image_document.h"
#include "model/app_state.h"
#include "model/optional_features.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zrk6 {

// frmOptFeatures: the radio-wide optional features of the image. Loads them from the
// document when it is built and changes nothing: after OK, shownFeatures() is what the
// caller stores.
class OptFeaturesDialog final : public QDialog {
    Q_OBJECT
public:
    OptFeaturesDialog(const AppState &state, const ImageDocument &document, QWidget *parent = nullptr);

    // Control arrays by the indexes the lists and boxes are known by (1..7, 0..5, 1..2).
    QComboBox *generalList(int i) const;
    QCheckBox *generalCheck(int i) const;
    QComboBox *voxList(int i) const;
    QLineEdit *pttIdAni() const { return txtPttIdAni_; }
    QLineEdit *pttIdName() const { return txtPttIdName_; }
    QCheckBox *pttIdCheck(int i) const;

    // The features as the controls show them: what OK stores.
    OptionalFeatures shownFeatures() const;

private:
    void buildControls();
    void buildLayout();
    void fillLists();
    void showFeatures(const OptionalFeatures &features);

    const AppState &state_;
    const ImageDocument &document_;
    OptionalFeatures loaded_;

    QGroupBox *fraGenFunction_ = nullptr;
    QGroupBox *fraVox_ = nullptr;
    QGroupBox *fraPttId_ = nullptr;
    QLabel *lblGen_[8] = {};
    QComboBox *cboGen_[8] = {};
    QCheckBox *chkGen_[6] = {};
    QLabel *lblVox_[3] = {};
    QComboBox *cboVox_[3] = {};
    QLabel *lblPttId_[3] = {};
    QLineEdit *txtPttIdAni_ = nullptr;
    QLineEdit *txtPttIdName_ = nullptr;
    QCheckBox *chkPttId_[3] = {};
    QPushButton *cmdOK_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;
};

} // namespace zrk6
