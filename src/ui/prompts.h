#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace zrk6 {

// One message box: its text (from the text table when textId is set), title, icon and buttons.
struct PromptMessage {
    int textId = 0; // the English text identifier, 0 when the text is not from the table
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString details{}; // a longer text behind the box's Show Details button; empty for none
};

// The outcome of a long action shown at once: a summary and one line per remark.
struct PromptReport {
    QString title;
    QString summary;
    QStringList lines;
    QString okText;
};

// Every message box and file dialog of the program goes through this seam, so tests can
// answer them and record what was shown.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows the message and returns the button chosen.
    virtual QMessageBox::StandardButton message(QWidget *parent, const PromptMessage &message) = 0;
    // Shows the report and waits until it is closed.
    virtual void report(QWidget *parent, const PromptReport &report) = 0;
    // filter is in Qt's form ("Description (*.dat)"). An empty result means cancelled.
    virtual QString openFileName(QWidget *parent, const QString &filter) = 0;
    // Asks before replacing an existing file. An empty result means cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &filter, const QString &initialName) = 0;
};

// The real prompts: QMessageBox and QFileDialog.
class WidgetPrompts final : public Prompts {
public:
    QMessageBox::StandardButton message(QWidget *parent, const PromptMessage &message) override;
    void report(QWidget *parent, const PromptReport &report) override;
    QString openFileName(QWidget *parent, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &initialName) override;
};

// Turns a filter of the text table ("Description (*.dat)|*.dat") into Qt's form.
QString QtFileFilter(const QString &tableFilter);

} // namespace zrk6
