#pragma once

#include <QObject>
#include <QString>

#include "model/fields.h"
#include "text/text_table.h"

class QComboBox;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace zrk6 {

// The text of a table entry in the given language.
QString Text(int englishId, LanguageMode language);

// The label of a field, and the text of one of its stored values ("" when it is not listed).
QString FieldLabel(FieldId field, LanguageMode language);
QString ChoiceItem(FieldId field, int value, LanguageMode language);
// Fills a list with a field's choices in order, each item carrying its stored value as data.
void AddChoices(QComboBox *list, FieldId field, LanguageMode language);

// The product name, used as the caption of the program's own message boxes.
QString ProductName();

// Gives a dialog the program icon its owner window carries.
void UseOwnerIcon(QWidget *dialog);

// Names a widget where it is made: sets its object name and hands it back.
template <typename T>
T *Named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// What Enter does in a dialog: press OK wherever the focus is, or press only a focused
// button and leave other controls to handle it themselves.
enum class EnterKey { PressesOk, StaysWithFocus };

// The OK and Cancel buttons of a dialog (cmdOK, cmdCancel) in its language, wired to
// accept and reject.
struct OkCancelButtons {
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancelButtons MakeOkCancel(QDialog *dialog, LanguageMode language, EnterKey enter);

// A row with the OK and Cancel buttons at its right end.
QHBoxLayout *OkCancelRow(const OkCancelButtons &buttons);

// Turns Enter (main or keypad) on the watched widgets into a Tab, so the focus moves
// to the next control; push buttons are pressed instead.
class EnterMovesFocus final : public QObject {
public:
    explicit EnterMovesFocus(QObject *parent) : QObject(parent) {}
    void watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Selects the whole text of the watched line edits whenever they get the focus, also
// when the focus comes from a mouse click.
class SelectAllOnFocus final : public QObject {
public:
    explicit SelectAllOnFocus(QObject *parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace zrk6
