#pragma once

#include <array>

#include <QDialog>

#include "model/app_state.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zrk6 {

// frmMemoryMap: every byte of the image as a 256 x 16 hex table with an in-place editor.
// Modeless. OK writes back only the bytes edited here, so changes made elsewhere while it
// was open survive, and then emits imageWritten so the main window shows the image again.
// Esc only ends an edit; closing without saving takes Cancel or the window's close button.
class MemoryMapDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MemoryMapDialog(AppState &state, QWidget *parent = nullptr);

    QTableWidget *grid() const { return msgMemory_; }
    QLineEdit *editor() const { return txtMemory_; }
    QLabel *addressLabel() const { return lblAddr_; }
    bool isEditing() const;

    // Opens the editor on the current cell with its text, or with one typed character.
    void openEditor(const QString &typed = QString());

signals:
    void imageWritten();

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillGrid();
    void sizeGrid();
    void updateAddress();
    void commitEdit();
    void cancelEdit();
    void finishEdit();
    void moveAfterEnter();
    bool gridKey(class QKeyEvent *key);
    bool editorKey(class QKeyEvent *key);

    AppState &state_;
    QTableWidget *msgMemory_ = nullptr;
    QLineEdit *txtMemory_ = nullptr;
    QLabel *lblAddr_ = nullptr;
    QPushButton *cmdOK_ = nullptr;
    QPushButton *cmdCancel_ = nullptr;
    QString savedText_;
    int editRow_ = -1;
    int editColumn_ = -1;
    std::array<bool, kImageSize> edited_{};
};

} // namespace zrk6
