// zrk6: the ZR-K6 programmer's window.
#include <cstdio>
#include <memory>
#include <string_view>

#include <QApplication>
#include <QCommandLineParser>

#include "files/file_io.h"
#include "link/port_names.h"
#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "ui/prompts.h"

namespace {

// --help and --version only print, so they need no display.
bool OnlyPrints(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "-h" || argument == "--help" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app =
        OnlyPrints(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zrk6"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("zrk6"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Programs the memory of ZR-K6 radios."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Use the serial device DEVICE (for example /dev/ttyUSB0) for "
                                                 "Read and Write in this run, in place of the numbered port."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption settingsFile(QStringLiteral("settings"),
                                          QStringLiteral("Keep the settings in FILE (default: %1).")
                                              .arg(zrk6::SettingsStore::DefaultFilePath()),
                                          QStringLiteral("FILE"));
    parser.addOption(port);
    parser.addOption(settingsFile);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A data file (.dat) to open."),
                                 QStringLiteral("[FILE]"));
    parser.process(*app);
    if (parser.positionalArguments().size() > 1) {
        std::fputs("zrk6: give at most one data file\n", stderr);
        return 2;
    }

    const QString settingsPath = parser.isSet(settingsFile) ? parser.value(settingsFile)
                                                           : zrk6::SettingsStore::DefaultFilePath();
    // A pipe or a device there would hang the start-up; say so instead.
    if (zrk6::IsNonRegularFile(settingsPath)) {
        const std::string_view reason = zrk6::LoadText(zrk6::kTextNotRegularFile, zrk6::kEnglish);
        std::fprintf(stderr, "zrk6: %s: %.*s\n", qPrintable(settingsPath), static_cast<int>(reason.size()),
                     reason.data());
        return 1;
    }

    zrk6::AppState state;
    zrk6::WidgetPrompts prompts;
    zrk6::SettingsStore settings(settingsPath);
    zrk6::MainWindow window(state, prompts, settings);
    if (parser.isSet(port))
        window.setPortOverride(zrk6::NormalizePortName(parser.value(port)));
    if (window.startupFailed())
        return 1;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openFile(parser.positionalArguments().constFirst());
    return QApplication::exec();
}
