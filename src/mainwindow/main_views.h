#pragma once

#include <QString>

#include "text/text_table.h"
#include "text/text_qstring.h"
#include "ui/prompts.h"

class QWidget;

namespace zrk6 {

// What the command controllers need from the main window: the steps around a command
// that belong to the window's views. The views follow the document by themselves.
class MainViews {
public:
    virtual ~MainViews() = default;

    // The parent for message boxes, file dialogs and the transfer window.
    virtual QWidget *dialogParent() = 0;
    // Ends an open in-place editor of the grid (a text entry is committed).
    virtual void closeCellEditor() = 0;
    // Current cell (row, column) and the keyboard focus on the grid.
    virtual void focusGrid(int row, int column) = 0;
    virtual void focusGrid() = 0;
    // A note in the status bar; timeoutMs 0 keeps it until the next one.
    virtual void showStatus(const QString &text, int timeoutMs) = 0;
};

// A message box of the text table: text id in the language, with a title and buttons.
inline PromptMessage TextMessage(int textId, LanguageMode language, const QString &title,
                                 QMessageBox::Icon icon,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    PromptMessage m;
    m.textId = textId;
    m.text = LoadQText(textId, language);
    m.title = title;
    m.icon = icon;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return m;
}

inline QString ProductTitle()
{
    return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

inline QString TableText(int textId, LanguageMode language)
{
    return LoadQText(textId, language);
}

} // namespace zrk6
