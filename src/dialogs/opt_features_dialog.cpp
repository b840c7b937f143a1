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

    fraGenFunction_ = Named(new QGroupBox(Text(1456, lang), this), QStringLiteral("fraGenFunction"));
    fraVox_ = Named(new QGroupBox(Text(1457, lang), fraGenFunction_), QStringLiteral("fraVOX"));
    fraPttId_ = Named(new QGroupBox(Text(1458, lang), this), QStringLiteral("fraPTTID"));

    const int generalLabels[8] = {0, 1404, 1408, 1450, 1459, 1460, 1409, 1462};
    for (int i = 1; i <= 7; ++i) {
        lblGen_[i] = Named(new QLabel(Text(generalLabels[i], lang), fraGenFunction_),
                           QStringLiteral("lblFeatureGen%1").arg(i));
        cboGen_[i] = Named(new QComboBox(fraGenFunction_), QStringLiteral("cboFeatureGen%1").arg(i));
        lblGen_[i]->setBuddy(cboGen_[i]);
    }
    const int checkCaptions[6] = {1461, 1414, 1415, 1428, 1401, 1254};
    for (int i = 0; i <= 5; ++i)
        chkGen_[i] = Named(new QCheckBox(Text(checkCaptions[i], lang), fraGenFunction_),
                           QStringLiteral("chkFeatureGen%1").arg(i));

    const int voxLabels[3] = {0, 1410, 1451};
    for (int i = 1; i <= 2; ++i) {
        lblVox_[i] = Named(new QLabel(Text(voxLabels[i], lang), fraVox_), QStringLiteral("lblFeatureVox%1").arg(i));
        cboVox_[i] = Named(new QComboBox(fraVox_), QStringLiteral("cboFeatureVox%1").arg(i));
        lblVox_[i]->setBuddy(cboVox_[i]);
    }

    lblPttId_[1] = Named(new QLabel(Text(1452, lang), fraPttId_), QStringLiteral("lblFeaturePTTID1"));
    lblPttId_[2] = Named(new QLabel(Text(1453, lang), fraPttId_), QStringLiteral("lblFeaturePTTID2"));
    txtPttIdAni_ = Named(new QLineEdit(fraPttId_), QStringLiteral("txtPTTID_Ani"));
    txtPttIdName_ = Named(new QLineEdit(fraPttId_), QStringLiteral("txtPTTID_Name"));
    chkPttId_[1] = Named(new QCheckBox(Text(1454, lang), fraPttId_), QStringLiteral("chkFeaturePTTID1"));
    chkPttId_[2] = Named(new QCheckBox(Text(1455, lang), fraPttId_), QStringLiteral("chkFeaturePTTID2"));

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
    const QString off = Text(1101, lang);
    const QString mode = Text(1416, lang);

    cboGen_[1]->addItems(TimeOutItems(lang));
    cboGen_[2]->addItems(SquelchItems());
    cboGen_[3]->addItems(ChordLanguageItems(lang));
    cboGen_[4]->addItems({Text(1205, lang), Text(1205, lang) + QLatin1Char('+') + Text(1206, lang)});
    cboGen_[5]->addItems({off, Text(1205, lang) + mode, QStringLiteral("CTCSS ") + mode, QStringLiteral("DCS ") + mode});
    cboGen_[6]->addItems({off, Text(1105, lang), Text(1100, lang)});
    cboGen_[7]->addItem(off);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (IsChannelInUse(document_.image(), n, document_.band()))
            cboGen_[7]->addItem(QString::number(n));
    }
    cboGen_[4]->setMinimumContentsLength(cboGen_[4]->itemText(1).size());

    int narrow = 0;
    for (int i : {1, 2, 5, 6, 7})
        narrow = std::max(narrow, cboGen_[i]->sizeHint().width());
    for (int i : {1, 2, 5, 6, 7})
        cboGen_[i]->setMinimumWidth(narrow);

    cboVox_[1]->addItems(VoxGainItems(lang));
    cboVox_[2]->addItems(VoxDelayItems());
}

void OptFeaturesDialog::showFeatures(const OptionalFeatures &f)
{
    cboGen_[1]->setCurrentIndex(f.timeOutTimer);
    cboGen_[2]->setCurrentIndex(f.squelchLevel);
    cboGen_[3]->setCurrentIndex(static_cast<int>(f.chordLanguage));
    cboGen_[4]->setCurrentIndex(f.channelDisplay);
    cboGen_[5]->setCurrentIndex(f.scanMode);
    cboGen_[6]->setCurrentIndex(f.lamp);
    const int priority = f.priorityChannel == 0 ? -1 : cboGen_[7]->findText(QString::number(f.priorityChannel));
    cboGen_[7]->setCurrentIndex(priority < 0 ? kOffItem : priority);
    chkGen_[0]->setChecked(f.revertFrequency);
    chkGen_[1]->setChecked(f.beepTone);
    chkGen_[2]->setChecked(f.batterySave);
    chkGen_[3]->setChecked(f.scrambler);
    chkGen_[4]->setChecked(f.keyLock);
    chkGen_[5]->setChecked(f.manual);
    cboVox_[1]->setCurrentIndex(f.voxGain);
    cboVox_[2]->setCurrentIndex(f.voxDelay);
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
    f.timeOutTimer = cboGen_[1]->currentIndex();
    f.squelchLevel = cboGen_[2]->currentIndex();
    f.channelDisplay = cboGen_[4]->currentIndex();
    f.scanMode = cboGen_[5]->currentIndex();
    f.lamp = cboGen_[6]->currentIndex();
    // Item 0 is "Off" in whatever language; the others show the channel number.
    f.priorityChannel = cboGen_[7]->currentIndex() <= kOffItem ? 0 : cboGen_[7]->currentText().toInt();
    f.revertFrequency = chkGen_[0]->isChecked();
    f.beepTone = chkGen_[1]->isChecked();
    f.batterySave = chkGen_[2]->isChecked();
    f.scrambler = chkGen_[3]->isChecked();
    f.keyLock = chkGen_[4]->isChecked();
    f.manual = chkGen_[5]->isChecked();
    f.voxGain = cboVox_[1]->currentIndex();
    f.voxDelay = cboVox_[2]->currentIndex();
    return f;
}

} // namespace zrk6
