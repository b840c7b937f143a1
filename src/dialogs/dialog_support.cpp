#include "dialogs/dialog_support.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "text/text_ids.h"

namespace zrk6 {

QString Text(int englishId, LanguageMode language)
{
    const std::string_view text = LoadText(englishId, language);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FieldLabel(FieldId field, LanguageMode language)
{
    return Text(Field(field).labelId, language);
}

QString ChoiceItem(FieldId field, int value, LanguageMode language)
{
    const auto choice = FindChoice(field, value);
    return choice ? QString::fromStdString(ChoiceText(*choice, language)) : QString();
}

void AddChoices(QComboBox *list, FieldId field, LanguageMode language)
{
    for (const Choice &choice : Field(field).choices)
        list->addItem(QString::fromStdString(ChoiceText(choice, language)), choice.value);
}

QString ProductName()
{
    return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

void UseOwnerIcon(QWidget *dialog)
{
    if (QWidget *owner = dialog->parentWidget()) {
        const QIcon icon = owner->window()->windowIcon();
        if (!icon.isNull())
            dialog->setWindowIcon(icon);
    }
}

OkCancelButtons MakeOkCancel(QDialog *dialog, LanguageMode language, EnterKey enter)
{
    auto *ok = Named(new QPushButton(Text(text_id::kOk, language), dialog), QStringLiteral("cmdOK"));
    auto *cancel = Named(new QPushButton(Text(text_id::kCancel, language), dialog), QStringLiteral("cmdCancel"));
    if (enter == EnterKey::PressesOk) {
        ok->setDefault(true);
    } else {
        ok->setAutoDefault(false);
        cancel->setAutoDefault(false);
    }
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

QHBoxLayout *OkCancelRow(const OkCancelButtons &buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(buttons.ok);
    row->addWidget(buttons.cancel);
    return row;
}

void EnterMovesFocus::watch(QWidget *widget)
{
    widget->installEventFilter(this);
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (auto *button = qobject_cast<QPushButton *>(watched)) {
        button->click();
        return true;
    }
    // A synthetic Tab takes the same path as the real key, honouring the tab order.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(watched, &tab);
    return true;
}

bool SelectAllOnFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
            edit->selectAll();
            // A mouse press places the caret after the focus arrives; select again after it.
            QTimer::singleShot(0, edit, [edit] {
                if (edit->hasFocus())
                    edit->selectAll();
            });
        }
    }
    return false;
}

} // namespace zrk6
