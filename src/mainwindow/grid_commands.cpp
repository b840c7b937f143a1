#include "mainwindow/grid_commands.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>

#include "dialogs/channel_ops_dialogs.h"
#include "dialogs/dialog_support.h"
#include "document/image_document.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/command_names.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/main_window.h"
#include "model/app_state.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"
#include "ui/prompts.h"

namespace zrk6 {
namespace {

constexpr int kTextInsertChannel = text_id::kInsertChannelMenu;
constexpr int kTextDeleteChannel = text_id::kDeleteChannelMenu;
constexpr int kTextCopyChannel = text_id::kCopyChannelMenu;
constexpr int kTextInsertEmpty = text_id::kInsertEmptyChannelsMenu;
constexpr int kTextDeleteChannels = text_id::kDeleteChannelsMenu;
constexpr int kTextChangeSelected = text_id::kChangeSelectedChannelsMenu;
constexpr int kTextSort = text_id::kSortChannelsMenu;
constexpr int kTextMoveUp = text_id::kMoveUpMenu;
constexpr int kTextMoveDown = text_id::kMoveDownMenu;
constexpr int kTextCompact = text_id::kCompactMenu;
constexpr int kTextSelectDuplicates = text_id::kSelectDuplicatesMenu;
constexpr int kTextInsertEmptyTitle = text_id::kInsertEmptyChannels;
constexpr int kTextHowMany = text_id::kHowManyEmptyChannels;
constexpr int kTextSetFields = text_id::kStepSetField;
constexpr int kTextDeleteChannelsName = text_id::kStepDeleteChannels;
constexpr int kTextLeftAlone = text_id::kChannelsLeftAlone;
constexpr int kTextSelectionCount = text_id::kSelectionCount;
constexpr int kTextNoDuplicates = text_id::kNoDuplicates;
constexpr int kTextNoRoom = text_id::kNoRoom;
constexpr int kTextAtTheEdge = text_id::kSelectionAtEdge;
constexpr int kTextCut = text_id::kCutChannelsMenu;
constexpr int kTextClear = text_id::kClearChannelsMenu;
constexpr int kTextSelectAll = text_id::kSelectAllMenu;
constexpr int kTextCutName = text_id::kStepCutChannels;
constexpr int kTextClearName = text_id::kStepClearChannels;
constexpr int kTextFind = text_id::kFindMenu;
constexpr int kTextFindNext = text_id::kFindNext;
constexpr int kTextNotFound = text_id::kNotFound;
constexpr int kTextNotFindable = text_id::kNotFindable;
constexpr int kTextCellName = text_id::kCellDescription;
constexpr int kTextMoveName = text_id::kStepMoveChannels;

} // namespace

GridCommands::GridCommands(frmMain &window, QMenu *editMenu) : QObject(&window), window_(window)
{
    context_ = new QMenu(&window);
    context_->setObjectName(QStringLiteral("mnuGridContext"));
    const auto both = [&](QAction *action) {
        editMenu->addAction(action);
        context_->addAction(action);
    };
    // Cut goes before Copy and Paste; the keys on the rows act as these entries do.
    QAction *copy = window.findChild<QAction *>(QStringLiteral("mnuEdit_CopyChannels"));
    QAction *paste = window.findChild<QAction *>(QStringLiteral("mnuEdit_PasteChannels"));
    QAction *cut = add("mnuEdit_CutChannels", kTextCut, QKeySequence::Cut, &GridCommands::cutChannels);
    editMenu->insertAction(copy, cut);
    QAction *clear = add("mnuEdit_ClearChannels", kTextClear, {}, &GridCommands::clearChannels);
    clear->setProperty("keyText", QKeySequence(Qt::Key_Delete).toString(QKeySequence::NativeText));
    QAction *selectAll = add("mnuEdit_SelectAll", kTextSelectAll, QKeySequence::SelectAll, &GridCommands::selectAll);
    for (QAction *action : {clear, selectAll})
        editMenu->addAction(action);
    // The shared commands come first, as in the Edit menu.
    for (const char *name : {"mnuEdit_Undo", "mnuEdit_Redo"}) {
        if (auto *action = window.findChild<QAction *>(QString::fromLatin1(name)))
            context_->addAction(action);
    }
    context_->addSeparator();
    context_->addActions({cut, copy, paste, clear, selectAll});
    context_->addSeparator();
    editMenu->addSeparator();
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
    editMenu->addSeparator();
    context_->addSeparator();
    both(add("mnuEdit_Find", kTextFind, QKeySequence::Find, &GridCommands::find));
    both(add("mnuEdit_FindNext", kTextFindNext, QKeySequence(Qt::Key_F3), &GridCommands::findNext));

    // The table takes Ctrl+Shift+arrows for its own cursor before a window shortcut sees
    // them, so on the grid the move keys are caught where its keys arrive.
    connect(&window.channelGrid()->view(), &ChannelTableView::keyDown, this,
            [this](int key, Qt::KeyboardModifiers shift, bool, bool *handled) {
                if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
                    move(key == Qt::Key_Up);
                    *handled = true;
                } else if (shift == Qt::NoModifier && key == Qt::Key_Delete &&
                           !window_.channelGrid()->view().selectedRows().empty()) {
                    // Without selected rows the key does nothing on the grid, as it always did.
                    clearChannels();
                    *handled = true;
                }
            });
    connect(&window.channelGrid()->view(), &ChannelTableView::rowsDragged, this, &GridCommands::moveBy);
    ChannelTableView *table = &window.channelGrid()->view();
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

namespace {

// A menu text without its mnemonic and dots: "Sort Channels" of "S&ort Channels...".
QString PlainText(int id, LanguageMode language)
{
    QString t = ToQString(LoadText(id, language));
    t.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    t.remove(QLatin1Char('&'));
    t.remove(QStringLiteral("..."));
    return t.trimmed();
}

} // namespace

QString GridCommands::plain(int id) const
{
    return PlainText(id, window_.state().language);
}

ImageDocument::StepName GridCommands::plainStep(int id)
{
    return [id](LanguageMode language) { return PlainText(id, language); };
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
        ChannelTableView *table = &window_.channelGrid()->view();
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
    if (find_ != nullptr)
        find_->applyCaptions(window_.state().language);
    updateSelectionCount();
}

void GridCommands::showContextMenu(const QPoint &at)
{
    ChannelTableView *table = &window_.channelGrid()->view();
    context_->popup(table->mapToGlobal(at));
}

bool GridCommands::apply(const ImageDocument::StepName &name, const ChannelOperationResult &result)
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
    const std::vector<int> rows = window_.channelGrid()->view().selectedRows();
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
    const std::vector<int> rows = window_.channelGrid()->view().selectedRows();
    const int at = rows.empty() ? window_.state().currentChannel : rows.front();
    QInputDialog ask(&window_);
    ask.setObjectName(QStringLiteral("frmInsertEmptyChannels"));
    ask.setWindowTitle(plain(kTextInsertEmptyTitle));
    ask.setLabelText(text(kTextHowMany));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setIntRange(1, kChannelCount - at + 1);
    ask.setIntValue(std::max<int>(1, int(rows.size())));
    KeepTitleWhole(&ask);
    if (ask.exec() != QDialog::Accepted)
        return;
    const int count = ask.intValue();
    const ChannelOperationResult result =
        InsertEmptyChannels(window_.document().image(), window_.document().band(), at, count);
    if (!apply(plainStep(kTextInsertEmptyTitle), result))
        window_.prompts().message(&window_, {kTextNoRoom, text(kTextNoRoom), ProductName(), QMessageBox::Warning});
}

void GridCommands::deleteChannels()
{
    apply(CommandStep(kTextDeleteChannelsName), DeleteChannels(window_.document().image(), window_.channelGrid()->selectedChannels()));
    window_.channelGrid()->view().selectRows({});
}

void GridCommands::changeSelectedChannels()
{
    window_.closeCellEditor();
    ChangeChannelsDialog dialog(window_.state().language, &window_);
    if (dialog.exec() != QDialog::Accepted || dialog.checkedFieldIds().empty())
        return;
    const std::vector<int> channels = window_.channelGrid()->selectedChannels();
    const ChannelOperationResult result =
        ChangeChannels(window_.document().image(), window_.document().band(), channels, dialog.value());
    if (!result.changed.empty())
        apply(
            [ids = dialog.checkedFieldIds(), count = result.changed.size()](LanguageMode language) {
                QStringList names;
                for (int id : ids)
                    names << ToQString(LoadText(id, language)).remove(QLatin1Char('&'));
                return CommandName(kTextSetFields, language, names.join(QStringLiteral(", ")), QString::number(count));
            },
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
    const std::vector<int> rows = window_.channelGrid()->view().selectedRows();
    SortChannelsDialog dialog(window_.state().language, rows.size() > 1, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    apply(plainStep(kTextSort), SortChannels(window_.document().image(), window_.document().band(),
                                         dialog.selectedOnly() ? rows : std::vector<int>{}, dialog.key(),
                                         dialog.descending()));
}

void GridCommands::move(bool up)
{
    ChannelTableView &grid = window_.channelGrid()->view();
    const std::vector<int> channels = window_.channelGrid()->selectedChannels();
    const bool rowsSelected = !grid.selectedRows().empty();
    const ChannelOperationResult result = MoveChannels(window_.document().image(), channels, up);
    if (!apply(plainStep(up ? kTextMoveUp : kTextMoveDown), result)) {
        window_.statusBar()->showMessage(text(kTextAtTheEdge), 5000);
        return;
    }
    // The selection moves with the channels, so the key can be pressed again.
    std::vector<int> moved;
    for (int channel : channels)
        moved.push_back(channel + (up ? -1 : 1));
    const int row = grid.row() + (up ? -1 : 1);
    grid.setCurrentCell(std::clamp(row, 1, kChannelCount), grid.col());
    if (rowsSelected)
        grid.selectRows(moved);
}

void GridCommands::erase(const std::vector<int> &channels, int nameId)
{
    window_.closeCellEditor();
    std::vector<int> used;
    for (int channel : channels) {
        if (IsChannelInUse(window_.document().image(), channel, window_.document().band()))
            used.push_back(channel);
    }
    const auto count = static_cast<qsizetype>(used.empty() ? channels.size() : used.size());
    window_.document().apply(CommandStep(nameId, QString::number(count)), [&](MemoryImage &image) {
        for (int channel : channels)
            EraseChannel(image, channel);
    });
}

void GridCommands::cutChannels()
{
    window_.mnuEdit_CopyChannels_Click();
    erase(window_.channelGrid()->selectedChannels(), kTextCutName);
}

void GridCommands::clearChannels()
{
    erase(window_.channelGrid()->selectedChannels(), kTextClearName);
}

void GridCommands::selectAll()
{
    window_.closeCellEditor();
    window_.focusGrid();
    window_.channelGrid()->view().selectAllRows();
}

void GridCommands::find()
{
    window_.closeCellEditor();
    if (find_ == nullptr) {
        find_ = new FindDialog(window_.state().language, &window_);
        connect(find_, &FindDialog::findNext, this, &GridCommands::findNext);
    }
    find_->show();
    find_->raise();
    find_->activateWindow();
    // What was looked for last stays, selected, so typing replaces it.
    if (auto *entry = find_->findChild<QLineEdit *>(QStringLiteral("txtFind"))) {
        entry->setFocus(Qt::ShortcutFocusReason);
        entry->selectAll();
    }
}

void GridCommands::findNext()
{
    const QString typed = find_ != nullptr ? find_->text().trimmed() : QString();
    if (typed.isEmpty()) {
        find();
        return;
    }
    window_.closeCellEditor();
    auto say = [this](const QString &result) {
        find_->showResult(result);
        window_.statusBar()->showMessage(result, 5000);
    };
    const std::optional<FindTarget> target = ParseFindText(typed.toStdString());
    if (!target) {
        say(text(kTextNotFindable).arg(typed));
        return;
    }
    ChannelTableView &grid = window_.channelGrid()->view();
    // From an option column the search goes on with the next channel.
    const auto column = static_cast<ChannelColumn>(std::clamp(grid.col(), 1, 4) - 1);
    const std::optional<ChannelCell> cell =
        FindNextCell(window_.document().image(), window_.document().band(), *target, grid.row(), column);
    if (!cell) {
        say(text(kTextNotFound).arg(typed));
        return;
    }
    const int gridColumn = static_cast<int>(cell->column) + 1;
    grid.setCurrentCell(cell->channel, gridColumn);
    grid.scrollToCurrent();
    keepFindOffTheCell();
    say(text(kTextCellName).arg(cell->channel).arg(window_.channelGrid()->cellText(0, gridColumn)));
}

void GridCommands::keepFindOffTheCell()
{
    ChannelTableView &view = window_.channelGrid()->view();
    const QRect inViewport = view.visualRect(view.currentIndex());
    const QRect cell(view.viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
    const QRect frame = find_->frameGeometry();
    if (!frame.intersects(cell))
        return;
    // Below the cell when its screen has room there, otherwise above it.
    const QRect screen = find_->screen()->availableGeometry();
    const int gap = cell.height() / 2;
    int top = cell.bottom() + 1 + gap;
    if (top + frame.height() > screen.bottom())
        top = cell.top() - gap - frame.height();
    find_->move(frame.left(), top);
}

void GridCommands::moveBy(const std::vector<int> &rows, int offset)
{
    ChannelOperationResult result;
    result.image = window_.document().image();
    std::vector<int> at = rows;
    for (int step = 0; step < std::abs(offset) && result.refusal.empty(); ++step) {
        result = MoveChannels(result.image, at, offset < 0);
        for (int &channel : at)
            channel += offset < 0 ? -1 : 1;
    }
    if (!apply(plainStep(kTextMoveName), result))
        return;
    ChannelTableView &grid = window_.channelGrid()->view();
    grid.setCurrentCell(std::clamp(grid.row(), 1, kChannelCount), std::max(grid.col(), 1));
    grid.selectRows(at);
}

void GridCommands::compact()
{
    // The selected channels in use stay selected where the compacting puts them: each moves
    // up to its rank among the channels in use.
    const ImageDocument &document = window_.document();
    const std::vector<int> selected = window_.channelGrid()->view().selectedRows();
    std::vector<int> moved;
    int rank = 0;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        if (!IsChannelInUse(document.image(), channel, document.band()))
            continue;
        ++rank;
        if (std::find(selected.begin(), selected.end(), channel) != selected.end())
            moved.push_back(rank);
    }
    if (apply(plainStep(kTextCompact), CompactChannels(document.image(), document.band())) && !selected.empty())
        window_.channelGrid()->view().selectRows(moved);
}

void GridCommands::selectDuplicates()
{
    std::vector<int> repeats;
    for (const std::vector<int> &group : FindDuplicateChannels(window_.document().image(), window_.document().band()))
        repeats.insert(repeats.end(), group.begin() + 1, group.end());
    std::sort(repeats.begin(), repeats.end());
    window_.channelGrid()->view().selectRows(repeats);
    if (repeats.empty())
        window_.statusBar()->showMessage(text(kTextNoDuplicates), 5000);
}

} // namespace zrk6
