#include "dialogs/opt_features_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "model/channel_record.h"
#include "model/fields.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

constexpr int kOffItem = 0;

// The lists and check boxes by the indexes they are known by, and the fields they show.
constexpr FieldId kGeneralListFields[8] = {FieldId::TimeOutTimer, FieldId::TimeOutTimer, FieldId::SquelchLevel,
                                           FieldId::ChordLanguage, FieldId::ChannelDisplay, FieldId::ScanMode,
                                           FieldId::Lamp, FieldId::PriorityChannel}; // index 0 unused
constexpr FieldId kCheckFields[6] = {FieldId::RevertFrequency, FieldId::BeepTone, FieldId::BatterySave,
                                     FieldId::FeatureScrambler, FieldId::KeyLock, FieldId::Manual};
constexpr FieldId kVoxFields[3] = {FieldId::VoxGain, FieldId::VoxGain, FieldId::VoxDelay}; // index 0 unused

// The list item that stands for a stored value; item 0 when none does.
int ItemOf(const QComboBox *list, int value)
{
    return std::max(list->findData(value), kOffItem);
}

} // namespace

OptFeaturesDialog::OptFeaturesDialog(const AppState &state, const ImageDocument &document, QWidget *parent)
    : QDialog(parent), state_(state), document_(document)
{
    setObjectName(QStringLiteral("frmOptFeatures"));
    UseOwnerIcon(this);
    buildControls();
    buildLayout();
    fillLists();
    loaded_ = DecodeOptionalFeatures(document_.image(), document_.band());
    showFeatures(loaded_);
}

void OptFeaturesDialog::buildControls()
{
    const LanguageMode lang = state_.language;
    setWindowTitle(Text(text_id::kOptionalFeatures, lang));

    functionFrame_ = Named(new QGroupBox(Text(text_id::kGeneralFunction, lang), this), QStringLiteral("fraGenFunction"));
    voxFrame_ = Named(new QGroupBox(Text(text_id::kVox, lang), functionFrame_), QStringLiteral("fraVOX"));
    pttIdFrame_ = Named(new QGroupBox(Text(text_id::kPttId, lang), this), QStringLiteral("fraPTTID"));

    for (int i = 1; i <= 7; ++i) {
        featureLabels_[i] = Named(new QLabel(FieldLabel(kGeneralListFields[i], lang), functionFrame_),
                           QStringLiteral("lblFeatureGen%1").arg(i));
        featureLists_[i] = Named(new QComboBox(functionFrame_), QStringLiteral("cboFeatureGen%1").arg(i));
        featureLabels_[i]->setBuddy(featureLists_[i]);
    }
    for (int i = 0; i <= 5; ++i)
        featureChecks_[i] = Named(new QCheckBox(FieldLabel(kCheckFields[i], lang), functionFrame_),
                           QStringLiteral("chkFeatureGen%1").arg(i));

    for (int i = 1; i <= 2; ++i) {
        voxLabel_[i] = Named(new QLabel(FieldLabel(kVoxFields[i], lang), voxFrame_), QStringLiteral("lblFeatureVox%1").arg(i));
        voxList_[i] = Named(new QComboBox(voxFrame_), QStringLiteral("cboFeatureVox%1").arg(i));
        voxLabel_[i]->setBuddy(voxList_[i]);
    }

    pttIdLabels_[1] = Named(new QLabel(FieldLabel(FieldId::PttIdAni, lang), pttIdFrame_), QStringLiteral("lblFeaturePTTID1"));
    pttIdLabels_[2] = Named(new QLabel(FieldLabel(FieldId::PttIdName, lang), pttIdFrame_), QStringLiteral("lblFeaturePTTID2"));
    pttIdAniEdit_ = Named(new QLineEdit(pttIdFrame_), QStringLiteral("txtPTTID_Ani"));
    pttIdNameEdit_ = Named(new QLineEdit(pttIdFrame_), QStringLiteral("txtPTTID_Name"));
    pttIdCheck_[1] = Named(new QCheckBox(Text(text_id::kPttIdBot, lang), pttIdFrame_), QStringLiteral("chkFeaturePTTID1"));
    pttIdCheck_[2] = Named(new QCheckBox(Text(text_id::kPttIdEot, lang), pttIdFrame_), QStringLiteral("chkFeaturePTTID2"));

    // No default button: Enter moves between controls instead of closing the dialog.
    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::StaysWithFocus);
    okButton_ = buttons.ok;
    cancelButton_ = buttons.cancel;

    auto *enter = new EnterMovesFocus(this);
    for (int i = 1; i <= 7; ++i)
        enter->watch(featureLists_[i]);
    for (int i = 1; i <= 2; ++i)
        enter->watch(voxList_[i]);
    for (int i = 0; i <= 5; ++i)
        enter->watch(featureChecks_[i]);
    enter->watch(okButton_);
    enter->watch(cancelButton_);
}

void OptFeaturesDialog::buildLayout()
{
    auto *voxGrid = new QGridLayout(voxFrame_);
    for (int i = 1; i <= 2; ++i) {
        voxGrid->addWidget(voxLabel_[i], i - 1, 0);
        voxGrid->addWidget(voxList_[i], i - 1, 1);
    }

    // Rows of the general group: the six visible lists on the left, the VOX group in the
    // upper right, the check boxes level with the ScanMode and Lamp rows.
    auto *grid = new QGridLayout(functionFrame_);
    grid->setHorizontalSpacing(12);
    const int visibleLists[6] = {1, 2, 4, 5, 6, 7};
    for (int row = 0; row < 6; ++row) {
        const int i = visibleLists[row];
        grid->addWidget(featureLabels_[i], row, 0);
        // The Channel Dis. list spans the column; the others share a narrower width.
        if (i == 4)
            grid->addWidget(featureLists_[i], row, 1);
        else
            grid->addWidget(featureLists_[i], row, 1, Qt::AlignLeft);
    }
    grid->addWidget(voxFrame_, 0, 2, 3, 2);
    grid->addWidget(featureChecks_[1], 3, 2);
    grid->addWidget(featureChecks_[2], 3, 3);
    grid->addWidget(featureChecks_[4], 4, 2);
    grid->addWidget(featureChecks_[5], 4, 3);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(6, 1);

    // Filled and printed, never shown.
    for (QWidget *hidden : {static_cast<QWidget *>(featureLabels_[3]), static_cast<QWidget *>(featureLists_[3]),
                            static_cast<QWidget *>(featureChecks_[0]), static_cast<QWidget *>(featureChecks_[3]),
                            static_cast<QWidget *>(pttIdFrame_)})
        hidden->hide();
    auto *pttGrid = new QGridLayout(pttIdFrame_);
    pttGrid->addWidget(pttIdLabels_[1], 0, 0);
    pttGrid->addWidget(pttIdAniEdit_, 0, 1);
    pttGrid->addWidget(pttIdLabels_[2], 1, 0);
    pttGrid->addWidget(pttIdNameEdit_, 1, 1);
    pttGrid->addWidget(pttIdCheck_[1], 2, 0);
    pttGrid->addWidget(pttIdCheck_[2], 2, 1);

    // Centred: a stretch on the left as well as the right.
    QHBoxLayout *buttons = OkCancelRow({okButton_, cancelButton_});
    buttons->addStretch(1);

    auto *main = new QVBoxLayout(this);
    main->addWidget(functionFrame_);
    main->addWidget(pttIdFrame_);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {featureLists_[1], featureLists_[2], featureLists_[4], featureLists_[5], featureLists_[6], featureLists_[7], voxList_[1],
                        voxList_[2], featureChecks_[1], featureChecks_[2], featureChecks_[4], okButton_, cancelButton_, featureChecks_[5]};
    for (std::size_t k = 1; k < std::size(order); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);
}

void OptFeaturesDialog::fillLists()
{
    const LanguageMode lang = state_.language;
    for (int i = 1; i <= 6; ++i)
        AddChoices(featureLists_[i], kGeneralListFields[i], lang);
    // The priority list offers only the channels in use.
    for (const Choice &choice : Field(FieldId::PriorityChannel).choices) {
        if (choice.value == 0 || IsChannelInUse(document_.image(), choice.value, document_.band()))
            featureLists_[7]->addItem(QString::fromStdString(ChoiceText(choice, lang)), choice.value);
    }
    featureLists_[4]->setMinimumContentsLength(featureLists_[4]->itemText(1).size());

    int narrow = 0;
    for (int i : {1, 2, 5, 6, 7})
        narrow = std::max(narrow, featureLists_[i]->sizeHint().width());
    for (int i : {1, 2, 5, 6, 7})
        featureLists_[i]->setMinimumWidth(narrow);

    for (int i = 1; i <= 2; ++i)
        AddChoices(voxList_[i], kVoxFields[i], lang);
}

void OptFeaturesDialog::showFeatures(const OptionalFeatures &f)
{
    for (int i = 1; i <= 7; ++i)
        featureLists_[i]->setCurrentIndex(ItemOf(featureLists_[i], ReadChoice(f, kGeneralListFields[i])));
    for (int i = 0; i <= 5; ++i)
        featureChecks_[i]->setChecked(ReadChoice(f, kCheckFields[i]) != 0);
    for (int i = 1; i <= 2; ++i)
        voxList_[i]->setCurrentIndex(ItemOf(voxList_[i], ReadChoice(f, kVoxFields[i])));
    pttIdAniEdit_->setText(QString::fromStdString(f.pttIdAni));
    pttIdNameEdit_->setText(QString::fromStdString(f.pttIdName));
}

QComboBox *OptFeaturesDialog::generalList(int i) const
{
    return (i >= 1 && i <= 7) ? featureLists_[i] : nullptr;
}

QCheckBox *OptFeaturesDialog::generalCheck(int i) const
{
    return (i >= 0 && i <= 5) ? featureChecks_[i] : nullptr;
}

QComboBox *OptFeaturesDialog::voxList(int i) const
{
    return (i >= 1 && i <= 2) ? voxList_[i] : nullptr;
}

QCheckBox *OptFeaturesDialog::pttIdCheck(int i) const
{
    return (i >= 1 && i <= 2) ? pttIdCheck_[i] : nullptr;
}

OptionalFeatures OptFeaturesDialog::shownFeatures() const
{
    OptionalFeatures f = loaded_; // chord language and the PTT ID texts are read only
    for (int i = 1; i <= 7; ++i) {
        if (i != 3)
            SetChoice(f, kGeneralListFields[i], std::max(featureLists_[i]->currentData().toInt(), 0));
    }
    for (int i = 0; i <= 5; ++i)
        SetChoice(f, kCheckFields[i], featureChecks_[i]->isChecked() ? 1 : 0);
    for (int i = 1; i <= 2; ++i)
        SetChoice(f, kVoxFields[i], voxList_[i]->currentData().toInt());
    return f;
}

} // namespace zrk6
