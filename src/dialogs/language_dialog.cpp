#include "dialogs/language_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "text/text_ids.h"
#include "ui/prompts.h"

namespace zrk6 {

LanguageDialog::LanguageDialog(AppState &state, QWidget *parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frmLanguage"));
    UseOwnerIcon(this);
    const LanguageMode lang = state_.language;
    setWindowTitle(Text(text_id::kLanguageSetup, lang));

    auto *lblLang = new QLabel(Text(text_id::kLanguageMode, lang), this);
    lblLang->setObjectName(QStringLiteral("lblLang"));
    cboLang_ = new QComboBox(this);
    cboLang_->setObjectName(QStringLiteral("cboLang"));
    cboLang_->addItems({Text(text_id::kEnglishLanguage, lang), Text(text_id::kChineseLanguage, lang)}); // the index is the LanguageMode
    cboLang_->setCurrentIndex(NormalizeLanguage(state_.language));
    lblLang->setBuddy(cboLang_);

    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);

    auto *row = new QHBoxLayout;
    row->addWidget(lblLang);
    row->addWidget(cboLang_, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addSpacing(8);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(this);
    cboLang_->setFocus();
}

void LanguageDialog::accept()
{
    if (cboLang_->currentIndex() != state_.language)
        state_.language = cboLang_->currentIndex();
    QDialog::accept();
}

} // namespace zrk6
