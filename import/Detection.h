#pragma once
// The first stage of importing an exported list: telling a plain text list from the program's
// own plain HTML and HTML table lists, reading back the info tag those carry, stripping known
// header and footer texts, and turning the body into delimited lines in a temporary file.

#include <cstdint>
#include <string>
#include <string_view>

#include "import/ImportTypes.h"
#include "platform/ReadFile.h"
#include "platform/UserInterface.h"

namespace sonalog {

// How a stage ended. Failed: the frame's errorText says why and the failure question follows.
// Cancelled: the user was already told (or cancelled); the import ends as cancelled.
enum class StepResult { Ok, Failed, Cancelled };

inline constexpr const char* kInitialErrorText = "unknown error 4.";
inline constexpr const char* kDiskError = "Disk error";

// What detection learns about the file, alive for one import.
struct ImportFrame {
  std::string errorText = kInitialErrorText;
  BodyKind bodyKind = BodyKind::Text;
  int64_t bodyStart = 0;     // first byte of the list body
  int64_t bodyEnd = 0;       // first byte after it
  int64_t fileSize = 0;
  uint8_t captionKind = 0;   // HTML table: 0 none yet, 7 paths, 9 labels, 2 other
  std::string groupCaption;  // HTML table: text of the latest group caption
  ListLayout layout;
};

// Decodes the 40-byte info tag at `tag` into layout. Letters are decoded in position order; the
// first bad one stops, leaving the fields decoded before it changed.
bool decodeInfoTag(std::string_view tag, ListLayout& layout);

// The caption search of an HTML table from `start` in `text` (at most 512 positions): sets the
// caption kind when not yet set and renews the group caption.
void searchCaption(std::string_view text, size_t start, ImportFrame& frame);

// Detection on the first block (the file's first up to 65 535 bytes).
StepResult detectBody(const platform::ReadFile& file, std::string_view firstBlock, ImportFrame& frame,
                      UserInterface& ui);

// Header and footer stripping of a text list (only when the option is on).
StepResult stripHeaderFooter(const platform::ReadFile& file, size_t firstBlockLength,
                             const ImportSettings& settings, ImportFrame& frame, UserInterface& ui);

// Copies the body into `linesPath` as lines (HTML converted); the delimiter kind of an HTML
// table becomes tab.
StepResult convertToLines(const platform::ReadFile& file, ImportFrame& frame, const std::string& linesPath,
                          UserInterface& ui);

// Finds marker in [from, to) of the file, the first or the last match; matches across the
// boundaries of read blocks are found. -1 when none; -2 on a read error.
int64_t findInFile(const platform::ReadFile& file, std::string_view marker, int64_t from, int64_t to, bool last);

}  // namespace sonalog
