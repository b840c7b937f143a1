#include "mainwindow/channel_list_commands.h"
#include "text/text_qstring.h"

#include <QFileInfo>

#include "document/image_document.h"
#include "mainwindow/command_names.h"
#include "files/channel_list.h"
#include "files/file_io.h"
#include "files/system_code_page.h"
#include "mainwindow/main_views.h"
#include "model/app_state.h"
#include "text/text_ids.h"

namespace zrk6 {
namespace {

QString FromStd(const std::string &text)
{
    return ToQString(text);
}

PromptMessage Warning(const QString &text)
{
    PromptMessage m;
    m.text = text;
    m.title = ProductTitle();
    m.icon = QMessageBox::Warning;
    return m;
}

} // namespace

ChannelListCommands::ChannelListCommands(AppState &state, ImageDocument &document, Prompts &prompts,
                                         MainViews &views)
    : state_(state), document_(document), prompts_(prompts), views_(views)
{
}

QString ChannelListCommands::fileFilter() const
{
    return QtFileFilter(TableText(text_id::kChannelListFilter, state_.language));
}

void ChannelListCommands::importChannels()
{
    views_.closeCellEditor();
    // Lists saved as tab-separated text often end in .txt or .tsv.
    const QString path = prompts_.openFileName(views_.dialogParent(), fileFilter() + QStringLiteral(";;") +
                                                                          TableText(text_id::kAllFiles, state_.language) +
                                                                          QStringLiteral(" (*)"),
                                               TableText(text_id::kImportChannels, state_.language));
    if (path.isEmpty())
        return;
    const FileReadResult read = ReadWholeFile(path, static_cast<qint64>(kMaxCsvBytes));
    if (!read.error.isEmpty()) {
        prompts_.message(views_.dialogParent(), Warning(read.error));
        return;
    }
    ChannelListImport import;
    if (read.tooLarge) {
        import.error = ListError::Csv;
        import.csvError = CsvError::TooLarge;
    } else {
        import = ReadChannelListFile(
            std::string_view(read.bytes.constData(), static_cast<std::size_t>(read.bytes.size())), document_.band(),
            SystemCodePage());
    }
    applyAndReport(import, text_id::kImportChannels);
}

void ChannelListCommands::exportChannels()
{
    views_.closeCellEditor();
    const QString initial = document_.isUntitled()
                                ? QStringLiteral("Untitled.csv")
                                : QFileInfo(QString::fromStdString(document_.fileName())).completeBaseName() +
                                      QStringLiteral(".csv");
    const QString path = WithExtension(
        prompts_.saveFileName(views_.dialogParent(), fileFilter(), initial, TableText(text_id::kExportChannels, state_.language)),
        QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const std::string text = WriteChannelList(document_.image(), document_.band());
    if (const QString error = SaveFileAtomically(path, QByteArray::fromStdString(text)); !error.isEmpty())
        prompts_.message(views_.dialogParent(), Warning(error));
}

QString ChannelListCommands::copyText(const std::vector<int> &channels) const
{
    return FromStd(WriteChannelList(document_.image(), document_.band(), channels, '\t'));
}

void ChannelListCommands::paste(int firstChannel, const QString &text)
{
    views_.closeCellEditor();
    const QByteArray utf8 = text.toUtf8();
    // Spreadsheets put tabs between cells; the header line tells text copied from a CSV file.
    // One pasted column shows no delimiter; with the tab, a decimal comma in it is read as one.
    applyAndReport(ReadChannelList(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                                   document_.band(), ListPlacement::from(firstChannel), '\t'),
                   text_id::kStepPasteChannels);
}

void ChannelListCommands::applyAndReport(const ChannelListImport &import, int stepTextId)
{
    const LanguageMode language = state_.language;
    if (!import.ok()) {
        prompts_.message(views_.dialogParent(), Warning(FromStd(ListErrorText(import, language))));
        return;
    }
    if (!import.channels.empty()) {
        const Band band = document_.band();
        document_.apply(CommandStep(stepTextId),
                        [&](MemoryImage &image) { ApplyChannelList(image, import, band); });
    }
    PromptReport report;
    report.title = TableText(stepTextId, language);
    report.summary = FromStd(ListSummaryText(import, language));
    for (const std::string &note : ListImportNotes(import, language))
        report.notes << FromStd(note);
    for (const ListReportLine &line : import.report)
        report.lines << FromStd(ListReportLineText(line, language));
    report.okText = TableText(text_id::kOk, language);
    prompts_.report(views_.dialogParent(), report);
}

} // namespace zrk6
