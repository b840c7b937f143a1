#include "mainwindow/file_commands.h"

#include "files/data_file_io.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/band.h"
#include "ui/prompts.h"

namespace zrk6 {

namespace {

bool IsUntitled(const std::string &name)
{
    return name == kUntitled;
}

} // namespace

FileCommands::FileCommands(AppState &state, Prompts &prompts, MainViews &views)
    : state_(state), prompts_(prompts), views_(views)
{
}

QString FileCommands::fileFilter() const
{
    return QtFileFilter(TableText(1109, state_.language));
}

void FileCommands::newDocument()
{
    const LanguageMode lang = state_.language;
    const auto answer = prompts_.message(
        views_.dialogParent(),
        TextMessage(1107, lang, TableText(1108, lang), QMessageBox::Warning,
                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel));
    if (answer != QMessageBox::Ok)
        return;
    BuildDefaultImage(state_.doc.image, state_.doc.band);
    views_.showDefaultImage();
    state_.doc.TakeSnapshot();
    state_.doc.name = std::string(kUntitled);
    views_.updateTitle();
}

bool FileCommands::openDataFile(const QString &chosenPath)
{
    if (state_.doc.IsImageModified()) {
        const auto answer = prompts_.message(
            views_.dialogParent(),
            TextMessage(1110, state_.language, ProductTitle(), QMessageBox::Warning,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes && !save())
            return false;
    }

    const QString path = chosenPath.isEmpty() ? prompts_.openFileName(views_.dialogParent(), fileFilter()) : chosenPath;
    if (path.isEmpty())
        return false;

    const LoadedDataFile loaded = LoadDataFile(path);
    if (!loaded.systemError.isEmpty()) {
        PromptMessage m;
        m.text = loaded.systemError;
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(views_.dialogParent(), m);
        return false;
    }
    if (!loaded.ok()) {
        prompts_.message(views_.dialogParent(),
                         TextMessage(loaded.textId, state_.language, TableText(1113, state_.language),
                                     QMessageBox::Critical));
        return false;
    }

    state_.doc.image = loaded.image;
    views_.refreshAllViews();
    views_.focusGrid(1, 1);
    state_.doc.TakeSnapshot();
    state_.doc.name = path.toStdString();
    views_.updateTitle();
    return true;
}

bool FileCommands::save()
{
    if (!IsUntitled(state_.doc.name))
        return writeDataFile();
    return saveAs();
}

bool FileCommands::saveAs()
{
    views_.closeCellEditor();
    const QString initial = IsUntitled(state_.doc.name) ? QStringLiteral("Untitled.dat")
                                                        : QString::fromStdString(state_.doc.name);
    const QString path = prompts_.saveFileName(views_.dialogParent(), fileFilter(), initial);
    if (path.isEmpty())
        return false;
    state_.doc.name = path.toStdString();
    return writeDataFile();
}

bool FileCommands::writeDataFile()
{
    const QString error = SaveDataFile(QString::fromStdString(state_.doc.name), state_.doc.image);
    if (!error.isEmpty()) {
        PromptMessage m;
        m.text = error;
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(views_.dialogParent(), m);
        return false;
    }
    views_.updateTitle();
    state_.doc.TakeSnapshot();
    return true;
}

} // namespace zrk6
