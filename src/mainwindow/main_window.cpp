#include "mainwindow/main_window.h"

#include <algorithm>
#include <exception>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/about_dialog.h"
#include "dialogs/comm_port_dialog.h"
#include "dialogs/copy_dialog.h"
#include "dialogs/language_dialog.h"
#include "dialogs/memory_map_dialog.h"
#include "dialogs/opt_features_dialog.h"
#include "dialogs/print_dialog.h"
#include "link/cable_doctor.h"
#include "link/port_names.h"
#include "mainwindow/action_table.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_list_commands.h"
#include "mainwindow/command_names.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/fleet_commands.h"
#include "mainwindow/general_panel.h"
#include "mainwindow/grid_commands.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/recent_files.h"
#include "mainwindow/safety_commands.h"
#include "mainwindow/settings_store.h"
#include "text/text_ids.h"
#include "ui/accessibility.h"
#include "mainwindow/transfer_commands.h"
#include "model/app_state.h"
#include "model/band.h"
#include "model/image_normalise.h"
#include "ui/qt_translations.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitMainWindowResources()
{
    Q_INIT_RESOURCE(zrk6);
}

namespace zrk6 {

namespace {

// Edit menu and toolbar texts of Undo and Redo: without and with the name of the step.
constexpr int kUndoMenu = text_id::kUndoMenu;
constexpr int kRedoMenu = text_id::kRedoMenu;
constexpr int kUndoMenuNamed = text_id::kUndoMenuNamed;
constexpr int kRedoMenuNamed = text_id::kRedoMenuNamed;
constexpr int kUndoTip = text_id::kUndoTip;
constexpr int kRedoTip = text_id::kRedoTip;
constexpr int kUndoTipNamed = text_id::kUndoTipNamed;
constexpr int kRedoTipNamed = text_id::kRedoTipNamed;

} // namespace

MainWindow::MainWindow(AppState &state, Prompts &prompts, SettingsStore &settings, QWidget *parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), settings_(settings)
{
    InitMainWindowResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zrk6.png")));
    channels_ = std::make_unique<ChannelCommands>(state_, document_, prompts_);
    file_ = std::make_unique<FileCommands>(state_, document_, prompts_, *this);
    lists_ = std::make_unique<ChannelListCommands>(state_, document_, prompts_, *this);
    transfer_ = std::make_unique<TransferCommands>(state_, document_, prompts_, *this);
    connect(&document_, &ImageDocument::replaced, this, &MainWindow::updateTitle);
    connect(&document_, &ImageDocument::bandChanged, this, &MainWindow::updateTitle);
    connect(&document_, &ImageDocument::fileNameChanged, this, &MainWindow::updateTitle);
    connect(&document_, &ImageDocument::modifiedChanged, this, &MainWindow::updateTitle);
    safety_ = new SafetyCommands(state_, document_, prompts_, settings_, *this, this);
    transfer_->setSafety(safety_);
    fleet_ = std::make_unique<FleetCommands>(state_, document_, prompts_, *safety_, *this,
                                             [this] { return transfer_->portOverride(); });
    try {
        startUp();
    } catch (const std::exception &error) {
        PromptMessage m;
        m.text = QString::fromLocal8Bit(error.what());
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(this, m);
        startupFailed_ = true;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

MainWindow::~MainWindow()
{
    // Qt hides the window only after the members are gone, and the focus change would make an
    // editor still open commit into the destroyed document: it goes first, its entry dropped.
    grid_->view().closeCellEditor(true);
}

void MainWindow::startUp()
{
    MemoryImage image;
    image.set(addr::kModel, kStartupModelByte);
    image.set(addr::kBandVariant,
              static_cast<std::uint8_t>(BandVariantFromSetting(settings_.GetRegValue(QStringLiteral("LastFreq")))));
    state_.language = LanguageFromSetting(settings_.GetRegValue(QStringLiteral("Language")));
    UseQtTranslations(state_.language);
    state_.commPortNumber = 1;

    buildPanels();
    gridCommands_ = new GridCommands(state_, document_, prompts_, *grid_, *lists_, *this, this);
    registerCommands();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    AnnounceStatusMessages(statusBar());
    InstallPaneCycling(this, {grid_, general_, toolBar_});

    general_->fillLists();

    restoreChosenPort();

    const Band band = ReadBandFromImage(image);
    document_.replace(FreshImage(image, band), band, std::string(kUntitled));
    applyCaptions();
    // The keyboard starts on the grid, where its first cell shows as current.
    grid_->setFocus();

    // As large as the panels ask for in this font and language.
    resize(sizeHint());
    restoreGeometry(QByteArray::fromBase64(settings_.GetRegValue(QStringLiteral("WindowGeometry")).toLatin1()));
}

void MainWindow::registerCommands()
{
    actions_ = new ActionTable(this);
    ActionTable &table = *actions_;
    const auto run = [this](void (MainWindow::*command)()) { return [this, command] { (this->*command)(); }; };
    const auto keys = [](QKeyCombination combination) { return QList<QKeySequence>{QKeySequence(combination)}; };
    table.add({"mnuFile_New", text_id::kNewMenu, keys(Qt::CTRL | Qt::Key_N), {}, text_id::kNewTip, "new"}, run(&MainWindow::newFile));
    table.add({"mnuFile_Open", text_id::kOpenMenu, keys(Qt::CTRL | Qt::Key_O), {}, text_id::kOpenTip, "open"}, run(&MainWindow::openFromDialog));
    table.add({"mnuFile_Save", text_id::kSaveMenu, keys(Qt::CTRL | Qt::Key_S), {}, text_id::kSaveTip, "save"}, run(&MainWindow::save));
    table.add({"mnuFile_SaveAs", text_id::kSaveAsMenu}, run(&MainWindow::saveAs));
    table.add({"mnuFile_ImportChannels", text_id::kImportChannelsMenu}, [this] { lists_->importChannels(); });
    table.add({"mnuFile_ExportChannels", text_id::kExportChannelsMenu}, [this] { lists_->exportChannels(); });
    table.add({"mnuFile_Print", text_id::kPrintMenu, keys(Qt::CTRL | Qt::Key_P), {}, text_id::kPrintTip, "print"}, run(&MainWindow::print));
    table.add({"mnuFile_Exit", text_id::kExitMenu}, [this] {
        closeCellEditor();
        close();
    });
    // Undo and Redo name the step they take back; updateUndoCaptions sets their texts.
    const QUndoStack &stack = document_.undoStack();
    table.add({"mnuEdit_Undo", 0, keys(Qt::CTRL | Qt::Key_Z), {}, 0, "undo"}, run(&MainWindow::undo),
              [&stack] { return stack.canUndo(); });
    table.add({"mnuEdit_Redo", 0, {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, {}, 0,
               "redo"},
              run(&MainWindow::redo), [&stack] { return stack.canRedo(); });
    table.add({"mnuProgram_Read", text_id::kReadFromRadioMenu, keys(Qt::CTRL | Qt::Key_R), {}, text_id::kReadTip, "read"}, [this] { transfer_->read(); });
    table.add({"mnuProgram_Write", text_id::kWriteToRadioMenu, keys(Qt::CTRL | Qt::Key_W), {}, text_id::kWriteTip, "write"}, [this] { transfer_->write(); });
    table.add({"mnuProgram_WriteChannels", text_id::kWriteChannelsOnlyMenu}, [this] { transfer_->writeChannelsOnly(); });
    table.add({"mnuProgram_Fleet", text_id::kProgramSeveralRadiosMenu}, [this] { fleet_->programSeveralRadios(); });
    table.add({"mnuProgram_OptFeatures", text_id::kOptionalFeaturesMenu}, run(&MainWindow::editOptionalFeatures));
    table.add({"mnuSetup_CommPort", text_id::kCommunicationPortMenu}, run(&MainWindow::choosePort));
    table.add({"mnuSetup_Lang", text_id::kLanguageSetupMenu}, run(&MainWindow::chooseLanguage));
    // The About button's tip is the menu text, ampersand and all.
    table.add({"mnuHelp_About", text_id::kAboutMenu, {}, {}, text_id::kAboutMenu, "about"}, run(&MainWindow::showAbout));
    // Off unless the user turned it on; kept in the settings.
    QAction *txFollowsRx = table.add({.id = "mnuSetup_TxFollowsRx", .textId = text_id::kTxFollowsRxMenu, .checkable = true}, {});
    txFollowsRx->setChecked(settings_.GetRegValue(QStringLiteral("TxFollowsRx")) == QLatin1String("1"));
    channels_->setTxFollowsRx(txFollowsRx->isChecked());
    connect(txFollowsRx, &QAction::toggled, this, [this](bool on) {
        channels_->setTxFollowsRx(on);
        settings_.SaveRegValue(QStringLiteral("TxFollowsRx"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    safety_->registerCommands(table);
    gridCommands_->registerCommands(table);
    connect(&stack, &QUndoStack::indexChanged, this, &MainWindow::updateUndoCaptions);
    connect(&stack, &QUndoStack::cleanChanged, this, &MainWindow::updateUndoCaptions);
}

namespace {

struct MenuTitle {
    const char *name;
    int textId;
};
constexpr MenuTitle kMenuTitles[] = {
    {"mnuFile", text_id::kFileMenu}, {"mnuEdit", text_id::kEditMenu}, {"mnuProgram", text_id::kProgramMenu}, {"mnuSetup", text_id::kSetupMenu}, {"mnuHelp", text_id::kHelpMenu},
};

} // namespace

void MainWindow::buildMenus()
{
    std::map<QString, QMenu *> menus;
    for (const MenuTitle &title : kMenuTitles) {
        QMenu *menu = menuBar()->addMenu(QString());
        const QString name = QString::fromLatin1(title.name);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        menus[name] = menu;
    }
    const ActionTable &table = *actions_;
    table.fillMenu(menus[QStringLiteral("mnuFile")],
                   {"mnuFile_New", "mnuFile_Open", "mnuFile_Save", "mnuFile_SaveAs", "mnuFile_Compare", "-mnuFile_Bar3",
                    "mnuFile_ImportChannels", "mnuFile_ExportChannels", "-mnuFile_Bar1", "mnuFile_Print",
                    "-mnuFile_Bar2", "mnuFile_Exit"});
    recent_ = new RecentFiles(settings_, menus[QStringLiteral("mnuFile")], table.action(QStringLiteral("mnuFile_Exit")), this);
    connect(recent_, &RecentFiles::chosen, this, &MainWindow::openRecent);
    // Cut goes before Copy and Paste; the keys on the rows act as these entries do.
    table.fillMenu(menus[QStringLiteral("mnuEdit")],
                   {"mnuEdit_Undo", "mnuEdit_Redo", "-mnuEdit_Bar1", "mnuEdit_CutChannels", "mnuEdit_CopyChannels",
                    "mnuEdit_PasteChannels", "mnuEdit_ClearChannels", "mnuEdit_SelectAll", "-",
                    "mnuEdit_InsertChannel", "mnuEdit_DeleteChannel", "mnuEdit_CopyChannel",
                    "mnuEdit_InsertEmptyChannels", "mnuEdit_DeleteChannels", "-", "mnuEdit_ChangeSelected",
                    "mnuEdit_Sort", "mnuEdit_MoveUp", "mnuEdit_MoveDown", "mnuEdit_Compact",
                    "mnuEdit_SelectDuplicates", "-", "mnuEdit_Find", "mnuEdit_FindNext"});
    table.fillMenu(menus[QStringLiteral("mnuProgram")],
                   {"mnuProgram_Read", "-mnuProgram_Bar1", "mnuProgram_Write", "mnuProgram_Verify",
                    "mnuProgram_WriteChannels", "mnuProgram_Fleet", "-mnuProgram_Bar2", "mnuProgram_OptFeatures"});
    table.fillMenu(menus[QStringLiteral("mnuSetup")], {"mnuSetup_CommPort", "mnuSetup_Lang", "mnuSetup_TxFollowsRx", "-mnuSetup_BarBackups",
                                                       "mnuSetup_Backups", "mnuSetup_BackupFolder"});
    table.fillMenu(menus[QStringLiteral("mnuHelp")], {"mnuHelp_About"});

    // The grid's context menu: the shared commands first, as in the Edit menu.
    auto *context = new QMenu(this);
    context->setObjectName(QStringLiteral("mnuGridContext"));
    table.fillMenu(context, {"mnuEdit_Undo", "mnuEdit_Redo", "-", "mnuEdit_CutChannels", "mnuEdit_CopyChannels",
                             "mnuEdit_PasteChannels", "mnuEdit_ClearChannels", "mnuEdit_SelectAll", "-",
                             "mnuEdit_InsertChannel", "mnuEdit_DeleteChannel", "mnuEdit_CopyChannel",
                             "mnuEdit_InsertEmptyChannels", "mnuEdit_DeleteChannels", "-", "mnuEdit_ChangeSelected",
                             "mnuEdit_Sort", "mnuEdit_MoveUp", "mnuEdit_MoveDown", "mnuEdit_Compact",
                             "mnuEdit_SelectDuplicates", "-", "mnuEdit_Find", "mnuEdit_FindNext"});
    gridCommands_->setContextMenu(context);
}

void MainWindow::buildToolbar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("tlbActions"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the toolbar
    addToolBar(Qt::TopToolBarArea, toolBar_);
    actions_->fillToolBar(toolBar_, {"mnuFile_New", "mnuFile_Open", "mnuFile_Save", "mnuFile_Print", "-",
                                        "mnuEdit_Undo", "mnuEdit_Redo", "-", "mnuProgram_Read", "mnuProgram_Write",
                                        "-", "mnuHelp_About"});
    // Tab and F6 reach the buttons too, for those who cannot use a mouse.
    for (QToolButton *button : toolBar_->findChildren<QToolButton *>())
        button->setFocusPolicy(Qt::TabFocus);
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("staDateTime"));
    bar->setSizeGripEnabled(true);
    datePanel_ = new QLabel(bar);
    datePanel_->setObjectName(QStringLiteral("Date"));
    timePanel_ = new QLabel(bar);
    timePanel_->setObjectName(QStringLiteral("Time"));
    for (QLabel *panel : {datePanel_, timePanel_}) {
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        // Room for a long date or time in this font, so the bar does not jump as they change.
        panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
        bar->addPermanentWidget(panel);
    }
    auto *selection = new QLabel(bar);
    selection->setObjectName(QStringLiteral("staSelection"));
    bar->addPermanentWidget(selection);
    connect(gridCommands_, &GridCommands::selectionSummaryChanged, selection, [selection](const QString &summary) {
        selection->setText(summary);
        selection->setAccessibleName(summary);
    });
    updateDateTime();
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &MainWindow::updateDateTime);
    clock->start(1000);
}

void MainWindow::updateDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    datePanel_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    timePanel_->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void MainWindow::buildPanels()
{
    // The band panel on top, the channel frame taking what the window has beyond it.
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("picMain"));
    setCentralWidget(central);
    auto *layout = new QVBoxLayout(central);

    general_ = new GeneralPanel(state_, document_, central);
    connect(general_, &GeneralPanel::bandChosen, this, &MainWindow::changeBand);
    layout->addWidget(general_);

    channelFrame_ = new QGroupBox(central);
    channelFrame_->setObjectName(QStringLiteral("fraMemChannel"));
    auto *frameLayout = new QVBoxLayout(channelFrame_);
    grid_ = new ChannelGrid(state_, document_, *channels_, channelFrame_);
    frameLayout->addWidget(grid_);
    layout->addWidget(channelFrame_, 1);
    connect(grid_, &ChannelGrid::copyRequested, this,
            [this](int mode, int channel) { channels_->copy(this, mode, channel); });
    connect(grid_, &ChannelGrid::memoryMapRequested, this, &MainWindow::showMemoryMap);

    // Many window managers take Shift+Ctrl+Alt with a mouse button for moving windows, so
    // the memory map's gesture also has keys.
    auto *memoryMapKeys = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::ALT | Qt::Key_M), this);
    memoryMapKeys->setObjectName(QStringLiteral("memoryMapShortcut"));
    connect(memoryMapKeys, &QShortcut::activated, grid_, &ChannelGrid::memoryMapRequested);

    setTabOrder(general_->bandList(), grid_);
}

void MainWindow::applyCaptions()
{
    const LanguageMode lang = state_.language;
    document_.setLanguage(lang);
    updateTitle();
    for (const MenuTitle &title : kMenuTitles) {
        if (auto *menu = findChild<QMenu *>(QString::fromLatin1(title.name)))
            menu->setTitle(TableText(title.textId, lang));
    }
    actions_->applyCaptions(lang);
    updateUndoCaptions();
    general_->applyCaptions();
    channelFrame_->setTitle(TableText(text_id::kMemoryChannel, lang));
    grid_->applyCaptions();
    gridCommands_->applyCaptions();
}

void MainWindow::applyLanguage()
{
    UseQtTranslations(state_.language);
    applyCaptions();
    grid_->showAllRows();
}

void MainWindow::setPortOverride(const QString &device)
{
    transfer_->setPortOverride(device);
}

QString MainWindow::portName() const
{
    return transfer_->portName();
}

void MainWindow::closeCellEditor()
{
    grid_->closeCellEditor();
}

void MainWindow::focusGrid(int row, int column)
{
    grid_->setCurrentCell(row, column);
    focusGrid();
}

void MainWindow::focusGrid()
{
    grid_->focusTable();
}

void MainWindow::showStatus(const QString &text, int timeoutMs)
{
    statusBar()->showMessage(text, timeoutMs);
}

void MainWindow::updateTitle()
{
    QString title = QString::fromStdString(ComposeTitle(document_.fileName(), document_.band(), state_.language));
    // The marker follows the file name: "[File Name: a.dat*]" while there are unsaved changes.
    title.insert(title.size() - 1, QStringLiteral("[*]"));
    setWindowTitle(title);
    setWindowModified(document_.isModified());
}

void MainWindow::updateUndoCaptions()
{
    const LanguageMode lang = state_.language;
    const QUndoStack &stack = document_.undoStack();
    auto caption = [lang](QAction *action, bool can, const QString &name, int menu, int menuNamed, int tip,
                          int tipNamed) {
        action->setText(can ? TableText(menuNamed, lang).arg(name) : TableText(menu, lang));
        action->setToolTip(can ? TableText(tipNamed, lang).arg(name) : TableText(tip, lang));
    };
    actions_->updateEnabled();
    caption(actions_->action(QStringLiteral("mnuEdit_Undo")), stack.canUndo(), stack.undoText(), kUndoMenu, kUndoMenuNamed, kUndoTip, kUndoTipNamed);
    caption(actions_->action(QStringLiteral("mnuEdit_Redo")), stack.canRedo(), stack.redoText(), kRedoMenu, kRedoMenuNamed, kRedoTip, kRedoTipNamed);
}

// A band change starts a new memory for the band: the save question first when there are
// unsaved changes, then the clear question (Cancel by default). It is one undo step.
bool MainWindow::askBandChange()
{
    const LanguageMode lang = state_.language;
    if (document_.isModified()) {
        const auto answer = prompts_.message(this, TextMessage(text_id::kFileNotSavedSaveNow, lang, ProductTitle(), QMessageBox::Warning,
                                                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !file_->save()))
            return false;
    }
    return prompts_.message(this, TextMessage(text_id::kFrequencyDataWillBeCleared, lang, ProductTitle(), QMessageBox::Warning,
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)) ==
           QMessageBox::Ok;
}

void MainWindow::changeBand(int index)
{
    closeCellEditor();
    if (!askBandChange())
        return;
    const Band band = BandFromRow(index);
    document_.changeBand(CommandStep(command_text::kChangeBand, QString::fromStdString(band.text)),
                         FreshImage(document_.image(), band), band, std::string(kUntitled));
    grid_->setCurrentCell(1, 1);
}

void MainWindow::showMemoryMap()
{
    // One memory map at a time; a second gesture brings it forward.
    if (auto *open = findChild<MemoryMapDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto *map = new MemoryMapDialog(document_, this);
    map->setAttribute(Qt::WA_DeleteOnClose);
    connect(map, &MemoryMapDialog::bytesChosen, this, &MainWindow::applyMemoryMap);
    map->show();
}

void MainWindow::applyMemoryMap(const std::map<int, std::uint8_t> &bytes)
{
    document_.apply(CommandStep(command_text::kMemoryMap), [&](MemoryImage &image) {
        for (const auto &[address, value] : bytes)
            image.set(address, value);
    });
}

void MainWindow::newFile()
{
    closeCellEditor();
    file_->newDocument();
}

void MainWindow::openFromDialog()
{
    closeCellEditor();
    if (file_->openDataFile())
        rememberDocument();
}

void MainWindow::undo()
{
    // An open entry is committed first, so undo takes back the latest change.
    closeCellEditor();
    document_.undoStack().undo();
}

void MainWindow::redo()
{
    closeCellEditor();
    document_.undoStack().redo();
}

void MainWindow::save()
{
    if (file_->save())
        rememberDocument();
}

void MainWindow::saveAs()
{
    if (file_->saveAs())
        rememberDocument();
}

bool MainWindow::openFile(const QString &path)
{
    closeCellEditor();
    if (!file_->openDataFile(QFileInfo(path).absoluteFilePath()))
        return false;
    rememberDocument();
    return true;
}

// path is a copy: the list it comes from changes on the way.
void MainWindow::openRecent(QString path)
{
    if (!QFileInfo(path).isFile()) {
        closeCellEditor();
        recent_->remove(path);
        PromptMessage m;
        m.textId = text_id::kRecentFileGone;
        m.text = TableText(text_id::kRecentFileGone, state_.language).arg(QDir::toNativeSeparators(path));
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(this, m);
        return;
    }
    openFile(path);
}

void MainWindow::rememberDocument()
{
    recent_->add(QString::fromStdString(document_.fileName()));
}

void MainWindow::print()
{
    closeCellEditor();
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    PrintDialog dialog(state_, document_, prompts_, this, printer_.get());
    dialog.exec();
}

void MainWindow::editOptionalFeatures()
{
    closeCellEditor();
    OptFeaturesDialog dialog(state_, document_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const OptionalFeatures features = dialog.shownFeatures();
    document_.apply(CommandStep(command_text::kOptionalFeatures),
                    [&](MemoryImage &image) { EncodeOptionalFeatures(image, features); });
}

// The port chosen in an earlier run, as it was chosen: a port number again where its name is
// one now, else the device by its name. The adapter it was is checked at once (a line in the
// status bar) and again before each transfer.
void MainWindow::restoreChosenPort()
{
    const ChosenPortSetting stored = LoadChosenPort(settings_);
    if (stored.name.isEmpty())
        return;
    int number = 0;
    for (const CommPortChoice &port : CommPortChoices()) {
        if (SamePortName(port.systemName, stored.name)) {
            number = port.number;
            break;
        }
    }
    transfer_->setChosenPort(number, stored.name, stored.adapter);
    if (!stored.adapter.isKnown())
        return;
    // Once the program's own start is over: a device named on its command line replaces the
    // chosen port, and then nothing is said about it.
    QTimer::singleShot(0, this, [this] {
        const QString change = transfer_->portChange(ListSerialPorts());
        if (!change.isEmpty()) {
            portChangeShown_ = QString(change).replace(QLatin1Char('\n'), QLatin1Char(' '));
            showStatus(portChangeShown_, 0);
        }
    });
}

void MainWindow::choosePort()
{
    closeCellEditor();
    const QList<CommPortChoice> ports = CommPortChoices(); // lists the system's ports once
    QStringList devices;
    QList<CommPortOption> options;
    // A device in use that no numbered port stands for (zrk6 --port, one typed or remembered) is
    // listed first and stays chosen unless another is; one that a number stands for is that number.
    const QString inUse = transfer_->portOverride();
    if (!inUse.isEmpty()) {
        const auto numbered = std::find_if(ports.begin(), ports.end(),
                                           [&inUse](const CommPortChoice &port) { return SamePortName(port.systemName, inUse); });
        if (numbered != ports.end()) {
            state_.commPortNumber = numbered->number;
        } else {
            devices << inUse;
            options.append(CommPortOption{0, inUse, QString()});
        }
    }
    for (const CommPortChoice &port : ports) {
        devices << port.systemName;
        options.append(CommPortOption{port.number, port.systemName, port.description});
    }
    CableFactSources sources;
    sources.openPorts = false; // the dialog lists; opening a port can take seconds
    const CableFacts facts = GatherCableFacts(sources, devices);
    const LanguageMode lang = state_.language;
    CommPortDialog dialog(state_, options, this, [&facts, lang](const QString &device) {
        return DiagnosisLines(DiagnoseCable(facts, lang, device), lang);
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The choice replaces the device given on the command line, and is kept with the adapter it
    // is now (OK without a change takes the adapter plugged in now as the chosen one).
    const QString device = dialog.chosenDevice();
    const PortIdentity adapter = IdentityOf(device, ListSerialPorts());
    transfer_->setChosenPort(dialog.chosenNumber(), device, adapter);
    SaveChosenPort(settings_, ChosenPortSetting{device, adapter});
    // What the start said about the port no longer stands.
    if (!portChangeShown_.isEmpty() && statusBar()->currentMessage() == portChangeShown_)
        statusBar()->clearMessage();
    portChangeShown_.clear();
}

void MainWindow::chooseLanguage()
{
    const LanguageMode before = state_.language;
    closeCellEditor();
    // The keyboard goes back where it was (the grid, mostly) once the texts are redone.
    const QPointer<QWidget> focused = focusWidget();
    LanguageDialog dialog(state_, this);
    dialog.exec();
    if (state_.language != before)
        applyLanguage();
    if (focused != nullptr && focused->isVisible())
        focused->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showAbout()
{
    closeCellEditor();
    AboutDialog dialog(state_.language, this);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!startupFailed_) {
        closeCellEditor();
        if (document_.isModified()) {
            const auto answer = prompts_.message(
                this, TextMessage(text_id::kFileNotSavedSaveNow, state_.language, ProductTitle(), QMessageBox::Warning,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
            // A save that fails or is cancelled keeps the window open: the changes are not lost.
            if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !file_->save())) {
                event->ignore();
                return;
            }
        }
    }
    writeSettings();
    event->accept();
}

void MainWindow::writeSettings()
{
    const MemoryImage &image = document_.image();
    settings_.SaveRegValue(QStringLiteral("LastModel"), QString::number(image.at(addr::kModel)));
    settings_.SaveRegValue(QStringLiteral("LastFreq"), QString::number(image.at(addr::kBandVariant)));
    settings_.SaveRegValue(QStringLiteral("language"), QString::number(state_.language));
    settings_.SaveRegValue(QStringLiteral("WindowGeometry"), QString::fromLatin1(saveGeometry().toBase64()));
    recent_->save();
}

} // namespace zrk6
