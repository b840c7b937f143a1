#pragma once

#include <string>

#include "model/band.h"
#include "model/memory_image.h"

namespace zrk6 {

enum class FieldId;

enum class ChordLanguage { Chinese = 0, English = 1, Off = 2 };

// The radio-wide optional features as list indexes, check states and texts.
struct OptionalFeatures {
    int timeOutTimer = 0;    // 0 off, n = n*15 s (0..20)
    int squelchLevel = 0;    // 0..9
    int voxGain = 0;         // 0 off, 1..9
    int voxDelay = 0;        // 0..5: 0.3, 0.5, 1.0, 1.5, 2.0, 3.0 s
    int channelDisplay = 0;  // 0 number, 1 number and frequency
    int scanMode = 0;        // 0 off, 1 channel, 2 CTCSS, 3 DCS
    int lamp = 0;            // 0 off, 1 auto, 2 on
    int priorityChannel = 0; // 0 off, 1..128
    bool revertFrequency = false;
    bool keyLock = false;
    bool batterySave = false;
    bool scrambler = false;
    bool beepTone = false;
    bool manual = false;
    ChordLanguage chordLanguage = ChordLanguage::Off; // read only
    std::string pttIdAni;  // read only, up to 4 digits
    std::string pttIdName; // read only, up to 6 of A-Z, 1-9

    bool operator==(const OptionalFeatures &) const = default;
};

// Decodes 0xFC0-0xFC9, 0xFD0-0xFD3 and 0xFE0-0xFE5. Values outside a field's range read
// as its first item; a priority channel that is empty in the band reads as off.
OptionalFeatures DecodeOptionalFeatures(const MemoryImage &image, const Band &band);

// Stores the fields back bit-exactly; chord language, ANI and name are not stored, and
// no bit outside the fields changes. Indexes out of their range are stored as 0.
void EncodeOptionalFeatures(MemoryImage &image, const OptionalFeatures &features);

// Stores one writable settings field (see model/fields.h) from its stored value, bit-exactly;
// a value out of the field's range is stored as 0.
void EncodeOptionalFeature(MemoryImage &image, FieldId field, int value);

} // namespace zrk6
