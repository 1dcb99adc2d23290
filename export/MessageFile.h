#pragma once
// Header and footer message files: text files the user writes, copied line by line into text and
// HTML exports. Lines may end in CR LF, LF or CR; each is written without its own line end, with
// the caller's prefix and suffix around it. The file is streamed, so its size does not matter.

#include <string>
#include <string_view>

#include "export/ExportSink.h"

namespace sonalog {

enum class MessageFileResult {
  Copied,
  Missing,       // not found, unreadable or empty: nothing was written
  WriteFailed,
};

MessageFileResult copyMessageFile(const std::string& path, ExportSink& out, std::string_view linePrefix,
                                  std::string_view lineSuffix);

}  // namespace sonalog
