// zrk6-screenshot: starts the window as a newcomer would, presses Read against a (virtual)
// radio, and saves a picture of the window. Used to make the screenshots in docs/.
#include <QApplication>
#include <QColor>
#include <QCommandLineParser>
#include <QLabel>
#include <QFont>
#include <QPalette>
#include <QPushButton>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "dialogs/comm_port_dialog.h"
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
    const QCommandLineOption dark(QStringLiteral("dark"),
                                  QStringLiteral("A dark palette, as a desktop's dark theme gives the program."));
    const QCommandLineOption portTest(QStringLiteral("port-test"),
                                      QStringLiteral("Picture Setup, Communication Port after Test on the port instead."));
    const QCommandLineOption fontScale(QStringLiteral("font-scale"),
                                       QStringLiteral("The desktop's font, times this factor (1.5 for a large font)."),
                                       QStringLiteral("F"), QStringLiteral("1"));
    parser.addOptions({port, language, output, dark, portTest, fontScale});
    parser.process(app);
    if (!parser.isSet(port) || !parser.isSet(output))
        parser.showHelp(2);

    if (parser.isSet(dark)) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QPalette p;
        p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        p.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
        p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
        p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
        p.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
        p.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
        p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
        p.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xee));
        QApplication::setPalette(p);
    }

    if (const double scale = parser.value(fontScale).toDouble(); scale > 0 && scale != 1) {
        QFont large = QApplication::font();
        large.setPointSizeF(large.pointSizeF() * scale);
        QApplication::setFont(large);
    }

    if (parser.isSet(portTest)) {
        zrk6::AppState state;
        state.language = zrk6::NormalizeLanguage(parser.value(language).toInt());
        state.commPortNumber = 5;
        zrk6::CommPortDialog dialog(state, {zrk6::CommPortOption{1, QStringLiteral("/dev/ttyS0"), {}},
                                            zrk6::CommPortOption{5, parser.value(port), QStringLiteral("USB Serial")}});
        dialog.show();
        QTimer::singleShot(300, &dialog, [&] { dialog.testButton()->click(); });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            if (!dialog.testButton()->isEnabled() || dialog.testResult()->text().isEmpty())
                return;
            poll.stop();
            QTimer::singleShot(200, &dialog, [&] {
                QApplication::exit(dialog.grab().save(parser.value(output)) ? 0 : 1);
            });
        });
        poll.start(100);
        return QApplication::exec();
    }

    QTemporaryDir settingsDir;
    zrk6::SettingsStore settings(settingsDir.filePath(QStringLiteral("zrk6.ini")));
    settings.SaveRegValue(QStringLiteral("Language"), parser.value(language));

    zrk6::AppState state;
    zrk6::test::ScriptedPrompts prompts; // every question answered with its default
    zrk6::MainWindow window(state, prompts, settings);
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
