#include <QStringList>

#include "cli/commands.h"
#include "link/cable_doctor.h"
#include "link/port_names.h"

namespace zrk6::cli {

int RunDoctor(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Checks what stands between this user and the radio: lists the serial ports with "
                       "their USB ids, manufacturer and driver, says whether you may open each and how "
                       "to mend it when not, warns about brltty and ModemManager, and says when no USB "
                       "serial adapter is plugged in. Exits 0 when nothing stands in the way, 1 otherwise."));
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")},
                                  QStringLiteral("Check only this serial device, or port number 1..4."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption lang = LanguageOption(QStringLiteral("findings"));
    // Tests point the doctor at a fake system: DIR/sys, DIR/dev, DIR/proc, DIR/etc/group ...
    QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Look at the system below DIR."),
                            QStringLiteral("DIR"));
    root.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(port);
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

    const CableFacts facts = GatherCableFacts(sources, device.isEmpty() ? QStringList() : QStringList{device});
    const CableDiagnosis diagnosis = DiagnoseCable(facts, language, device);
    for (const QString &line : DiagnosisLines(diagnosis, language))
        Print(line);
    return diagnosis.hasProblem() ? 1 : 0;
}

} // namespace zrk6::cli
