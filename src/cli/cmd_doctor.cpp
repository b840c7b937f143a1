#include <QEventLoop>
#include <QStringList>

#include "cli/commands.h"
#include "link/cable_doctor.h"
#include "link/line_probe.h"
#include "link/port_names.h"

namespace zrk6::cli {

int RunDoctor(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Checks what stands between this user and the radio: lists the serial ports with "
                       "their USB ids, manufacturer and driver, says whether you may open each and how "
                       "to mend it when not, warns about brltty and ModemManager, and says when no USB "
                       "serial adapter is plugged in. Exits 0 when nothing stands in the way, 1 otherwise.\n"
                       "With --probe it also greets the radio on --port, reads its identification and sends "
                       "the end byte (nothing is read or written): it says how long the radio took, or what the "
                       "line gave back instead. Exits 0 when the radio answered."));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Check only this serial device, or port number 1..4."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption lang = LanguageOption(QStringLiteral("findings"));
    // Tests point the doctor at a fake system: DIR/sys, DIR/dev, DIR/proc, DIR/etc/group ...
    QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Look at the system below DIR."),
                            QStringLiteral("DIR"));
    root.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption probe(QStringLiteral("probe"),
                                   QStringLiteral("Greet the radio on --port and read its identification; writes nothing."));
    parser.addOption(port);
    parser.addOption(probe);
    parser.addOption(lang);
    parser.addOption(root);
    if (const auto done = ParseCommandLine(parser, arguments, 0))
        return *done;

    LanguageMode language = kEnglish;
    if (const auto refused = ReadLanguage(parser, lang, language))
        return *refused;

    CableFactSources sources;
    if (parser.isSet(root)) {
        const QString dir = parser.value(root);
        sources = {dir + QStringLiteral("/sys"), dir + QStringLiteral("/dev"), dir + QStringLiteral("/proc"),
                   dir + QStringLiteral("/etc/group"), dir + QStringLiteral("/var/lib/dpkg/status"),
                   dir + QStringLiteral("/var/lib/pacman/local")};
    }
    QString device = parser.value(port);
    bool isNumber = false;
    const int number = device.toInt(&isNumber);
    if (isNumber) {
        if (number < 1 || number > kMaxCommPortNumber)
            return UsageError(QStringLiteral("port numbers are 1 to %1; see 'zrk6-cli ports'").arg(kMaxCommPortNumber));
        device = PortSystemName(number);
    } else if (!device.isEmpty()) {
        device = NormalizePortName(device);
#ifndef Q_OS_WIN
        // A bare name is a device file's; Windows names its ports as they are (COM3).
        if (!device.contains(QLatin1Char('/')))
            device = sources.devRoot + QLatin1Char('/') + device;
#endif
    }

    if (parser.isSet(probe) && device.isEmpty())
        return UsageError(QStringLiteral("--probe needs --port"));

    const CableFacts facts = GatherCableFacts(sources, device.isEmpty() ? QStringList() : QStringList{device});
    const CableDiagnosis diagnosis = DiagnoseCable(facts, language, device);
    for (const QString &line : DiagnosisLines(diagnosis, language))
        Print(line);
    if (!parser.isSet(probe))
        return diagnosis.hasProblem() ? 1 : 0;

    Print(QString());
    LineProbe lineProbe(device, language);
    QEventLoop wait;
    QObject::connect(&lineProbe, &LineProbe::finished, &wait, &QEventLoop::quit);
    lineProbe.start();
    if (!lineProbe.isFinished())
        wait.exec();
    for (const QString &line : lineProbe.report().Lines(language))
        Print(line);
    return lineProbe.report().answered() ? 0 : 1;
}

} // namespace zrk6::cli
