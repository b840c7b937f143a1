// zrk6-screenshot: starts the window as a newcomer would, presses Read against a (virtual)
// radio, and saves a picture of the window. Used to make the screenshots in docs/.
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "mainwindow/transfer_commands.h"
#include "model/app_state.h"
#include "scripted_prompts.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The radio's serial device."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption language(QStringLiteral("language"), QStringLiteral("0 English, 1 Chinese."),
                                      QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption output(QStringLiteral("out"), QStringLiteral("The PNG file to write."),
                                    QStringLiteral("FILE"));
    parser.addOptions({port, language, output});
    parser.process(app);
    if (!parser.isSet(port) || !parser.isSet(output))
        parser.showHelp(2);

    QTemporaryDir settingsDir;
    zrk6::SettingsStore settings(settingsDir.filePath(QStringLiteral("zrk6.ini")));
    settings.SaveRegValue(QStringLiteral("Language"), parser.value(language));

    zrk6::AppState state;
    zrk6::test::ScriptedPrompts prompts; // every question answered with its default
    zrk6::frmMain window(state, prompts, settings);
    window.setPortOverride(parser.value(port));
    window.show();

    int status = 1;
    QTimer::singleShot(300, &window, [&] {
        const zrk6::TransferOutcome outcome = window.transferCommands().read();
        if (outcome != zrk6::TransferOutcome::Completed) {
            std::fprintf(stderr, "zrk6-screenshot: the read did not complete\n");
            QApplication::exit(1);
            return;
        }
        QTimer::singleShot(300, &window, [&] {
            status = window.grab().save(parser.value(output)) ? 0 : 1;
            window.close();
            QApplication::exit(status);
        });
    });
    return QApplication::exec();
}
