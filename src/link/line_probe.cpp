#include "link/line_probe.h"

#include <algorithm>

#include "link/clone_driver.h"
#include "link/clone_session.h"
#include "link/time_scale.h"
#include "text/text_ids.h"
#include "text/text_qstring.h"

namespace zrk6 {

namespace {

const std::vector<std::uint8_t> kGreeting{0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41};
const std::vector<std::uint8_t> kIdentify{0x4D, 0x02};
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kEnd = 0x45;
constexpr std::size_t kIdentificationLength = 8;
// A reply this much later than its wire time is held somewhere on the way (an adapter's
// latency timer holds each one up to 16 ms); a radio itself answers within a few milliseconds.
constexpr int kSlowMarginMs = 12;
// The longest the end byte may take to leave before the port closes anyway.
constexpr int kEndByteDrainMs = 200;

constexpr int kTextAnswered = text_id::kProbeAnswerTime;
constexpr int kTextIdentification = text_id::kProbeIdentification;
constexpr int kTextSlow = text_id::kProbeSlowAdapter;
constexpr int kTextNoAck = text_id::kProbeNoAcknowledge;
constexpr int kTextTwoSteps = text_id::kProbeTwoSteps;
constexpr int kTextNoIdentification = text_id::kProbeNoIdentification;
constexpr int kTextPortFailed = text_id::kCannotOpenPort;

QString Hex(const std::vector<std::uint8_t> &bytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes.data()),
                                          static_cast<qsizetype>(bytes.size()))
                                   .toHex(' ')
                                   .toUpper());
}

} // namespace

int WireMs(int byteCount)
{
    // Ten bits a byte.
    return (byteCount * 10 * 1000 + kCloneBaudRate - 1) / kCloneBaudRate;
}

bool ProbeReport::slowAdapter() const
{
    const int greetingWire = WireMs(static_cast<int>(kGreeting.size()) + 1);
    const int identificationWire = WireMs(static_cast<int>(kIdentify.size() + kIdentificationLength));
    return (greetingMs >= 0 && greetingMs - greetingWire >= kSlowMarginMs) ||
           (identificationMs >= 0 && identificationMs - identificationWire >= kSlowMarginMs);
}

QStringList ProbeReport::Lines(LanguageMode language) const
{
    QStringList lines;
    switch (outcome) {
    case Outcome::PortFailed:
        lines << LoadQText(kTextPortFailed, language) + QLatin1Char(' ') + port + QStringLiteral(": ") + portError;
        break;
    case Outcome::Answered:
    {
        const std::string took = std::to_string(std::max(greetingMs, 0) + std::max(identificationMs, 0));
        const std::string wire =
            std::to_string(WireMs(static_cast<int>(kGreeting.size() + 1 + kIdentify.size() + kIdentificationLength)));
        lines << ToQString(FillText(LoadText(kTextAnswered, language), {took, wire}));
        lines << ToQString(FillText(LoadText(kTextIdentification, language), {Hex(identification).toStdString()}));
        if (slowAdapter())
            lines << LoadQText(kTextSlow, language);
        break;
    }
    case Outcome::NoGreetingAck:
        lines << LoadQText(kTextNoAck, language) << ToQString(LineHeardText(heard, language));
        if (heard == LineHeard::Nothing || heard == LineHeard::OwnBytes)
            lines << LoadQText(kTextTwoSteps, language);
        break;
    case Outcome::NoIdentification:
        lines << LoadQText(kTextNoIdentification, language);
        if (heard == LineHeard::EchoFirst)
            lines << ToQString(LineHeardText(heard, language));
        break;
    }
    return lines;
}

LineProbe::LineProbe(const QString &portName, LanguageMode language, QObject *parent)
    : QObject(parent), language_(language)
{
    report_.port = portName;
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &LineProbe::onTimeout);
    connect(&port_, &QSerialPort::readyRead, this, &LineProbe::onReadyRead);
}

void LineProbe::start()
{
    report_.portError = OpenClonePort(port_, report_.port, language_);
    if (!report_.portError.isEmpty()) {
        // After start() returns, as for every other outcome.
        QMetaObject::invokeMethod(this, [this] { finish(ProbeReport::Outcome::PortFailed); }, Qt::QueuedConnection);
        return;
    }
    phase_ = Phase::Greeting;
    send(kGreeting);
}

void LineProbe::send(const std::vector<std::uint8_t> &bytes)
{
    sent_ = bytes;
    heard_.clear();
    port_.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qint64>(bytes.size()));
    port_.flush();
    clock_.start();
    // The time-out follows a test's time scale; the times measured against the wire are real.
    timer_.start(ScaledMs(kReplyTimeoutMs, TimeScale()));
}

void LineProbe::onReadyRead()
{
    const QByteArray bytes = port_.readAll();
    if (phase_ != Phase::Greeting && phase_ != Phase::Identification)
        return;
    heard_.insert(heard_.end(), bytes.begin(), bytes.end());
    if (phase_ == Phase::Greeting) {
        if (std::find(heard_.begin(), heard_.end(), kAck) == heard_.end())
            return;
        report_.greetingMs = static_cast<int>(clock_.elapsed());
        phase_ = Phase::Identification;
        send(kIdentify);
        return;
    }
    if (heard_.size() < kIdentificationLength)
        return;
    report_.identificationMs = static_cast<int>(clock_.elapsed());
    if (BeginsWithEcho(heard_, kIdentify)) {
        report_.heard = LineHeard::EchoFirst;
        finish(ProbeReport::Outcome::NoIdentification);
        return;
    }
    report_.identification.assign(heard_.begin(), heard_.begin() + kIdentificationLength);
    finish(ProbeReport::Outcome::Answered);
}

void LineProbe::onTimeout()
{
    if (phase_ == Phase::Greeting) {
        report_.heard = JudgeUnansweredLine(sent_, heard_);
        finish(ProbeReport::Outcome::NoGreetingAck);
    } else if (phase_ == Phase::Identification) {
        finish(ProbeReport::Outcome::NoIdentification);
    }
}

void LineProbe::finish(ProbeReport::Outcome outcome)
{
    timer_.stop();
    report_.outcome = outcome;
    phase_ = Phase::Done;
    if (!port_.isOpen()) {
        closeAndFinish();
        return;
    }
    // The radio leaves clone mode; nothing of its memory was touched. On Windows closing the port
    // cancels a write still under way, so it closes once the end byte is out, or after a short
    // limit on a line that takes none.
    const char end = static_cast<char>(kEnd);
    port_.write(&end, 1);
    connect(&port_, &QSerialPort::bytesWritten, this, [this] {
        if (port_.bytesToWrite() == 0)
            QMetaObject::invokeMethod(this, &LineProbe::closeAndFinish, Qt::QueuedConnection);
    });
    connect(&drainLimit_, &QTimer::timeout, this, &LineProbe::closeAndFinish);
    drainLimit_.setSingleShot(true);
    drainLimit_.start(ScaledMs(kEndByteDrainMs, TimeScale()));
    port_.flush();
}

void LineProbe::closeAndFinish()
{
    if (finished_)
        return;
    drainLimit_.stop();
    if (port_.isOpen())
        port_.close();
    finished_ = true;
    emit finished();
}

} // namespace zrk6
