#include "settings/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>

#include "core/ApiUnit.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"

namespace sonalog {

namespace {

// Cuts s to at most limit bytes without splitting a UTF-8 sequence (continuation bytes
// 10xxxxxx are never left without their lead byte).
std::string_view cutBytes(std::string_view s, size_t limit) {
  if (s.size() <= limit) return s;
  size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

// Writes the file image. Each call appends one field in file order.
class ImageWriter {
 public:
  std::string bytes;

  void u8(bool v) { bytes.push_back(v ? 1 : 0); }
  void u8(uint8_t v) { bytes.push_back(static_cast<char>(v)); }
  void u16(uint16_t v) { putLE(v, 2); }
  void i32(int32_t v) { putLE(static_cast<uint32_t>(v), 4); }
  void u32(uint32_t v) { putLE(v, 4); }
  // A length byte followed by `capacity` bytes, unused ones zero.
  void shortString(const std::string& s, size_t capacity) {
    const std::string_view used = cutBytes(s, capacity);
    bytes.push_back(static_cast<char>(used.size()));
    bytes.append(used);
    bytes.append(capacity - used.size(), '\0');
  }
  // A 16-bit length followed by the bytes.
  void longString(const std::string& s) {
    const std::string_view used = cutBytes(s, kMaxStringBytes);
    u16(static_cast<uint16_t>(used.size()));
    bytes.append(used);
  }
  size_t position() const { return bytes.size(); }

 private:
  void putLE(uint32_t v, int width) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
};

// Reads the file image; any read past the end sets failed and yields zeros.
class ImageReader {
 public:
  explicit ImageReader(std::string_view bytes) : bytes_(bytes) {}
  bool failed = false;

  void u8(bool& v) { v = take(1) != 0; }
  void u8(uint8_t& v) { v = static_cast<uint8_t>(take(1)); }
  void u16(uint16_t& v) { v = static_cast<uint16_t>(take(2)); }
  void i32(int32_t& v) { v = static_cast<int32_t>(take(4)); }
  void u32(uint32_t& v) { v = take(4); }
  void shortString(std::string& s, size_t capacity) {
    const size_t length = std::min<size_t>(take(1), capacity);
    s = bytesAt(pos_, length);
    skip(capacity);
  }
  void longString(std::string& s) {
    const size_t length = take(2);
    s = bytesAt(pos_, length);
    skip(length);
  }
  size_t position() const { return pos_; }
  bool atEnd() const { return pos_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;

  uint32_t take(int width) {
    if (failed || bytes_.size() - pos_ < static_cast<size_t>(width)) {
      failed = true;
      return 0;
    }
    uint32_t v = 0;
    for (int i = 0; i < width; ++i) v |= uint32_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += static_cast<size_t>(width);
    return v;
  }
  std::string bytesAt(size_t at, size_t length) const {
    if (failed || bytes_.size() - at < length) return {};
    return std::string(bytes_.substr(at, length));
  }
  void skip(size_t n) {
    if (failed || bytes_.size() - pos_ < n) {
      failed = true;
      return;
    }
    pos_ += n;
  }
};

// The block B pairs in file order, with each window's design size for the centred reset
// position (viewerSize is a size, not a position, and has no design size of its own).
struct WindowSlot {
  WindowPosition Settings::*field;
  int32_t width;
  int32_t height;
};
constexpr WindowSlot kWindowSlots[] = {
    {&Settings::mainWindowPos, 284, 362},
    {&Settings::optionsWindowPos, 787, 549},
    {&Settings::aboutWindowPos, 320, 314},
    {&Settings::importWindowPos, 430, 557},
    {&Settings::duplicatesOptionsWindowPos, 307, 415},
    {&Settings::viewerSize, 0, 0},
    {&Settings::duplicatesSearchWindowPos, 482, 307},
    {&Settings::comparisonWindowPos, 482, 307},
    {&Settings::comparisonOptionsWindowPos, 307, 502},
    {&Settings::viewerWindowPos, 700, 600},
    {&Settings::skipMessageWindowPos, 256, 286},
    {&Settings::captionInputWindowPos, 313, 246},
    {&Settings::insertEditWindowPos, 301, 301},
    {&Settings::loadMergeWindowPos, 227, 310},
    {&Settings::findWindowPos, 217, 190},
};
static_assert(std::size(kWindowSlots) * 8 == kBlockBSize);

constexpr size_t kCustomColourSlot = 8;  // hexadecimal digits per custom colour

// The whole file layout, shared by the writer and the reader so that the two cannot disagree.
// S is Settings for reading and const Settings for writing.
template <class Io, class S>
void visitImage(Io& io, S& s) {
  // Block A.
  io.u8(s.CheckTime);
  io.u8(s.CheckKbps);
  io.u8(s.AddHeaderCheck);
  io.u8(s.CheckHead);
  io.u8(s.CheckFoot);
  io.u8(s.CheckFreq);
  io.u8(s.CheckSize);
  io.u8(s.CheckDate);
  io.u8(s.CheckVl);
  io.u8(s.CheckPath);
  io.u8(s.CheckStereo);
  io.u8(s.addedcheck);
  io.u8(s.CheckSort);
  io.u8(s.CheckEnum);
  io.u8(s.CheckSh);
  io.u8(s.Combopopt);
  io.u8(s.txcheck);
  io.u8(s.CheckCenter);
  io.u8(s.CheckSplit);
  io.u8(s.bgcheck);
  io.u8(s.CheckDescend);
  io.u8(s.ComboStereo);
  io.u8(s.CheckCase);
  io.u8(s.CheckHtag);
  io.u8(s.viewerManualWidths);
  io.u8(s.viewerSplitArtistTitle);
  io.u8(s.CheckPtoo);
  io.u8(s.Checkhr);
  io.u8(s.Checkms);
  io.u8(s.CheckFpb);
  io.u8(s.ComboVBR);
  io.u8(s.ComboStyle);
  io.u8(s.errorexportcombo);
  io.u8(s.ooptcombo);
  io.u8(s.erroractioncombo);
  io.u8(s.delimiter);
  io.u8(s.ComboCap);
  io.u8(s.sortcombo);
  io.u8(s.ListLoadCombo);
  io.u8(s.ComboK);
  io.u8(s.estext);
  io.u8(s.viewerColourScheme);
  io.u8(s.ComboSkip);
  io.u16(s.EditMaxcursav);
  io.u8(s.cstext0);
  io.u8(s.cstext1);
  io.u8(s.cstext2);
  io.u8(s.fadeMainWindow);
  io.u8(s.fadeViewerWindow);
  io.u8(s.fadeOptionsWindow);
  io.i32(s.maxsizetext);
  io.i32(s.minsizetext);
  io.u32(s.bgpic);
  io.u32(s.txpic);
  io.u32(s.mainWindowColour);
  io.u32(s.optionsWindowColour);
  io.u32(s.viewerWindowColour);
  for (auto& width : s.viewerColumnWidths) io.i32(width);
  // The three block A fonts are stored field by field: sizes, character sets, names, styles.
  io.u8(s.viewerFont.size);
  io.u8(s.tableFont.size);
  io.u8(s.captionFont.size);
  io.u8(s.viewerFont.charset);
  io.u8(s.tableFont.charset);
  io.u8(s.captionFont.charset);
  io.shortString(s.viewerFont.name, kMaxFontNameBytes);
  io.shortString(s.tableFont.name, kMaxFontNameBytes);
  io.shortString(s.captionFont.name, kMaxFontNameBytes);
  io.u8(s.viewerFont.style);
  io.u8(s.tableFont.style);
  io.u8(s.captionFont.style);

  // Block B.
  for (const WindowSlot& slot : kWindowSlots) {
    auto& pos = s.*(slot.field);
    io.i32(pos.left);
    io.i32(pos.top);
  }

  // Block C.
  io.u8(s.dsRadio);
  io.u8(s.daRadio);
  io.u8(s.matchThreshold);
  io.u8(s.actionMode);
  io.u8(s.compareAction);
  io.u8(s.compareWith);
  io.u8(s.insertPlacement);
  io.u8(s.editPlacement);
  io.u8(s.importFileType);
  io.u8(s.Rg1);
  io.u8(s.threadPriority);
  io.u8(s.viewerTotalTimeStyle);
  io.u8(s.ComboCow);
  io.u8(s.cmfcheck);
  io.u8(s.clabcheck);
  io.u8(s.stripcheck);
  io.u8(s.ImapCheck);
  io.u8(s.allowUnspecified);
  io.u8(s.sizeCheck);
  io.u8(s.timeCheck);
  io.u8(s.highChars);
  io.u8(s.bitrateCheck);
  io.u8(s.viewerMaximized);
  io.u8(s.examineBangLines);
  io.u8(s.loadMergeAppend);
  io.u8(s.DontShowCheck);
  io.u8(s.ChkMatch);
  io.u8(s.firstLetterCheck);
  io.u8(s.CheckRem);
  io.u8(s.ChkInversion);
  io.u8(s.sadcheck);
  io.u8(s.Incbox);
  io.u8(s.skipFilteredNote);
  io.u16(s.sizeLimitKB);
  io.u16(s.timeLimitSec);
  for (auto& colour : s.customColours) io.shortString(colour, kCustomColourSlot);
  io.u8(s.folderTreeFont.size);
  io.u8(s.folderTreeFont.charset);
  io.shortString(s.folderTreeFont.name, kMaxFontNameBytes);
  io.u8(s.folderTreeFont.style);

  // The strings.
  io.longString(s.headerFileText);
  io.longString(s.footerFileText);
  io.longString(s.headerFileHtml);
  io.longString(s.footerFileHtml);
  io.longString(s.startupList);
  io.longString(s.loadFolder);
  io.longString(s.saveAsFolder);
  io.longString(s.exportFolder);
  io.longString(s.importFolder);
  io.longString(s.duplicatesLogFolder);
  io.longString(s.compareOutputFolder);
  io.longString(s.compareInputFolder);
  io.longString(s.lastSavedList);
  io.longString(s.insertEditFolder);
  io.longString(s.optionsFileFolder);
  io.longString(s.lastCaption);
  io.longString(s.textMessageFolder);
  io.longString(s.htmlMessageFolder);
  io.longString(s.startupListFolder);
  io.longString(s.mainFolder);
  io.longString(s.lastExternalList);
  io.longString(s.lastOutputFile);
}

// Reads a regular file of at most maxBytes in full. Anything else (missing, a folder, a device,
// too long, a read error) gives nullopt, so a hostile path can neither hang nor exhaust memory.
std::optional<std::string> readBoundedFile(const std::string& path, size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
      static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  // A file that grew while being read is not the file we measured.
  char extra;
  if (ok && ::read(fd, &extra, 1) != 0) ok = false;
  ::close(fd);
  if (!ok) return std::nullopt;
  return bytes;
}

bool isFolder(const std::string& path) {
  const auto facts = platform::fileFacts(path);
  return facts && facts->isDirectory;
}

std::string hex2(unsigned v) {
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
  return buf;
}

}  // namespace

std::array<std::string, kCustomColourCount> defaultCustomColours() {
  std::array<std::string, kCustomColourCount> colours{"00BEDED5", "00E0E0E0", "00BBD1D5"};
  for (unsigned i = 3; i < kCustomColourCount; ++i)
    colours[i] = "00" + hex2(i) + hex2(10 * i + 40) + hex2(12 * i + 48);
  return colours;
}

uint8_t Settings::mainSortCode() const {
  constexpr uint8_t kNotSorted = 63;
  if (!CheckSort) return kNotSorted;
  return static_cast<uint8_t>(sortcombo | (CheckDescend ? 128 : 0) | (CheckCase ? 64 : 0));
}

WindowPosition keptOnScreen(WindowPosition stored, int32_t width, int32_t height, ScreenSize screen) {
  // 64-bit arithmetic: stored positions come from a file and may be anything.
  auto fit = [](int64_t at, int64_t size, int64_t screenSize) {
    return static_cast<int32_t>(std::max<int64_t>(0, std::min(at, screenSize - size)));
  };
  return WindowPosition{fit(stored.left, width, screen.width), fit(stored.top, height, screen.height)};
}

std::string encodeSettings(const Settings& s) {
  ImageWriter writer;
  writer.bytes.reserve(kFixedSize + 2 * kStringCount + 256);
  visitImage(writer, s);
  return std::move(writer.bytes);
}

bool decodeSettings(std::string_view bytes, Settings& out) {
  if (bytes.size() < kFixedSize + 2 * kStringCount || bytes.size() > kMaxConfigFileSize) return false;
  Settings read;
  ImageReader reader(bytes);
  visitImage(reader, read);
  if (reader.failed || !reader.atEnd()) return false;
  out = std::move(read);
  return true;
}

void applyLoadChecks(Settings& s) {
  if (s.minsizetext <= 0 || s.minsizetext > 2000) s.minsizetext = 10;
  if (s.maxsizetext < 10 || s.maxsizetext > 2048) s.maxsizetext = 2048;
  if (s.errorexportcombo > 2) s.errorexportcombo = 1;
  if (s.erroractioncombo > 2) s.erroractioncombo = 1;
  if (s.delimiter > 5) s.delimiter = 0;
  if (s.estext >= 100) s.estext = 0;
  if (s.ComboStyle > 3) s.ComboStyle = 0;
  if (s.viewerColourScheme > 2) s.viewerColourScheme = 0;
  if (s.sortcombo > 9) s.sortcombo = 0;
  if (s.ComboK > 4) s.ComboK = 1;
  if (s.viewerFont.size < 4 || s.viewerFont.size > 32) s.viewerFont.size = 10;
  if (s.ooptcombo > 4) s.ooptcombo = 0;
  if (s.ComboVBR > 9) s.ComboVBR = 0;
  s.ComboCap &= 3;
  s.ComboSkip &= 3;
  s.fadeMainWindow &= 1;
  s.fadeViewerWindow &= 1;
  s.fadeOptionsWindow &= 1;

  s.dsRadio &= 1;
  s.daRadio &= 1;
  s.actionMode %= 3;
  s.compareAction %= 10;
  s.compareWith &= 1;
  s.insertPlacement &= 3;
  if (s.editPlacement < 2 || s.editPlacement > 3) s.editPlacement = 2;
  s.importFileType &= 1;
  if (s.Rg1 > 3) s.Rg1 = 1;
  if (s.threadPriority > 2) s.threadPriority = 0;
  s.viewerTotalTimeStyle &= 3;
  if (s.ComboCow > 2) s.ComboCow = 0;
  if (s.folderTreeFont.size < 4 || s.folderTreeFont.size > 32) s.folderTreeFont.size = 10;
}

bool loadSettings(const std::string& path, Settings& s, const LoadOptions& options) {
  const auto bytes = readBoundedFile(path, kMaxConfigFileSize);
  if (!bytes) return false;
  Settings loaded;
  if (!decodeSettings(*bytes, loaded)) return false;
  applyLoadChecks(loaded);
  // The main window shows the remembered folder when it still exists, else the home folder;
  // the folder it shows is what the settings keep.
  if (options.adoptMainFolder && !isFolder(loaded.mainFolder)) loaded.mainFolder = platform::homeFolder();
  s = std::move(loaded);
  return true;
}

bool saveSettings(const Settings& s, const std::string& path, UserInterface& ui, bool initialising) {
  const std::string image = encodeSettings(s);
  platform::AtomicFile file(path);
  if (file.open() && file.write(image) && file.commit()) return true;
  if (initialising)
    ui.message("Disk error attempting to initialize configuration file", "FATAL ERROR", Icon::Error);
  else
    ui.message("Disk error writing configuration file", "Error", Icon::Error);
  return false;
}

void setOptionsDefaults(Settings& s) {
  const Settings d;  // a fresh record holds every default value
  const std::string root = platform::homeFolder();
  s.CheckTime = d.CheckTime;
  s.CheckKbps = d.CheckKbps;
  s.AddHeaderCheck = d.AddHeaderCheck;
  s.CheckHead = d.CheckHead;
  s.CheckFoot = d.CheckFoot;
  s.CheckFreq = d.CheckFreq;
  s.CheckSize = d.CheckSize;
  s.CheckDate = d.CheckDate;
  s.CheckVl = d.CheckVl;
  s.CheckPath = d.CheckPath;
  s.CheckStereo = d.CheckStereo;
  s.addedcheck = d.addedcheck;
  s.CheckSort = d.CheckSort;
  s.CheckEnum = d.CheckEnum;
  s.CheckSh = d.CheckSh;
  s.Combopopt = d.Combopopt;
  s.txcheck = d.txcheck;
  s.CheckCenter = d.CheckCenter;
  s.CheckSplit = d.CheckSplit;
  s.bgcheck = d.bgcheck;
  s.CheckDescend = d.CheckDescend;
  s.ComboStereo = d.ComboStereo;
  s.CheckCase = d.CheckCase;
  s.CheckHtag = d.CheckHtag;
  s.viewerSplitArtistTitle = d.viewerSplitArtistTitle;
  s.CheckPtoo = d.CheckPtoo;
  s.CheckFpb = d.CheckFpb;
  s.ComboVBR = d.ComboVBR;
  s.ComboStyle = d.ComboStyle;
  s.errorexportcombo = d.errorexportcombo;
  s.ooptcombo = d.ooptcombo;
  s.erroractioncombo = d.erroractioncombo;
  s.delimiter = d.delimiter;
  s.ComboCap = d.ComboCap;
  s.sortcombo = d.sortcombo;
  s.ListLoadCombo = d.ListLoadCombo;
  s.ComboK = d.ComboK;
  s.estext = d.estext;
  s.ComboSkip = d.ComboSkip;
  s.EditMaxcursav = d.EditMaxcursav;
  s.cstext0 = d.cstext0;
  s.cstext1 = d.cstext1;
  s.cstext2 = d.cstext2;
  s.fadeMainWindow = d.fadeMainWindow;
  s.fadeViewerWindow = d.fadeViewerWindow;
  s.fadeOptionsWindow = d.fadeOptionsWindow;
  s.maxsizetext = d.maxsizetext;
  s.minsizetext = d.minsizetext;
  s.bgpic = d.bgpic;
  s.txpic = d.txpic;
  s.mainWindowColour = d.mainWindowColour;
  s.optionsWindowColour = d.optionsWindowColour;
  s.viewerWindowColour = d.viewerWindowColour;
  s.tableFont = d.tableFont;
  s.captionFont = d.captionFont;
  s.headerFileText.clear();
  s.footerFileText.clear();
  s.headerFileHtml.clear();
  s.footerFileHtml.clear();
  s.startupList.clear();
  s.textMessageFolder = root;
  s.htmlMessageFolder = root;
  s.startupListFolder = root;
}

void setAllDefaults(Settings& s, ScreenSize screen) {
  // The hour and millisecond switches of the XLS playtime have no default: they survive.
  const bool hours = s.Checkhr;
  const bool milliseconds = s.Checkms;
  s = Settings();
  s.Checkhr = hours;
  s.Checkms = milliseconds;

  for (const WindowSlot& slot : kWindowSlots) {
    if (slot.field == &Settings::viewerSize) continue;  // keeps its 700 x 600
    // Halves round toward zero, as integer division does.
    s.*(slot.field) = WindowPosition{(screen.width - slot.width) / 2, (screen.height - slot.height) / 2};
  }

  const std::string root = platform::homeFolder();
  for (std::string* folder : {&s.loadFolder, &s.saveAsFolder, &s.exportFolder, &s.importFolder,
                              &s.duplicatesLogFolder, &s.compareOutputFolder, &s.compareInputFolder,
                              &s.insertEditFolder, &s.optionsFileFolder, &s.mainFolder})
    *folder = root;

  setOptionsDefaults(s);
  s.sadcheck = false;
  s.Incbox = true;
}

std::string workingConfigPath() { return platform::workingFolder() + kConfigFileName; }

bool saveToWorkingFolder(const Settings& s, UserInterface& ui) {
  return saveSettings(s, workingConfigPath(), ui, false);
}

bool initialiseSettings(Settings& s, UserInterface& ui, ScreenSize screen) {
  setAllDefaults(s, screen);
  return saveSettings(s, workingConfigPath(), ui, true);
}

bool resetAllOptions(Settings& s, UserInterface& ui, ScreenSize screen) {
  setAllDefaults(s, screen);
  if (!saveToWorkingFolder(s, ui)) return false;
  loadSettings(workingConfigPath(), s);  // applies the load checks, as a start-up would
  return true;
}

bool loadOptionsFrom(const std::string& path, Settings& s, UserInterface& ui) {
  if (loadSettings(path, s)) return true;
  ui.warning(kLoadOptionsFailed);
  return false;
}

bool saveOptionsAs(const std::string& path, Settings& s, UserInterface& ui) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  if (fs::equivalent(folder, platform::workingFolder(), ec)) {
    ui.message("You are not allowed to save to application working folder.", "Error", Icon::Error);
    return false;
  }
  if (!saveSettings(s, path, ui, false)) return false;
  s.optionsFileFolder = fs::absolute(folder, ec).lexically_normal().string();
  return true;
}

StartupSettings startupSettings(Settings& s, UserInterface& ui, ScreenSize screen,
                                const std::string& configPath, const std::string& programFolder) {
  namespace fs = std::filesystem;
  const std::string path = configPath.empty() ? workingConfigPath() : configPath;
  const std::string fromFolder = programFolder.empty() ? platform::programFolder() : programFolder;

  std::error_code ec;
  const fs::path target(path);
  const fs::path source = fs::path(fromFolder) / kConfigFileName;
  if (!fs::exists(fs::symlink_status(target, ec)) && !fs::equivalent(target.parent_path(), fromFolder, ec) &&
      platform::fileExists(source.string())) {
    // copy_options::none refuses to overwrite a file that appeared meanwhile.
    fs::copy_file(source, target, fs::copy_options::none, ec);
  }

  if (loadSettings(path, s, LoadOptions{.adoptMainFolder = true})) return StartupSettings::Loaded;

  setAllDefaults(s, screen);
  if (!saveSettings(s, path, ui, true)) return StartupSettings::Fatal;
  const auto volumes = platform::mountedVolumes();
  const platform::Volume* volume = platform::volumeForPath(volumes, path);
  s.mainFolder = volume ? volume->mountPoint : "/";
  return StartupSettings::Initialised;
}

}  // namespace sonalog
