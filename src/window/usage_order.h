// The order of the rows: most used first, the configuration's order breaking ties. After a
// run only the entry that ran moves, and only upwards; a catalogue build sorts in full.
#pragma once

#include <string_view>

#include "catalogue/software_entry.h"
#include "platform/toolkit.h"

namespace qovra {

// Whether a belongs above b: more runs, or as many and earlier in the configuration.
bool entryPrecedes(const SoftwareEntry& a, const SoftwareEntry& b);

// Moves the rows of the named entry up past every row it now precedes (every row when the
// name is empty), then places all rows for their numbers and starts the picture-group
// timer. Does nothing while another layout runs, nor for a named entry while a download
// runs: rows do not change places under a transfer. With scrollToActedRow raised, the
// view follows the named entry's row.
void sortAndLayout(std::string_view name, bool downloadRunning = false);

// The usage-order timer's tick: a one-shot that moves the entry run last into place. True
// when the event was that tick.
bool handleUsageOrderTimer(const ui::Event& event);

}  // namespace qovra
