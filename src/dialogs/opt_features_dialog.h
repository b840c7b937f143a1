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
    QLineEdit *pttIdAni() const { return pttIdAniEdit_; }
    QLineEdit *pttIdName() const { return pttIdNameEdit_; }
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

    QGroupBox *functionFrame_ = nullptr;
    QGroupBox *voxFrame_ = nullptr;
    QGroupBox *pttIdFrame_ = nullptr;
    QLabel *featureLabels_[8] = {};
    QComboBox *featureLists_[8] = {};
    QCheckBox *featureChecks_[6] = {};
    QLabel *voxLabel_[3] = {};
    QComboBox *voxList_[3] = {};
    QLabel *pttIdLabels_[3] = {};
    QLineEdit *pttIdAniEdit_ = nullptr;
    QLineEdit *pttIdNameEdit_ = nullptr;
    QCheckBox *pttIdCheck_[3] = {};
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};

} // namespace zrk6
