#include "dialogs/channel_ops_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <cmath>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "text/text_ids.h"
#include "ui/prompts.h"
#include "model/fields.h"
#include "model/tone.h"

namespace zrk6 {
namespace {

constexpr int kTextChangeTitle = text_id::kChangeSelectedChannels;
constexpr int kTextChangeThis = text_id::kChangeThisField;
constexpr int kTextSimplex = text_id::kSetSimplex;
constexpr int kTextOffset = text_id::kSetOffset;
constexpr int kTextReceiveOnly = text_id::kReceiveOnly;
constexpr int kTextSortTitle = text_id::kSortChannels;
constexpr int kTextSortBy = text_id::kSortBy;
constexpr int kTextDescending = text_id::kDescending;
constexpr int kTextSelectedOnly = text_id::kOnlySelectedChannels;
constexpr int kTextFindNext = text_id::kFindNext;
constexpr int kTextFindTitle = text_id::kFind;
constexpr int kTextFindPrompt = text_id::kFindPrompt;
constexpr int kTextClose = text_id::kCloseButton;

// The channel columns' header texts (RX Freq .. Scrambler).
int Header(ChannelColumn column)
{
    return kChannelColumnTextIds[static_cast<std::size_t>(column)];
}

// The option fields the dialog can set, in grid column order, and their lines' names.
constexpr FieldId kOptionFields[] = {FieldId::WideNarrow, FieldId::Scan, FieldId::TxPower, FieldId::Bcl,
                                     FieldId::Scrambler};

const char *OptionLineName(FieldId field)
{
    switch (field) {
    case FieldId::WideNarrow: return "WideNarrow";
    case FieldId::Scan: return "Scan";
    case FieldId::TxPower: return "TxPower";
    case FieldId::Bcl: return "Bcl";
    default: return "Scrambler";
    }
}

QVBoxLayout *WithButtons(QDialog *dialog, QLayout *body, LanguageMode language)
{
    auto *main = new QVBoxLayout(dialog);
    main->addLayout(body);
    main->addLayout(OkCancelRow(MakeOkCancel(dialog, language, EnterKey::PressesOk)));
    main->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(dialog);
    return main;
}

} // namespace

ChangeChannelsDialog::ChangeChannelsDialog(LanguageMode language, QWidget *parent)
    : QDialog(parent), language_(language)
{
    setObjectName(QStringLiteral("frmChangeChannels"));
    UseOwnerIcon(this);
    setWindowTitle(Text(kTextChangeTitle, language));
    auto *grid = new QGridLayout;

    // The transmit frequency: simplex, an offset, or receive only.
    Line tx = addLine(Header(ChannelColumn::TxFreq), "TxRelation", {kTextSimplex, kTextOffset, kTextReceiveOnly});
    offset_ = Named(new QDoubleSpinBox(this), QStringLiteral("txtChangeOffset"));
    offset_->setDecimals(5);
    offset_->setRange(-100.0, 100.0);
    offset_->setSingleStep(0.1);
    offset_->setSuffix(QStringLiteral(" MHz"));
    offset_->setAccessibleName(Text(kTextOffset, language));
    offset_->setEnabled(false);
    connect(tx.box, &QComboBox::currentIndexChanged, offset_, [this](int i) { offset_->setEnabled(i == 1); });

    const std::vector<std::string> toneTexts = BuildToneList(language);
    addLine(Header(ChannelColumn::Decode), "Decode", {});
    addLine(Header(ChannelColumn::Encode), "Encode", {});
    for (std::size_t i = 1; i < 3; ++i) {
        for (const std::string &t : toneTexts)
            lines_[i].box->addItem(QString::fromStdString(t));
    }
    for (const FieldId field : kOptionFields) {
        const Line line = addLine(Header(ColumnOf(field)), OptionLineName(field), {});
        AddChoices(line.box, field, language);
    }

    int row = 0;
    for (const Line &line : lines_) {
        grid->addWidget(line.check, row, 0);
        grid->addWidget(line.box, row, 1);
        if (row == 0)
            grid->addWidget(offset_, row, 2);
        ++row;
    }
    WithButtons(this, grid, language);
}

ChangeChannelsDialog::Line ChangeChannelsDialog::addLine(int textId, const char *name, const std::vector<int> &items)
{
    Line line{Named(new QCheckBox(Text(textId, language_), this), QStringLiteral("chkChange") + QLatin1String(name)),
              Named(new QComboBox(this), QStringLiteral("cboChange") + QLatin1String(name)), textId};
    line.check->setAccessibleDescription(Text(kTextChangeThis, language_));
    line.box->setAccessibleName(Text(textId, language_));
    line.box->setEnabled(false);
    for (int id : items)
        line.box->addItem(Text(id, language_));
    connect(line.check, &QCheckBox::toggled, line.box, &QWidget::setEnabled);
    lines_.push_back(line);
    return line;
}

ChannelChange ChangeChannelsDialog::value() const
{
    ChannelChange change;
    const auto checked = [this](std::size_t i) { return lines_[i].check->isChecked(); };
    const auto index = [this](std::size_t i) { return lines_[i].box->currentIndex(); };
    if (checked(0)) {
        if (index(0) == 2)
            change.receiveOnly = true;
        else
            change.offset = index(0) == 0 ? 0 : static_cast<FreqUnits>(std::llround(offset_->value() * kUnitsPerMHz));
    }
    for (std::size_t i : {std::size_t{1}, std::size_t{2}}) {
        if (checked(i))
            (i == 1 ? change.decode : change.encode) =
                ToneFromText(lines_[i].box->currentText().toStdString()).value_or(Tone{});
    }
    // The option lines follow the tone lines; each list item carries its stored value.
    ChannelValue chosen;
    for (std::size_t k = 0; k < std::size(kOptionFields); ++k) {
        if (checked(3 + k))
            SetChoice(chosen, kOptionFields[k], lines_[3 + k].box->currentData().toInt());
    }
    if (checked(3))
        change.wide = chosen.wide;
    if (checked(4))
        change.scan = chosen.scan;
    if (checked(5))
        change.power = chosen.power;
    if (checked(6))
        change.busyLock = chosen.busyLock;
    if (checked(7))
        change.scrambler = chosen.scrambler;
    return change;
}

QStringList ChangeChannelsDialog::checkedFieldNames() const
{
    QStringList names;
    for (const Line &line : lines_) {
        if (line.check->isChecked())
            names << line.check->text().remove(QLatin1Char('&'));
    }
    return names;
}

std::vector<int> ChangeChannelsDialog::checkedFieldIds() const
{
    std::vector<int> ids;
    for (const Line &line : lines_) {
        if (line.check->isChecked())
            ids.push_back(line.textId);
    }
    return ids;
}

SortChannelsDialog::SortChannelsDialog(LanguageMode language, bool selectionOffered, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSortChannels"));
    UseOwnerIcon(this);
    setWindowTitle(Text(kTextSortTitle, language));
    key_ = Named(new QComboBox(this), QStringLiteral("cboSortKey"));
    for (ChannelColumn c : {ChannelColumn::RxFreq, ChannelColumn::TxFreq, ChannelColumn::Decode, ChannelColumn::Encode,
                            ChannelColumn::TxPower})
        key_->addItem(Text(Header(c), language));
    key_->setAccessibleName(Text(kTextSortBy, language));
    descending_ = Named(new QCheckBox(Text(kTextDescending, language), this), QStringLiteral("chkSortDescending"));
    selectedOnly_ = Named(new QCheckBox(Text(kTextSelectedOnly, language), this), QStringLiteral("chkSortSelected"));
    selectedOnly_->setChecked(selectionOffered);
    selectedOnly_->setEnabled(selectionOffered);
    auto *grid = new QGridLayout;
    auto *by = new QLabel(Text(kTextSortBy, language), this);
    by->setBuddy(key_);
    grid->addWidget(by, 0, 0);
    grid->addWidget(key_, 0, 1);
    grid->addWidget(descending_, 1, 1);
    grid->addWidget(selectedOnly_, 2, 1);
    WithButtons(this, grid, language);
}

SortKey SortChannelsDialog::key() const
{
    return static_cast<SortKey>(key_->currentIndex());
}

bool SortChannelsDialog::descending() const
{
    return descending_->isChecked();
}

bool SortChannelsDialog::selectedOnly() const
{
    return selectedOnly_->isChecked();
}

FindDialog::FindDialog(LanguageMode language, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    UseOwnerIcon(this);
    prompt_ = new QLabel(this);
    text_ = Named(new QLineEdit(this), QStringLiteral("txtFind"));
    text_->setMaxLength(20);
    prompt_->setBuddy(text_);
    result_ = Named(new QLabel(this), QStringLiteral("lblFindResult"));
    result_->setWordWrap(true);
    next_ = Named(new QPushButton(this), QStringLiteral("cmdFindNext"));
    next_->setDefault(true);
    close_ = Named(new QPushButton(this), QStringLiteral("cmdClose"));
    close_->setAutoDefault(false);
    connect(next_, &QPushButton::clicked, this, [this] { emit findNext(text_->text()); });
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    auto *f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, next_, &QPushButton::click);

    auto *main = new QVBoxLayout(this);
    main->addWidget(prompt_);
    main->addWidget(text_);
    main->addWidget(result_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(next_);
    buttons->addWidget(close_);
    main->addLayout(buttons);
    setTabOrder(text_, next_);
    setTabOrder(next_, close_);
    applyCaptions(language);
}

void FindDialog::applyCaptions(LanguageMode language)
{
    setWindowTitle(Text(kTextFindTitle, language));
    prompt_->setText(Text(kTextFindPrompt, language));
    text_->setAccessibleName(prompt_->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')).remove(QChar(0xFF1A)));
    next_->setText(Text(kTextFindNext, language));
    close_->setText(Text(kTextClose, language));
    result_->clear();
    KeepTitleWhole(this);
}

QString FindDialog::text() const
{
    return text_->text();
}

void FindDialog::showResult(const QString &result)
{
    result_->setText(result);
    result_->setAccessibleName(result);
}

} // namespace zrk6
