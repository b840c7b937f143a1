#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <memory>

#include "link/clone_session.h"
#include "link/write_verify.h"

class QIODevice;

namespace zrk6 {

// An OK message that closes a transfer: completion (information) or the wrong model (error).
struct CloneMessage {
    int textId = 0; // 0: none
    QString text;
    QString title;
    bool isError = false;
    bool isSet() const { return textId != 0; }
};

// The outcome of a transfer as the commands see it.
enum class TransferResult {
    Completed,
    WrongModel,
    Cancelled,
    PortFailed, // the port could not be (re)opened; portError() says why
};

// Opens a serial port for the clone protocol: 9600 baud, 8N1, no flow control, pending bytes
// discarded. Returns the system's reason on failure (empty on success); on a Linux permission
// error the reason carries a hint about the group that owns the device, and a port that another
// program holds is named as such (text 1700, in the given language).
QString OpenClonePort(QSerialPort &port, const QString &portName, LanguageMode language = kEnglish);

// The port test of the read and write commands: open, close. Returns the reason, or empty.
QString TestClonePort(const QString &portName, LanguageMode language = kEnglish);

// Drives a CloneSession over a QSerialPort with a QTimer for the reply time-out. Everything runs
// on the caller's event loop and nothing waits: the Retry/Cancel question is the signal
// retryAsked(), emitted after the serial handler has returned and answered with answerRetry();
// the end byte is flushed and the port closed once the bytes are out, then finished() follows.
class CloneDriver : public QObject {
    Q_OBJECT
public:
    CloneDriver(CloneMode mode, const MemoryImage &image, LanguageMode language, const QString &portName,
                QObject *parent = nullptr);
    ~CloneDriver() override;

    // After a completed write, read the radio back and compare what the write sent.
    void setVerifyAfterWrite(bool on) { verifyAfterWrite_ = on; }
    // How the read-back went (NotRun unless a write completed with verification on).
    const VerifyReport &verifyReport() const { return verifyReport_; }

    // Every byte in both directions goes here as "elapsed-ms >|< hex" lines when set.
    void setTrace(QIODevice *trace) { trace_ = trace; }

    // Opens the port (returns the reason on failure, empty on success).
    QString open();
    // Starts the transfer on the open port and returns at once; finished() follows.
    void start();
    // How the transfer ended (valid after finished()).
    TransferResult result() const;
    bool isFinished() const { return done_; }
    // Ends a running transfer as if Cancel had been chosen: the radio gets its end byte.
    void cancel();
    // The answer to retryAsked(): true starts again from the greeting, false ends as Cancel does.
    void answerRetry(bool retry);
    bool awaitingAnswer() const { return askPending_; }

    const CloneSession &session() const { return *session_; }
    QString portError() const { return portError_; }
    // The message the transfer closed with; none after Cancel, or when a read-back's report
    // takes the place of "Writing completed!".
    const CloneMessage &closingMessage() const { return closing_; }
    // The last error prompt's code and text (None/empty when none was asked).
    CloneError lastError() const { return lastError_; }
    const QString &lastPrompt() const { return lastPrompt_; }
    // Bytes written and read during the whole run (for the benchmark).
    qint64 bytesSent() const { return bytesSent_; }
    qint64 bytesReceived() const { return bytesReceived_; }

signals:
    void progress(int value, int maximum, const QString &label);
    // The Retry/Cancel prompt; answer with answerRetry().
    void retryAsked(const QString &text, const QString &title, zrk6::CloneError error);
    // A completed write is being read back: the second phase starts, with its own progress.
    void verifying();
    // The transfer (and any read-back) has ended and the port is closed.
    void finished();

private:
    void perform(CloneActions actions);
    void onReadyRead();
    void onTimeout();
    void onPortError(QSerialPort::SerialPortError error);
    void onLineSettled();
    void onBytesWritten();
    void trace(char direction, const QByteArray &bytes);
    void endWhenSent();
    void closeAndFinish();
    bool startVerifyAfter(CloneOutcome writeOutcome);

    QString portName_;
    MemoryImage sent_; // the image a write sends, for the read-back to be compared with
    bool verifyAfterWrite_ = false;
    bool verifying_ = false;
    VerifyReport verifyReport_;
    std::unique_ptr<CloneSession> session_;
    QSerialPort port_;
    QTimer replyTimer_;
    // Before a retry: quietTimer_ restarts with every byte, settleLimit_ ends a wait on a line
    // that never goes quiet.
    QTimer quietTimer_;
    QTimer settleLimit_;
    // Closes the port if the last bytes never report as written.
    QTimer drainLimit_;
    LanguageMode language_;
    QElapsedTimer clock_;
    QIODevice *trace_ = nullptr;
    QString portError_;
    CloneMessage closing_;
    CloneError lastError_ = CloneError::None;
    QString lastPrompt_;
    bool askPending_ = false;
    bool ending_ = false; // the session has finished; the port closes once the bytes are out
    bool done_ = false;
    bool portLost_ = false;
    bool portFailed_ = false;
    qint64 bytesSent_ = 0;
    qint64 bytesReceived_ = 0;
};

} // namespace zrk6
