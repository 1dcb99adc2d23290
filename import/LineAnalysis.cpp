#include "import/LineAnalysis.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <optional>

#include "import/ColumnRoles.h"
#include "import/HeldLineBreaks.h"

namespace sonalog {

namespace {

constexpr size_t kMaxField = 255;             // bytes of one field, as the export cuts them
constexpr size_t kMaxAnalysedLine = 1023;     // longest line the analysis accepts, bytes
constexpr size_t kFirstPassLines = 1024;      // lines the delimiter count looks at
constexpr size_t kEventEveryLines = 512;      // the user interface runs every so many lines
constexpr int kMaxRecorded = 10;              // delimiters counted per candidate and line
constexpr size_t kMaxSplitPositions = 128;    // delimiters a data line may hold
constexpr size_t kSamples = 8;                // lines whose fields the classification reads
constexpr int64_t kSmallestLinesFile = 255;   // bytes; anything smaller cannot hold 8 lines
constexpr size_t kMinLinesForDelimiter = 4;   // lines needed to choose a delimiter
constexpr size_t kMinSampleLineBytes = 8;     // shorter sample lines hold no fields
constexpr int kMaxDelimiters = 9;             // title and at most nine value columns
constexpr size_t kEnumerationLines = 5;       // first lines looked at for a numbering
constexpr size_t kLineStartBytes = 14;        // of each, the bytes that may hold the number
constexpr size_t kShownBytes = 64;            // of a bad line or field, shown in the message

constexpr const char* kTooSmall = "File too small to determine the options.";
constexpr const char* kNoDelimiters = "Unable to resolve delimiters. Possibly spaces.";
constexpr const char* kNotAList = "Not a SNLG file, or unable to import text file.";

// The candidate delimiters in their tie-breaking order, tab last.
constexpr std::array<char, 5> kCandidates = {',', ')', ']', '}', '\t'};
constexpr size_t kTabCandidate = 4;

std::string head(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

void clean(std::string& field, char opening) {
  size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == opening)) ++i;
  field.erase(0, i);
}

}  // namespace

char delimiterOf(int kind) {
  static constexpr char kChars[6] = {',', ')', ']', '}', '\t', ' '};
  return kind >= 0 && kind < 6 ? kChars[kind] : ',';
}

char openingOf(int kind) {
  static constexpr char kChars[6] = {' ', '(', '[', '{', ' ', ' '};
  return kind >= 0 && kind < 6 ? kChars[kind] : ' ';
}

FieldPlan layoutFromTag(const ImportFrame& frame) {
  const ListLayout& l = frame.layout;
  FieldPlan plan;
  plan.delimiter = delimiterOf(l.delimiterKind);
  plan.opening = openingOf(l.delimiterKind);
  // From the end of the line towards its start. A path caption appended to every row stands
  // last when the list has no path column of its own; a label caption fills the label column.
  const ShownFields carried = l.fields;
  if (!carried.has(ShownField::Path) && frame.captionKind == 7) plan.roles.push_back(kRolePath);
  for (auto f = valueFieldTable().rbegin(); f != valueFieldTable().rend(); ++f) {
    const bool labelCaption = f->field == ShownField::VolumeLabel && frame.captionKind == 9;
    if (carried.has(f->field) || labelCaption) plan.roles.push_back(f->sortKey);
  }
  plan.roles.push_back(kRoleTitle);
  plan.delimiterCount = static_cast<int>(plan.roles.size()) - 1;
  return plan;
}

namespace {

// The name field of a line: its enumeration taken off (kept in *number when number is given),
// and the artist and title cells of a split HTML table joined again.
bool finishTitle(std::string& title, std::string* number, uint64_t lineNumber, const ImportFrame& frame,
                 const FieldPlan& plan, std::string& error) {
  const auto n = [lineNumber] { return std::to_string(lineNumber); };
  if (frame.bodyKind == BodyKind::HtmlTable && frame.layout.fields.has(ShownField::Enumeration)) {
    const size_t tab = title.find('\t');
    if (title.empty() || tab == std::string::npos) {
      error = "Invalid enumeration in this HTML table file.";
      return false;
    }
    title.erase(tab, 1);
  }
  if (frame.layout.fields.has(ShownField::Enumeration)) {
    const size_t dot = title.find('.');
    if (dot == std::string::npos) {
      error = "Invalid enumeration (period missing).";
      return false;
    }
    size_t rest = dot + 1;
    // In a tab-delimited text list the number's own tab goes with it; in a table that tab was
    // the one between the number cell and the name cell, already taken out above.
    if (frame.bodyKind == BodyKind::Text && plan.delimiter == '\t' && rest < title.size() && title[rest] == '\t') ++rest;
    if (number) *number = title.substr(0, dot + 1);
    title.erase(0, rest);
    clean(title, plan.opening);
    if (title.size() > kMaxField) {
      error = "A field seems to be too long in the line " + n() + ".\r\nDisplaying first 64 characters:\r\n" + head(title, kShownBytes);
      return false;
    }
  }
  if (frame.bodyKind == BodyKind::HtmlTable && frame.layout.artistTitleSplit) {
    const size_t tab = title.find('\t');
    if (tab == std::string::npos) {
      error = "Although this seemed to be artist-title split HTML list,\r\nlooks like not all lines are split (line " +
              n() + ").\r\nDisplaying [some of] this field:\r\n" + head(title, kShownBytes);
      return false;
    }
    // A name without an artist was written with an empty artist cell: it comes back whole.
    if (tab == 0) title.erase(0, 1);
    else title = title.substr(0, tab) + " - " + title.substr(tab + 1);
  }
  return true;
}

}  // namespace

bool splitLine(std::string_view line, uint64_t lineNumber, const ImportFrame& frame,
               const FieldPlan& plan, std::vector<std::string>& fields, std::string& error,
               bool keepEnumeration) {
  const char d = plan.delimiter;
  const int kind = frame.layout.delimiterKind;
  const size_t F = static_cast<size_t>(plan.delimiterCount);
  const auto n = [lineNumber] { return std::to_string(lineNumber); };
  // A closing character at the line's end is no separator. A trailing tab is: it opens an
  // empty last field.
  if (!line.empty() && line.back() == d && d != '\t') line.remove_suffix(1);

  size_t positions[kMaxSplitPositions];
  size_t found = 0;
  for (size_t i = line.size(); i-- > 0;) {
    if (line[i] != d) continue;
    positions[found++] = i;
    if (found == kMaxSplitPositions) {
      error = "Too many delimiters in the line " + n() + ".\r\nDisplaying [some of] it:\r\n" + head(line, kShownBytes);
      return false;
    }
  }
  if (found < F) {
    error = "Invalid no. of delimiters in the line " + n() + ".\r\nDisplaying [some of] it:\r\n" + head(line, kShownBytes);
    return false;
  }
  fields.resize(F + 1 + (keepEnumeration ? 1 : 0));
  for (size_t i = 0; i <= F; ++i) {
    std::string& f = fields[i];
    if (i == F) {
      f.assign(line.substr(0, F == 0 ? line.size() : positions[F - 1]));
    } else {
      const size_t from = positions[i] + 1;
      const size_t to = i == 0 ? line.size() : positions[i - 1];
      f.assign(line.substr(from, to - from));
      if (i == 0 && kind >= 1 && kind <= 3 && !f.empty() && f.back() == d) f.pop_back();
    }
    if (frame.bodyKind != BodyKind::Text) restoreHeld(f);
    clean(f, plan.opening);
    if (f.size() > kMaxField) {
      error = "A field seems to be too long in the line " + n() + ".\r\nDisplaying first 64 characters:\r\n" + head(f, kShownBytes);
      return false;
    }
  }
  return finishTitle(fields[F], keepEnumeration ? &fields[F + 1] : nullptr, lineNumber, frame, plan, error);
}

namespace {

struct LineStats {
  std::array<int, 5> count{};  // per candidate, at most kMaxRecorded
  size_t length = 0;
};

// What the first pass over at most kFirstPassLines lines learns.
struct FirstPass {
  std::vector<LineStats> stats;  // one per line read
  bool enumerated = false;       // the first lines start "1.", "2.", ... (after a title row)
  bool tabSeen = false;          // a tab separates fields somewhere
};

int64_t fileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

// Follows the numbering of the first lines: a title row starts "No." and a tab; the items start
// "1.", "2.", ... The line's start is looked at without its leading blanks and NULs.
void followEnumeration(std::string_view line, size_t index, bool& header, bool& enumerated) {
  if (index >= kEnumerationLines) return;
  std::string start = head(line, kLineStartBytes);
  size_t skip = 0;
  while (skip < start.size() && (start[skip] == ' ' || start[skip] == '\0')) ++skip;
  start.erase(0, skip);
  if (index == 0) {
    header = start.rfind("No.\t", 0) == 0;
  } else if (index == 1 || enumerated) {
    const std::string number = std::to_string(header ? index : index + 1) + ".";
    enumerated = start.rfind(number, 0) == 0;
  }
}

// Counts the candidate delimiters of a line (at most kMaxRecorded each). The first character is
// never a separator, nor is the last one, except a tab, which opens an empty last field.
LineStats countCandidates(std::string_view line, bool& tabSeen) {
  LineStats st;
  st.length = line.size();
  if (line.size() < 2) return st;
  for (size_t i = line.size() - 1; i >= 1; --i) {
    const char c = line[i];
    if (i == line.size() - 1 && c != '\t') continue;
    for (size_t k = 0; k < kCandidates.size(); ++k) {
      if (c == kCandidates[k] && st.count[k] < kMaxRecorded) {
        ++st.count[k];
        if (c == '\t') tabSeen = true;
      }
    }
  }
  return st;
}

StepResult readFirstPass(LineReader& in, ImportFrame& frame, UserInterface& ui, FirstPass& pass) {
  bool header = false;
  std::string line;
  size_t length = 0;
  while (pass.stats.size() < kFirstPassLines && in.readLine(line, length, kMaxAnalysedLine + 1)) {
    const size_t index = pass.stats.size();
    if (index > 0 && index % kEventEveryLines == 0 && ui.processEvents()) return StepResult::Cancelled;
    if (length > kMaxAnalysedLine) {
      frame.errorText = "Line too long (" + std::to_string(length) +
                        " bytes). Displaying first 64 characters:\r\n" + head(line, kShownBytes);
      return StepResult::Failed;
    }
    followEnumeration(line, index, header, pass.enumerated);
    pass.stats.push_back(countCandidates(line, pass.tabSeen));
  }
  if (in.failed()) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  return StepResult::Ok;
}

// The delimiter kind: a tab anywhere decides for tabs; otherwise the candidate seen most often,
// which must appear at least once per line on average.
std::optional<size_t> chooseDelimiter(const FirstPass& pass, ImportFrame& frame) {
  size_t chosen = kTabCandidate;
  if (!pass.tabSeen) {
    long best = 0;
    for (size_t k = 0; k < kTabCandidate; ++k) {
      long total = 0;
      for (const auto& st : pass.stats) total += st.count[k];
      if (total > best) {
        best = total;
        chosen = k;
      }
    }
    if (best == 0) {
      frame.errorText = kNoDelimiters;
      return std::nullopt;
    }
  }
  long total = 0;
  for (const auto& st : pass.stats) total += st.count[chosen];
  if (total < static_cast<long>(pass.stats.size())) {
    frame.errorText = kNoDelimiters;
    return std::nullopt;
  }
  return chosen;
}

// F, the delimiters every line holds: the fewest over the first pass (tabs must agree exactly;
// an enumeration's own tab is not a field's).
std::optional<int> delimitersPerLine(const FirstPass& pass, size_t chosen, ImportFrame& frame) {
  int F = kMaxRecorded + 1;
  for (const auto& st : pass.stats) {
    if (st.count[chosen] == 0) {
      frame.errorText = kNotAList;
      return std::nullopt;
    }
    if (chosen == kTabCandidate && st.count[chosen] != pass.stats[0].count[chosen]) {
      frame.errorText = "Variable number of tabs per line.";
      return std::nullopt;
    }
    F = std::min(F, st.count[chosen]);
  }
  if (chosen == kTabCandidate && pass.enumerated) --F;
  if (F < 1 || F > kMaxDelimiters) {
    frame.errorText = kNotAList;
    return std::nullopt;
  }
  return F;
}

// Splits the first kSamples lines by the plan for the classification; an enumeration's number
// goes to an extra last field.
StepResult readSamples(LineReader& in, const FirstPass& pass, size_t chosen, ImportFrame& frame,
                       const FieldPlan& plan, UserInterface& ui, SampleLines& samples) {
  if (!in.rewind()) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  samples.assign(kSamples, {});
  std::string line;
  size_t length = 0;
  for (size_t s = 0; s < kSamples; ++s) {
    if (!in.readLine(line, length, kMaxAnalysedLine + 1)) {
      ui.warning(kDiskError);
      return StepResult::Cancelled;
    }
    if (line.size() < kMinSampleLineBytes || pass.stats[s].count[chosen] < 2) {
      frame.errorText = kNotAList;
      return StepResult::Failed;
    }
    std::string error;
    ImportFrame sampleFrame = frame;
    sampleFrame.layout.fields.set(ShownField::Enumeration, false);  // the enumeration is checked below
    if (!splitLine(line, s + 1, sampleFrame, plan, samples[s], error, false)) {
      frame.errorText = error;
      return StepResult::Failed;
    }
    for (const std::string& f : samples[s]) {
      if (f.size() > kMaxField) {
        frame.errorText = "This field seems to be too long (>255 characters). Displaying first 64:\r\n" +
                          head(f, kShownBytes);
        return StepResult::Failed;
      }
    }
    if (pass.enumerated) {
      std::string& title = samples[s][static_cast<size_t>(plan.delimiterCount)];
      const size_t dot = title.find('.');
      if (dot == std::string::npos) {
        frame.errorText = "Some lines are enumerated while others are not.";
        return StepResult::Failed;
      }
      size_t rest = dot + 1;
      if (plan.delimiter == '\t' && rest < title.size() && title[rest] == '\t') ++rest;
      std::string number = title.substr(0, dot + 1);
      title.erase(0, rest);
      clean(title, plan.opening);
      samples[s].push_back(number);
    }
  }
  return StepResult::Ok;
}

}  // namespace

StepResult analyseTextList(const std::string& linesPath, ImportFrame& frame, FieldPlan& plan,
                           UserInterface& ui) {
  LineReader in;
  if (!in.open(linesPath)) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  if (fileSize(linesPath) <= kSmallestLinesFile) {
    frame.errorText = kTooSmall;
    return StepResult::Failed;
  }
  frame.layout = ListLayout{};

  FirstPass pass;
  if (const StepResult r = readFirstPass(in, frame, ui, pass); r != StepResult::Ok) return r;
  if (pass.stats.size() < kMinLinesForDelimiter) {
    frame.errorText = kTooSmall;
    return StepResult::Failed;
  }
  const std::optional<size_t> chosen = chooseDelimiter(pass, frame);
  if (!chosen) return StepResult::Failed;
  frame.layout.delimiterKind = static_cast<int>(*chosen);
  frame.layout.fields.set(ShownField::Enumeration, pass.enumerated);
  const std::optional<int> F = delimitersPerLine(pass, *chosen, frame);
  if (!F) return StepResult::Failed;
  plan.delimiterCount = *F;
  plan.delimiter = delimiterOf(frame.layout.delimiterKind);
  plan.opening = openingOf(frame.layout.delimiterKind);

  if (pass.stats.size() < kSamples) {
    frame.errorText = kTooSmall;
    return StepResult::Failed;
  }
  std::vector<std::vector<std::string>> samples;
  if (const StepResult r = readSamples(in, pass, *chosen, frame, plan, ui, samples); r != StepResult::Ok) return r;
  return classifyColumns(samples, frame, plan, ui);
}

}  // namespace sonalog
