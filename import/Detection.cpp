#include "import/Detection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "import/HeldLineBreaks.h"

namespace sonalog {

namespace {

// The program's own HTML markers, compared byte for byte (their odd letter case is deliberate:
// no hand-written HTML uses it).
constexpr std::string_view kTableTagStart = "<Mp3SNLGtaG LABEL=\"s";
constexpr std::string_view kPlainTagStart = "<mP3SNLGTAG LABEL=\"S";
constexpr std::string_view kPlainEnd = "<mP3SNLGTAG LABEL=\"ENd\">";
constexpr std::string_view kHeadingRowEnd = "</tR>";
constexpr std::string_view kTableEnd = "</TaBLE></CENTER>";
constexpr std::string_view kTableBreak = "</TaBLE></CENTER><BR><CENTER><TABLE";
constexpr std::string_view kTitleCell = "<TD ALign=";
constexpr std::string_view kCaptionMark = "mp3SCS=";
constexpr size_t kInfoTagLength = 40;
// The info tag after its 20-byte start marker: twelve column flags (each its letter or "0"),
// the sort state as three digits, then one digit each for the date style, the size style and
// the delimiter kind; the closing "\">" is not checked.
constexpr size_t kTagFlagsAt = 20;
constexpr size_t kTagSortAt = 32;
constexpr size_t kTagSortDigits = 3;
constexpr size_t kTagDateStyleAt = 35;
constexpr size_t kTagSizeStyleAt = 36;
constexpr size_t kTagDelimiterAt = 37;
constexpr size_t kTagDecodedBytes = 38;
constexpr size_t kTagCaptionFrom = 39;  // the first caption is looked for from here on
// How far before the first block's end each marker may start and still be taken: the table tag
// with its heading row, the plain tag with its first line, the heading row's closing tag.
constexpr size_t kTableTagRoom = 37;
constexpr size_t kPlainTagRoom = 53;
constexpr size_t kHeadingRowRoom = 32;
// "mp3SCS=7><NOBR><em>": a caption's text starts this many bytes after its marker.
constexpr size_t kCaptionTextOffset = 19;

constexpr size_t kSearchBlock = 65535;
constexpr size_t kCompareBlock = 16384;
constexpr size_t kConvertBlock = 49152;
// Bytes kept unconverted at the end of a block so that no tag, skip or caption is cut.
constexpr size_t kLookahead = 8192;
constexpr size_t kCaptionPositions = 512;
constexpr size_t kCaptionMaxBytes = 4096;
constexpr size_t kTitleRowLimit = 1023;
constexpr size_t kBreakSkipLimit = 1024;

// The entities the HTML exports write (besides "&nbsp;"). A line break of a name is written as a
// character reference, so that a name keeps to one line of the list; it is held in the lines.
constexpr struct { std::string_view text; char c; } kEntities[] = {
    {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#10;", '\n'}, {"&#13;", '\r'}};

std::string unescapeEntities(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    bool done = false;
    if (s.substr(i, 6) == "&nbsp;") {
      out.push_back(' ');
      i += 6;
      continue;
    }
    if (s[i] == '&') {
      for (const auto& e : kEntities) {
        if (s.substr(i, e.text.size()) == e.text) {
          if (e.c == '\n' || e.c == '\r') appendHeld(out, e.c);
          else out.push_back(e.c);
          i += e.text.size();
          done = true;
          break;
        }
      }
    } else if (s[i] == '\0') {
      appendHeld(out, '\0');
      ++i;
      continue;
    }
    if (!done) out.push_back(s[i++]);
  }
  return out;
}

bool isLineBreakPair(const char* p) {
  return (p[0] == '\r' && p[1] == '\n') || (p[0] == '\n' && p[1] == '\r');
}

std::string withoutFileText(const char* what, const char* part) {
  return std::string(what) + ".\r\nPress OK to attempt to process without " + part + " file...";
}

// Compares the message file with `length` bytes of the list at `offset`. -1 read error,
// 0 different, 1 equal.
int compareWithFile(const platform::ReadFile& list, int64_t offset, const platform::ReadFile& message, int64_t length) {
  std::string a(kCompareBlock, '\0'), b(kCompareBlock, '\0');
  for (int64_t done = 0; done < length;) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(kCompareBlock, length - done));
    if (!list.readAt(offset + done, a.data(), n) || !message.readAt(done, b.data(), n))
      return -1;
    if (std::memcmp(a.data(), b.data(), n) != 0) return 0;
    done += static_cast<int64_t>(n);
  }
  return 1;
}

}  // namespace

bool decodeInfoTag(std::string_view tag, ListLayout& layout) {
  if (tag.size() < kTagDecodedBytes) return false;
  // Each flag is its letter or '0'. A bad character stops the decoding; the flags before it
  // are taken.
  auto flag = [&](size_t i, char letter) -> std::optional<bool> {
    const char c = tag[kTagFlagsAt + i];
    if (c == letter || c == '0') return c == letter;
    return std::nullopt;
  };
  for (const ShownFieldInfo& f : shownFieldTable()) {
    const std::optional<bool> on = flag(static_cast<size_t>(f.field), f.tagLetter);
    if (!on) return false;
    layout.fields.set(f.field, *on);
  }
  const std::optional<bool> longStereo = flag(kShownFieldCount, '7');
  if (!longStereo) return false;
  layout.longStereoNames = *longStereo;
  const std::optional<bool> split = flag(kShownFieldCount + 1, 'S');
  if (!split) return false;
  layout.artistTitleSplit = *split;
  int sort = 0;
  for (size_t i = kTagSortAt; i < kTagSortAt + kTagSortDigits; ++i) {
    if (tag[i] < '0' || tag[i] > '9') return false;
    sort = sort * 10 + (tag[i] - '0');
  }
  if (sort > 255) return false;
  layout.sortState = static_cast<uint8_t>(sort);
  const char date = tag[kTagDateStyleAt], size = tag[kTagSizeStyleAt], delimiter = tag[kTagDelimiterAt];
  if (date < '0' || date > '3') return false;
  layout.dateStyle = static_cast<uint8_t>(date - '0');
  if (size < '0' || size > '4') return false;
  layout.sizeStyle = static_cast<uint8_t>(size - '0');
  if (delimiter < '0' || delimiter > '5') return false;
  layout.delimiterKind = delimiter - '0';
  return true;
}

void searchCaption(std::string_view text, size_t start, ImportFrame& frame) {
  for (size_t q = start; q < start + kCaptionPositions && q + kCaptionMark.size() <= text.size(); ++q) {
    if (text.compare(q, kCaptionMark.size(), kCaptionMark) != 0) continue;
    const char kind = q + kCaptionMark.size() < text.size() ? text[q + kCaptionMark.size()] : '\0';
    if (kind == '7' || kind == '9') {
      if (frame.captionKind == 0) frame.captionKind = static_cast<uint8_t>(kind - '0');
      // The caption runs to the next tag.
      size_t from = std::min(q + kCaptionTextOffset, text.size());
      if (text.compare(from, 4, "<em>") == 0) from += 4;
      size_t to = text.find('<', from);
      if (to == std::string_view::npos) to = text.size();
      to = std::min(to, from + kCaptionMaxBytes);
      // Captions are written escaped, blanks alternating with "&nbsp;".
      frame.groupCaption = unescapeEntities(text.substr(from, to - from));
    } else {
      if (frame.captionKind == 0) frame.captionKind = 2;
      frame.groupCaption.clear();
    }
    return;
  }
  frame.groupCaption.clear();
}

int64_t findInFile(const platform::ReadFile& file, std::string_view marker, int64_t from, int64_t to, bool last) {
  to = std::min(to, file.size());
  if (from < 0) from = 0;
  int64_t found = -1;
  std::string buffer(kSearchBlock + marker.size(), '\0');
  // Each block starts marker.size() - 1 bytes before the end of the previous one, so a marker
  // that straddles two blocks is found like any other.
  for (int64_t at = from; at + static_cast<int64_t>(marker.size()) <= to;) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(kSearchBlock, to - at));
    if (!file.readAt(at, buffer.data(), n)) return -2;
    const std::string_view block(buffer.data(), n);
    if (last) {
      for (size_t p = block.find(marker); p != std::string_view::npos; p = block.find(marker, p + 1))
        found = at + static_cast<int64_t>(p);
    } else {
      const size_t p = block.find(marker);
      if (p != std::string_view::npos) return at + static_cast<int64_t>(p);
    }
    if (at + static_cast<int64_t>(n) >= to) break;
    at += static_cast<int64_t>(n - (marker.size() - 1));
  }
  return found;
}

namespace {

// Ends an exported HTML list's body at its closing marker, searched from the body's start to the
// end of the file (the last one there when last); missing: the failure text when there is none.
StepResult endBodyAt(const platform::ReadFile& file, std::string_view marker, bool last, BodyKind kind,
                     const char* missing, ImportFrame& frame, UserInterface& ui) {
  const int64_t end = findInFile(file, marker, frame.bodyStart, file.size(), last);
  if (end == -2) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  if (end < 0) {
    frame.errorText = missing;
    return StepResult::Failed;
  }
  frame.bodyEnd = end;
  frame.bodyKind = kind;
  return StepResult::Ok;
}

}  // namespace

StepResult detectBody(const platform::ReadFile& file, std::string_view firstBlock, ImportFrame& frame,
                      UserInterface& ui) {
  // firstBlock is followed in memory by at least two zero bytes.
  const size_t L = firstBlock.size();
  const std::string_view padded(firstBlock.data(), L + 2);
  frame.fileSize = file.size();
  auto positionOf = [&](std::string_view marker, size_t last) -> size_t {
    for (size_t p = firstBlock.find(marker); p != std::string_view::npos; p = firstBlock.find(marker, p + 1))
      return p <= last ? p : std::string_view::npos;
    return std::string_view::npos;
  };

  if (L >= kTableTagRoom) {
    const size_t p = positionOf(kTableTagStart, L - kTableTagRoom);
    if (p != std::string_view::npos) {
      if (!decodeInfoTag(padded.substr(p, kInfoTagLength), frame.layout)) {
        frame.errorText =
            "Unable to decode SNLG specific info tag in this file\r\nwhich appears to be a HTML table list.";
        return StepResult::Failed;
      }
      searchCaption(firstBlock, p + kTagCaptionFrom, frame);
      const size_t rowEnd = firstBlock.find(kHeadingRowEnd, p + kInfoTagLength);
      if (L < kHeadingRowRoom || rowEnd == std::string_view::npos || rowEnd > L - kHeadingRowRoom) {
        frame.errorText =
            "Found SNLG specific info tag in this HTML list,\r\nbut can't find SNLG specific table row closing tag.";
        return StepResult::Failed;
      }
      frame.bodyStart = static_cast<int64_t>(rowEnd + kHeadingRowEnd.size());
      return endBodyAt(file, kTableEnd, true, BodyKind::HtmlTable,
                       "Specific SNLG table closing tag not found in this file\r\n"
                       "which appears to be a HTML table list.",
                       frame, ui);
    }
  }
  if (L >= kPlainTagRoom) {
    const size_t p = positionOf(kPlainTagStart, L - kPlainTagRoom);
    if (p != std::string_view::npos) {
      if (!decodeInfoTag(padded.substr(p, kInfoTagLength), frame.layout)) {
        frame.errorText =
            "Unable to decode SNLG specific info tag in this file\r\nwhich appears to be a plain HTML list.";
        return StepResult::Failed;
      }
      frame.bodyStart = static_cast<int64_t>(p + kInfoTagLength);
      return endBodyAt(file, kPlainEnd, false, BodyKind::PlainHtml,
                       "Specific SNLG file closing tag not found in this file\r\n"
                       "which appears to be a plain HTML list.",
                       frame, ui);
    }
  }
  frame.bodyKind = BodyKind::Text;
  frame.bodyStart = 0;
  frame.bodyEnd = file.size();
  return StepResult::Ok;
}

namespace {

// Whether the list starts (or, atEnd, ends) with the text of the user's message file. Ok with
// messageSize set to the file's size when it does; Ok with messageSize 0 when it does not and
// the user goes on without it.
StepResult findMessageFile(const platform::ReadFile& file, const std::string& path, bool atEnd, int64_t ratioLimit,
                           UserInterface& ui, int64_t& messageSize) {
  const char* part = atEnd ? "footer" : "header";
  messageSize = 0;
  auto goOnWithout = [&](const std::string& what) {
    const Answer a = ui.ask(withoutFileText(what.c_str(), part), "error", Buttons::OkCancel, Icon::Exclamation);
    return a == Answer::Ok ? StepResult::Ok : StepResult::Cancelled;
  };
  platform::ReadFile message;
  if (!message.open(path) || message.size() == 0)
    return goOnWithout(std::string(atEnd ? "Footer" : "Header") + " file not found or zero length");
  if (message.size() > ratioLimit) return goOnWithout(std::string("Size ratio of ") + part + " and list file invalid");
  const int same = compareWithFile(file, atEnd ? file.size() - message.size() : 0, message, message.size());
  if (same < 0) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  if (same == 0) return goOnWithout(std::string("Current ") + part + " file not matched");
  messageSize = message.size();
  return StepResult::Ok;
}

// The body starts after the header and the line breaks that follow it.
StepResult skipBreaksAfterHeader(const platform::ReadFile& file, int64_t headerSize, ImportFrame& frame,
                                 UserInterface& ui) {
  int64_t start = headerSize;
  char pair[2];
  for (;;) {
    const int64_t n = file.readUpTo(start, pair, 2);
    if (n < 0) {
      ui.warning(kDiskError);
      return StepResult::Cancelled;
    }
    if (n < 2) {
      frame.errorText = "Invalid format (CRLF's missing after header text).";
      return StepResult::Failed;
    }
    if (!isLineBreakPair(pair)) break;
    start += 2;
  }
  frame.bodyStart = start;
  return StepResult::Ok;
}

// The body ends before the footer and the line breaks in front of it.
StepResult skipBreaksBeforeFooter(const platform::ReadFile& file, int64_t footerSize, ImportFrame& frame,
                                  UserInterface& ui) {
  int64_t end = file.size() - footerSize;
  char pair[2];
  while (end > 3) {
    if (!file.readAt(end - 2, pair, 2)) {
      ui.warning(kDiskError);
      return StepResult::Cancelled;
    }
    if (!isLineBreakPair(pair)) {
      frame.bodyEnd = end;
      return StepResult::Ok;
    }
    end -= 2;
  }
  frame.errorText = "Invalid format (CRLF's missing before footer text).";
  return StepResult::Failed;
}

}  // namespace

StepResult stripHeaderFooter(const platform::ReadFile& file, size_t firstBlockLength,
                             const ImportSettings& settings, ImportFrame& frame, UserInterface& ui) {
  const int64_t ratioLimit = static_cast<int64_t>(firstBlockLength) - 24;
  if (settings.CheckHead && !settings.headerFile.empty()) {
    int64_t size = 0;
    if (const StepResult r = findMessageFile(file, settings.headerFile, false, ratioLimit, ui, size); r != StepResult::Ok)
      return r;
    frame.bodyStart = 0;
    if (size > 0)
      if (const StepResult r = skipBreaksAfterHeader(file, size, frame, ui); r != StepResult::Ok) return r;
  }
  if (settings.CheckFoot && !settings.footerFile.empty()) {
    int64_t size = 0;
    if (const StepResult r = findMessageFile(file, settings.footerFile, true, ratioLimit, ui, size); r != StepResult::Ok)
      return r;
    frame.bodyEnd = file.size();
    if (size > 0)
      if (const StepResult r = skipBreaksBeforeFooter(file, size, frame, ui); r != StepResult::Ok) return r;
  }
  if (frame.bodyStart >= frame.bodyEnd) {
    frame.errorText = "Header/footer overlap.";
    return StepResult::Failed;
  }
  return StepResult::Ok;
}

namespace {

// Converts HTML into lines block by block, keeping kLookahead bytes of every block but the last
// for the next one, so that no tag, skip or caption is cut by a block boundary.
class HtmlConverter {
 public:
  HtmlConverter(ImportFrame& frame) : frame_(frame) {}

  // Converts buf from pos up to limit (or beyond, by a skip); appends to out.
  StepResult run(const std::string& buf, size_t& pos, size_t limit, std::string& out) {
    return frame_.bodyKind == BodyKind::HtmlTable ? table(buf, pos, limit, out)
                                                  : plain(buf, pos, limit, out);
  }

 private:
  static bool at(const std::string& buf, size_t pos, std::string_view m) {
    return buf.compare(pos, m.size(), m) == 0;
  }
  // Copies the run of bytes that start no tag or entity; a NUL byte is held (HeldLineBreaks.h).
  static void copyRun(const std::string& buf, size_t& pos, size_t limit, std::string& out) {
    if (buf[pos] == '\0') {
      appendHeld(out, '\0');
      ++pos;
      return;
    }
    size_t end = pos;
    while (end < limit && buf[end] != '<' && buf[end] != '&' && buf[end] != '\0') ++end;
    if (end == pos) end = pos + 1;
    out.append(buf, pos, end - pos);
    pos = end;
  }
  static bool entity(const std::string& buf, size_t& pos, std::string& out) {
    for (const auto& e : kEntities) {
      if (at(buf, pos, e.text)) {
        if (e.c == '\n' || e.c == '\r') appendHeld(out, e.c);
        else out.push_back(e.c);
        pos += e.text.size();
        return true;
      }
    }
    return false;
  }

  StepResult plain(const std::string& buf, size_t& pos, size_t limit, std::string& out) {
    while (pos < limit) {
      const char c = buf[pos];
      if (c == '&') {
        if (at(buf, pos, "&nbsp;")) { out.push_back(' '); pos += 6; continue; }
        if (entity(buf, pos, out)) continue;
      } else if (c == '<') {
        if (at(buf, pos, "<NOBR>")) { pos += 6; continue; }
        if (at(buf, pos, "</NOBR>")) { pos += 7; continue; }
        if (at(buf, pos, "<BR>")) { out += "\r\n"; pos += 4; continue; }
      }
      copyRun(buf, pos, limit, out);
    }
    return StepResult::Ok;
  }

  void cellStart(std::string& out) {
    if (rowStart_) rowStart_ = false;
    else out.push_back('\t');
  }

  // Skips the title row of a table: from its first cell to just after the row's own end.
  StepResult skipTitleRow(const std::string& buf, size_t& pos) {
    const size_t end = buf.find(kHeadingRowEnd, pos + kTitleCell.size());
    if (end == std::string::npos || end - (pos + kTitleCell.size()) > kTitleRowLimit) {
      frame_.errorText = "Html table first row (containing field titles) too long.";
      return StepResult::Failed;
    }
    pos = end + kHeadingRowEnd.size();
    return StepResult::Ok;
  }

  StepResult table(const std::string& buf, size_t& pos, size_t limit, std::string& out) {
    const ListLayout& layout = frame_.layout;
    const bool appendCaption = (frame_.captionKind == 7 && !layout.fields.has(ShownField::Path)) ||
                               (frame_.captionKind == 9 && !layout.fields.has(ShownField::VolumeLabel));
    while (pos < limit) {
      const char c = buf[pos];
      if (c == '<') {
        if (at(buf, pos, "<TR>")) { rowStart_ = true; pos += 4; continue; }
        if (at(buf, pos, kTableBreak)) {
          const size_t after = pos + kTableBreak.size();
          if (frame_.captionKind == 7 || frame_.captionKind == 9) {
            searchCaption(buf, after, frame_);
            rowStart_ = true;
          }
          const size_t cell = buf.find(kTitleCell, after);
          if (cell == std::string::npos || cell - after > kBreakSkipLimit) {
            frame_.errorText = "Invalid end of table code.\r\nProbably footer file mismatch or invalid caption.";
            return StepResult::Failed;
          }
          pos = cell;
          if (skipTitleRow(buf, pos) != StepResult::Ok) return StepResult::Failed;
          continue;
        }
        if (at(buf, pos, "<NOBR>")) { pos += 6; continue; }
        if (at(buf, pos, "</NOBR>")) { pos += 7; continue; }
        if (at(buf, pos, "<TD ALIGN=RIGHT>")) { cellStart(out); pos += 16; continue; }
        if (at(buf, pos, kTitleCell)) {
          if (skipTitleRow(buf, pos) != StepResult::Ok) return StepResult::Failed;
          continue;
        }
        if (at(buf, pos, "<TD ALIGN=LEFT>")) { cellStart(out); pos += 15; continue; }
        if (at(buf, pos, "<TD ALIGN=CENTER>")) { cellStart(out); pos += 17; continue; }
        if (at(buf, pos, "</TD>")) { pos += 5; continue; }
        if (at(buf, pos, "</TR>")) {
          if (appendCaption) {
            out.push_back('\t');
            out += frame_.groupCaption;
          }
          out += "\r\n";
          pos += 5;
          continue;
        }
      } else if (c == '&') {
        if (at(buf, pos, "&nbsp;")) { pos += 6; continue; }
        if (entity(buf, pos, out)) continue;
      }
      copyRun(buf, pos, limit, out);
    }
    return StepResult::Ok;
  }

  ImportFrame& frame_;
  bool rowStart_ = false;
};

}  // namespace

StepResult convertToLines(const platform::ReadFile& file, ImportFrame& frame, const std::string& linesPath,
                          UserInterface& ui) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(linesPath.c_str(), "wb"), &std::fclose);
  if (!out) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  auto writeOut = [&](const char* data, size_t n) {
    return n == 0 || std::fwrite(data, 1, n, out.get()) == n;
  };
  std::string buf;
  int64_t readPos = frame.bodyStart;
  if (frame.bodyKind == BodyKind::Text) {
    buf.resize(kConvertBlock);
    while (readPos < frame.bodyEnd) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(kConvertBlock, frame.bodyEnd - readPos));
      if (!file.readAt(readPos, buf.data(), n) || !writeOut(buf.data(), n)) {
        ui.warning(kDiskError);
        return StepResult::Cancelled;
      }
      readPos += static_cast<int64_t>(n);
      if (ui.processEvents()) return StepResult::Cancelled;
    }
  } else {
    HtmlConverter converter(frame);
    std::string converted;
    size_t pos = 0;
    for (;;) {
      if (readPos < frame.bodyEnd) {
        buf.erase(0, pos);
        pos = 0;
        const size_t n = static_cast<size_t>(std::min<int64_t>(kConvertBlock, frame.bodyEnd - readPos));
        const size_t old = buf.size();
        buf.resize(old + n);
        if (!file.readAt(readPos, buf.data() + old, n)) {
          ui.warning(kDiskError);
          return StepResult::Cancelled;
        }
        readPos += static_cast<int64_t>(n);
      }
      const bool more = readPos < frame.bodyEnd;
      const size_t limit = more ? (buf.size() > kLookahead ? buf.size() - kLookahead : 0) : buf.size();
      converted.clear();
      if (converter.run(buf, pos, limit, converted) != StepResult::Ok) return StepResult::Failed;
      if (!writeOut(converted.data(), converted.size())) {
        ui.warning(kDiskError);
        return StepResult::Cancelled;
      }
      if (ui.processEvents()) return StepResult::Cancelled;
      if (!more && pos >= buf.size()) break;
    }
  }
  if (std::fflush(out.get()) != 0) {
    ui.warning(kDiskError);
    return StepResult::Cancelled;
  }
  if (frame.bodyKind == BodyKind::HtmlTable) frame.layout.delimiterKind = 4;
  return StepResult::Ok;
}

}  // namespace sonalog
