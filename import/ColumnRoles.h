#pragma once
// Which column of a text list holds what: every column of the sample lines is matched against
// the content rules (a path, a stereo mode, a frequency, a bitrate, a playtime, a numbering, a
// size, a date), each with the failure that a second such column gives; the columns no rule
// takes are the title and the volume label, and the dates are told apart by their place.

#include <string>
#include <string_view>
#include <vector>

#include "import/Detection.h"
#include "platform/UserInterface.h"

namespace sonalog {

struct FieldPlan;

// The fields of the first lines, each split into fields 0..F (numbered from the end of the line)
// and, for an enumerated list, the number as field F + 1.
using SampleLines = std::vector<std::vector<std::string>>;

// Gives every field of the plan its role and records the fields found in the frame's layout.
// Failed sets the frame's errorText; one date column next to no path asks the user which date it
// is.
StepResult classifyColumns(const SampleLines& samples, ImportFrame& frame, FieldPlan& plan, UserInterface& ui);

}  // namespace sonalog
