#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QDialog;
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
    QStringList notes; // remarks on the whole action, each said once under the summary
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
    // filter is in Qt's form ("Description (*.dat)"); title names the command (empty: the
    // dialog's own). An empty result means cancelled.
    virtual QString openFileName(QWidget *parent, const QString &filter, const QString &title = {}) = 0;
    // Asks before replacing an existing file. A name typed without an extension gets the one
    // of the chosen filter. An empty result means cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &filter, const QString &initialName,
                                 const QString &title = {}) = 0;
};

// The real prompts: QMessageBox and QFileDialog.
class WidgetPrompts final : public Prompts {
public:
    QMessageBox::StandardButton message(QWidget *parent, const PromptMessage &message) override;
    void report(QWidget *parent, const PromptReport &report) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &title = {}) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &initialName,
                         const QString &title = {}) override;
};

// Widens dialog (after its title and layout are set) so that a title bar can show its whole
// title beside the window's icon and buttons.
void KeepTitleWhole(QDialog *dialog);

// Turns a filter of the text table ("Description (*.dat)|*.dat") into Qt's form.
QString QtFileFilter(const QString &tableFilter);

// The first extension a Qt filter names ("dat" of "Data (*.dat)"), empty for "*" or none.
QString FilterExtension(const QString &filter);
// path with ".extension" added when its file name has no extension; an explicit one stays.
QString WithExtension(const QString &path, const QString &extension);

} // namespace zrk6
