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

    fraGenFunction_ = Named(new QGroupBox(Text(text_id::kGeneralFunction, lang), this), QStringLiteral("fraGenFunction"));
    fraVox_ = Named(new QGroupBox(Text(text_id::kVox, lang), fraGenFunction_), QStringLiteral("fraVOX"));
    fraPttId_ = Named(new QGroupBox(Text(text_id::kPttId, lang), this), QStringLiteral("fraPTTID"));

    for (int i = 1; i <= 7; ++i) {
        lblGen_[i] = Named(new QLabel(FieldLabel(kGeneralListFields[i], lang), fraGenFunction_),
                           QStringLiteral("lblFeatureGen%1").arg(i));
        cboGen_[i] = Named(new QComboBox(fraGenFunction_), QStringLiteral("cboFeatureGen%1").arg(i));
        lblGen_[i]->setBuddy(cboGen_[i]);
    }
    for (int i = 0; i <= 5; ++i)
        chkGen_[i] = Named(new QCheckBox(FieldLabel(kCheckFields[i], lang), fraGenFunction_),
                           QStringLiteral("chkFeatureGen%1").arg(i));

    for (int i = 1; i <= 2; ++i) {
        lblVox_[i] = Named(new QLabel(FieldLabel(kVoxFields[i], lang), fraVox_), QStringLiteral("lblFeatureVox%1").arg(i));
        cboVox_[i] = Named(new QComboBox(fraVox_), QStringLiteral("cboFeatureVox%1").arg(i));
        lblVox_[i]->setBuddy(cboVox_[i]);
    }

    lblPttId_[1] = Named(new QLabel(FieldLabel(FieldId::PttIdAni, lang), fraPttId_), QStringLiteral("lblFeaturePTTID1"));
    lblPttId_[2] = Named(new QLabel(FieldLabel(FieldId::PttIdName, lang), fraPttId_), QStringLiteral("lblFeaturePTTID2"));
    txtPttIdAni_ = Named(new QLineEdit(fraPttId_), QStringLiteral("txtPTTID_Ani"));
    txtPttIdName_ = Named(new QLineEdit(fraPttId_), QStringLiteral("txtPTTID_Name"));
    chkPttId_[1] = Named(new QCheckBox(Text(text_id::kPttIdBot, lang), fraPttId_), QStringLiteral("chkFeaturePTTID1"));
    chkPttId_[2] = Named(new QCheckBox(Text(text_id::kPttIdEot, lang), fraPttId_), QStringLiteral("chkFeaturePTTID2"));

    // No default button: Enter moves between controls instead of closing the dialog.
    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::StaysWithFocus);
    cmdOK_ = buttons.ok;
    cmdCancel_ = buttons.cancel;

    auto *enter = new EnterMovesFocus(this);
    for (int i = 1; i <= 7; ++i)
        enter->watch(cboGen_[i]);
    for (int i = 1; i <= 2; ++i)
        enter->watch(cboVox_[i]);
    for (int i = 0; i <= 5; ++i)
        enter->watch(chkGen_[i]);
    enter->watch(cmdOK_);
    enter->watch(cmdCancel_);
}

void OptFeaturesDialog::buildLayout()
{
    auto *voxGrid = new QGridLayout(fraVox_);
    for (int i = 1; i <= 2; ++i) {
        voxGrid->addWidget(lblVox_[i], i - 1, 0);
        voxGrid->addWidget(cboVox_[i], i - 1, 1);
    }

    // Rows of the general group: the six visible lists on the left, the VOX group in the
    // upper right, the check boxes level with the ScanMode and Lamp rows.
    auto *grid = new QGridLayout(fraGenFunction_);
    grid->setHorizontalSpacing(12);
    const int visibleLists[6] = {1, 2, 4, 5, 6, 7};
    for (int row = 0; row < 6; ++row) {
        const int i = visibleLists[row];
        grid->addWidget(lblGen_[i], row, 0);
        // The Channel Dis. list spans the column; the others share a narrower width.
        if (i == 4)
            grid->addWidget(cboGen_[i], row, 1);
        else
            grid->addWidget(cboGen_[i], row, 1, Qt::AlignLeft);
    }
    grid->addWidget(fraVox_, 0, 2, 3, 2);
    grid->addWidget(chkGen_[1], 3, 2);
    grid->addWidget(chkGen_[2], 3, 3);
    grid->addWidget(chkGen_[4], 4, 2);
    grid->addWidget(chkGen_[5], 4, 3);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(6, 1);

    // Filled and printed, never shown.
    for (QWidget *hidden : {static_cast<QWidget *>(lblGen_[3]), static_cast<QWidget *>(cboGen_[3]),
                            static_cast<QWidget *>(chkGen_[0]), static_cast<QWidget *>(chkGen_[3]),
                            static_cast<QWidget *>(fraPttId_)})
        hidden->hide();
    auto *pttGrid = new QGridLayout(fraPttId_);
    pttGrid->addWidget(lblPttId_[1], 0, 0);
    pttGrid->addWidget(txtPttIdAni_, 0, 1);
    pttGrid->addWidget(lblPttId_[2], 1, 0);
    pttGrid->addWidget(txtPttIdName_, 1, 1);
    pttGrid->addWidget(chkPttId_[1], 2, 0);
    pttGrid->addWidget(chkPttId_[2], 2, 1);

    // Centred: a stretch on the left as well as the right.
    QHBoxLayout *buttons = OkCancelRow({cmdOK_, cmdCancel_});
    buttons->addStretch(1);

    auto *main = new QVBoxLayout(this);
    main->addWidget(fraGenFunction_);
    main->addWidget(fraPttId_);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {cboGen_[1], cboGen_[2], cboGen_[4], cboGen_[5], cboGen_[6], cboGen_[7], cboVox_[1],
                        cboVox_[2], chkGen_[1], chkGen_[2], chkGen_[4], cmdOK_, cmdCancel_, chkGen_[5]};
    for (std::size_t k = 1; k < std::size(order); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);
}

void OptFeaturesDialog::fillLists()
{
    const LanguageMode lang = state_.language;
    for (int i = 1; i <= 6; ++i)
        AddChoices(cboGen_[i], kGeneralListFields[i], lang);
    // The priority list offers only the channels in use.
    for (const Choice &choice : Field(FieldId::PriorityChannel).choices) {
        if (choice.value == 0 || IsChannelInUse(document_.image(), choice.value, document_.band()))
            cboGen_[7]->addItem(QString::fromStdString(ChoiceText(choice, lang)), choice.value);
    }
    cboGen_[4]->setMinimumContentsLength(cboGen_[4]->itemText(1).size());

    int narrow = 0;
    for (int i : {1, 2, 5, 6, 7})
        narrow = std::max(narrow, cboGen_[i]->sizeHint().width());
    for (int i : {1, 2, 5, 6, 7})
        cboGen_[i]->setMinimumWidth(narrow);

    for (int i = 1; i <= 2; ++i)
        AddChoices(cboVox_[i], kVoxFields[i], lang);
}

void OptFeaturesDialog::showFeatures(const OptionalFeatures &f)
{
    for (int i = 1; i <= 7; ++i)
        cboGen_[i]->setCurrentIndex(ItemOf(cboGen_[i], ReadChoice(f, kGeneralListFields[i])));
    for (int i = 0; i <= 5; ++i)
        chkGen_[i]->setChecked(ReadChoice(f, kCheckFields[i]) != 0);
    for (int i = 1; i <= 2; ++i)
        cboVox_[i]->setCurrentIndex(ItemOf(cboVox_[i], ReadChoice(f, kVoxFields[i])));
    txtPttIdAni_->setText(QString::fromStdString(f.pttIdAni));
    txtPttIdName_->setText(QString::fromStdString(f.pttIdName));
}

QComboBox *OptFeaturesDialog::generalList(int i) const
{
    return (i >= 1 && i <= 7) ? cboGen_[i] : nullptr;
}

QCheckBox *OptFeaturesDialog::generalCheck(int i) const
{
    return (i >= 0 && i <= 5) ? chkGen_[i] : nullptr;
}

QComboBox *OptFeaturesDialog::voxList(int i) const
{
    return (i >= 1 && i <= 2) ? cboVox_[i] : nullptr;
}

QCheckBox *OptFeaturesDialog::pttIdCheck(int i) const
{
    return (i >= 1 && i <= 2) ? chkPttId_[i] : nullptr;
}

OptionalFeatures OptFeaturesDialog::shownFeatures() const
{
    OptionalFeatures f = loaded_; // chord language and the PTT ID texts are read only
    for (int i = 1; i <= 7; ++i) {
        if (i != 3)
            SetChoice(f, kGeneralListFields[i], std::max(cboGen_[i]->currentData().toInt(), 0));
    }
    for (int i = 0; i <= 5; ++i)
        SetChoice(f, kCheckFields[i], chkGen_[i]->isChecked() ? 1 : 0);
    for (int i = 1; i <= 2; ++i)
        SetChoice(f, kVoxFields[i], cboVox_[i]->currentData().toInt());
    return f;
}

} // namespace zrk6
