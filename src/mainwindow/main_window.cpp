#include "mainwindow/main_window.h"

#include <exception>

#include <QAction>
#include <QApplication>
#include <QClipboard>
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
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/about_dialog.h"
#include "dialogs/comm_port_dialog.h"
#include "dialogs/copy_dialog.h"
#include "dialogs/fleet_dialog.h"
#include "dialogs/language_dialog.h"
#include "dialogs/memory_map_dialog.h"
#include "dialogs/opt_features_dialog.h"
#include "dialogs/print_dialog.h"
#include "link/cable_doctor.h"
#include "link/port_names.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_list_commands.h"
#include "mainwindow/command_names.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/general_panel.h"
#include "mainwindow/grid_commands.h"
#include "mainwindow/twips.h"
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

struct Caption {
    const char *objectName;
    int textId;
};

// The menus and their items, in the order ApplyCaptions sets them.
constexpr Caption kMenuCaptions[] = {
    {"mnuFile", text_id::kFileMenu},          {"mnuFile_New", text_id::kNewMenu},         {"mnuFile_Open", text_id::kOpenMenu},
    {"mnuFile_Save", text_id::kSaveMenu},     {"mnuFile_SaveAs", text_id::kSaveAsMenu},      {"mnuFile_Print", text_id::kPrintMenu},
    {"mnuFile_Exit", text_id::kExitMenu},     {"mnuFile_ImportChannels", text_id::kImportChannelsMenu}, {"mnuFile_ExportChannels", text_id::kExportChannelsMenu},
    {"mnuEdit", text_id::kEditMenu},          {"mnuEdit_CopyChannels", text_id::kCopyChannelsMenu}, {"mnuEdit_PasteChannels", text_id::kPasteChannelsMenu},             {"mnuProgram", text_id::kProgramMenu},          {"mnuProgram_Read", text_id::kReadFromRadioMenu},
    {"mnuProgram_Write", text_id::kWriteToRadioMenu}, {"mnuProgram_WriteChannels", text_id::kWriteChannelsOnlyMenu}, {"mnuProgram_OptFeatures", text_id::kOptionalFeaturesMenu}, {"mnuSetup", text_id::kSetupMenu},
    {"mnuSetup_CommPort", text_id::kCommunicationPortMenu}, {"mnuSetup_Lang", text_id::kLanguageSetupMenu}, {"mnuSetup_TxFollowsRx", text_id::kTxFollowsRxMenu},      {"mnuHelp", text_id::kHelpMenu},
    {"mnuHelp_About", text_id::kAboutMenu},
    {"mnuProgram_Fleet", text_id::kProgramSeveralRadiosMenu},
};

struct ToolButton {
    const char *key;
    int tooltipId;
    const char *icon;
};

// The buttons of tlbActions; a null key is a separator. Undo and Redo are the Edit menu's
// own actions, whose captions follow the undo stack.
constexpr ToolButton kToolButtons[] = {
    {"New", text_id::kNewTip, "new"},     {"Open", text_id::kOpenTip, "open"},   {"Save", text_id::kSaveTip, "save"},
    {"Print", text_id::kPrintTip, "print"}, {nullptr, 0, nullptr},    {"Undo", 0, "undo"},
    {"Redo", 0, "redo"},      {nullptr, 0, nullptr},    {"Read", text_id::kReadTip, "read"},
    {"Write", text_id::kWriteTip, "write"}, {nullptr, 0, nullptr},    {"About", text_id::kAboutMenu, "about"},
};

// Edit menu and toolbar texts of Undo and Redo: without and with the name of the step.
constexpr int kUndoMenu = text_id::kUndoMenu;
constexpr int kRedoMenu = text_id::kRedoMenu;
constexpr int kUndoMenuNamed = text_id::kUndoMenuNamed;
constexpr int kRedoMenuNamed = text_id::kRedoMenuNamed;
constexpr int kUndoTip = text_id::kUndoTip;
constexpr int kRedoTip = text_id::kRedoTip;
constexpr int kUndoTipNamed = text_id::kUndoTipNamed;
constexpr int kRedoTipNamed = text_id::kRedoTipNamed;

// Design rectangles in twips.
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 11055;
constexpr int kGeneralTop = 120;
constexpr int kGeneralHeight = 855;
constexpr int kChannelTop = 1080;
constexpr int kChannelHeight = 5655;
constexpr int kGridLeft = 120;
constexpr int kGridTop = 240;
constexpr int kGridWidth = 10890;
constexpr int kGridHeight = 5235;
constexpr int kPicMainMarginX = 20;
constexpr int kPicMainMarginY = 680;

} // namespace

frmMain::frmMain(AppState &state, Prompts &prompts, SettingsStore &settings, QWidget *parent)
    : QMainWindow(parent), state_(state), prompts_(prompts), settings_(settings)
{
    InitMainWindowResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zrk6.png")));
    channels_ = std::make_unique<ChannelCommands>(state_, document_, prompts_);
    file_ = std::make_unique<FileCommands>(state_, document_, prompts_, *this);
    lists_ = std::make_unique<ChannelListCommands>(state_, document_, prompts_, *this);
    transfer_ = std::make_unique<TransferCommands>(state_, document_, prompts_, *this);
    connect(&document_, &ImageDocument::replaced, this, &frmMain::updateTitle);
    connect(&document_, &ImageDocument::bandChanged, this, &frmMain::updateTitle);
    connect(&document_, &ImageDocument::fileNameChanged, this, &frmMain::updateTitle);
    connect(&document_, &ImageDocument::modifiedChanged, this, &frmMain::updateTitle);
    safety_ = new SafetyCommands(state_, document_, prompts_, settings_, *this, *this);
    transfer_->setSafety(safety_);
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

frmMain::~frmMain() = default;

int frmMain::twipsX(int twips) const
{
    return TwipsToPixels(twips, logicalDpiX());
}

int frmMain::twipsY(int twips) const
{
    return TwipsToPixels(twips, logicalDpiY());
}

void frmMain::startUp()
{
    MemoryImage image;
    image.set(addr::kModel, kStartupModelByte);
    image.set(addr::kBandVariant,
              static_cast<std::uint8_t>(BandVariantFromSetting(settings_.GetRegValue(QStringLiteral("LastFreq")))));
    state_.language = LanguageFromSetting(settings_.GetRegValue(QStringLiteral("Language")));
    UseQtTranslations(state_.language);
    state_.commPortNumber = 1;

    buildMenus();
    buildToolbar();
    buildStatusBar();
    buildPanels();
    gridCommands_ = new GridCommands(*this, findChild<QMenu *>(QStringLiteral("mnuEdit")));
    AnnounceStatusMessages(statusBar());
    InstallPaneCycling(this, {grid_, general_, tlbActions_});

    general_->fillLists();

    const Band band = ReadBandFromImage(image);
    BuildDefaultImage(image, band);
    document_.replace(NormaliseImage(image, band), band, std::string(kUntitled));
    applyCaptions();
    // The keyboard starts on the grid, where its first cell shows as current.
    grid_->setFocus();

    // Big enough for the design layout below the toolbar and above the status bar.
    const int chrome = menuBar()->sizeHint().height() + tlbActions_->sizeHint().height() +
                       statusBar()->sizeHint().height();
    designSize_ = QSize(twipsX(kFrameLeft * 2 + kFrameWidth + kPicMainMarginX),
                        chrome + twipsY(kChannelTop + kChannelHeight + 120) + generalGrowth() + channelTitleGrowth());
    resize(designSize_);
    restoreGeometry(QByteArray::fromBase64(settings_.GetRegValue(QStringLiteral("WindowGeometry")).toLatin1()));
}

void frmMain::buildMenus()
{
    auto addAction = [this](QMenu *menu, const char *name, const QKeySequence &shortcut, void (frmMain::*slot)()) {
        QAction *action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto addSeparator = [](QMenu *menu, const char *name) {
        QAction *separator = menu->addSeparator();
        separator->setObjectName(QString::fromLatin1(name));
        return separator;
    };
    auto addMenu = [this](const char *name) {
        QMenu *menu = menuBar()->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    QMenu *file = addMenu("mnuFile");
    addAction(file, "mnuFile_New", QKeySequence(Qt::CTRL | Qt::Key_N), &frmMain::mnuFile_New_Click);
    addAction(file, "mnuFile_Open", QKeySequence(Qt::CTRL | Qt::Key_O), &frmMain::mnuFile_Open_Click);
    addAction(file, "mnuFile_Save", QKeySequence(Qt::CTRL | Qt::Key_S), &frmMain::mnuFile_Save_Click);
    addAction(file, "mnuFile_SaveAs", {}, &frmMain::mnuFile_SaveAs_Click);
    addSeparator(file, "mnuFile_Bar3");
    addAction(file, "mnuFile_ImportChannels", {}, &frmMain::mnuFile_ImportChannels_Click);
    addAction(file, "mnuFile_ExportChannels", {}, &frmMain::mnuFile_ExportChannels_Click);
    addSeparator(file, "mnuFile_Bar1");
    addAction(file, "mnuFile_Print", QKeySequence(Qt::CTRL | Qt::Key_P), &frmMain::mnuFile_Print_Click);
    addSeparator(file, "mnuFile_Bar2");
    QAction *exit = addAction(file, "mnuFile_Exit", {}, &frmMain::mnuFile_Exit_Click);
    recent_ = new RecentFiles(settings_, file, exit, this);
    connect(recent_, &RecentFiles::chosen, this, &frmMain::openRecent);

    QMenu *edit = addMenu("mnuEdit");
    undo_ = addAction(edit, "mnuEdit_Undo", QKeySequence(Qt::CTRL | Qt::Key_Z), &frmMain::mnuEdit_Undo_Click);
    redo_ = addAction(edit, "mnuEdit_Redo", QKeySequence(Qt::CTRL | Qt::Key_Y), &frmMain::mnuEdit_Redo_Click);
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo_->setIcon(QIcon(QStringLiteral(":/icons/undo.png")));
    redo_->setIcon(QIcon(QStringLiteral(":/icons/redo.png")));
    addSeparator(edit, "mnuEdit_Bar1");
    addAction(edit, "mnuEdit_CopyChannels", QKeySequence::Copy, &frmMain::mnuEdit_CopyChannels_Click);
    addAction(edit, "mnuEdit_PasteChannels", QKeySequence::Paste, &frmMain::mnuEdit_PasteChannels_Click);
    QUndoStack &stack = document_.undoStack();
    connect(&stack, &QUndoStack::indexChanged, this, &frmMain::updateUndoCaptions);
    connect(&stack, &QUndoStack::cleanChanged, this, &frmMain::updateUndoCaptions);

    QMenu *program = addMenu("mnuProgram");
    addAction(program, "mnuProgram_Read", QKeySequence(Qt::CTRL | Qt::Key_R), &frmMain::mnuProgram_Read_Click);
    addSeparator(program, "mnuProgram_Bar1");
    addAction(program, "mnuProgram_Write", QKeySequence(Qt::CTRL | Qt::Key_W), &frmMain::mnuProgram_Write_Click);
    addAction(program, "mnuProgram_WriteChannels", {}, &frmMain::mnuProgram_WriteChannels_Click);
    addAction(program, "mnuProgram_Fleet", {}, &frmMain::mnuProgram_Fleet_Click);
    addSeparator(program, "mnuProgram_Bar2");
    addAction(program, "mnuProgram_OptFeatures", {}, &frmMain::mnuProgram_OptFeatures_Click);

    QMenu *setup = addMenu("mnuSetup");
    addAction(setup, "mnuSetup_CommPort", {}, &frmMain::mnuSetup_CommPort_Click);
    addAction(setup, "mnuSetup_Lang", {}, &frmMain::mnuSetup_Lang_Click);
    // Off unless the user turned it on; kept in the settings.
    QAction *txFollowsRx = setup->addAction(QString());
    txFollowsRx->setObjectName(QStringLiteral("mnuSetup_TxFollowsRx"));
    txFollowsRx->setCheckable(true);
    txFollowsRx->setChecked(settings_.GetRegValue(QStringLiteral("TxFollowsRx")) == QLatin1String("1"));
    channels_->setTxFollowsRx(txFollowsRx->isChecked());
    connect(txFollowsRx, &QAction::toggled, this, [this](bool on) {
        channels_->setTxFollowsRx(on);
        settings_.SaveRegValue(QStringLiteral("TxFollowsRx"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });

    QMenu *help = addMenu("mnuHelp");
    addAction(help, "mnuHelp_About", {}, &frmMain::mnuHelp_About_Click);

    safety_->addMenuItems(file, program, setup);
}

void frmMain::buildToolbar()
{
    tlbActions_ = new QToolBar(this);
    tlbActions_->setObjectName(QStringLiteral("tlbActions"));
    tlbActions_->setMovable(false);
    tlbActions_->setFloatable(false);
    tlbActions_->setIconSize(QSize(24, 24));
    tlbActions_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tlbActions_->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the toolbar
    addToolBar(Qt::TopToolBarArea, tlbActions_);
    for (const ToolButton &button : kToolButtons) {
        if (button.key == nullptr) {
            tlbActions_->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(button.key);
        if (button.tooltipId == 0) {
            QAction *shared = key == QLatin1String("Undo") ? undo_ : redo_;
            tlbActions_->addAction(shared);
            if (QWidget *widget = tlbActions_->widgetForAction(shared))
                widget->setObjectName(QStringLiteral("tlbActions_") + key);
            continue;
        }
        QAction *action = tlbActions_->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(button.icon))), key);
        action->setObjectName(QStringLiteral("tlbActions_") + key);
        action->setData(key);
        if (QWidget *widget = tlbActions_->widgetForAction(action))
            widget->setObjectName(QStringLiteral("tlbActions_") + key);
        connect(action, &QAction::triggered, this, [this, key] { tlbActions_ButtonClick(key); });
    }
    // Tab and F6 reach the buttons too, for those who cannot use a mouse.
    for (QToolButton *button : tlbActions_->findChildren<QToolButton *>())
        button->setFocusPolicy(Qt::TabFocus);
}

void frmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("staDateTime"));
    bar->setSizeGripEnabled(true);
    staDate_ = new QLabel(bar);
    staDate_->setObjectName(QStringLiteral("Date"));
    staTime_ = new QLabel(bar);
    staTime_->setObjectName(QStringLiteral("Time"));
    for (QLabel *panel : {staDate_, staTime_}) {
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumWidth(twipsX(1500));
        bar->addPermanentWidget(panel);
    }
    updateDateTime();
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmMain::updateDateTime);
    clock->start(1000);
}

void frmMain::updateDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    staDate_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    staTime_->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmMain::buildPanels()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    picMain_ = new QWidget(central);
    picMain_->setObjectName(QStringLiteral("picMain"));

    general_ = new GeneralPanel(state_, document_, picMain_);
    general_->setGeometry(twipsX(kFrameLeft), twipsY(kGeneralTop), twipsX(kFrameWidth), twipsY(kGeneralHeight));
    connect(general_, &GeneralPanel::bandChosen, this, &frmMain::changeBand);

    fraMemChannel_ = new QGroupBox(picMain_);
    fraMemChannel_->setObjectName(QStringLiteral("fraMemChannel"));
    fraMemChannel_->setGeometry(twipsX(kFrameLeft), twipsY(kChannelTop), twipsX(kFrameWidth), twipsY(kChannelHeight));
    grid_ = new ChannelGrid(state_, document_, *channels_, fraMemChannel_);
    grid_->setGeometry(twipsX(kGridLeft), twipsY(kGridTop), twipsX(kGridWidth), twipsY(kGridHeight));
    connect(grid_, &ChannelGrid::copyRequested, this,
            [this](int mode, int channel) { channels_->copy(this, mode, channel); });
    connect(grid_, &ChannelGrid::memoryMapRequested, this, &frmMain::showMemoryMap);

    // Many window managers take Shift+Ctrl+Alt with a mouse button for moving windows, so
    // the memory map's gesture also has keys.
    auto *memoryMapKeys = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::ALT | Qt::Key_M), this);
    memoryMapKeys->setObjectName(QStringLiteral("memoryMapShortcut"));
    connect(memoryMapKeys, &QShortcut::activated, grid_, &ChannelGrid::memoryMapRequested);

    setTabOrder(general_->bandList(), grid_);
}

void frmMain::layoutPicMain()
{
    if (picMain_ == nullptr || isMinimized())
        return;
    const int clientWidth = width();
    const int clientHeight = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    const int margin = twipsY(kPicMainMarginY);
    picMain_->setGeometry(0, 0, std::max(0, clientWidth - twipsX(kPicMainMarginX)),
                          clientHeight <= margin ? 0 : clientHeight - margin);
    const int growth = generalGrowth();
    general_->resize(general_->width(), twipsY(kGeneralHeight) + growth);
    fraMemChannel_->move(fraMemChannel_->x(), twipsY(kChannelTop) + growth);
    const int titleGrowth = channelTitleGrowth();
    grid_->move(twipsX(kGridLeft), twipsY(kGridTop) + titleGrowth);

    // The channel frame and its grid take what the window has beyond its design size.
    if (designSize_.isEmpty())
        return;
    const QSize extra = size() - designSize_;
    auto grown = [&extra](int width, int height) {
        return QSize(std::max(width / 3, width + extra.width()), std::max(height / 3, height + extra.height()));
    };
    fraMemChannel_->resize(grown(twipsX(kFrameWidth), twipsY(kChannelHeight) + titleGrowth));
    const QSize gridDesign(twipsX(kGridWidth), twipsY(kGridHeight));
    grid_->resize(grid_->fitSize(gridDesign, grown(gridDesign.width(), gridDesign.height())));
}

int frmMain::generalGrowth() const
{
    // A large font needs a taller band panel; the channel frame moves down to make room.
    return std::max(0, general_->minimumSizeHint().height() - twipsY(kGeneralHeight));
}

int frmMain::channelTitleGrowth() const
{
    // The grid starts below the channel frame's title, however large its font.
    return std::max(0, fraMemChannel_->fontMetrics().height() - twipsY(kGridTop));
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutPicMain();
}

void frmMain::applyCaptions()
{
    const LanguageMode lang = state_.language;
    document_.setLanguage(lang);
    updateTitle();
    for (const Caption &caption : kMenuCaptions) {
        const QString name = QString::fromLatin1(caption.objectName);
        if (auto *menu = findChild<QMenu *>(name))
            menu->setTitle(TableText(caption.textId, lang));
        else if (auto *action = findChild<QAction *>(name))
            action->setText(TableText(caption.textId, lang));
    }
    for (const ToolButton &button : kToolButtons) {
        if (button.key == nullptr)
            continue;
        // The About button shows the menu text, ampersand and all.
        if (auto *action = findChild<QAction *>(QStringLiteral("tlbActions_") + QLatin1String(button.key)))
            action->setToolTip(TableText(button.tooltipId, lang));
    }
    updateUndoCaptions();
    safety_->applyCaptions();
    general_->applyCaptions();
    fraMemChannel_->setTitle(TableText(text_id::kMemoryChannel, lang));
    grid_->applyCaptions();
    if (gridCommands_ != nullptr)
        gridCommands_->applyCaptions();
    layoutPicMain(); // the columns may have changed width with the texts
}

void frmMain::applyLanguage()
{
    UseQtTranslations(state_.language);
    applyCaptions();
    grid_->showAllRows();
}

void frmMain::setPortOverride(const QString &device)
{
    transfer_->setPortOverride(device);
}

QString frmMain::portName() const
{
    return transfer_->portName();
}

void frmMain::closeCellEditor()
{
    grid_->closeCellEditor();
}

void frmMain::focusGrid(int row, int column)
{
    grid_->setCurrentCell(row, column);
    focusGrid();
}

void frmMain::showStatus(const QString &text)
{
    statusBar()->showMessage(text);
}

void frmMain::focusGrid()
{
    grid_->setFocus();
}

void frmMain::updateTitle()
{
    QString title = QString::fromStdString(ComposeTitle(document_.fileName(), document_.band(), state_.language));
    // The marker follows the file name: "[File Name: a.dat*]" while there are unsaved changes.
    title.insert(title.size() - 1, QStringLiteral("[*]"));
    setWindowTitle(title);
    setWindowModified(document_.isModified());
}

void frmMain::updateUndoCaptions()
{
    const LanguageMode lang = state_.language;
    const QUndoStack &stack = document_.undoStack();
    auto caption = [lang](QAction *action, bool can, const QString &name, int menu, int menuNamed, int tip,
                          int tipNamed) {
        action->setEnabled(can);
        action->setText(can ? TableText(menuNamed, lang).arg(name) : TableText(menu, lang));
        action->setToolTip(can ? TableText(tipNamed, lang).arg(name) : TableText(tip, lang));
    };
    caption(undo_, stack.canUndo(), stack.undoText(), kUndoMenu, kUndoMenuNamed, kUndoTip, kUndoTipNamed);
    caption(redo_, stack.canRedo(), stack.redoText(), kRedoMenu, kRedoMenuNamed, kRedoTip, kRedoTipNamed);
}

// A band change starts a new memory for the band: the save question first when there are
// unsaved changes, then the clear question (Cancel by default). It is one undo step.
bool frmMain::askBandChange()
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

void frmMain::changeBand(int index)
{
    closeCellEditor();
    if (!askBandChange())
        return;
    const Band band = BandFromRow(index);
    MemoryImage image = document_.image();
    BuildDefaultImage(image, band);
    document_.changeBand(CommandStep(command_text::kChangeBand, QString::fromStdString(band.text)),
                         NormaliseImage(image, band), band, std::string(kUntitled));
    grid_->setCurrentCell(1, 1);
}

void frmMain::showMemoryMap()
{
    // One memory map at a time; a second gesture brings it forward.
    if (auto *open = findChild<MemoryMapDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto *map = new MemoryMapDialog(document_, this);
    map->setAttribute(Qt::WA_DeleteOnClose);
    connect(map, &MemoryMapDialog::bytesChosen, this, &frmMain::applyMemoryMap);
    map->show();
}

void frmMain::applyMemoryMap(const std::map<int, std::uint8_t> &bytes)
{
    document_.apply(CommandStep(command_text::kMemoryMap), [&](MemoryImage &image) {
        for (const auto &[address, value] : bytes)
            image.set(address, value);
    });
}

void frmMain::mnuFile_New_Click()
{
    closeCellEditor();
    file_->newDocument();
}

void frmMain::mnuFile_Open_Click()
{
    closeCellEditor();
    if (file_->openDataFile())
        rememberDocument();
}

void frmMain::mnuFile_ImportChannels_Click()
{
    lists_->importChannels();
}

void frmMain::mnuFile_ExportChannels_Click()
{
    lists_->exportChannels();
}

void frmMain::mnuEdit_CopyChannels_Click()
{
    closeCellEditor();
    QApplication::clipboard()->setText(lists_->copyText(grid_->selectedChannels()));
}

void frmMain::mnuEdit_PasteChannels_Click()
{
    closeCellEditor();
    const QString text = QApplication::clipboard()->text();
    // Over selected rows the channels go from the first of them.
    const std::vector<int> rows = grid_->view().selectedRows();
    if (rows.empty() && grid_->pasteValue(text))
        return;
    if (!text.isEmpty())
        lists_->paste(rows.empty() ? state_.currentChannel : rows.front(), text);
}

void frmMain::mnuEdit_Undo_Click()
{
    // An open entry is committed first, so undo takes back the latest change.
    closeCellEditor();
    document_.undoStack().undo();
}

void frmMain::mnuEdit_Redo_Click()
{
    closeCellEditor();
    document_.undoStack().redo();
}

void frmMain::mnuFile_Save_Click()
{
    if (file_->save())
        rememberDocument();
}

void frmMain::mnuFile_SaveAs_Click()
{
    if (file_->saveAs())
        rememberDocument();
}

bool frmMain::openFile(const QString &path)
{
    closeCellEditor();
    if (!file_->openDataFile(QFileInfo(path).absoluteFilePath()))
        return false;
    rememberDocument();
    return true;
}

// path is a copy: the list it comes from changes on the way.
void frmMain::openRecent(QString path)
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

void frmMain::rememberDocument()
{
    recent_->add(QString::fromStdString(document_.fileName()));
}

void frmMain::mnuFile_Print_Click()
{
    closeCellEditor();
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    PrintDialog dialog(state_, document_, prompts_, this, printer_.get());
    dialog.exec();
}

void frmMain::mnuFile_Exit_Click()
{
    closeCellEditor();
    close();
}

void frmMain::mnuProgram_Read_Click()
{
    transfer_->read();
}

void frmMain::mnuProgram_Write_Click()
{
    transfer_->write();
}

void frmMain::mnuProgram_WriteChannels_Click()
{
    transfer_->writeChannelsOnly();
}

void frmMain::mnuProgram_Fleet_Click()
{
    closeCellEditor();
    FleetDialog::Setup setup;
    setup.plan = document_.image(); // a copy: the fleet never changes the document
    setup.ports = ListSerialPorts();
    setup.extraPort = transfer_->portOverride();
    if (fleetLog_.isEmpty()) {
        // The documents folder when there is one; the log is a record the user keeps.
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        fleetLog_ = QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath())
                        .filePath(QStringLiteral("fleet-log.csv"));
    }
    setup.logFile = fleetLog_;
    setup.backup = safety_->backupsEnabled();
    setup.backupFolder = safety_->backupFolder();
    FleetDialog dialog(std::move(setup), state_.language, prompts_, this);
    dialog.exec();
    fleetLog_ = dialog.logFile(); // offered again next time in this run
}

void frmMain::mnuProgram_OptFeatures_Click()
{
    closeCellEditor();
    OptFeaturesDialog dialog(state_, document_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const OptionalFeatures features = dialog.shownFeatures();
    document_.apply(CommandStep(command_text::kOptionalFeatures),
                    [&](MemoryImage &image) { EncodeOptionalFeatures(image, features); });
}

void frmMain::mnuSetup_CommPort_Click()
{
    closeCellEditor();
    const QList<CommPortChoice> ports = CommPortChoices(); // lists the system's ports once
    QStringList devices;
    QList<CommPortOption> options;
    // The device given on the command line is listed first and stays chosen unless another is.
    const QString inUse = transfer_->portOverride();
    if (!inUse.isEmpty()) {
        devices << inUse;
        options.append(CommPortOption{0, inUse, QString()});
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
    // A port chosen here replaces the device given on the command line.
    if (dialog.exec() == QDialog::Accepted && (inUse.isEmpty() || dialog.chosenDevice() != inUse))
        setPortOverride(QString());
}

void frmMain::mnuSetup_Lang_Click()
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

void frmMain::mnuHelp_About_Click()
{
    closeCellEditor();
    AboutDialog dialog(state_.language, this);
    dialog.exec();
}

void frmMain::tlbActions_ButtonClick(const QString &key)
{
    if (key == QLatin1String("New"))
        mnuFile_New_Click();
    else if (key == QLatin1String("Open"))
        mnuFile_Open_Click();
    else if (key == QLatin1String("Save"))
        mnuFile_Save_Click();
    else if (key == QLatin1String("Print"))
        mnuFile_Print_Click();
    else if (key == QLatin1String("Read"))
        mnuProgram_Read_Click();
    else if (key == QLatin1String("Write"))
        mnuProgram_Write_Click();
    else if (key == QLatin1String("About"))
        mnuHelp_About_Click();
    else if (key == QLatin1String("Undo"))
        mnuEdit_Undo_Click();
    else if (key == QLatin1String("Redo"))
        mnuEdit_Redo_Click();
}

void frmMain::closeEvent(QCloseEvent *event)
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

void frmMain::writeSettings()
{
    const MemoryImage &image = document_.image();
    settings_.SaveRegValue(QStringLiteral("LastModel"), QString::number(image.at(addr::kModel)));
    settings_.SaveRegValue(QStringLiteral("LastFreq"), QString::number(image.at(addr::kBandVariant)));
    settings_.SaveRegValue(QStringLiteral("language"), QString::number(state_.language));
    settings_.SaveRegValue(QStringLiteral("WindowGeometry"), QString::fromLatin1(saveGeometry().toBase64()));
    recent_->save();
}

} // namespace zrk6
