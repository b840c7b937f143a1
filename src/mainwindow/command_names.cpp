#include "mainwindow/command_names.h"

#include "mainwindow/main_views.h"

namespace zrk6 {

QString CommandName(int textId, LanguageMode language, const QString &arg1, const QString &arg2)
{
    QString name = TableText(textId, language);
    if (!arg1.isNull())
        name = name.arg(arg1);
    if (!arg2.isNull())
        name = name.arg(arg2);
    return name;
}

QString ChannelFieldCommandName(int channel, ChannelColumn column, LanguageMode language)
{
    return CommandName(command_text::kChannelField, language, QString::number(channel),
                       TableText(kChannelColumnTextIds[static_cast<std::size_t>(column)], language));
}

ImageDocument::StepName CommandStep(int textId, const QString &arg1, const QString &arg2)
{
    return [=](LanguageMode language) { return CommandName(textId, language, arg1, arg2); };
}

ImageDocument::StepName ChannelFieldStep(int channel, ChannelColumn column)
{
    return [=](LanguageMode language) { return ChannelFieldCommandName(channel, column, language); };
}

} // namespace zrk6
