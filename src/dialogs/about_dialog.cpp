#include "dialogs/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_support.h"
#include "text/text_ids.h"

namespace zrk6 {

QDate ReleaseDate()
{
    return QDate(2026, 12, 1);
}

QString AboutText(LanguageMode language)
{
    const QString product = ProductName();
    const QStringList lines = {
        product + QLatin1Char(' ') + Text(text_id::kRadioProgrammingSoftware, language),
        Text(text_id::kFor, language) + QLatin1Char(' ') + product,
        QString(),
        Text(text_id::kVersion, language) + QLatin1Char(' ') + QString::fromLatin1(kVersionText),
        Text(text_id::kRelease, language) + QLatin1Char(' ') + QLocale().toString(ReleaseDate(), QLocale::ShortFormat),
        QString(),
        QStringLiteral("Free software: use, study, share and change it under its licence."),
        QStringLiteral("No warranty: check every setting before the radio transmits."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

AboutDialog::AboutDialog(LanguageMode language, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    UseOwnerIcon(this);
    setWindowTitle(Text(text_id::kAbout, language) + QLatin1Char(' ') + ProductName());

    lblAbout_ = new QLabel(AboutText(language), this);
    lblAbout_->setObjectName(QStringLiteral("lblAbout"));
    lblAbout_->setTextFormat(Qt::PlainText);
    lblAbout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *cmdOK = new QPushButton(Text(text_id::kOk, language), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(20, 16, 20, 12);
    main->addWidget(lblAbout_);
    main->addSpacing(8);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}

} // namespace zrk6
