// Renders every dialog in English and Chinese to PNG files, for a look at the layout:
//   QT_QPA_PLATFORM=offscreen dialog_screenshots OUTDIR
// Also prints a Chinese sample to OUTDIR/print-zh.pdf.

#include <memory>

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QTableWidget>

#include "dialog_fixtures.h"
#include "dialogs/about_dialog.h"
#include "dialogs/comm_port_dialog.h"
#include "dialogs/copy_dialog.h"
#include "dialogs/language_dialog.h"
#include "dialogs/memory_map_dialog.h"
#include "dialogs/opt_features_dialog.h"
#include "dialogs/print_dialog.h"
#include "scripted_prompts.h"

using namespace zrk6;

namespace {

void Save(QWidget &dialog, const QString &file)
{
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(file);
    dialog.hide();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: dialog_screenshots OUTDIR");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    test::ScriptedPrompts prompts;
    for (LanguageMode lang : {kEnglish, kChinese}) {
        const QString suffix = lang == kChinese ? QStringLiteral("-zh.png") : QStringLiteral("-en.png");
        auto stateDoc = test::StateWithChannels({1, 2, 3, 7, 10}, lang);
        AppState &state = stateDoc->state;
        state.currentChannel = 3;
        {
            OptFeaturesDialog d(state, stateDoc->doc);
            Save(d, out.filePath("opt-features" + suffix));
        }
        for (int mode : {0, 1, 2}) {
            state.copyMode = mode;
            CopyDialog d(state, stateDoc->doc, prompts);
            Save(d, out.filePath(QStringLiteral("copy%1").arg(mode) + suffix));
        }
        {
            PrintDialog d(state, stateDoc->doc, prompts);
            d.selectAll();
            Save(d, out.filePath("print" + suffix));
        }
        {
            CommPortDialog d(state, [](int n) { return QStringLiteral("/dev/ttyUSB%1").arg(n - 1); });
            Save(d, out.filePath("comm-port" + suffix));
        }
        {
            LanguageDialog d(state);
            Save(d, out.filePath("language" + suffix));
        }
        {
            AboutDialog d(lang);
            Save(d, out.filePath("about" + suffix));
        }
        if (lang == kEnglish) {
            MemoryMapDialog d(stateDoc->doc);
            d.grid()->setCurrentCell(0xFC, 3);
            Save(d, out.filePath("memory-map.png"));
        }
    }

    auto stateDoc = test::StateWithChannels({1, 2, 3, 4}, kChinese);
    AppState &state = stateDoc->state;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out.filePath("print-zh.pdf"));
    PainterPrintSurface surface(printer);
    if (!surface.begin())
        return 1;
    PrintJob job;
    job.language = kChinese;
    job.bandText = QString::fromStdString(stateDoc->doc.band().text);
    job.documentName = QStringLiteral("Untitled");
    job.printedAt = QDateTime::currentDateTime();
    job.channels = true;
    job.features = true;
    job.featureLines = OptionalFeatureLines(stateDoc->doc.image(), stateDoc->doc.band(), state.language);
    return PrintChannelList(surface, stateDoc->doc.image(), stateDoc->doc.band(), job) ? 0 : 1;
}
