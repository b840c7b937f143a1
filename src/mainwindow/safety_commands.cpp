#include "mainwindow/safety_commands.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "dialogs/differences_dialog.h"
#include "document/image_document.h"
#include "files/data_file_io.h"
#include "mainwindow/action_table.h"
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

} // namespace

SafetyCommands::SafetyCommands(AppState &state, ImageDocument &document, Prompts &prompts, SettingsStore &settings,
                               MainViews &views, QObject *parent)
    : QObject(parent), state_(state), document_(document), prompts_(prompts), settings_(settings), views_(views),
      openUrl_([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
}

void SafetyCommands::registerCommands(ActionTable &actions)
{
    actions.add({"mnuFile_Compare", kTextCompareItem}, [this] {
        views_.closeCellEditor();
        compareWithFile();
    });
    verify_ = actions.add({.id = "mnuProgram_Verify", .textId = kTextVerifyItem, .checkable = true}, {});
    verify_->setChecked(setting(kVerifySetting));
    connect(verify_, &QAction::toggled, this, [this](bool on) { setSetting(kVerifySetting, on); });
    backups_ = actions.add({.id = "mnuSetup_Backups", .textId = kTextBackupsItem, .checkable = true}, {});
    backups_->setChecked(setting(kBackupSetting));
    connect(backups_, &QAction::toggled, this, [this](bool on) { setSetting(kBackupSetting, on); });
    actions.add({"mnuSetup_BackupFolder", kTextBackupFolderItem}, [this] { openBackupFolder(); });
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
    return verify_ ? verify_->isChecked() : setting(kVerifySetting);
}

bool SafetyCommands::backupsEnabled() const
{
    return backups_ ? backups_->isChecked() : setting(kBackupSetting);
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
        views_.showStatus(TableText(kTextBackupFailed, lang) + QLatin1Char(' ') + result.backupErrors.front(), 0);
    else if (!result.backups.isEmpty())
        views_.showStatus(TableText(kTextBackupSaved, lang) + QLatin1Char(' ') + result.backups.back(), kBackupNoteMs);
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
        views_.showStatus(QDir::toNativeSeparators(folder), 0);
}

} // namespace zrk6
