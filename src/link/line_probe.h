#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <vector>

#include "link/line_diagnosis.h"

namespace zrk6 {

// What a probe of the line found.
struct ProbeReport {
    enum class Outcome {
        Answered,       // the radio acknowledged the greeting and sent its identification
        NoGreetingAck,  // nothing acknowledged the greeting; `heard` says what came back instead
        NoIdentification, // the greeting was acknowledged, the identification did not come complete
        PortFailed,     // the port did not open; `portError` says why
    };
    Outcome outcome = Outcome::PortFailed;
    QString port;
    QString portError;
    LineHeard heard = LineHeard::Answered;
    std::vector<std::uint8_t> identification; // as the radio sent it (0xFB7 first)
    int greetingMs = -1;       // from the greeting to its acknowledgement
    int identificationMs = -1; // from the request to the whole identification

    bool answered() const { return outcome == Outcome::Answered; }
    // The replies took much longer than their bytes need on the wire at 9600 baud.
    bool slowAdapter() const;
    // The report as lines of text in the language.
    QStringList Lines(LanguageMode language) const;
};

// The bytes of the two exchanges on a 9600-baud 8N1 wire, in milliseconds.
int WireMs(int byteCount);

// Tests the line without touching the radio's memory: the greeting, the identification, then
// the end byte. No read or write block is ever sent. Runs in the event loop; finished() follows.
class LineProbe : public QObject {
    Q_OBJECT
public:
    explicit LineProbe(const QString &portName, LanguageMode language, QObject *parent = nullptr);

    void start();
    bool isFinished() const { return finished_; }
    const ProbeReport &report() const { return report_; }

signals:
    void finished();

private:
    enum class Phase { Idle, Greeting, Identification, Done };
    void onReadyRead();
    void onTimeout();
    void send(const std::vector<std::uint8_t> &bytes);
    void finish(ProbeReport::Outcome outcome);
    void closeAndFinish();

    LanguageMode language_;
    ProbeReport report_;
    QSerialPort port_;
    QTimer timer_;
    QTimer drainLimit_;
    QElapsedTimer clock_;
    Phase phase_ = Phase::Idle;
    std::vector<std::uint8_t> sent_;
    std::vector<std::uint8_t> heard_;
    bool finished_ = false;
};

} // namespace zrk6
