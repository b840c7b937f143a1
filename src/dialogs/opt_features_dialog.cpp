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

namespace zrk6 {
namespace {

constexpr int kTimeOutSteps = 20;
constexpr int kOffItem = 0;

} // namespace

QStringList TimeOutItems(LanguageMode language)
{
    QStringList items{Text(1101, language)};
    for (int i = 1; i <= kTimeOutSteps; ++i)
        items << QString::number(i * 15);
    return items;
}

QStringList SquelchItems()
{
    QStringList items;
    for (int i = 0; i <= 9; ++i)
        items << QString::number(i);
    return items;
}

QStringList ChordLanguageItems(LanguageMode language)
{
    return {Text(1322, language), Text(1321, language), Text(1101, language)};
}

QStringList VoxGainItems(LanguageMode language)
{
    QStringList items{Text(1101, language)};
    for (int i = 1; i <= 9; ++i)
        items << QString::number(i);
    return items;
}

QStringList VoxDelayItems()
{
    return {QStringLiteral("0.3"), QStringLiteral("0.5"), QStringLiteral("1.0"),
            QStringLiteral("1.5"), QStringLiteral("2.0"), QStringLiteral("3.0")};
}

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
    setWindowTitle(Text(1400, lang));

    functionFrame_ = Named(new QGroupBox(Text(1456, lang), this), QStringLiteral("fraGenFunction"));
    voxFrame_ = Named(new QGroupBox(Text(1457, lang), functionFrame_), QStringLiteral("fraVOX"));
    pttIdFrame_ = Named(new QGroupBox(Text(1458, lang), this), QStringLiteral("fraPTTID"));

    const int generalLabels[8] = {0, 1404, 1408, 1450, 1459, 1460, 1409, 1462};
    for (int i = 1; i <= 7; ++i) {
        featureLabels_[i] = Named(new QLabel(Text(generalLabels[i], lang), functionFrame_),
                           QStringLiteral("lblFeatureGen%1").arg(i));
        featureLists_[i] = Named(new QComboBox(functionFrame_), QStringLiteral("cboFeatureGen%1").arg(i));
        featureLabels_[i]->setBuddy(featureLists_[i]);
    }
    const int checkCaptions[6] = {1461, 1414, 1415, 1428, 1401, 1254};
    for (int i = 0; i <= 5; ++i)
        featureChecks_[i] = Named(new QCheckBox(Text(checkCaptions[i], lang), functionFrame_),
                           QStringLiteral("chkFeatureGen%1").arg(i));

    const int voxLabels[3] = {0, 1410, 1451};
    for (int i = 1; i <= 2; ++i) {
        voxLabel_[i] = Named(new QLabel(Text(voxLabels[i], lang), voxFrame_), QStringLiteral("lblFeatureVox%1").arg(i));
        voxList_[i] = Named(new QComboBox(voxFrame_), QStringLiteral("cboFeatureVox%1").arg(i));
        voxLabel_[i]->setBuddy(voxList_[i]);
    }

    pttIdLabels_[1] = Named(new QLabel(Text(1452, lang), pttIdFrame_), QStringLiteral("lblFeaturePTTID1"));
    pttIdLabels_[2] = Named(new QLabel(Text(1453, lang), pttIdFrame_), QStringLiteral("lblFeaturePTTID2"));
    pttIdAniEdit_ = Named(new QLineEdit(pttIdFrame_), QStringLiteral("txtPTTID_Ani"));
    pttIdNameEdit_ = Named(new QLineEdit(pttIdFrame_), QStringLiteral("txtPTTID_Name"));
    pttIdCheck_[1] = Named(new QCheckBox(Text(1454, lang), pttIdFrame_), QStringLiteral("chkFeaturePTTID1"));
    pttIdCheck_[2] = Named(new QCheckBox(Text(1455, lang), pttIdFrame_), QStringLiteral("chkFeaturePTTID2"));

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
    const QString off = Text(1101, lang);
    const QString mode = Text(1416, lang);

    featureLists_[1]->addItems(TimeOutItems(lang));
    featureLists_[2]->addItems(SquelchItems());
    featureLists_[3]->addItems(ChordLanguageItems(lang));
    featureLists_[4]->addItems({Text(1205, lang), Text(1205, lang) + QLatin1Char('+') + Text(1206, lang)});
    featureLists_[5]->addItems({off, Text(1205, lang) + mode, QStringLiteral("CTCSS ") + mode, QStringLiteral("DCS ") + mode});
    featureLists_[6]->addItems({off, Text(1105, lang), Text(1100, lang)});
    featureLists_[7]->addItem(off);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (IsChannelInUse(document_.image(), n, document_.band()))
            featureLists_[7]->addItem(QString::number(n));
    }
    featureLists_[4]->setMinimumContentsLength(featureLists_[4]->itemText(1).size());

    int narrow = 0;
    for (int i : {1, 2, 5, 6, 7})
        narrow = std::max(narrow, featureLists_[i]->sizeHint().width());
    for (int i : {1, 2, 5, 6, 7})
        featureLists_[i]->setMinimumWidth(narrow);

    voxList_[1]->addItems(VoxGainItems(lang));
    voxList_[2]->addItems(VoxDelayItems());
}

void OptFeaturesDialog::showFeatures(const OptionalFeatures &f)
{
    featureLists_[1]->setCurrentIndex(f.timeOutTimer);
    featureLists_[2]->setCurrentIndex(f.squelchLevel);
    featureLists_[3]->setCurrentIndex(static_cast<int>(f.chordLanguage));
    featureLists_[4]->setCurrentIndex(f.channelDisplay);
    featureLists_[5]->setCurrentIndex(f.scanMode);
    featureLists_[6]->setCurrentIndex(f.lamp);
    const int priority = f.priorityChannel == 0 ? -1 : featureLists_[7]->findText(QString::number(f.priorityChannel));
    featureLists_[7]->setCurrentIndex(priority < 0 ? kOffItem : priority);
    featureChecks_[0]->setChecked(f.revertFrequency);
    featureChecks_[1]->setChecked(f.beepTone);
    featureChecks_[2]->setChecked(f.batterySave);
    featureChecks_[3]->setChecked(f.scrambler);
    featureChecks_[4]->setChecked(f.keyLock);
    featureChecks_[5]->setChecked(f.manual);
    voxList_[1]->setCurrentIndex(f.voxGain);
    voxList_[2]->setCurrentIndex(f.voxDelay);
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
    f.timeOutTimer = featureLists_[1]->currentIndex();
    f.squelchLevel = featureLists_[2]->currentIndex();
    f.channelDisplay = featureLists_[4]->currentIndex();
    f.scanMode = featureLists_[5]->currentIndex();
    f.lamp = featureLists_[6]->currentIndex();
    // Item 0 is "Off" in whatever language; the others show the channel number.
    f.priorityChannel = featureLists_[7]->currentIndex() <= kOffItem ? 0 : featureLists_[7]->currentText().toInt();
    f.revertFrequency = featureChecks_[0]->isChecked();
    f.beepTone = featureChecks_[1]->isChecked();
    f.batterySave = featureChecks_[2]->isChecked();
    f.scrambler = featureChecks_[3]->isChecked();
    f.keyLock = featureChecks_[4]->isChecked();
    f.manual = featureChecks_[5]->isChecked();
    f.voxGain = voxList_[1]->currentIndex();
    f.voxDelay = voxList_[2]->currentIndex();
    return f;
}

} // namespace zrk6
