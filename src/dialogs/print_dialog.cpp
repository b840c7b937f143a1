#include "dialogs/print_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "model/channel_record.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

// The preview is this program's addition; its caption is not in the shared text table.
QString PreviewCaption(LanguageMode language)
{
    return language == kChinese ? QStringLiteral("打印预览(&V)") : QStringLiteral("Pre&view");
}

} // namespace

QList<FeatureLine> OptionalFeatureLines(const MemoryImage &image, const Band &band, LanguageMode lang)
{
    const OptionalFeatures f = DecodeOptionalFeatures(image, band);
    const auto check = [lang](bool on) { return Text(on ? text_id::kEnable : text_id::kDisable, lang); };
    const auto item = [&](FieldId field) {
        return FeatureLine{FieldLabel(field, lang), ChoiceItem(field, ReadChoice(f, field), lang)};
    };
    const auto flag = [&](FieldId field) { return FeatureLine{FieldLabel(field, lang), check(ReadChoice(f, field) != 0)}; };
    return {
        item(FieldId::TimeOutTimer),
        item(FieldId::SquelchLevel),
        item(FieldId::ChordLanguage),
        flag(FieldId::BeepTone),
        flag(FieldId::BatterySave),
        flag(FieldId::FeatureScrambler),
        item(FieldId::VoxGain),
        item(FieldId::VoxDelay),
        {Text(text_id::kPttIdAni, lang), QString::fromStdString(f.pttIdAni)},
        {Text(text_id::kPttIdName, lang), QString::fromStdString(f.pttIdName)},
        // The transmit-ID switches are not in the image; the page prints them as off.
        {Text(text_id::kPttIdBot, lang), check(false)},
        {Text(text_id::kPttIdEot, lang), check(false)},
    };
}

PrintDialog::PrintDialog(const AppState &state, const ImageDocument &document, Prompts &prompts, QWidget *parent,
                         QPrinter *printer)
    : QDialog(parent), state_(state), document_(document), prompts_(prompts),
      bandText_(QString::fromStdString(document.band().text)),
      printer_(printer), chooser_(&PrintDialog::ChooseWithDialog)
{
    if (printer_ == nullptr) {
        ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_ = ownPrinter_.get();
    }
    setObjectName(QStringLiteral("frmPrint"));
    UseOwnerIcon(this);
    const LanguageMode lang = state_.language;
    setWindowTitle(Text(text_id::kPrintOutList, lang));

    chkChannels_ = Named(new QCheckBox(Text(text_id::kMemoryChannel, lang), this), QStringLiteral("chkPrintItem1"));
    chkFeatures_ = Named(new QCheckBox(Text(text_id::kOptionalFeatures, lang), this), QStringLiteral("chkPrintItem2"));
    lblFrom_ = Named(new QLabel(Text(text_id::kFrom, lang), this), QStringLiteral("lblFrom"));
    lblTo_ = Named(new QLabel(Text(text_id::kTo, lang), this), QStringLiteral("lblTo"));
    txtFrom_ = Named(new QLineEdit(QStringLiteral("1"), this), QStringLiteral("txtRange0"));
    txtTo_ = Named(new QLineEdit(QStringLiteral("128"), this), QStringLiteral("txtRange1"));
    cmdSelectAll_ = Named(new QPushButton(Text(text_id::kSelectAllButton, lang), this), QStringLiteral("cmdSelectAll"));
    cmdClearAll_ = Named(new QPushButton(Text(text_id::kClearAllButton, lang), this), QStringLiteral("cmdClearAll"));
    cmdSetup_ = Named(new QPushButton(Text(text_id::kSetupMenu, lang), this), QStringLiteral("cmdSetup"));
    cmdPreview_ = Named(new QPushButton(PreviewCaption(lang), this), QStringLiteral("cmdPreview"));
    const OkCancelButtons okCancel = MakeOkCancel(this, lang, EnterKey::StaysWithFocus);
    cmdOK_ = okCancel.ok;
    cmdCancel_ = okCancel.cancel;
    lblFrom_->setBuddy(txtFrom_);
    lblTo_->setBuddy(txtTo_);

    auto *enter = new EnterMovesFocus(this);
    auto *selectOnFocus = new SelectAllOnFocus(this);
    for (QLineEdit *box : {txtFrom_, txtTo_}) {
        // Three digits at most; a paste of anything else is refused too.
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), box));
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAutoFillBackground(true);
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
        box->installEventFilter(this);
        box->installEventFilter(selectOnFocus);
        enter->watch(box);
    }
    enter->watch(chkChannels_);
    enter->watch(chkFeatures_);
    for (QPushButton *button : {cmdSelectAll_, cmdClearAll_, cmdSetup_, cmdPreview_, cmdOK_, cmdCancel_}) {
        button->setAutoDefault(false);
        enter->watch(button);
    }

    connect(chkChannels_, &QCheckBox::toggled, this, &PrintDialog::setRangeEnabled);
    connect(cmdSelectAll_, &QPushButton::clicked, this, &PrintDialog::selectAll);
    connect(cmdClearAll_, &QPushButton::clicked, this, &PrintDialog::clearAll);
    connect(cmdSetup_, &QPushButton::clicked, this, &PrintDialog::setup);
    connect(cmdPreview_, &QPushButton::clicked, this, &PrintDialog::preview);

    auto *items = new QGridLayout;
    items->addWidget(chkChannels_, 0, 0);
    items->addWidget(lblFrom_, 0, 1);
    items->addWidget(txtFrom_, 0, 2);
    items->addWidget(lblTo_, 0, 3);
    items->addWidget(txtTo_, 0, 4);
    items->addWidget(chkFeatures_, 1, 0);
    items->setColumnMinimumWidth(0, 0);
    auto *buttons = new QGridLayout;
    buttons->addWidget(cmdSelectAll_, 0, 0);
    buttons->addWidget(cmdSetup_, 0, 1);
    buttons->addWidget(cmdCancel_, 0, 2);
    buttons->addWidget(cmdClearAll_, 1, 0);
    buttons->addWidget(cmdPreview_, 1, 1);
    buttons->addWidget(cmdOK_, 1, 2);
    auto *main = new QVBoxLayout(this);
    main->addLayout(items);
    main->addSpacing(8);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
    // Tab goes along the rows of buttons as they are laid out.
    QWidget *order[] = {chkChannels_, txtFrom_,  txtTo_,       chkFeatures_, cmdSelectAll_,
                        cmdSetup_,    cmdCancel_, cmdClearAll_, cmdPreview_,  cmdOK_};
    for (std::size_t k = 1; k < std::size(order); ++k)
        setTabOrder(order[k - 1], order[k]);

    setRangeEnabled(false);
    chkChannels_->setFocus();
}

ChosenSurface PrintDialog::ChooseWithDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    auto surface = std::make_unique<PainterPrintSurface>(printer);
    if (!surface->begin())
        return {nullptr, surface->errorText()};
    return {std::move(surface), {}};
}

void PrintDialog::setRangeEnabled(bool enabled)
{
    for (QLineEdit *box : {txtFrom_, txtTo_}) {
        box->setEnabled(enabled);
        // Grey while disabled, the normal entry background while enabled.
        QPalette palette = box->palette();
        const QPalette base = QApplication::palette(box);
        const QColor background = enabled ? base.color(QPalette::Active, QPalette::Base) : base.color(QPalette::Button);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base, background);
        box->setPalette(palette);
    }
}

void PrintDialog::selectAll()
{
    chkChannels_->setChecked(true);
    chkFeatures_->setChecked(true);
}

void PrintDialog::clearAll()
{
    chkChannels_->setChecked(false);
    chkFeatures_->setChecked(false);
}

void PrintDialog::validateFrom()
{
    const int v = txtFrom_->text().toInt();
    txtFrom_->setText((v == 0 || v > txtTo_->text().toInt()) ? QStringLiteral("1") : QString::number(v));
}

void PrintDialog::validateTo()
{
    const int v = txtTo_->text().toInt();
    txtTo_->setText((v > kChannelCount || txtFrom_->text().toInt() > v) ? QStringLiteral("128") : QString::number(v));
}

void PrintDialog::validateFocusedRange()
{
    if (txtFrom_->hasFocus())
        validateFrom();
    else if (txtTo_->hasFocus())
        validateTo();
}

bool PrintDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtFrom_ || watched == txtTo_)) {
        // Only a move to another control of this dialog validates, as a focus change would.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == txtFrom_)
                validateFrom();
            else
                validateTo();
        }
    }
    return QDialog::eventFilter(watched, event);
}

PrintJob PrintDialog::job() const
{
    PrintJob job;
    job.language = state_.language;
    job.bandText = bandText_;
    job.documentName = QString::fromStdString(document_.fileName());
    job.printedAt = QDateTime::currentDateTime();
    job.channels = chkChannels_->isChecked();
    job.from = txtFrom_->text().toInt();
    job.to = txtTo_->text().toInt();
    job.features = chkFeatures_->isChecked();
    if (job.features)
        job.featureLines = OptionalFeatureLines(document_.image(), document_.band(), state_.language);
    return job;
}

bool PrintDialog::itemsChosen()
{
    if (chkChannels_->isChecked() || chkFeatures_->isChecked())
        return true;
    prompts_.message(this, PromptMessage{text_id::kSelectPrintItems, Text(text_id::kSelectPrintItems, state_.language), ProductName(), QMessageBox::Information,
                                         QMessageBox::Ok, QMessageBox::NoButton});
    return false;
}

void PrintDialog::accept()
{
    validateFocusedRange();
    if (!itemsChosen())
        return;
    ChosenSurface chosen = chooser_(this, *printer_);
    if (!chosen.surface) {
        if (!chosen.error.isEmpty())
            prompts_.message(this, PromptMessage{0, chosen.error, Text(text_id::kError, state_.language), QMessageBox::Critical,
                                                 QMessageBox::Ok, QMessageBox::NoButton});
        return; // a cancelled print dialog stays silent; the dialog stays open either way
    }
    if (!PrintChannelList(*chosen.surface, document_.image(), document_.band(), job())) {
        prompts_.message(this, PromptMessage{0, chosen.surface->errorText(), Text(text_id::kError, state_.language),
                                             QMessageBox::Critical, QMessageBox::Ok, QMessageBox::NoButton});
        return;
    }
    QDialog::accept();
}

void PrintDialog::setup()
{
    QPageSetupDialog dialog(printer_, this);
    dialog.exec(); // cancelling keeps the previous settings; nothing to report
}

void PrintDialog::preview()
{
    validateFocusedRange();
    if (!itemsChosen())
        return;
    const PrintJob previewJob = job();
    QPrintPreviewDialog dialog(printer_, this);
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, &previewJob](QPrinter *printer) {
        PainterPrintSurface surface(*printer);
        if (surface.begin())
            PrintChannelList(surface, document_.image(), document_.band(), previewJob);
    });
    dialog.exec();
}

} // namespace zrk6
