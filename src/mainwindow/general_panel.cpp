#include "mainwindow/general_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>

#include "document/image_document.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/band.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {

QString ViewText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

GeneralPanel::GeneralPanel(AppState &state, const ImageDocument &document, QWidget *parent)
    : QGroupBox(parent), state_(state), document_(document)
{
    setObjectName(QStringLiteral("fraGeneral"));
    lblGeneral0_ = new QLabel(this);
    lblGeneral0_->setObjectName(QStringLiteral("lblGeneral0"));
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont bold = label1_->font();
    bold.setBold(true);
    label1_->setFont(bold);
    lblGeneral1_ = new QLabel(this);
    lblGeneral1_->setObjectName(QStringLiteral("lblGeneral1"));
    cboGenFreq_ = new QComboBox(this);
    cboGenFreq_->setObjectName(QStringLiteral("cboGenFreq"));
    cboGenFreq_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboGenModel_ = new QComboBox(this);
    cboGenModel_->setObjectName(QStringLiteral("cboGenModel"));
    cboGenModel_->setVisible(false);
    lblGeneral0_->setBuddy(cboGenModel_);
    lblGeneral1_->setBuddy(cboGenFreq_);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(lblGeneral0_);
    layout->addSpacing(6);
    layout->addWidget(label1_);
    layout->addSpacing(48);
    layout->addWidget(lblGeneral1_);
    layout->addSpacing(6);
    layout->addWidget(cboGenFreq_);
    layout->addStretch(1);

    // A wheel notch over the list must not start a band change: it needs the focus first.
    cboGenFreq_->setFocusPolicy(Qt::StrongFocus);
    cboGenFreq_->installEventFilter(this);
    connect(cboGenFreq_, &QComboBox::currentIndexChanged, this, &GeneralPanel::cboGenFreq_Click);
    connect(&document_, &ImageDocument::replaced, this, &GeneralPanel::showFromImage);
    connect(&document_, &ImageDocument::bandChanged, this, &GeneralPanel::showFromImage);
}

void GeneralPanel::fillLists()
{
    label1_->setText(ProductTitle());
    // Filling selects nothing and runs no handler: the first fill from the image does.
    const QSignalBlocker blockModel(cboGenModel_);
    const QSignalBlocker blockBand(cboGenFreq_);
    cboGenModel_->clear();
    for (const ModelRow &model : ModelTable())
        cboGenModel_->addItem(ViewText(model.text));
    cboGenModel_->setCurrentIndex(-1);
    cboGenFreq_->clear();
    for (const BandRow &row : BandTable())
        cboGenFreq_->addItem(ViewText(row.text));
    cboGenFreq_->setCurrentIndex(-1);
}

void GeneralPanel::applyCaptions()
{
    setTitle(TableText(text_id::kGeneral, state_.language));
    lblGeneral0_->setText(TableText(text_id::kModel, state_.language));
    lblGeneral1_->setText(TableText(text_id::kBand, state_.language));
    // The model shows as a plain label; a screen reader says what it is.
    label1_->setAccessibleName(TableText(text_id::kModelNamed, state_.language).arg(label1_->text()));
}

void GeneralPanel::showFromImage()
{
    {
        const QSignalBlocker block(cboGenModel_);
        cboGenModel_->setCurrentIndex(ModelIndexFromByte(document_.image().at(addr::kModel)));
    }
    bandEventsEnabled_ = false;
    selectBandText(QString::fromStdString(document_.band().text));
    bandEventsEnabled_ = true;
}

void GeneralPanel::selectBandText(const QString &text)
{
    const int index = cboGenFreq_->findText(text, Qt::MatchExactly);
    if (index < 0) {
        cboGenFreq_->setCurrentIndex(-1);
        return;
    }
    cboGenFreq_->setCurrentIndex(index);
    prevBandText_ = text;
}

bool GeneralPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboGenFreq_) {
        if (event->type() == QEvent::Wheel && !cboGenFreq_->hasFocus()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::FocusIn) {
            prevBandText_ = cboGenFreq_->currentText();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void GeneralPanel::cboGenFreq_Click(int index)
{
    if (!bandEventsEnabled_ || index < 0)
        return;
    const QString chosen = cboGenFreq_->itemText(index);
    if (chosen == prevBandText_)
        return;

    emit bandChosen(index);
    // Until the window has changed the document, the list shows the document's band.
    bandEventsEnabled_ = false;
    selectBandText(QString::fromStdString(document_.band().text));
    bandEventsEnabled_ = true;
}

} // namespace zrk6
