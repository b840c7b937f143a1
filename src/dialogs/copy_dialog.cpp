#include "dialogs/copy_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/tone.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {
namespace {

constexpr int kChannelMode = 0;
constexpr int kFrequencyMode = 1;
constexpr int kToneMode = 2;

QString Cell(const RowTexts &texts, ChannelColumn column)
{
    return QString::fromStdString(texts[static_cast<std::size_t>(column)]);
}

} // namespace

CopyDialog::CopyDialog(const AppState &state, const ImageDocument &document, Prompts &prompts, QWidget *parent)
    : QDialog(parent), state_(state), document_(document), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmCopy"));
    UseOwnerIcon(this);
    const LanguageMode lang = state_.language;
    mode_ = (state_.copyMode >= kChannelMode && state_.copyMode <= kToneMode) ? state_.copyMode : kChannelMode;
    source_ = std::clamp(state_.currentChannel, 1, kChannelCount);

    const RowTexts row = ChannelRowTexts(document_.image(), source_, document_.band(), lang);
    const int captions[3] = {text_id::kChannelCopy, text_id::kFrequencyCopy, text_id::kQtDqtCopy};
    const int sourceLabels[3] = {text_id::kChannel, text_id::kReceive, text_id::kDecode};
    const int destLabels[3] = {text_id::kChannel, text_id::kTransmit, text_id::kEncode};
    setWindowTitle(Text(captions[mode_], lang));
    if (mode_ == kChannelMode)
        sourceText_ = QString::number(source_);
    else if (mode_ == kFrequencyMode)
        sourceText_ = Cell(row, ChannelColumn::RxFreq);
    else
        sourceText_ = Cell(row, ChannelColumn::Decode);

    lbl1_ = new QLabel(Text(sourceLabels[mode_], lang), this);
    lbl1_->setObjectName(QStringLiteral("lbl1"));
    lblSource_ = new QLabel(sourceText_, this);
    lblSource_->setObjectName(QStringLiteral("lblSource"));
    lbl2_ = new QLabel(Text(text_id::kCopyTo, lang), this);
    lbl2_->setObjectName(QStringLiteral("lbl2"));
    lbl3_ = new QLabel(Text(destLabels[mode_], lang), this);
    lbl3_->setObjectName(QStringLiteral("lbl3"));
    txtDest_ = new QLineEdit(this);
    lbl3_->setBuddy(txtDest_); // a screen reader names the box by its label
    txtDest_->setObjectName(QStringLiteral("txtDest"));
    txtDest_->setContextMenuPolicy(Qt::NoContextMenu);
    cboCode_ = new QComboBox(this);
    cboCode_->setObjectName(QStringLiteral("cboCode"));
    // Enter belongs to the entry box; only a focused button reacts to it.
    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::StaysWithFocus);
    cmdOK_ = buttons.ok;
    cmdCancel_ = buttons.cancel;
    auto *enter = new EnterMovesFocus(this);
    enter->watch(cmdOK_);
    enter->watch(cmdCancel_);

    // The validators refuse a character that would make the entry too long or not a
    // number, which also covers a paste; a typed character replaces a selection.
    if (mode_ == kChannelMode)
        txtDest_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), txtDest_));
    else
        txtDest_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]{0,9}")), txtDest_));
    txtDest_->installEventFilter(this);
    txtDest_->installEventFilter(new SelectAllOnFocus(this));
    cboCode_->installEventFilter(this);

    auto *line = new QHBoxLayout;
    line->addWidget(lbl1_);
    line->addWidget(lblSource_);
    line->addSpacing(8);
    line->addWidget(lbl2_);
    line->addSpacing(8);
    line->addWidget(lbl3_);
    line->addWidget(txtDest_);
    line->addWidget(cboCode_);
    lblSource_->setMinimumWidth(lblSource_->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")));
    txtDest_->setMinimumWidth(txtDest_->fontMetrics().horizontalAdvance(QStringLiteral("0000.000000")));

    auto *main = new QVBoxLayout(this);
    main->addLayout(line);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);

    if (mode_ == kToneMode) {
        txtDest_->hide();
        for (const std::string &tone : BuildToneList(lang))
            cboCode_->addItem(QString::fromStdString(tone));
        const int index = cboCode_->findText(sourceText_);
        cboCode_->setCurrentIndex(index < 0 ? 0 : index);
        cboCode_->setFocus();
    } else {
        cboCode_->hide();
        resetDestination();
    }
}

void CopyDialog::resetDestination()
{
    txtDest_->setText(sourceText_);
    txtDest_->setCursorPosition(0);
    txtDest_->selectAll();
    txtDest_->setFocus();
}

bool CopyDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    if (watched == txtDest_ && mode_ == kChannelMode) {
        copyChannel();
        return true;
    }
    if (watched == txtDest_ && mode_ == kFrequencyMode) {
        storeTxFrequency();
        QDialog::accept();
        return true;
    }
    if (watched == cboCode_ && mode_ == kToneMode) {
        storeEncodeTone();
        QDialog::accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CopyDialog::accept()
{
    if (mode_ == kChannelMode)
        copyChannel();
    else if (mode_ == kFrequencyMode)
        storeTxFrequency();
    else
        storeEncodeTone();
    QDialog::accept();
}

void CopyDialog::copyChannel()
{
    bool ok = false;
    const int dest = txtDest_->text().isEmpty() ? 0 : txtDest_->text().toInt(&ok);
    if (dest >= 1 && dest <= kChannelCount) {
        emit channelCopyChosen(source_, dest);
    } else {
        prompts_.message(this, PromptMessage{text_id::kChannelOutOfRange, Text(text_id::kChannelOutOfRange, state_.language), ProductName(),
                                             QMessageBox::Warning, QMessageBox::Ok, QMessageBox::NoButton});
    }
    resetDestination();
}

void CopyDialog::storeTxFrequency()
{
    const QString typed = txtDest_->text();
    if (typed.isEmpty()) {
        emit transmitChosen(source_, QString());
        return;
    }
    const RoundedFrequency rounded = RoundFrequencyText(typed.toStdString(), document_.band());
    if (rounded.outOfRange)
        prompts_.message(this, PromptMessage{text_id::kFrequencyOutOfRange, ToQString(OutOfRangeText(rounded, document_.band(), state_.language)),
                                             ProductName(), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::NoButton});
    emit transmitChosen(source_, QString::fromStdString(rounded.text));
}

void CopyDialog::storeEncodeTone()
{
    emit encodeToneChosen(source_, cboCode_->currentText());
}

} // namespace zrk6
