#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "ui/prompts.h"

namespace zrk6::test {

// Answers prompts from a script and records every message shown.
class ScriptedPrompts final : public Prompts {
public:
    // Answers for the next message boxes, in order; when they run out the default button
    // (or the first of the buttons) is chosen.
    QList<QMessageBox::StandardButton> answers;
    // Paths the next file dialogs return, in order; when they run out a dialog is cancelled.
    QStringList fileNames;

    QList<PromptMessage> shown;   // every message box, in order
    QList<PromptReport> reports;  // every report, in order
    QStringList dialogFilters;    // the filter of every file dialog
    QStringList initialNames;     // the initial name of every save dialog
    QStringList dialogTitles;     // the title of every file dialog

    QMessageBox::StandardButton message(QWidget *parent, const PromptMessage &message) override;
    void report(QWidget *parent, const PromptReport &report) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &title = {}) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &initialName,
                         const QString &title = {}) override;

    // The text ids of the messages shown, in order.
    QList<int> shownIds() const;
};

} // namespace zrk6::test
