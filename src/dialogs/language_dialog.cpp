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
    languageList_ = new QComboBox(this);
    languageList_->setObjectName(QStringLiteral("cboLang"));
    languageList_->addItems({Text(text_id::kEnglishLanguage, lang), Text(text_id::kChineseLanguage, lang)}); // the index is the LanguageMode
    languageList_->setCurrentIndex(NormalizeLanguage(state_.language));
    lblLang->setBuddy(languageList_);

    const OkCancelButtons buttons = MakeOkCancel(this, lang, EnterKey::PressesOk);

    auto *row = new QHBoxLayout;
    row->addWidget(lblLang);
    row->addWidget(languageList_, 1);
    auto *main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addSpacing(8);
    main->addLayout(OkCancelRow(buttons));
    main->setSizeConstraint(QLayout::SetFixedSize);
    KeepTitleWhole(this);
    languageList_->setFocus();
}

void LanguageDialog::accept()
{
    state_.language = NormalizeLanguage(languageList_->currentIndex());
    QDialog::accept();
}

} // namespace zrk6
