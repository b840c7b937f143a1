#pragma once

#include <QDialog>
#include <QStringList>

#include "text/text_table.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zrk6 {

// A list of differences in a read-only text the user can select and copy from, with a
// heading, Copy All and Close (frmCompare).
class DifferencesDialog final : public QDialog {
    Q_OBJECT
public:
    DifferencesDialog(const QString &title, const QString &heading, const QStringList &lines, LanguageMode language,
                      QWidget *parent = nullptr);

    // The whole list, one difference a line.
    QString listText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // While the list has the focus the caret's line is highlighted, so a keyboard user sees
    // where the focus and the caret are.
    void markCaretLine(bool focused);

    QLabel *heading_;
    QPlainTextEdit *differencesText_;
    QPushButton *copyButton_;
    QPushButton *closeButton_;
};

} // namespace zrk6
