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
    modelLabel_ = new QLabel(this);
    modelLabel_->setObjectName(QStringLiteral("lblGeneral0"));
    productName_ = new QLabel(this);
    productName_->setObjectName(QStringLiteral("Label1"));
    QFont bold = productName_->font();
    bold.setBold(true);
    productName_->setFont(bold);
    bandLabel_ = new QLabel(this);
    bandLabel_->setObjectName(QStringLiteral("lblGeneral1"));
    bandList_ = new QComboBox(this);
    bandList_->setObjectName(QStringLiteral("cboGenFreq"));
    bandList_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    modelList_ = new QComboBox(this);
    modelList_->setObjectName(QStringLiteral("cboGenModel"));
    modelList_->setVisible(false);
    modelLabel_->setBuddy(modelList_);
    bandLabel_->setBuddy(bandList_);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(modelLabel_);
    layout->addSpacing(6);
    layout->addWidget(productName_);
    layout->addSpacing(48);
    layout->addWidget(bandLabel_);
    layout->addSpacing(6);
    layout->addWidget(bandList_);
    layout->addStretch(1);

    // A wheel notch over the list must not start a band change: it needs the focus first.
    bandList_->setFocusPolicy(Qt::StrongFocus);
    bandList_->installEventFilter(this);
    connect(bandList_, &QComboBox::currentIndexChanged, this, &GeneralPanel::bandListChanged);
    connect(&document_, &ImageDocument::replaced, this, &GeneralPanel::showFromImage);
    connect(&document_, &ImageDocument::bandChanged, this, &GeneralPanel::showFromImage);
}

void GeneralPanel::fillLists()
{
    productName_->setText(ProductTitle());
    // Filling selects nothing and runs no handler: the first fill from the image does.
    const QSignalBlocker blockModel(modelList_);
    const QSignalBlocker blockBand(bandList_);
    modelList_->clear();
    for (const ModelRow &model : ModelTable())
        modelList_->addItem(ViewText(model.text));
    modelList_->setCurrentIndex(-1);
    bandList_->clear();
    for (const BandRow &row : BandTable())
        bandList_->addItem(ViewText(row.text));
    bandList_->setCurrentIndex(-1);
}

void GeneralPanel::applyCaptions()
{
    setTitle(TableText(text_id::kGeneral, state_.language));
    modelLabel_->setText(TableText(text_id::kModel, state_.language));
    bandLabel_->setText(TableText(text_id::kBand, state_.language));
    // The model shows as a plain label; a screen reader says what it is.
    productName_->setAccessibleName(TableText(text_id::kModelNamed, state_.language).arg(productName_->text()));
}

void GeneralPanel::showFromImage()
{
    {
        const QSignalBlocker block(modelList_);
        modelList_->setCurrentIndex(ModelIndexFromByte(document_.image().at(addr::kModel)));
    }
    bandEventsEnabled_ = false;
    selectBandText(QString::fromStdString(document_.band().text));
    bandEventsEnabled_ = true;
}

void GeneralPanel::selectBandText(const QString &text)
{
    const int index = bandList_->findText(text, Qt::MatchExactly);
    if (index < 0) {
        bandList_->setCurrentIndex(-1);
        return;
    }
    bandList_->setCurrentIndex(index);
    prevBandText_ = text;
}

bool GeneralPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == bandList_) {
        if (event->type() == QEvent::Wheel && !bandList_->hasFocus()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::FocusIn) {
            prevBandText_ = bandList_->currentText();
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

void GeneralPanel::bandListChanged(int index)
{
    if (!bandEventsEnabled_ || index < 0)
        return;
    const QString chosen = bandList_->itemText(index);
    if (chosen == prevBandText_)
        return;

    emit bandChosen(index);
    // Until the window has changed the document, the list shows the document's band.
    bandEventsEnabled_ = false;
    selectBandText(QString::fromStdString(document_.band().text));
    bandEventsEnabled_ = true;
}

} // namespace zrk6
