#pragma once
// Reading the external list of a comparison: a list file of this program (current format or the
// 8-bit-length format with its oldest layout), or any text list read line by line like the
// unknown-text import, with the comparison's own texts and rules.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "duplicates/FileLabel.h"

namespace sonalog {

// How a loader reaches the progress window while the run's worker reads.
class LoadChannel {
 public:
  virtual ~LoadChannel() = default;
  virtual void status(std::string text) = 0;     // the first file label
  virtual void statusWidth(int pixels) = 0;      // the first file label's width
  virtual void warning(std::string text) = 0;    // a "Warning" box
  // A Yes/No question with a caption of its own; true for Yes.
  virtual bool ask(std::string text, std::string caption) = 0;
  // True once the user pressed "&ABORT" while loading.
  virtual bool stopRequested() = 0;
};

struct ExternalList {
  std::vector<ListItem> items;
  uint8_t sortByte = 0;  // the list file's header byte; 0 for a text list
};

// Reads a list file. False on failure (the message was given) or a stop; out is then emptied.
bool loadExternalListFile(const std::string& path, ExternalList& out, LoadChannel& channel);

// Reads a text list, one item per non-empty line: fileName from the line's title, folder the
// line itself (first 255 bytes), label "?". False on failure or a stop; out is then emptied.
bool loadExternalTextList(const std::string& path, bool examineBangLines, ExternalList& out,
                          LoadChannel& channel);

// One line of an external text list as an item, or false when the line makes none (empty, or
// not a "!... .mp3" line while only those are examined).
bool externalTextItem(std::string_view line, bool examineBangLines, ListItem& item);

// The pixel width of the first file label while a text list is read (afterwards it is
// kFileLabelWidth).
inline constexpr int kLoadingLabelWidth = 178;

}  // namespace sonalog
