#pragma once

#include <optional>

#include <QDialog>

#include "model/channel_operations.h"
#include "text/text_table.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zrk6 {

// Change Selected Channels: one line per field, each with a check box; only checked
// fields change. value() holds what the user chose.
class ChangeChannelsDialog final : public QDialog {
    Q_OBJECT

public:
    ChangeChannelsDialog(LanguageMode language, QWidget *parent);
    ChannelChange value() const;
    // The names of the checked fields in the dialog's language, for the undo caption.
    QStringList checkedFieldNames() const;
    // The text ids of the checked fields' names.
    std::vector<int> checkedFieldIds() const;

private:
    struct Line {
        QCheckBox *check;
        QComboBox *box;
        int textId;
    };
    Line addLine(int textId, const char *name, const std::vector<int> &items);
    LanguageMode language_;
    std::vector<Line> lines_;
    QDoubleSpinBox *offset_ = nullptr;
};

// Sort Channels: the key, the direction and whether only the selected rows are sorted.
class SortChannelsDialog final : public QDialog {
    Q_OBJECT

public:
    SortChannelsDialog(LanguageMode language, bool selectionOffered, QWidget *parent);
    SortKey key() const;
    bool descending() const;
    bool selectedOnly() const;

private:
    QComboBox *key_;
    QCheckBox *descending_;
    QCheckBox *selectedOnly_;
};

// Find: a frequency or tone to look for. It stays open beside the grid; Enter, F3 and Find Next
// ask for the next match, and the window says where it went through showResult.
class FindDialog final : public QDialog {
    Q_OBJECT

public:
    FindDialog(LanguageMode language, QWidget *parent);
    void applyCaptions(LanguageMode language);
    QString text() const;
    // A line under the entry: what the last search found, or why it found nothing.
    void showResult(const QString &result);

signals:
    void findNext(const QString &text);

private:
    QLabel *prompt_;
    QLineEdit *text_;
    QLabel *result_;
    QPushButton *next_;
    QPushButton *close_;
};

} // namespace zrk6
