#include "dialogs/memory_map_dialog.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"

namespace zrk6 {
namespace {

constexpr int kColumns = kRowSize;

QString HexByte(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

// "Address 0x0AE" - how a screen reader names a byte; the map is a technician's tool and,
// like its captions, speaks English only.
QString AddressName(int address)
{
    return QStringLiteral("Address 0x") + QStringLiteral("%1").arg(address, 3, 16, QLatin1Char('0')).toUpper();
}

// A byte's cell: read out as its address and value, whatever text the editing gives it.
class ByteItem final : public QTableWidgetItem {
public:
    ByteItem(int address, const QString &text) : QTableWidgetItem(text), address_(address) {}
    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleTextRole)
            return AddressName(address_) + QStringLiteral(", value ") + text();
        return QTableWidgetItem::data(role);
    }

private:
    int address_;
};

bool IsEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The hex digit a key stands for (main keyboard, keypad or A-F), or a null character.
QChar HexDigitKey(const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const int k = key->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return QChar('0' + (k - Qt::Key_0));
    if (k >= Qt::Key_A && k <= Qt::Key_F)
        return QChar('A' + (k - Qt::Key_A));
    return {};
}

} // namespace

MemoryMapDialog::MemoryMapDialog(const ImageDocument &document, QWidget *parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("frmMemoryMap"));
    UseOwnerIcon(this);
    setWindowTitle(QStringLiteral("Memory Map"));
    setModal(false);

    memoryTable_ = new QTableWidget(kImageRows, kColumns, this);
    memoryTable_->setObjectName(QStringLiteral("msgMemory"));
    memoryTable_->setAccessibleName(windowTitle());
    memoryTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    memoryTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    memoryTable_->setSelectionBehavior(QAbstractItemView::SelectItems);
    memoryTable_->setTabKeyNavigation(false);
    memoryTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoryTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoryTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    memoryTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    memoryTable_->horizontalHeader()->setSectionsClickable(false);
    memoryTable_->verticalHeader()->setSectionsClickable(false);
    memoryTable_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);

    byteEditor_ = new QLineEdit(memoryTable_->viewport());
    byteEditor_->setObjectName(QStringLiteral("txtMemory"));
    byteEditor_->setAlignment(Qt::AlignCenter);
    byteEditor_->setFrame(false);
    byteEditor_->setContextMenuPolicy(Qt::NoContextMenu);
    byteEditor_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), byteEditor_));
    byteEditor_->hide();

    addressLabel_ = new QLabel(QStringLiteral("0000"), this);
    addressLabel_->setObjectName(QStringLiteral("lblAddr"));
    addressLabel_->setMinimumWidth(addressLabel_->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    okButton_ = new QPushButton(QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    okButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(addressLabel_);
    bottom->addStretch(1);
    bottom->addWidget(okButton_);
    bottom->addWidget(cancelButton_);
    auto *main = new QVBoxLayout(this);
    main->addWidget(memoryTable_);
    main->addLayout(bottom);
    main->setSizeConstraint(QLayout::SetFixedSize);

    fillGrid();
    sizeGrid();

    memoryTable_->installEventFilter(this);
    memoryTable_->viewport()->installEventFilter(this);
    byteEditor_->installEventFilter(this);
    connect(memoryTable_, &QTableWidget::currentCellChanged, this, [this] { updateAddress(); });
    // A scroll moves the cells under the editor: give the edit up, as Esc does.
    for (QScrollBar *bar : {memoryTable_->verticalScrollBar(), memoryTable_->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (isEditing())
                cancelEdit();
        });

    connect(&document_, &ImageDocument::imageChanged, this, [this](const std::vector<AddressRange> &ranges) {
        for (const AddressRange &range : ranges)
            showBytes(range.begin, range.end);
    });
    connect(&document_, &ImageDocument::replaced, this, [this] { showBytes(0, kImageSize); });

    memoryTable_->setCurrentCell(0, 0);
    memoryTable_->setFocus();
    updateAddress();
}

void MemoryMapDialog::showBytes(int begin, int end)
{
    const auto bytes = document_.image().bytes();
    for (int address = begin; address < end; ++address) {
        const int row = address / kColumns;
        const int column = address % kColumns;
        // An edit made here and not yet stored stays as typed.
        if (edited_[static_cast<std::size_t>(address)] || (row == editRow_ && column == editColumn_))
            continue;
        memoryTable_->item(row, column)->setText(HexByte(bytes[static_cast<std::size_t>(address)]));
    }
}

void MemoryMapDialog::fillGrid()
{
    QStringList columnHeaders;
    for (int c = 0; c < kColumns; ++c)
        columnHeaders << QString::number(c, 16).toUpper();
    QStringList rowHeaders;
    for (int r = 0; r < kImageRows; ++r)
        rowHeaders << QLatin1Char('0') + HexByte(r) + QLatin1Char('_');
    memoryTable_->setHorizontalHeaderLabels(columnHeaders);
    memoryTable_->setVerticalHeaderLabels(rowHeaders);

    const auto bytes = document_.image().bytes();
    for (int r = 0; r < kImageRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new ByteItem(r * kColumns + c, HexByte(bytes[static_cast<std::size_t>(r * kColumns + c)]));
            item->setTextAlignment(Qt::AlignCenter);
            memoryTable_->setItem(r, c, item);
        }
    }
}

void MemoryMapDialog::sizeGrid()
{
    // A data column is one nineteenth of the grid, the header column 1.93 nineteenths;
    // the grid shows its header and 16 data rows.
    const QFontMetrics metrics = memoryTable_->fontMetrics();
    const int cellWidth = metrics.horizontalAdvance(QStringLiteral("WW")) + 14;
    const int headerWidth = qRound(cellWidth * 1.93);
    const int rowHeight = metrics.height() + 8;
    memoryTable_->horizontalHeader()->setDefaultSectionSize(cellWidth);
    memoryTable_->verticalHeader()->setDefaultSectionSize(rowHeight);
    memoryTable_->verticalHeader()->setFixedWidth(headerWidth);
    memoryTable_->horizontalHeader()->setFixedHeight(rowHeight);
    const int frame = memoryTable_->frameWidth() * 2;
    const int width = headerWidth + kColumns * cellWidth + memoryTable_->verticalScrollBar()->sizeHint().width() + frame;
    const int height = 17 * rowHeight + frame;
    memoryTable_->setFixedSize(width, height);
}

void MemoryMapDialog::updateAddress()
{
    const int row = memoryTable_->currentRow();
    const int column = memoryTable_->currentColumn();
    if (row < 0 || column < 0)
        return;
    const QString rowHeader = memoryTable_->verticalHeaderItem(row)->text();
    addressLabel_->setText(rowHeader.left(3) + memoryTable_->horizontalHeaderItem(column)->text());
}

bool MemoryMapDialog::isEditing() const
{
    return editRow_ >= 0;
}

void MemoryMapDialog::openEditor(const QString &typed)
{
    const int row = memoryTable_->currentRow();
    const int column = memoryTable_->currentColumn();
    if (row < 0 || column < 0)
        return;
    memoryTable_->scrollTo(memoryTable_->model()->index(row, column));
    editRow_ = row;
    editColumn_ = column;
    savedText_ = memoryTable_->item(row, column)->text();
    byteEditor_->setAccessibleName(AddressName(row * kColumns + column));
    byteEditor_->setGeometry(memoryTable_->visualRect(memoryTable_->model()->index(row, column)));
    if (typed.isEmpty()) {
        byteEditor_->setText(savedText_);
        byteEditor_->selectAll();
    } else {
        byteEditor_->setText(typed);
        byteEditor_->setCursorPosition(typed.size());
    }
    byteEditor_->show();
    byteEditor_->setFocus();
}

void MemoryMapDialog::finishEdit()
{
    // Cleared before hiding: hiding moves the focus, and that must not commit again.
    editRow_ = -1;
    editColumn_ = -1;
    const bool hadFocus = byteEditor_->hasFocus();
    byteEditor_->hide();
    if (hadFocus)
        memoryTable_->setFocus();
}

void MemoryMapDialog::commitEdit()
{
    if (!isEditing())
        return;
    QString text = byteEditor_->text().toUpper();
    if (text.isEmpty())
        text = QStringLiteral("FF");
    else if (text.size() == 1)
        text.prepend(QLatin1Char('0'));
    if (text != savedText_)
        edited_[static_cast<std::size_t>(editRow_ * kColumns + editColumn_)] = true;
    memoryTable_->item(editRow_, editColumn_)->setText(text);
    finishEdit();
}

void MemoryMapDialog::cancelEdit()
{
    if (!isEditing())
        return;
    memoryTable_->item(editRow_, editColumn_)->setText(savedText_);
    finishEdit();
}

void MemoryMapDialog::moveAfterEnter()
{
    const int row = memoryTable_->currentRow();
    const int column = memoryTable_->currentColumn();
    if (column < kColumns - 1)
        memoryTable_->setCurrentCell(row, column + 1);
    else if (row < kImageRows - 1)
        memoryTable_->setCurrentCell(row + 1, 0);
}

bool MemoryMapDialog::gridKey(QKeyEvent *key)
{
    if (IsEnter(key)) {
        openEditor();
        return true;
    }
    const QChar digit = HexDigitKey(key);
    if (!digit.isNull()) {
        openEditor(QString(digit));
        return true;
    }
    return false;
}

bool MemoryMapDialog::editorKey(QKeyEvent *key)
{
    if (IsEnter(key)) {
        commitEdit();
        moveAfterEnter();
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        cancelEdit();
        return true;
    }
    if (key->matches(QKeySequence::Paste))
        return true;
    const QString text = key->text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return false; // Backspace, Delete and the caret keys keep their usual meaning
    const QChar c = text.at(0).toUpper();
    const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    if (hex && (byteEditor_->text().size() < 2 || byteEditor_->hasSelectedText()))
        byteEditor_->insert(QString(c));
    return true;
}

bool MemoryMapDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == memoryTable_ && event->type() == QEvent::KeyPress && !isEditing())
        return gridKey(static_cast<QKeyEvent *>(event));
    if (watched == memoryTable_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !isEditing())
            openEditor();
        return false;
    }
    if (watched == byteEditor_) {
        if (event->type() == QEvent::KeyPress)
            return editorKey(static_cast<QKeyEvent *>(event));
        if (event->type() == QEvent::FocusOut && isEditing()) {
            // Switching to another window keeps the edit open, as it keeps the focus.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                commitEdit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MemoryMapDialog::keyPressEvent(QKeyEvent *event)
{
    // A second Esc after leaving an edit must not throw away every edit made so far.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MemoryMapDialog::accept()
{
    commitEdit();
    std::map<int, std::uint8_t> bytes;
    for (int address = 0; address < kImageSize; ++address) {
        if (!edited_[static_cast<std::size_t>(address)])
            continue;
        const QString text = memoryTable_->item(address / kColumns, address % kColumns)->text();
        bytes[address] = static_cast<std::uint8_t>(text.toInt(nullptr, 16));
    }
    QDialog::accept();
    emit bytesChosen(bytes);
}

} // namespace zrk6
