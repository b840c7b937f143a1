#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include <QMainWindow>

#include "document/image_document.h"
#include "mainwindow/main_views.h"

class QGroupBox;
class QLabel;
class QPrinter;
class QToolBar;

namespace zrk6 {

struct AppState;
class ActionTable;
class ChannelCommands;
class ChannelListCommands;
class ChannelGrid;
class FileCommands;
class FleetCommands;
class GeneralPanel;
class GridCommands;
class Prompts;
class RecentFiles;
class SafetyCommands;
class SettingsStore;
class TransferCommands;

// The main window (objectName frmMain): menus, the toolbar tlbActions, the General panel, the
// channel grid and the status bar (the VFO block has no view: its rules are applied to every
// image shown, see NormaliseImage). It owns the document, its views and the action table; the
// commands live in one controller per use case (files, channel lists, transfers, grid, safety,
// fleet), each seeing the window only as MainViews. The views
// follow the document's signals.
class MainWindow : public QMainWindow, public MainViews {
    Q_OBJECT

public:
    // Runs the start-up sequence: settings, lists, captions, the default image.
    MainWindow(AppState &state, Prompts &prompts, SettingsStore &settings, QWidget *parent = nullptr);
    ~MainWindow() override;

    // True when start-up failed; the window then closes itself as soon as events run.
    bool startupFailed() const { return startupFailed_; }

    // Every caption in the current language, the title included (ApplyCaptions).
    void applyCaptions();
    // After a language change: captions and all rows follow the language.
    void applyLanguage();
    // Opens a data file as File, Open does, without a file dialog (zrk6 FILE, a recent
    // file); the usual message when it cannot. True when opened.
    bool openFile(const QString &path);
    // The serial device for this run (zrk6 --port), in place of the port chosen before; empty to
    // use the port number again.
    void setPortOverride(const QString &device);
    QString portName() const;

    ChannelGrid *channelGrid() const { return grid_; }
    GeneralPanel *generalPanel() const { return general_; }
    ImageDocument &document() { return document_; }
    FileCommands &fileCommands() { return *file_; }
    ChannelCommands &channelCommands() { return *channels_; }
    TransferCommands &transferCommands() { return *transfer_; }
    SafetyCommands &safetyCommands() { return *safety_; }
    GridCommands &gridCommands() { return *gridCommands_; }
    // Every command of the window, by its control name.
    ActionTable &actions() { return *actions_; }
    AppState &state() { return state_; }
    Prompts &prompts() { return prompts_; }
    SettingsStore &settings() { return settings_; }

    // MainViews
    QWidget *dialogParent() override { return this; }
    void closeCellEditor() override;
    void focusGrid(int row, int column) override;
    void focusGrid() override;
    void showStatus(const QString &text, int timeoutMs) override;
    // The title from the document, with the modified marker.
    void updateTitle();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startUp();
    // Registers the window's own commands in the action table.
    void registerCommands();
    void buildMenus();
    void updateUndoCaptions();
    void changeBand(int index);
    bool askBandChange();
    void showMemoryMap();
    void applyMemoryMap(const std::map<int, std::uint8_t> &bytes);
    void buildToolbar();
    void buildStatusBar();
    void buildPanels();
    void updateDateTime();
    void writeSettings();
    // The commands of the menus and the toolbar.
    void newFile();
    void openFromDialog();
    void save();
    void saveAs();
    void print();
    void undo();
    void redo();
    void editOptionalFeatures();
    void choosePort();
    void restoreChosenPort();
    void chooseLanguage();
    void showAbout();
    void openRecent(QString path);
    void rememberDocument();

    AppState &state_;
    Prompts &prompts_;
    SettingsStore &settings_;
    ImageDocument document_;
    std::unique_ptr<ChannelCommands> channels_;
    std::unique_ptr<FileCommands> file_;
    std::unique_ptr<ChannelListCommands> lists_;
    std::unique_ptr<TransferCommands> transfer_;
    std::unique_ptr<FleetCommands> fleet_;
    SafetyCommands *safety_ = nullptr; // owned by the window
    GridCommands *gridCommands_ = nullptr; // owned by the window

    GeneralPanel *general_ = nullptr;
    QGroupBox *channelFrame_ = nullptr;
    ChannelGrid *grid_ = nullptr;
    QToolBar *toolBar_ = nullptr;
    RecentFiles *recent_ = nullptr;
    ActionTable *actions_ = nullptr; // owned by the window
    QLabel *datePanel_ = nullptr;
    QLabel *timePanel_ = nullptr;
    bool startupFailed_ = false;
    QString portChangeShown_; // the status line that said the chosen adapter changed, until chosen again
    std::unique_ptr<QPrinter> printer_; // the printer and page setup the print dialog chose last
};

} // namespace zrk6
