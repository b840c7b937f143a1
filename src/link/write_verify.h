#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// How the read-back after a write ended.
enum class VerifyOutcome {
    NotRun = 0, // no verification was asked for, or the write itself did not complete
    Matched,    // every address the write sent reads back as sent
    Mismatched, // some address reads back otherwise
    Incomplete, // the read-back did not complete (cancelled, wrong model)
};

// The result of checking a write against the radio's memory read back after it.
struct VerifyReport {
    VerifyOutcome outcome = VerifyOutcome::NotRun;
    std::vector<int> addresses;           // the sent addresses that read back otherwise, ascending
    std::vector<std::string> differences; // the same by meaning, one line each, in the language
    std::string headline;                 // the first line(s) of the closing message
    std::string advice;                   // the last line on a mismatch, else empty

    // The closing message: the headline, at most maxDifferences difference lines (then
    // "... (+N)"), the advice. Lines are separated by "\n".
    std::string Text(std::size_t maxDifferences = static_cast<std::size_t>(-1)) const;
};

// Compares the image a write sent with the radio's memory read back after it, over the
// addresses a write sends. readBack null means the read-back did not complete. A match reads
// "Writing completed!" and that the memory was verified; a mismatch lists the differences and
// advises writing again.
VerifyReport CheckWrite(const MemoryImage &sent, const MemoryImage *readBack, LanguageMode language);

// The channel records, 0x000-0x7FF: what "Write Channels Only" takes from the document.
inline constexpr int kChannelRecordsEnd = 0x800;

// The radio's own memory with the plan's channel records in place of its own; everything else
// (VFO, optional features, identification) stays the radio's.
MemoryImage WithChannelsOf(const MemoryImage &radio, const MemoryImage &plan);

// The transfer window's caption and progress label while it reads the radio back.
std::string VerifyingCaption(LanguageMode language);
std::string VerifyingLabel(int value, int maximum, LanguageMode language);

} // namespace zrk6
