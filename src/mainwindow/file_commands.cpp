#include "mainwindow/file_commands.h"

#include <QDir>
#include <QRegularExpression>

#include "model/image_normalise.h"
#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "files/data_file_io.h"
#include "files/text_form.h"
#include "files/text_form_io.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "model/band.h"
#include "text/text_ids.h"
#include "ui/prompts.h"

namespace zrk6 {

// "ZR-K6 Text Form (*.yaml)|*.yaml"
constexpr int kTextFormFilter = text_id::kTextFormFilter;
constexpr int kTextUseImport = text_id::kCsvNeedsImport;

FileCommands::FileCommands(AppState &state, ImageDocument &document, Prompts &prompts, MainViews &views)
    : state_(state), document_(document), prompts_(prompts), views_(views)
{
}

QString FileCommands::fileFilter() const
{
    // The text form (*.yaml) beside data files; the chosen name's extension decides the format.
    return QtFileFilter(TableText(text_id::kDataFileFilter, state_.language)) + QStringLiteral(";;") +
           QtFileFilter(TableText(kTextFormFilter, state_.language));
}

namespace {

bool isTextForm(const QString &path)
{
    return IsTextFormFileName(path.toStdString());
}

} // namespace

void FileCommands::newDocument()
{
    const LanguageMode lang = state_.language;
    const auto answer = prompts_.message(
        views_.dialogParent(),
        TextMessage(text_id::kAllDataWillBeCleared, lang, TableText(text_id::kWarning, lang), QMessageBox::Warning,
                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel));
    if (answer != QMessageBox::Ok)
        return;
    const Band band = document_.band();
    document_.replaceUndoably(CommandStep(text_id::kNewTip), FreshImage(document_.image(), band), band,
                              std::string(kUntitled));
    views_.focusGrid(1, 1);
}

bool FileCommands::openDataFile(const QString &chosenPath)
{
    if (document_.isModified()) {
        const auto answer = prompts_.message(
            views_.dialogParent(),
            TextMessage(text_id::kFileModifiedSaveNow, state_.language, ProductTitle(), QMessageBox::Warning,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Yes && !save())
            return false;
    }

    const QString path = chosenPath.isEmpty() ? prompts_.openFileName(views_.dialogParent(), fileFilter()) : chosenPath;
    if (path.isEmpty())
        return false;

    LoadedDataFile loaded;
    if (isTextForm(path)) {
        const LoadedTextForm text = LoadTextFormFile(path, state_.language);
        if (!text.ok()) {
            PromptMessage m;
            m.text = text.badInput ? path + QLatin1Char('\n') + text.error : text.error;
            m.title = text.badInput ? TableText(text_id::kError, state_.language) : ProductTitle();
            m.icon = text.badInput ? QMessageBox::Critical : QMessageBox::Warning;
            prompts_.message(views_.dialogParent(), m);
            return false;
        }
        loaded.image = text.image;
    } else {
        loaded = LoadDataFile(path);
    }
    if (!loaded.systemError.isEmpty()) {
        PromptMessage m;
        m.text = loaded.systemError;
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(views_.dialogParent(), m);
        return false;
    }
    if (!loaded.ok()) {
        PromptMessage m = TextMessage(loaded.textId, state_.language, TableText(text_id::kError, state_.language),
                                      QMessageBox::Critical);
        if (loaded.textId == text_id::kIncorrectFileType) { // which file, when it came from the command line or the recent list
            m.text += QLatin1Char('\n') + TableText(text_id::kNotDataFile, state_.language).arg(QDir::toNativeSeparators(path));
            // A channel list is the file people most often open here by mistake.
            if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
                m.text += QLatin1Char('\n') + TableText(kTextUseImport, state_.language);
        }
        prompts_.message(views_.dialogParent(), m);
        return false;
    }

    const Band band = ReadBandFromImage(loaded.image);
    document_.replace(NormaliseImage(loaded.image, band), band, path.toStdString());
    views_.focusGrid(1, 1);
    return true;
}

bool FileCommands::save()
{
    // The file must hold what the grid shows, a typed entry included.
    views_.closeCellEditor();
    if (!document_.isUntitled())
        return writeDataFile(QString::fromStdString(document_.fileName()));
    return saveAs();
}

bool FileCommands::saveAs()
{
    views_.closeCellEditor();
    const QString initial = document_.isUntitled() ? QStringLiteral("Untitled.dat")
                                                   : QString::fromStdString(document_.fileName());
    // A name typed without an extension is a data file; a text form needs its ".yaml".
    const QString path = WithExtension(
        prompts_.saveFileName(views_.dialogParent(), fileFilter(), initial,
                              TableText(text_id::kSaveAsMenu, state_.language).remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")))),
        QStringLiteral("dat"));
    if (path.isEmpty())
        return false;
    return writeDataFile(path);
}

bool FileCommands::writeDataFile(const QString &path)
{
    const QString error =
        isTextForm(path) ? SaveTextFormFile(path, document_.image()) : SaveDataFile(path, document_.image());
    if (!error.isEmpty()) {
        PromptMessage m;
        m.text = error;
        m.title = ProductTitle();
        m.icon = QMessageBox::Warning;
        prompts_.message(views_.dialogParent(), m);
        return false;
    }
    document_.markSaved(path.toStdString());
    return true;
}

} // namespace zrk6
