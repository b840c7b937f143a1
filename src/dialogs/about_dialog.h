#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include "text/text_table.h"

class QLabel;

namespace zrk6 {

inline constexpr const char *kVersionText = "2.90";

// The release date shown by the about box.
QDate ReleaseDate();

// The eight lines of the about text in the language, the date in the default locale's
// short format, joined by CR LF.
QString AboutText(LanguageMode language);

// frmAbout: program name, version, release date and the rights notice.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(LanguageMode language, QWidget *parent = nullptr);

    QLabel *aboutLabel() const { return aboutText_; }

private:
    QLabel *aboutText_ = nullptr;
};

} // namespace zrk6
