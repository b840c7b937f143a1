#include "dialogs/fleet_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "text/text_ids.h"
#include "ui/accessibility.h"
#include "ui/prompts.h"

namespace zrk6 {

namespace {

constexpr int kTextTitle = text_id::kProgramSeveralRadios;
constexpr int kTextPorts = text_id::kRadiosOnPorts;
constexpr int kTextOtherPort = text_id::kOtherPort;
constexpr int kTextAdd = text_id::kAddButton;
constexpr int kTextChannelsOnly = text_id::kFleetChannelsOnly;
constexpr int kTextLog = text_id::kLogFile;
constexpr int kTextBrowse = text_id::kBrowseButton;
constexpr int kTextStart = text_id::kStartButton;
constexpr int kTextNextRound = text_id::kNextRoundButton;
constexpr int kTextStop = text_id::kStopButton;
constexpr int kTextClose = text_id::kCloseButton;
constexpr int kTextPort = text_id::kPort;
constexpr int kTextRound = text_id::kRound;
constexpr int kTextProgress = text_id::kProgress;
constexpr int kTextPhase = text_id::kPhase;
constexpr int kTextResult = text_id::kResult;
constexpr int kTextWaiting = text_id::kWaiting;
constexpr int kTextReading = text_id::kReading;
constexpr int kTextWriting = text_id::kWriting;
constexpr int kTextVerifying = text_id::kVerifying;
constexpr int kTextVerified = text_id::kVerified;
constexpr int kTextFailed = text_id::kFailed;
constexpr int kTextModelMismatch = text_id::kModelMismatch;
constexpr int kTextNotVerified = text_id::kNotVerified;
constexpr int kTextStopped = text_id::kStopped;
constexpr int kTextNoPort = text_id::kTickOnePort;
constexpr int kTextLogFailed = text_id::kLogCannotBeWritten;
constexpr int kTextRoundEnded = text_id::kRoundEnded;
constexpr int kTextCellOf = text_id::kCellOnPort;
constexpr int kTextRoundRunning = text_id::kRoundRunning;
constexpr int kTextLogFilter = text_id::kLogFilter;

enum Column { kPortColumn, kRoundColumn, kProgressColumn, kPhaseColumn, kResultColumn, kColumnCount };
constexpr int kHeaders[kColumnCount] = {kTextPort, kTextRound, kTextProgress, kTextPhase, kTextResult};

QString WithoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

int PhaseText(FleetPhase phase)
{
    switch (phase) {
    case FleetPhase::Waiting: return kTextWaiting;
    case FleetPhase::Read: return kTextReading;
    case FleetPhase::Write: return kTextWriting;
    case FleetPhase::Verify: return kTextVerifying;
    case FleetPhase::Done: break;
    }
    return 0;
}

int ResultText(FleetResult result)
{
    switch (result) {
    case FleetResult::Verified: return kTextVerified;
    case FleetResult::Failed: return kTextFailed;
    case FleetResult::ModelMismatch: return kTextModelMismatch;
    case FleetResult::NotVerified: return kTextNotVerified;
    case FleetResult::None: break;
    }
    return 0;
}

// The three transfers of a job as one bar: read, write, read-back.
int OverallPercent(const FleetJob &job)
{
    switch (job.phase()) {
    case FleetPhase::Waiting: return 0;
    case FleetPhase::Read: return job.percent() / 3;
    case FleetPhase::Write: return (100 + job.percent()) / 3;
    case FleetPhase::Verify: return (200 + job.percent()) / 3;
    case FleetPhase::Done: break;
    }
    return -1;
}

} // namespace

FleetDialog::FleetDialog(Setup setup, LanguageMode language, Prompts &prompts, QWidget *parent)
    : QDialog(parent), setup_(std::move(setup)), language_(language), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmFleet"));
    setWindowTitle(Text(kTextTitle, language));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    UseOwnerIcon(this);

    auto *lblPorts = Named(new QLabel(Text(kTextPorts, language), this), QStringLiteral("lblFleetPorts"));
    portTable_ = Named(new QTableWidget(0, kColumnCount, this), QStringLiteral("lstFleetPorts"));
    QStringList headers;
    for (int id : kHeaders)
        headers << Text(id, language);
    portTable_->setHorizontalHeaderLabels(headers);
    portTable_->verticalHeader()->hide();
    portTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    portTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    portTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    portTable_->setTabKeyNavigation(false); // Tab leaves the list for the next control
    portTable_->setWordWrap(false);
    portTable_->horizontalHeader()->setSectionResizeMode(kPortColumn, QHeaderView::ResizeToContents);
    portTable_->horizontalHeader()->setSectionResizeMode(kRoundColumn, QHeaderView::ResizeToContents);
    portTable_->horizontalHeader()->setSectionResizeMode(kPhaseColumn, QHeaderView::ResizeToContents);
    portTable_->horizontalHeader()->setStretchLastSection(true);
    portTable_->setColumnWidth(kProgressColumn, fontMetrics().averageCharWidth() * 18);
    portTable_->setAccessibleName(WithoutMnemonic(Text(kTextPorts, language)).remove(QLatin1Char(':')).trimmed());
    lblPorts->setBuddy(portTable_);

    auto *lblOtherPort = Named(new QLabel(Text(kTextOtherPort, language), this), QStringLiteral("lblOtherPort"));
    otherPortEdit_ = Named(new QLineEdit(this), QStringLiteral("txtOtherPort"));
    otherPortEdit_->setAccessibleName(WithoutMnemonic(lblOtherPort->text()));
    lblOtherPort->setBuddy(otherPortEdit_);
    addPortButton_ = Named(new QPushButton(Text(kTextAdd, language), this), QStringLiteral("cmdAddPort"));
    addPortButton_->setAutoDefault(false);
    connect(addPortButton_, &QPushButton::clicked, this, &FleetDialog::addTypedPort);

    channelsOnlyCheck_ = Named(new QCheckBox(Text(kTextChannelsOnly, language), this), QStringLiteral("chkChannelsOnly"));

    auto *lblLog = Named(new QLabel(Text(kTextLog, language), this), QStringLiteral("lblFleetLog"));
    logFileEdit_ = Named(new QLineEdit(QDir::toNativeSeparators(setup_.logFile), this), QStringLiteral("txtFleetLog"));
    logFileEdit_->setAccessibleName(WithoutMnemonic(lblLog->text()));
    logFileEdit_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    lblLog->setBuddy(logFileEdit_);
    browseButton_ = Named(new QPushButton(Text(kTextBrowse, language), this), QStringLiteral("cmdBrowse"));
    browseButton_->setAutoDefault(false);
    connect(browseButton_, &QPushButton::clicked, this, &FleetDialog::browse);

    fleetStatus_ = Named(new QLabel(this), QStringLiteral("lblFleetStatus"));
    fleetStatus_->setWordWrap(true);

    startButton_ = Named(new QPushButton(Text(kTextStart, language), this), QStringLiteral("cmdStart"));
    nextRoundButton_ = Named(new QPushButton(Text(kTextNextRound, language), this), QStringLiteral("cmdNextRound"));
    stopButton_ = Named(new QPushButton(Text(kTextStop, language), this), QStringLiteral("cmdStop"));
    closeButton_ = Named(new QPushButton(Text(kTextClose, language), this), QStringLiteral("cmdClose"));
    for (QPushButton *button : {startButton_, nextRoundButton_, stopButton_, closeButton_})
        button->setAutoDefault(false);
    connect(startButton_, &QPushButton::clicked, this, &FleetDialog::startRound);
    connect(nextRoundButton_, &QPushButton::clicked, this, &FleetDialog::startRound);
    connect(stopButton_, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QGridLayout;
    fields->addWidget(lblOtherPort, 0, 0);
    fields->addWidget(otherPortEdit_, 0, 1);
    fields->addWidget(addPortButton_, 0, 2);
    fields->addWidget(channelsOnlyCheck_, 1, 0, 1, 3);
    fields->addWidget(lblLog, 2, 0);
    fields->addWidget(logFileEdit_, 2, 1);
    fields->addWidget(browseButton_, 2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {startButton_, nextRoundButton_, stopButton_, closeButton_})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPorts);
    layout->addWidget(portTable_, 1);
    layout->addLayout(fields);
    layout->addWidget(fleetStatus_);
    layout->addLayout(buttons);

    setTabOrder(portTable_, otherPortEdit_);
    setTabOrder(otherPortEdit_, addPortButton_);
    setTabOrder(addPortButton_, channelsOnlyCheck_);
    setTabOrder(channelsOnlyCheck_, logFileEdit_);
    setTabOrder(logFileEdit_, browseButton_);
    setTabOrder(browseButton_, startButton_);
    setTabOrder(startButton_, nextRoundButton_);
    setTabOrder(nextRoundButton_, stopButton_);
    setTabOrder(stopButton_, closeButton_);

    // The default button follows whether any port is ticked.
    connect(portTable_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() == kPortColumn)
            updateButtons();
    });

    for (const SerialPortEntry &port : setup_.ports) {
        const int row = addPort(port.systemName, port.description);
        if (!port.isAdapter)
            portTable_->item(row, kPortColumn)->setCheckState(Qt::Unchecked);
    }
    if (!setup_.extraPort.isEmpty())
        addPort(setup_.extraPort);
    if (portTable_->rowCount() > 0)
        portTable_->setCurrentCell(0, kPortColumn);

    // Room for the port table and the log line in this font.
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().lineSpacing() * 24);
    updateButtons();
    portTable_->setFocus();
}

FleetDialog::~FleetDialog()
{
    // Every radio still in the middle gets its end byte before the ports close.
    for (const auto &job : jobs_)
        if (job)
            job->cancel();
}

QString FleetDialog::portOfRow(int row) const
{
    const QTableWidgetItem *item = portTable_->item(row, kPortColumn);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

int FleetDialog::addPort(const QString &systemName, const QString &description)
{
    for (int row = 0; row < portTable_->rowCount(); ++row) {
        if (portOfRow(row) == systemName) {
            portTable_->item(row, kPortColumn)->setCheckState(Qt::Checked);
            return row;
        }
    }
    const int row = portTable_->rowCount();
    portTable_->insertRow(row);
    const QString shown = description.isEmpty() ? QDir::toNativeSeparators(systemName)
                                                : QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(systemName),
                                                                                description);
    auto *port = new QTableWidgetItem(shown);
    port->setData(Qt::UserRole, systemName);
    port->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    port->setCheckState(Qt::Checked);
    port->setData(Qt::AccessibleTextRole, shown);
    {
        const QSignalBlocker blocker(portTable_);
        portTable_->setItem(row, kPortColumn, port);
        for (int column : {kRoundColumn, kProgressColumn, kPhaseColumn, kResultColumn}) {
            auto *cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            portTable_->setItem(row, column, cell);
        }
    }
    auto *bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("prgFleet%1").arg(row));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setFocusPolicy(Qt::NoFocus); // the row is reached through the list
    portTable_->setCellWidget(row, kProgressColumn, bar);
    bars_.push_back(bar);
    jobs_.emplace_back();
    showRow(row);
    updateButtons();
    return row;
}

void FleetDialog::addTypedPort()
{
    const QString typed = otherPortEdit_->text().trimmed();
    if (typed.isEmpty())
        return;
    const int row = addPort(NormalizePortName(typed));
    portTable_->setCurrentCell(row, kPortColumn);
    otherPortEdit_->clear();
}

void FleetDialog::browse()
{
    const QString chosen =
        prompts_.saveFileName(this, QtFileFilter(Text(kTextLogFilter, language_)), logFileEdit_->text());
    if (!chosen.isEmpty())
        logFileEdit_->setText(QDir::toNativeSeparators(chosen));
}

QString FleetDialog::logFile() const
{
    return QDir::fromNativeSeparators(logFileEdit_->text().trimmed());
}

bool FleetDialog::isRunning() const
{
    for (const auto &job : jobs_)
        if (job && !job->done())
            return true;
    return false;
}

void FleetDialog::startRound()
{
    if (isRunning())
        return;
    std::vector<int> rows;
    for (int row = 0; row < portTable_->rowCount(); ++row)
        if (portTable_->item(row, kPortColumn)->checkState() == Qt::Checked)
            rows.push_back(row);
    if (rows.empty()) {
        PromptMessage message{kTextNoPort, Text(kTextNoPort, language_), ProductName(), QMessageBox::Information};
        prompts_.message(this, message);
        portTable_->setFocus();
        return;
    }
    if (!log_.isOpen()) {
        const QString path = logFile();
        const QString error = path.isEmpty() ? QString() : log_.open(QFileInfo(path).absoluteFilePath());
        if (path.isEmpty() || !error.isEmpty()) {
            PromptMessage message{kTextLogFailed,
                                  Text(kTextLogFailed, language_).arg(QDir::toNativeSeparators(path), error),
                                  ProductName(), QMessageBox::Critical};
            prompts_.message(this, message);
            log_.close();
            logFileEdit_->setFocus();
            return;
        }
    }

    FleetSettings settings;
    settings.plan = setup_.plan;
    settings.channelsOnly = channelsOnlyCheck_->isChecked();
    settings.backup = setup_.backup;
    settings.backupFolder = setup_.backupFolder;
    settings.language = language_;
    ++round_;
    stopping_ = false;
    logFailureShown_ = false;
    for (std::size_t row = 0; row < jobs_.size(); ++row)
        jobs_[row].reset();
    for (int row : rows) {
        auto job = std::make_unique<FleetJob>(portOfRow(row), round_, settings);
        connect(job.get(), &FleetJob::changed, this, [this, row] { jobChanged(row); });
        jobs_[static_cast<std::size_t>(row)] = std::move(job);
    }
    for (int row = 0; row < portTable_->rowCount(); ++row)
        showRow(row);
    const QString running = Text(kTextRoundRunning, language_).arg(round_);
    fleetStatus_->setText(running);
    Announce(fleetStatus_, running);
    updateButtons();
    stopButton_->setFocus();
    // Every job gets its port before any starts talking; a port that does not open ends its
    // job at once.
    for (int row : rows)
        if (const auto &job = jobs_[static_cast<std::size_t>(row)])
            job->start();
}

void FleetDialog::stop()
{
    if (!isRunning())
        return;
    stopping_ = true;
    for (const auto &job : jobs_)
        if (job)
            job->cancel();
    updateButtons();
}

void FleetDialog::jobChanged(int row)
{
    showRow(row);
    const auto &job = jobs_[static_cast<std::size_t>(row)];
    if (!job || !job->done() || job->property("logged").toBool())
        return;
    job->setProperty("logged", true);
    if (!log_.append(*job) && !logFailureShown_) {
        // Said once a round; the radios go on being programmed all the same.
        logFailureShown_ = true;
        PromptMessage message{kTextLogFailed,
                              Text(kTextLogFailed, language_).arg(QDir::toNativeSeparators(log_.fileName()), log_.error()),
                              ProductName(), QMessageBox::Warning};
        prompts_.message(this, message);
    }
    if (!isRunning())
        roundEnded();
}

void FleetDialog::showRow(int row)
{
    const QString port = portTable_->item(row, kPortColumn)->text();
    const auto &job = jobs_[static_cast<std::size_t>(row)];
    QString roundText, phaseText, resultText;
    int percent = 0;
    if (job) {
        roundText = QString::number(job->round());
        if (const int id = PhaseText(job->phase()))
            phaseText = Text(id, language_);
        if (const int id = ResultText(job->result())) {
            resultText = Text(id, language_);
            const QString detail = job->interrupted() ? Text(kTextStopped, language_) : job->detail();
            if (!detail.isEmpty())
                resultText += (language_ == kChinese ? QStringLiteral("：") : QStringLiteral(": ")) + detail;
        }
        percent = OverallPercent(*job);
        if (percent < 0)
            percent = job->verified() ? 100 : bars_[static_cast<std::size_t>(row)]->value();
    }
    const QString separator = language_ == kChinese ? QStringLiteral("，") : QStringLiteral(", ");
    const auto cellName = [&](int column, const QString &value) {
        const QString where = Text(kTextCellOf, language_).arg(Text(kHeaders[column], language_), port);
        return value.isEmpty() ? where : value + separator + where;
    };
    const auto set = [&](int column, const QString &text) {
        QTableWidgetItem *item = portTable_->item(row, column);
        item->setText(text);
        item->setToolTip(text);
        item->setData(Qt::AccessibleTextRole, cellName(column, text));
    };
    set(kRoundColumn, roundText);
    set(kPhaseColumn, phaseText);
    set(kResultColumn, resultText);
    QProgressBar *bar = bars_[static_cast<std::size_t>(row)];
    bar->setValue(percent);
    const QString progress = QStringLiteral("%1%").arg(percent);
    bar->setAccessibleName(cellName(kProgressColumn, QString()));
    portTable_->item(row, kProgressColumn)->setData(Qt::AccessibleTextRole, cellName(kProgressColumn, progress));
}

void FleetDialog::roundEnded()
{
    int count = 0;
    int verified = 0;
    for (const auto &job : jobs_) {
        if (!job)
            continue;
        ++count;
        verified += job->verified() ? 1 : 0;
    }
    // A stopped radio says so in its own row.
    const QString text = Text(kTextRoundEnded, language_).arg(round_).arg(verified).arg(count);
    fleetStatus_->setText(text);
    Announce(fleetStatus_, text);
    updateButtons();
    emit roundFinished();
    if (closePending_) {
        closePending_ = false;
        done(closeResult_);
        return;
    }
    nextRoundButton_->setFocus();
}

void FleetDialog::updateButtons()
{
    const bool running = isRunning();
    bool anyTicked = false;
    {
        const QSignalBlocker blocker(portTable_);
        for (int row = 0; row < portTable_->rowCount(); ++row) {
            QTableWidgetItem *item = portTable_->item(row, kPortColumn);
            anyTicked = anyTicked || item->checkState() == Qt::Checked;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (!running)
                flags |= Qt::ItemIsUserCheckable; // the ticks stay as they are while a round runs
            item->setFlags(flags);
        }
    }
    const bool started = round_ > 0;
    startButton_->setEnabled(!running && !started);
    nextRoundButton_->setEnabled(!running && started);
    stopButton_->setEnabled(running && !stopping_);
    otherPortEdit_->setEnabled(!running);
    addPortButton_->setEnabled(!running);
    // What the log says and how radios are written stays the same through the rounds.
    channelsOnlyCheck_->setEnabled(!started);
    logFileEdit_->setEnabled(!started);
    browseButton_->setEnabled(!started);
    (started ? nextRoundButton_ : startButton_)->setDefault(!running && anyTicked);
}

void FleetDialog::done(int result)
{
    if (isRunning()) {
        // Closing in the middle: every radio is let go first, then the window closes.
        closePending_ = true;
        closeResult_ = result;
        stop();
        return;
    }
    log_.close();
    QDialog::done(result);
}

void FleetDialog::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && otherPortEdit_->hasFocus()) {
        addTypedPort();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zrk6
