#include "mainwindow/vfo_panel.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/bcd_freq.h"
#include "model/tone.h"
#include "model/vfo.h"

namespace zrk6 {

namespace {

constexpr int kMaxChars[2] = {9, 8}; // receive box, offset box
constexpr int kLabelIds[8] = {1200, 1246, 1240, 1255, 1211, 1212, 1216, 1213};
constexpr int kDuplexIds[3] = {1241, 1243, 1242};
constexpr int kWideIds[2] = {1218, 1217};
constexpr int kPowerIds[2] = {1214, 1215};
// Least widths in average characters of the font, left to right.
constexpr int kWidthChars[8] = {14, 10, 13, 13, 10, 10, 12, 12};

QComboBox *MakeList(QWidget *parent, const char *name)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    return list;
}

void ReplaceItems(QComboBox *list, const int *ids, int count, LanguageMode language)
{
    for (int i = 0; i < count && i < list->count(); ++i)
        list->setItemText(i, TableText(ids[i], language));
}

} // namespace

VfoPanel::VfoPanel(AppState &state, ImageDocument &document, Prompts &prompts, QWidget *parent)
    : QGroupBox(parent), state_(state), document_(document), prompts_(prompts)
{
    setObjectName(QStringLiteral("fraVfo"));
    for (int i = 0; i < 8; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName(QStringLiteral("lblVFO%1").arg(i));
    }
    for (int i = 0; i < 2; ++i) {
        frequencyEdits_[i] = new QLineEdit(this);
        frequencyEdits_[i]->setObjectName(QStringLiteral("txtVfoFreq%1").arg(i));
        frequencyEdits_[i]->installEventFilter(this);
    }
    stepList_ = MakeList(this, "cboVfoStep");
    duplexList_ = MakeList(this, "cboVfoDuplex");
    decodeList_ = MakeList(this, "cboVfoDeCode");
    encodeList_ = MakeList(this, "cboVfoEncode");
    bandwidthList_ = MakeList(this, "cboVfoWide");
    powerList_ = MakeList(this, "cboVfoTxP");

    QWidget *controls[8] = {frequencyEdits_[0], stepList_, frequencyEdits_[1], duplexList_,
                            decodeList_, encodeList_, bandwidthList_, powerList_};
    auto *layout = new QGridLayout(this);
    for (int i = 0; i < 8; ++i) {
        layout->addWidget(labels_[i], 0, i);
        layout->addWidget(controls[i], 1, i);
        controls[i]->setMinimumWidth(controls[i]->fontMetrics().averageCharWidth() * kWidthChars[i]);
        labels_[i]->setBuddy(controls[i]);
    }

    connect(stepList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyStep);
    connect(duplexList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyDuplex);
    connect(bandwidthList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyBandwidth);
    connect(powerList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyPower);
    connect(decodeList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyDecode);
    connect(encodeList_, &QComboBox::currentIndexChanged, this, &VfoPanel::applyEncode);

    connect(&document_, &ImageDocument::imageChanged, this, [this](const std::vector<AddressRange> &ranges) {
        for (const AddressRange &range : ranges) {
            const bool vfoBlock = range.begin < vfo::kOffset + 4 && range.end > vfo::kRxFreq;
            const bool step = range.begin <= addr::kVfoStep && range.end > addr::kVfoStep;
            if (vfoBlock || step) {
                showFromImage();
                return;
            }
        }
    });
    connect(&document_, &ImageDocument::replaced, this, &VfoPanel::showFromImage);
    connect(&document_, &ImageDocument::bandChanged, this, &VfoPanel::showFromImage);
}

void VfoPanel::fillLists()
{
    QComboBox *lists[] = {stepList_, duplexList_, decodeList_, encodeList_, bandwidthList_, powerList_};
    for (QComboBox *list : lists) {
        // Filling selects nothing: the first refresh from the image runs every handler once.
        const QSignalBlocker block(list);
        list->clear();
    }
    const LanguageMode lang = state_.language;
    QStringList tones;
    for (const std::string &tone : BuildToneList(lang))
        tones << QString::fromStdString(tone);
    auto fill = [](QComboBox *list, const QStringList &items) {
        const QSignalBlocker block(list);
        list->addItems(items);
        list->setCurrentIndex(-1);
    };
    fill(stepList_, {QStringLiteral("5K"), QStringLiteral("10K"), QStringLiteral("6.25K"),
                       QStringLiteral("12.5K"), QStringLiteral("25K")});
    fill(duplexList_, {TableText(kDuplexIds[0], lang), TableText(kDuplexIds[1], lang), TableText(kDuplexIds[2], lang)});
    fill(bandwidthList_, {TableText(kWideIds[0], lang), TableText(kWideIds[1], lang)});
    fill(powerList_, {TableText(kPowerIds[0], lang), TableText(kPowerIds[1], lang)});
    fill(decodeList_, tones);
    fill(encodeList_, tones);
}

void VfoPanel::applyCaptions()
{
    const LanguageMode lang = state_.language;
    setTitle(TableText(1245, lang));
    for (int i = 0; i < 8; ++i)
        labels_[i]->setText(TableText(kLabelIds[i], lang));
    const int none[1] = {1104};
    ReplaceItems(decodeList_, none, 1, lang);
    ReplaceItems(encodeList_, none, 1, lang);
    ReplaceItems(duplexList_, kDuplexIds, 3, lang);
    ReplaceItems(bandwidthList_, kWideIds, 2, lang);
    ReplaceItems(powerList_, kPowerIds, 2, lang);
}

void VfoPanel::showFromImage()
{
    const VfoFields fields = ReadVfo(document_.image(), state_.language);
    frequencyEdits_[0]->setText(QString::fromStdString(fields.rxText));
    frequencyEdits_[1]->setText(QString::fromStdString(fields.offsetText));
    // Showing is a pure read: no handler runs.
    auto select = [](QComboBox *list, int index) {
        const QSignalBlocker block(list);
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    };
    select(stepList_, fields.step);
    select(bandwidthList_, fields.wide);
    select(powerList_, fields.highPower);
    select(duplexList_, fields.duplex);
    select(decodeList_, decodeList_->findText(QString::fromStdString(fields.decodeText), Qt::MatchExactly));
    select(encodeList_, encodeList_->findText(QString::fromStdString(fields.encodeText), Qt::MatchExactly));
}

void VfoPanel::showOutOfRange()
{
    prompts_.message(this, TextMessage(1229, state_.language, ProductTitle(), QMessageBox::Warning));
}

void VfoPanel::applyVfo(const std::function<void(MemoryImage &)> &edit)
{
    document_.apply(CommandStep(command_text::kVfo), edit);
}

void VfoPanel::commitFrequency(int index)
{
    if (committing_)
        return;
    committing_ = true;
    const std::string text = frequencyEdits_[index]->text().toStdString();
    const Band band = document_.band();
    bool outOfRange = false;
    applyVfo([&](MemoryImage &image) {
        outOfRange = index == 0 ? StoreVfoRxFrequency(image, text, band) : StoreVfoOffset(image, text, band);
    });
    if (outOfRange)
        showOutOfRange();
    // The box shows what was stored, also when nothing changed.
    showFromImage();
    committing_ = false;
}

bool VfoPanel::eventFilter(QObject *watched, QEvent *event)
{
    for (int i = 0; i < 2; ++i) {
        if (watched != frequencyEdits_[i])
            continue;
        QLineEdit *box = frequencyEdits_[i];
        switch (event->type()) {
        case QEvent::FocusIn:
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
            break;
        case QEvent::FocusOut: {
            // A message box or a menu taking the focus for a moment is not leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                commitFrequency(i);
            break;
        }
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                commitFrequency(i);
                focusNextChild();
                return true;
            }
            const QString typed = key->text();
            // Navigation, Tab, Backspace, Delete and shortcuts act as usual.
            if (typed.isEmpty() || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
                break;
            const QChar c = typed.at(0);
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                break;
            const bool accepted = (c.isDigit() && c.unicode() < 128) || c == QLatin1Char('.');
            if (!accepted)
                return true;
            if (box->text().size() >= kMaxChars[i] && !box->hasSelectedText())
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void VfoPanel::applyStep(int index)
{
    if (index < 0)
        return;
    // One step: the step and both frequencies put on its raster.
    const std::string rx = frequencyEdits_[0]->text().toStdString();
    const std::string offset = frequencyEdits_[1]->text().toStdString();
    const Band band = document_.band();
    bool rxOutOfRange = false;
    bool offsetOutOfRange = false;
    applyVfo([&](MemoryImage &image) {
        image.set(addr::kVfoStep, static_cast<std::uint8_t>(index));
        rxOutOfRange = StoreVfoRxFrequency(image, rx, band);
        offsetOutOfRange = StoreVfoOffset(image, offset, band);
    });
    if (rxOutOfRange)
        showOutOfRange();
    if (offsetOutOfRange)
        showOutOfRange();
    showFromImage();
}

void VfoPanel::applyDuplex(int index)
{
    if (index < 0)
        return;
    const Band band = document_.band();
    applyVfo([&](MemoryImage &image) { SetVfoDuplex(image, index, band); });
}

void VfoPanel::applyBandwidth(int index)
{
    if (index < 0)
        return;
    applyVfo([&](MemoryImage &image) { SetVfoWide(image, index == 1); });
}

void VfoPanel::applyPower(int index)
{
    if (index < 0)
        return;
    applyVfo([&](MemoryImage &image) { SetVfoHighPower(image, index == 1); });
}

void VfoPanel::applyDecode(int index)
{
    if (index < 0)
        return;
    const std::string tone = decodeList_->itemText(index).toStdString();
    applyVfo([&](MemoryImage &image) { WriteVfoTone(image, vfo::kDecode, tone); });
}

void VfoPanel::applyEncode(int index)
{
    if (index < 0)
        return;
    const std::string tone = encodeList_->itemText(index).toStdString();
    applyVfo([&](MemoryImage &image) { WriteVfoTone(image, vfo::kEncode, tone); });
}

} // namespace zrk6
