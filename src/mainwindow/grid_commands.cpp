#include "mainwindow/grid_commands.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QClipboard>
#include <QTableView>

#include "dialogs/channel_ops_dialogs.h"
#include "dialogs/dialog_support.h"
#include "document/image_document.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/command_names.h"
#include "mainwindow/action_table.h"
#include "mainwindow/channel_list_commands.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/main_views.h"
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

GridCommands::GridCommands(AppState &state, ImageDocument &document, Prompts &prompts, ChannelGrid &grid,
                           ChannelListCommands &lists, MainViews &views, QObject *parent)
    : QObject(parent), state_(state), document_(document), prompts_(prompts), grid_(grid), lists_(lists), views_(views)
{
    // The table takes Ctrl+Shift+arrows for its own cursor before a window shortcut sees
    // them, so on the grid the move keys are caught where its keys arrive.
    connect(&grid.view(), &ChannelTableView::keyDown, this,
            [this](int key, Qt::KeyboardModifiers shift, bool, bool *handled) {
                if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
                    move(key == Qt::Key_Up);
                    *handled = true;
                } else if (shift == Qt::NoModifier && key == Qt::Key_Delete && !grid_.selectedRows().empty()) {
                    // Without selected rows the key does nothing on the grid, as it always did.
                    clearChannels();
                    *handled = true;
                }
            });
    connect(&grid.view(), &ChannelTableView::rowsDragged, this, &GridCommands::moveBy);
    QTableView *table = grid.tableView();
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
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &GridCommands::updateSelectionCount);
    connect(&document_, &ImageDocument::imageChanged, this, &GridCommands::updateSelectionCount);
}

void GridCommands::registerCommands(ActionTable &actions)
{
    const auto add = [&](const CommandSpec &spec, void (GridCommands::*run)()) {
        actions.add(spec, [this, run] { (this->*run)(); });
    };
    const auto key = [](QKeyCombination combination) { return QList<QKeySequence>{QKeySequence(combination)}; };
    add({"mnuEdit_CutChannels", kTextCut, {QKeySequence::Cut}}, &GridCommands::cutChannels);
    add({"mnuEdit_CopyChannels", text_id::kCopyChannelsMenu, {QKeySequence::Copy}}, &GridCommands::copyChannels);
    add({"mnuEdit_PasteChannels", text_id::kPasteChannelsMenu, {QKeySequence::Paste}}, &GridCommands::pasteChannels);
    add({"mnuEdit_ClearChannels", kTextClear, {}, QKeySequence(Qt::Key_Delete)}, &GridCommands::clearChannels);
    add({"mnuEdit_SelectAll", kTextSelectAll, {QKeySequence::SelectAll}}, &GridCommands::selectAll);
    // The grid handles these keys itself; the entries do what the keys do.
    actions.add({"mnuEdit_InsertChannel", kTextInsertChannel, {}, QKeySequence(Qt::CTRL | Qt::Key_I)},
                [this] { grid_.insertChannel(); });
    actions.add({"mnuEdit_DeleteChannel", kTextDeleteChannel, {}, QKeySequence(Qt::CTRL | Qt::Key_D)},
                [this] { grid_.deleteChannel(); });
    actions.add({"mnuEdit_CopyChannel", kTextCopyChannel, {}, QKeySequence(Qt::CTRL | Qt::Key_E)},
                [this] { grid_.copyChannel(); });
    add({"mnuEdit_InsertEmptyChannels", kTextInsertEmpty}, &GridCommands::insertEmptyChannels);
    add({"mnuEdit_DeleteChannels", kTextDeleteChannels}, &GridCommands::deleteChannels);
    add({"mnuEdit_ChangeSelected", kTextChangeSelected, key(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
        &GridCommands::changeSelectedChannels);
    add({"mnuEdit_Sort", kTextSort}, &GridCommands::sortChannels);
    add({"mnuEdit_MoveUp", kTextMoveUp, key(Qt::CTRL | Qt::SHIFT | Qt::Key_Up)}, &GridCommands::moveUp);
    add({"mnuEdit_MoveDown", kTextMoveDown, key(Qt::CTRL | Qt::SHIFT | Qt::Key_Down)}, &GridCommands::moveDown);
    add({"mnuEdit_Compact", kTextCompact}, &GridCommands::compact);
    add({"mnuEdit_SelectDuplicates", kTextSelectDuplicates}, &GridCommands::selectDuplicates);
    add({"mnuEdit_Find", kTextFind, {QKeySequence::Find}}, &GridCommands::find);
    add({"mnuEdit_FindNext", kTextFindNext, key(Qt::Key_F3)}, &GridCommands::findNext);
}

QString GridCommands::text(int id) const
{
    return ToQString(LoadText(id, state_.language));
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
    return PlainText(id, state_.language);
}

ImageDocument::StepName GridCommands::plainStep(int id)
{
    return [id](LanguageMode language) { return PlainText(id, language); };
}

void GridCommands::applyCaptions()
{
    if (find_ != nullptr)
        find_->applyCaptions(state_.language);
    updateSelectionCount();
}

void GridCommands::showContextMenu(const QPoint &at)
{
    if (context_ != nullptr)
        context_->popup(grid_.tableView()->mapToGlobal(at));
}

bool GridCommands::apply(const ImageDocument::StepName &name, const ChannelOperationResult &result)
{
    if (!result.refusal.empty())
        return false;
    views_.closeCellEditor();
    const MemoryImage image = result.image;
    document_.apply(name, [image](MemoryImage &target) { target = image; });
    return true;
}

void GridCommands::updateSelectionCount()
{
    const std::vector<int> rows = grid_.selectedRows();
    if (rows.empty()) {
        emit selectionSummaryChanged(QString());
        return;
    }
    int inUse = 0;
    for (int channel : rows)
        inUse += IsChannelInUse(document_.image(), channel, document_.band()) ? 1 : 0;
    emit selectionSummaryChanged(text(kTextSelectionCount).arg(rows.size()).arg(inUse));
}

void GridCommands::insertEmptyChannels()
{
    const std::vector<int> rows = grid_.selectedRows();
    const int at = rows.empty() ? state_.currentChannel : rows.front();
    QInputDialog ask(views_.dialogParent());
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
        InsertEmptyChannels(document_.image(), document_.band(), at, count);
    if (!apply(plainStep(kTextInsertEmptyTitle), result))
        prompts_.message(views_.dialogParent(), {kTextNoRoom, text(kTextNoRoom), ProductName(), QMessageBox::Warning});
}

void GridCommands::deleteChannels()
{
    apply(CommandStep(kTextDeleteChannelsName), DeleteChannels(document_.image(), grid_.selectedChannels()));
    grid_.selectRows({});
}

void GridCommands::changeSelectedChannels()
{
    views_.closeCellEditor();
    ChangeChannelsDialog dialog(state_.language, views_.dialogParent());
    if (dialog.exec() != QDialog::Accepted || dialog.checkedFieldIds().empty())
        return;
    const std::vector<int> channels = grid_.selectedChannels();
    const ChannelOperationResult result =
        ChangeChannels(document_.image(), document_.band(), channels, dialog.value());
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
        prompts_.message(views_.dialogParent(), {kTextLeftAlone, text(kTextLeftAlone).arg(numbers.join(QStringLiteral(", "))),
                                             ProductName(), QMessageBox::Information});
    }
}

void GridCommands::sortChannels()
{
    views_.closeCellEditor();
    const std::vector<int> rows = grid_.selectedRows();
    SortChannelsDialog dialog(state_.language, rows.size() > 1, views_.dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    apply(plainStep(kTextSort), SortChannels(document_.image(), document_.band(),
                                         dialog.selectedOnly() ? rows : std::vector<int>{}, dialog.key(),
                                         dialog.descending()));
}

void GridCommands::move(bool up)
{
    ChannelGrid &grid = grid_;
    const std::vector<int> channels = grid_.selectedChannels();
    const bool rowsSelected = !grid.selectedRows().empty();
    const ChannelOperationResult result = MoveChannels(document_.image(), channels, up);
    if (!apply(plainStep(up ? kTextMoveUp : kTextMoveDown), result)) {
        views_.showStatus(text(kTextAtTheEdge), 5000);
        return;
    }
    // The selection moves with the channels, so the key can be pressed again.
    std::vector<int> moved;
    for (int channel : channels)
        moved.push_back(channel + (up ? -1 : 1));
    const int row = grid.currentRow() + (up ? -1 : 1);
    grid.setCurrentCell(std::clamp(row, 1, kChannelCount), grid.currentColumn());
    if (rowsSelected)
        grid.selectRows(moved);
}

void GridCommands::erase(const std::vector<int> &channels, int nameId)
{
    views_.closeCellEditor();
    std::vector<int> used;
    for (int channel : channels) {
        if (IsChannelInUse(document_.image(), channel, document_.band()))
            used.push_back(channel);
    }
    const auto count = static_cast<qsizetype>(used.empty() ? channels.size() : used.size());
    document_.apply(CommandStep(nameId, QString::number(count)), [&](MemoryImage &image) {
        for (int channel : channels)
            EraseChannel(image, channel);
    });
}

void GridCommands::copyChannels()
{
    views_.closeCellEditor();
    QApplication::clipboard()->setText(lists_.copyText(grid_.selectedChannels()));
}

void GridCommands::pasteChannels()
{
    views_.closeCellEditor();
    const QString text = QApplication::clipboard()->text();
    // Over selected rows the channels go from the first of them.
    const std::vector<int> rows = grid_.selectedRows();
    if (rows.empty() && grid_.pasteValue(text))
        return;
    if (!text.isEmpty())
        lists_.paste(rows.empty() ? state_.currentChannel : rows.front(), text);
}

void GridCommands::cutChannels()
{
    copyChannels();
    erase(grid_.selectedChannels(), kTextCutName);
}

void GridCommands::clearChannels()
{
    erase(grid_.selectedChannels(), kTextClearName);
}

void GridCommands::selectAll()
{
    views_.closeCellEditor();
    views_.focusGrid();
    grid_.selectAllRows();
}

void GridCommands::find()
{
    views_.closeCellEditor();
    if (find_ == nullptr) {
        find_ = new FindDialog(state_.language, views_.dialogParent());
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
    views_.closeCellEditor();
    auto say = [this](const QString &result) {
        find_->showResult(result);
        views_.showStatus(result, 5000);
    };
    const std::optional<FindTarget> target = ParseFindText(typed.toStdString());
    if (!target) {
        say(text(kTextNotFindable).arg(typed));
        return;
    }
    ChannelGrid &grid = grid_;
    // From an option column the search goes on with the next channel.
    const auto column = static_cast<ChannelColumn>(std::clamp(grid.currentColumn(), 1, 4) - 1);
    const std::optional<ChannelCell> cell =
        FindNextCell(document_.image(), document_.band(), *target, grid.currentRow(), column);
    if (!cell) {
        say(text(kTextNotFound).arg(typed));
        return;
    }
    const int gridColumn = static_cast<int>(cell->column) + 1;
    grid.setCurrentCell(cell->channel, gridColumn);
    grid.scrollToCurrent();
    keepFindOffTheCell();
    say(text(kTextCellName).arg(cell->channel).arg(grid_.cellText(0, gridColumn)));
}

void GridCommands::keepFindOffTheCell()
{
    ChannelTableView &view = grid_.view();
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
    result.image = document_.image();
    std::vector<int> at = rows;
    for (int step = 0; step < std::abs(offset) && result.refusal.empty(); ++step) {
        result = MoveChannels(result.image, at, offset < 0);
        for (int &channel : at)
            channel += offset < 0 ? -1 : 1;
    }
    if (!apply(plainStep(kTextMoveName), result))
        return;
    ChannelGrid &grid = grid_;
    grid.setCurrentCell(std::clamp(grid.currentRow(), 1, kChannelCount), std::max(grid.currentColumn(), 1));
    grid.selectRows(at);
}

void GridCommands::compact()
{
    // The selected channels in use stay selected where the compacting puts them: each moves
    // up to its rank among the channels in use.
    const ImageDocument &document = document_;
    const std::vector<int> selected = grid_.selectedRows();
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
        grid_.selectRows(moved);
}

void GridCommands::selectDuplicates()
{
    std::vector<int> repeats;
    for (const std::vector<int> &group : FindDuplicateChannels(document_.image(), document_.band()))
        repeats.insert(repeats.end(), group.begin() + 1, group.end());
    std::sort(repeats.begin(), repeats.end());
    grid_.selectRows(repeats);
    if (repeats.empty())
        views_.showStatus(text(kTextNoDuplicates), 5000);
}

} // namespace zrk6
