#pragma once

#include <QString>

#include "document/image_document.h"

#include "model/channel_record.h"
#include "text/text_table.h"

namespace zrk6 {

// The names of the undo steps, as the Edit menu shows them after "Undo" and "Redo".
namespace command_text {
inline constexpr int kChannelField = 1740; // "%2 of Channel %1"
inline constexpr int kInsertChannel = 1741;
inline constexpr int kDeleteChannel = 1742;
inline constexpr int kCopyChannel = 1743;
inline constexpr int kFrequencyCopy = 1744;
inline constexpr int kToneCopy = 1745;
inline constexpr int kChangeBand = 1746;
inline constexpr int kMemoryMap = 1747;
inline constexpr int kOptionalFeatures = 1748;
} // namespace command_text

// A command name of the text table with its %1, %2 filled in.
QString CommandName(int textId, LanguageMode language, const QString &arg1 = {}, const QString &arg2 = {});
// "<column> of Channel n", with the column named as the grid's header names it.
QString ChannelFieldCommandName(int channel, ChannelColumn column, LanguageMode language);

// The same names as undo step names, made in whatever language is chosen later.
ImageDocument::StepName CommandStep(int textId, const QString &arg1 = {}, const QString &arg2 = {});
ImageDocument::StepName ChannelFieldStep(int channel, ChannelColumn column);

} // namespace zrk6
