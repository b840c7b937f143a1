#include "mainwindow/safety_commands.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QUrl>

#include "dialogs/differences_dialog.h"
#include "document/image_document.h"
#include "files/data_file_io.h"
#include "mainwindow/main_views.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "model/image_differences.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {

constexpr const char *kVerifySetting = "VerifyAfterWrite";
constexpr const char *kBackupSetting = "AutoBackup";

constexpr int kTextVerifyItem = text_id::kVerifyAfterWriteMenu;
constexpr int kTextBackupFolderItem = text_id::kOpenBackupFolderMenu;
constexpr int kTextBackupsItem = text_id::kAutomaticBackupsMenu;
constexpr int kTextCompareItem = text_id::kCompareWithFileMenu;
constexpr int kTextBackupFailed = text_id::kBackupNotSaved;
constexpr int kTextBackupSaved = text_id::kBackupSaved;
constexpr int kTextSame = text_id::kImagesSame;
constexpr int kTextCompareTitle = text_id::kCompareWithFile;
constexpr int kTextAllFiles = text_id::kAllFiles;

constexpr int kBackupNoteMs = 8000;

QAction *NamedAction(QObject *parent, const char *name, bool checkable)
{
    auto *action = new QAction(parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

} // namespace

SafetyCommands::SafetyCommands(AppState &state, ImageDocument &document, Prompts &prompts, SettingsStore &settings,
                               QMainWindow &window, MainViews &views)
    : QObject(&window), state_(state), document_(document), prompts_(prompts), settings_(settings), window_(window), views_(views),
      openUrl_([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
}

void SafetyCommands::addMenuItems(QMenu *file, QMenu *program, QMenu *setup)
{
    mnuFile_Compare_ = NamedAction(this, "mnuFile_Compare", false);
    connect(mnuFile_Compare_, &QAction::triggered, this, [this] {
        views_.closeCellEditor();
        compareWithFile();
    });
    const QList<QAction *> fileItems = file->actions();
    const qsizetype afterSaveAs = fileItems.indexOf(file->findChild<QAction *>(QStringLiteral("mnuFile_SaveAs")));
    file->insertAction(fileItems.value(afterSaveAs + 1), mnuFile_Compare_);

    mnuProgram_Verify_ = NamedAction(this, "mnuProgram_Verify", true);
    mnuProgram_Verify_->setChecked(setting(kVerifySetting));
    connect(mnuProgram_Verify_, &QAction::toggled, this, [this](bool on) { setSetting(kVerifySetting, on); });
    const QList<QAction *> programItems = program->actions();
    const qsizetype afterWrite =
        programItems.indexOf(program->findChild<QAction *>(QStringLiteral("mnuProgram_Write")));
    program->insertAction(programItems.value(afterWrite + 1), mnuProgram_Verify_);

    setup->addSeparator()->setObjectName(QStringLiteral("mnuSetup_BarBackups"));
    mnuSetup_Backups_ = NamedAction(this, "mnuSetup_Backups", true);
    mnuSetup_Backups_->setChecked(setting(kBackupSetting));
    connect(mnuSetup_Backups_, &QAction::toggled, this, [this](bool on) { setSetting(kBackupSetting, on); });
    setup->addAction(mnuSetup_Backups_);
    mnuSetup_BackupFolder_ = NamedAction(this, "mnuSetup_BackupFolder", false);
    connect(mnuSetup_BackupFolder_, &QAction::triggered, this, &SafetyCommands::openBackupFolder);
    setup->addAction(mnuSetup_BackupFolder_);
}

void SafetyCommands::applyCaptions()
{
    const LanguageMode lang = state_.language;
    const std::pair<QAction *, int> captions[] = {{mnuFile_Compare_, kTextCompareItem},
                                                  {mnuProgram_Verify_, kTextVerifyItem},
                                                  {mnuSetup_Backups_, kTextBackupsItem},
                                                  {mnuSetup_BackupFolder_, kTextBackupFolderItem}};
    for (const auto &[action, id] : captions) {
        if (action)
            action->setText(TableText(id, lang));
    }
}

bool SafetyCommands::setting(const char *name) const
{
    // Missing means on: both protect the radio's memory.
    return settings_.GetRegValue(QString::fromLatin1(name)).trimmed() != QLatin1String("0");
}

void SafetyCommands::setSetting(const char *name, bool on)
{
    settings_.SaveRegValue(QString::fromLatin1(name), on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SafetyCommands::verifyAfterWrite() const
{
    return mnuProgram_Verify_ ? mnuProgram_Verify_->isChecked() : setting(kVerifySetting);
}

bool SafetyCommands::backupsEnabled() const
{
    return mnuSetup_Backups_ ? mnuSetup_Backups_->isChecked() : setting(kBackupSetting);
}

QString SafetyCommands::backupFolder() const
{
    return backupFolder_.isEmpty() ? BackupFolder() : backupFolder_;
}

BackupPolicy SafetyCommands::backupPolicy() const
{
    return {backupsEnabled(), backupFolder()};
}

void SafetyCommands::reportBackups(const RadioJobResult &result)
{
    const LanguageMode lang = state_.language;
    if (!result.backupErrors.isEmpty())
        window_.statusBar()->showMessage(TableText(kTextBackupFailed, lang) + QLatin1Char(' ') +
                                         result.backupErrors.front());
    else if (!result.backups.isEmpty())
        window_.statusBar()->showMessage(TableText(kTextBackupSaved, lang) + QLatin1Char(' ') + result.backups.back(),
                                         kBackupNoteMs);
}

void SafetyCommands::compareWithFile()
{
    const LanguageMode lang = state_.language;
    const QString filter = QtFileFilter(TableText(text_id::kDataFileFilter, lang)) + QStringLiteral(";;") + TableText(kTextAllFiles, lang) +
                           QStringLiteral(" (*)");
    const QString path = prompts_.openFileName(views_.dialogParent(), filter, TableText(text_id::kCompareWithFile, lang));
    if (path.isEmpty())
        return;
    const LoadedDataFile loaded = LoadDataOrRawImage(path);
    if (!loaded.ok()) {
        PromptMessage m = TextMessage(loaded.textId, lang, ProductTitle(), QMessageBox::Critical);
        if (loaded.textId == text_id::kIncorrectFileType)
            m.text += QLatin1Char('\n') + TableText(text_id::kNotDataFileNorImage, lang).arg(QDir::toNativeSeparators(path));
        if (!loaded.systemError.isEmpty()) {
            m.text = loaded.systemError;
            m.icon = QMessageBox::Warning;
        }
        prompts_.message(views_.dialogParent(), m);
        return;
    }
    QStringList lines;
    for (const std::string &line : DescribeDifferences(document_.image(), loaded.image, lang))
        lines << QString::fromStdString(line);
    if (lines.isEmpty())
        lines << TableText(kTextSame, lang);
    const QString documentName = QFileInfo(QString::fromStdString(document_.fileName())).fileName();
    const QString fileName = QFileInfo(path).fileName();
    DifferencesDialog dialog(TableText(kTextCompareTitle, lang) + QStringLiteral(" - ") + fileName,
                             documentName + QStringLiteral("  ->  ") + QDir::toNativeSeparators(path), lines, lang,
                             views_.dialogParent());
    dialog.exec();
}

void SafetyCommands::openBackupFolder()
{
    const QString folder = backupFolder();
    QDir().mkpath(folder);
    if (!openUrl_(QUrl::fromLocalFile(folder)))
        window_.statusBar()->showMessage(QDir::toNativeSeparators(folder));
}

} // namespace zrk6
