#pragma once

#include <QString>

#include "document/image_document.h"

#include "model/channel_record.h"
#include "text/text_ids.h"
#include "text/text_table.h"

namespace zrk6 {

// The names of the undo steps, as the Edit menu shows them after "Undo" and "Redo".
namespace command_text {
inline constexpr int kChannelField = text_id::kStepChannelField; // "%2 of Channel %1"
inline constexpr int kInsertChannel = text_id::kStepInsertChannel;
inline constexpr int kDeleteChannel = text_id::kStepDeleteChannel;
inline constexpr int kCopyChannel = text_id::kStepCopyChannel;
inline constexpr int kFrequencyCopy = text_id::kStepFrequencyCopy;
inline constexpr int kToneCopy = text_id::kStepQtDqtCopy;
inline constexpr int kChangeBand = text_id::kStepChangeBand;
inline constexpr int kMemoryMap = text_id::kStepMemoryMapEdit;
inline constexpr int kOptionalFeatures = text_id::kStepChangeOptionalFeatures;
} // namespace command_text

// A command name of the text table with its %1, %2 filled in.
QString CommandName(int textId, LanguageMode language, const QString &arg1 = {}, const QString &arg2 = {});
// "<column> of Channel n", with the column named as the grid's header names it.
QString ChannelFieldCommandName(int channel, ChannelColumn column, LanguageMode language);

// The same names as undo step names, made in whatever language is chosen later.
ImageDocument::StepName CommandStep(int textId, const QString &arg1 = {}, const QString &arg2 = {});
ImageDocument::StepName ChannelFieldStep(int channel, ChannelColumn column);

} // namespace zrk6
