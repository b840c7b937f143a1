#include "mainwindow/grid_commands.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QShortcut>
#include <QStatusBar>
#include <QTableWidget>

#include "dialogs/channel_ops_dialogs.h"
#include "dialogs/dialog_support.h"
#include "document/image_document.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/grid_control.h"
#include "mainwindow/main_window.h"
#include "model/app_state.h"
#include "text/text_qstring.h"
#include "ui/prompts.h"

namespace zrk6 {
namespace {

constexpr int kTextInsertChannel = 1877;
constexpr int kTextDeleteChannel = 1878;
constexpr int kTextCopyChannel = 1879;
constexpr int kTextInsertEmpty = 1880;
constexpr int kTextDeleteChannels = 1881;
constexpr int kTextChangeSelected = 1882;
constexpr int kTextSort = 1883;
constexpr int kTextMoveUp = 1884;
constexpr int kTextMoveDown = 1885;
constexpr int kTextCompact = 1886;
constexpr int kTextSelectDuplicates = 1887;
constexpr int kTextInsertEmptyTitle = 1888;
constexpr int kTextHowMany = 1889;
constexpr int kTextSetFields = 1900;
constexpr int kTextDeleteChannelsName = 1902;
constexpr int kTextLeftAlone = 1903;
constexpr int kTextSelectionCount = 1904;
constexpr int kTextNoDuplicates = 1905;
constexpr int kTextNoRoom = 1906;
constexpr int kTextAtTheEdge = 1907;

} // namespace

GridCommands::GridCommands(frmMain &window, QMenu *editMenu) : QObject(&window), window_(window)
{
    context_ = new QMenu(&window);
    context_->setObjectName(QStringLiteral("mnuGridContext"));
    // The shared commands come first, as in the Edit menu.
    for (const char *name : {"mnuEdit_Undo", "mnuEdit_Redo", "mnuEdit_CopyChannels", "mnuEdit_PasteChannels"}) {
        if (auto *action = window.findChild<QAction *>(QString::fromLatin1(name)))
            context_->addAction(action);
    }
    context_->addSeparator();
    editMenu->addSeparator();
    const auto both = [&](QAction *action) {
        editMenu->addAction(action);
        context_->addAction(action);
    };
    both(addKey("mnuEdit_InsertChannel", kTextInsertChannel, QKeySequence(Qt::CTRL | Qt::Key_I)));
    both(addKey("mnuEdit_DeleteChannel", kTextDeleteChannel, QKeySequence(Qt::CTRL | Qt::Key_D)));
    both(addKey("mnuEdit_CopyChannel", kTextCopyChannel, QKeySequence(Qt::CTRL | Qt::Key_E)));
    both(add("mnuEdit_InsertEmptyChannels", kTextInsertEmpty, {}, &GridCommands::insertEmptyChannels));
    both(add("mnuEdit_DeleteChannels", kTextDeleteChannels, {}, &GridCommands::deleteChannels));
    editMenu->addSeparator();
    context_->addSeparator();
    both(add("mnuEdit_ChangeSelected", kTextChangeSelected, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
             &GridCommands::changeSelectedChannels));
    both(add("mnuEdit_Sort", kTextSort, {}, &GridCommands::sortChannels));
    both(add("mnuEdit_MoveUp", kTextMoveUp, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), &GridCommands::moveUp));
    both(add("mnuEdit_MoveDown", kTextMoveDown, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down),
             &GridCommands::moveDown));
    both(add("mnuEdit_Compact", kTextCompact, {}, &GridCommands::compact));
    both(add("mnuEdit_SelectDuplicates", kTextSelectDuplicates, {}, &GridCommands::selectDuplicates));

    // The table takes Ctrl+Shift+arrows for its own cursor before a window shortcut sees
    // them, so on the grid the move keys are caught where its keys arrive.
    connect(&window.channelGrid()->grid(), &GridControl::keyDown, this,
            [this](int key, Qt::KeyboardModifiers shift, bool, bool *handled) {
                if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
                    move(key == Qt::Key_Up);
                    *handled = true;
                }
            });
    QTableWidget *table = window.channelGrid()->grid().table();
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &at) {
        // Shift+Ctrl+Alt with the right button is the memory map's gesture, not a menu.
        const auto all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        if ((QGuiApplication::keyboardModifiers() & all) == all)
            return;
        showContextMenu(table->viewport()->mapTo(table, at));
    });
    auto *shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), table);
    shiftF10->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shiftF10, &QShortcut::activated, this, [this, table] {
        showContextMenu(table->visualRect(table->currentIndex()).center());
    });

    selection_ = new QLabel(window.statusBar());
    selection_->setObjectName(QStringLiteral("staSelection"));
    window.statusBar()->addPermanentWidget(selection_);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &GridCommands::updateSelectionCount);
    connect(&window.document(), &ImageDocument::imageChanged, this, &GridCommands::updateSelectionCount);
    applyCaptions();
}

QString GridCommands::text(int id) const
{
    return ToQString(LoadText(id, window_.state().language));
}

QString GridCommands::plain(int id) const
{
    QString t = text(id);
    t.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    t.remove(QLatin1Char('&'));
    t.remove(QStringLiteral("..."));
    return t.trimmed();
}

QAction *GridCommands::add(const char *name, int textId, const QKeySequence &keys, void (GridCommands::*slot)())
{
    auto *action = new QAction(&window_);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("textId", textId);
    if (!keys.isEmpty())
        action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    window_.addAction(action);
    actions_ << action;
    return action;
}

QAction *GridCommands::addKey(const char *name, int textId, const QKeySequence &keys)
{
    auto *action = new QAction(&window_);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("textId", textId);
    // Shown beside the text; the grid keeps handling the key itself.
    action->setProperty("keyText", keys.toString(QKeySequence::NativeText));
    connect(action, &QAction::triggered, this, [this, keys] {
        QTableWidget *table = window_.channelGrid()->grid().table();
        window_.focusGrid();
        const QKeyCombination combination = keys[0];
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(table, &press);
    });
    actions_ << action;
    return action;
}

void GridCommands::applyCaptions()
{
    for (QAction *action : actions_) {
        QString caption = text(action->property("textId").toInt());
        const QString keyText = action->property("keyText").toString();
        if (!keyText.isEmpty())
            caption += QLatin1Char('\t') + keyText;
        action->setText(caption);
    }
    updateSelectionCount();
}

void GridCommands::showContextMenu(const QPoint &at)
{
    QTableWidget *table = window_.channelGrid()->grid().table();
    context_->popup(table->mapToGlobal(at));
}

bool GridCommands::apply(const QString &name, const ChannelOperationResult &result)
{
    if (!result.refusal.empty())
        return false;
    window_.closeCellEditor();
    const MemoryImage image = result.image;
    window_.document().apply(name, [image](MemoryImage &target) { target = image; });
    return true;
}

void GridCommands::updateSelectionCount()
{
    const std::vector<int> rows = window_.channelGrid()->grid().selectedRows();
    if (rows.empty()) {
        selection_->clear();
        return;
    }
    int inUse = 0;
    for (int channel : rows)
        inUse += IsChannelInUse(window_.document().image(), channel, window_.document().band()) ? 1 : 0;
    selection_->setText(text(kTextSelectionCount).arg(rows.size()).arg(inUse));
    selection_->setAccessibleName(selection_->text());
}

void GridCommands::insertEmptyChannels()
{
    const std::vector<int> rows = window_.channelGrid()->grid().selectedRows();
    const int at = rows.empty() ? window_.state().currentChannel : rows.front();
    bool ok = false;
    const int count = QInputDialog::getInt(&window_, plain(kTextInsertEmptyTitle), text(kTextHowMany),
                                           std::max<int>(1, int(rows.size())), 1, kChannelCount - at + 1, 1, &ok);
    if (!ok)
        return;
    const ChannelOperationResult result =
        InsertEmptyChannels(window_.document().image(), window_.document().band(), at, count);
    if (!apply(plain(kTextInsertEmptyTitle), result))
        window_.prompts().message(&window_, {kTextNoRoom, text(kTextNoRoom), ProductName(), QMessageBox::Warning});
}

void GridCommands::deleteChannels()
{
    apply(text(kTextDeleteChannelsName), DeleteChannels(window_.document().image(), window_.channelGrid()->selectedChannels()));
    window_.channelGrid()->grid().selectRows({});
}

void GridCommands::changeSelectedChannels()
{
    window_.closeCellEditor();
    ChangeChannelsDialog dialog(window_.state().language, &window_);
    if (dialog.exec() != QDialog::Accepted || dialog.checkedFieldNames().isEmpty())
        return;
    const std::vector<int> channels = window_.channelGrid()->selectedChannels();
    const ChannelOperationResult result =
        ChangeChannels(window_.document().image(), window_.document().band(), channels, dialog.value());
    if (!result.changed.empty())
        apply(text(kTextSetFields).arg(dialog.checkedFieldNames().join(QStringLiteral(", "))).arg(result.changed.size()),
              result);
    if (!result.leftAlone.empty()) {
        QStringList numbers;
        for (int channel : result.leftAlone)
            numbers << QString::number(channel);
        window_.prompts().message(&window_, {kTextLeftAlone, text(kTextLeftAlone).arg(numbers.join(QStringLiteral(", "))),
                                             ProductName(), QMessageBox::Information});
    }
}

void GridCommands::sortChannels()
{
    window_.closeCellEditor();
    const std::vector<int> rows = window_.channelGrid()->grid().selectedRows();
    SortChannelsDialog dialog(window_.state().language, rows.size() > 1, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    apply(plain(kTextSort), SortChannels(window_.document().image(), window_.document().band(),
                                         dialog.selectedOnly() ? rows : std::vector<int>{}, dialog.key(),
                                         dialog.descending()));
}

void GridCommands::move(bool up)
{
    GridControl &grid = window_.channelGrid()->grid();
    const std::vector<int> channels = window_.channelGrid()->selectedChannels();
    const ChannelOperationResult result = MoveChannels(window_.document().image(), channels, up);
    if (!apply(plain(up ? kTextMoveUp : kTextMoveDown), result)) {
        window_.statusBar()->showMessage(text(kTextAtTheEdge), 5000);
        return;
    }
    // The selection moves with the channels, so the key can be pressed again.
    std::vector<int> moved;
    for (int channel : channels)
        moved.push_back(channel + (up ? -1 : 1));
    const int row = grid.row() + (up ? -1 : 1);
    grid.setCurrentCell(std::clamp(row, 1, kChannelCount), grid.col());
    if (channels.size() > 1 || !grid.selectedRows().empty())
        grid.selectRows(moved);
}

void GridCommands::compact()
{
    apply(plain(kTextCompact), CompactChannels(window_.document().image(), window_.document().band()));
}

void GridCommands::selectDuplicates()
{
    std::vector<int> repeats;
    for (const std::vector<int> &group : FindDuplicateChannels(window_.document().image(), window_.document().band()))
        repeats.insert(repeats.end(), group.begin() + 1, group.end());
    std::sort(repeats.begin(), repeats.end());
    window_.channelGrid()->grid().selectRows(repeats);
    if (repeats.empty())
        window_.statusBar()->showMessage(text(kTextNoDuplicates), 5000);
}

} // namespace zrk6
