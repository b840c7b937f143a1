#pragma once

#include <array>
#include <cstdint>
#include <map>

#include <QDialog>

#include "document/image_document.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zrk6 {

// frmMemoryMap: every byte of the image as a 256 x 16 hex table with an in-place editor.
// Modeless: it follows the document while open (a byte edited here and not yet stored keeps
// its edit). OK hands over only the bytes edited here (bytesChosen), so changes made
// elsewhere while it was open survive; the caller stores them as one change.
// Esc only ends an edit; closing without saving takes Cancel or the window's close button.
class MemoryMapDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MemoryMapDialog(const ImageDocument &document, QWidget *parent = nullptr);

    QTableWidget *grid() const { return memoryTable_; }
    QLineEdit *editor() const { return byteEditor_; }
    QLabel *addressLabel() const { return addressLabel_; }
    bool isEditing() const;

    // Opens the editor on the current cell with its text, or with one typed character.
    void openEditor(const QString &typed = QString());

signals:
    // OK: the bytes edited here, by address.
    void bytesChosen(const std::map<int, std::uint8_t> &bytes);

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillGrid();
    void showBytes(int begin, int end);
    void sizeGrid();
    void updateAddress();
    void commitEdit();
    void cancelEdit();
    void finishEdit();
    void moveAfterEnter();
    bool gridKey(class QKeyEvent *key);
    bool editorKey(class QKeyEvent *key);

    const ImageDocument &document_;
    QTableWidget *memoryTable_ = nullptr;
    QLineEdit *byteEditor_ = nullptr;
    QLabel *addressLabel_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QString savedText_;
    int editRow_ = -1;
    int editColumn_ = -1;
    std::array<bool, kImageSize> edited_{};
};

} // namespace zrk6
