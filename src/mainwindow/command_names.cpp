#include "mainwindow/command_names.h"

#include <array>

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
    // The grid's column headers, RX Freq to Scrambler.
    constexpr std::array<int, kChannelColumns> kColumnIds = {1200, 1202, 1211, 1212, 1216, 1219, 1213, 1227, 1656};
    return CommandName(command_text::kChannelField, language, QString::number(channel),
                       TableText(kColumnIds[static_cast<std::size_t>(column)], language));
}

} // namespace zrk6
