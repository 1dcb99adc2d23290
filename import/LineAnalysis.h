#pragma once
// How the lines of an exported list divide into fields and which field holds what: read from
// the info tag for HTML lists, worked out from the text itself for text lists; and the split of
// every data line by that plan.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/Detection.h"
#include "import/LineReader.h"
#include "platform/UserInterface.h"

namespace sonalog {

// The fixed division of every line: F + 1 fields numbered from the end of the line.
struct FieldPlan {
  int delimiterCount = 0;      // F: delimiters per line, one fewer than the fields
  std::vector<uint8_t> roles;  // ColumnRole of fields 0..F
  char delimiter = ',';
  char opening = ' ';          // stripped from field starts together with blanks
};

// Delimiter character and opening character of a delimiter kind 0..5.
char delimiterOf(int kind);
char openingOf(int kind);

// Roles of an HTML list from its info tag and caption kind.
FieldPlan layoutFromTag(const ImportFrame& frame);

// Works out the layout and plan of a text list from the lines file. Failed sets errorText;
// Cancelled when the user cancelled or a question was answered so.
StepResult analyseTextList(const std::string& linesPath, ImportFrame& frame, FieldPlan& plan,
                           UserInterface& ui);

// Splits one line into fields 0..F (enumeration dropped, artist-title cells joined). False with
// the error text set. With keepEnumeration the enumeration text is stored as field F + 1.
bool splitLine(std::string_view line, uint64_t lineNumber, const ImportFrame& frame,
               const FieldPlan& plan, std::vector<std::string>& fields, std::string& error,
               bool keepEnumeration = false);

}  // namespace sonalog
