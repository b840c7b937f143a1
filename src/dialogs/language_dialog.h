#pragma once

#include <QDialog>

#include "model/app_state.h"

class QComboBox;

namespace zrk6 {

// frmLanguage: chooses LanguageMode. OK stores the choice in the state; the caller
// re-captions its windows when the language changed.
class LanguageDialog final : public QDialog {
    Q_OBJECT
public:
    explicit LanguageDialog(AppState &state, QWidget *parent = nullptr);

    QComboBox *languageList() const { return languageList_; }

public slots:
    void accept() override;

private:
    AppState &state_;
    QComboBox *languageList_ = nullptr;
};

} // namespace zrk6
