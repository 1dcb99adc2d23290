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

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ReadFile.h"
#include "platform/UserInterface.h"
#include "settings/SettingsTable.h"

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

void putLE(std::string& bytes, size_t at, uint32_t v, size_t width) {
  for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t getLE(std::string_view bytes, size_t at, size_t width) {
  uint32_t v = 0;
  for (size_t i = 0; i < width; ++i) v |= uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return v;
}

size_t storedWidth(StoredAs stored) {
  switch (stored) {
    case StoredAs::U8: return 1;
    case StoredAs::U16: return 2;
    case StoredAs::I32:
    case StoredAs::U32: return 4;
    case StoredAs::ShortText:
    case StoredAs::LongText: return 0;
  }
  return 0;
}

// The value a load keeps for a number outside the field's range.
int64_t loadFixed(const SettingField& f, int64_t v) {
  if (v >= f.info.min && v <= f.info.max) return v;
  switch (f.loadFix) {
    case LoadFix::None: return v;
    case LoadFix::Fallback: return f.fallback;
    case LoadFix::Mask: return v & f.info.max;
    case LoadFix::Wrap: return v % (f.info.max + 1);
  }
  return v;
}

// Puts the value "Reset ALL options" gives into the field.
void resetField(const SettingField& f, Settings& s, const Settings& fresh, const std::string& home,
                ScreenSize screen) {
  switch (f.reset) {
    case ResetTo::Kept: return;
    case ResetTo::HomeFolder: f.setText(s, home); return;
    // Halves round toward zero, as integer division does.
    case ResetTo::CentredX: f.setNumber(s, (screen.width - f.centreSize) / 2); return;
    case ResetTo::CentredY: f.setNumber(s, (screen.height - f.centreSize) / 2); return;
    case ResetTo::Default:
      if (f.info.kind == SettingKind::Text) f.setText(s, f.getText(fresh));
      else f.setNumber(s, f.getNumber(fresh));
      return;
  }
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
  std::string bytes(kFixedSize, '\0');
  std::array<std::string_view, kStringCount> strings;
  for (const SettingField& f : settingsTable()) {
    switch (f.stored) {
      case StoredAs::U8:
      case StoredAs::U16:
      case StoredAs::I32:
      case StoredAs::U32:
        putLE(bytes, f.offset, static_cast<uint32_t>(f.getNumber(s)), storedWidth(f.stored));
        break;
      case StoredAs::ShortText: {
        const std::string_view used = cutBytes(f.getText(s), f.info.maxBytes);
        bytes[f.offset] = static_cast<char>(used.size());
        bytes.replace(f.offset + 1, used.size(), used);
        break;
      }
      case StoredAs::LongText: strings[f.offset] = cutBytes(f.getText(s), kMaxStringBytes); break;
    }
  }
  for (std::string_view text : strings) {
    bytes.push_back(static_cast<char>(text.size() & 0xFF));
    bytes.push_back(static_cast<char>(text.size() >> 8));
    bytes.append(text);
  }
  return bytes;
}

bool decodeSettings(std::string_view bytes, Settings& out) {
  if (bytes.size() < kFixedSize + 2 * kStringCount || bytes.size() > kMaxConfigFileSize) return false;
  // The strings must fill the rest of the image exactly.
  std::array<std::string_view, kStringCount> strings;
  size_t at = kFixedSize;
  for (std::string_view& text : strings) {
    if (bytes.size() - at < 2) return false;
    const size_t length = getLE(bytes, at, 2);
    at += 2;
    if (bytes.size() - at < length) return false;
    text = bytes.substr(at, length);
    at += length;
  }
  if (at != bytes.size()) return false;

  Settings read;
  for (const SettingField& f : settingsTable()) {
    switch (f.stored) {
      case StoredAs::U8:
      case StoredAs::U16:
      case StoredAs::U32: f.setNumber(read, getLE(bytes, f.offset, storedWidth(f.stored))); break;
      case StoredAs::I32: f.setNumber(read, static_cast<int32_t>(getLE(bytes, f.offset, 4))); break;
      case StoredAs::ShortText: {
        const size_t length = std::min<size_t>(static_cast<unsigned char>(bytes[f.offset]), f.info.maxBytes);
        f.setText(read, std::string(bytes.substr(f.offset + 1, length)));
        break;
      }
      case StoredAs::LongText: f.setText(read, std::string(strings[f.offset])); break;
    }
  }
  out = std::move(read);
  return true;
}

void applyLoadChecks(Settings& s) {
  for (const SettingField& f : settingsTable())
    if (f.loadFix != LoadFix::None) f.setNumber(s, loadFixed(f, f.getNumber(s)));
}

bool loadSettings(const std::string& path, Settings& s, const LoadOptions& options) {
  const auto bytes = platform::readWholeFile(path, kMaxConfigFileSize);
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
  const Settings fresh;
  const std::string home = platform::homeFolder();
  for (const SettingField& f : settingsTable())
    if (f.info.optionsDefault) resetField(f, s, fresh, home, ScreenSize{});
}

void setAllDefaults(Settings& s, ScreenSize screen) {
  const Settings fresh;
  const std::string home = platform::homeFolder();
  for (const SettingField& f : settingsTable()) resetField(f, s, fresh, home, screen);
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

bool readOnlyStartupSettings(Settings& s, UserInterface& ui, const std::string& workingFolder,
                             const std::string& problem, const std::string& configPath) {
  const std::string where = "the working folder " + workingFolder + ": " + problem + ".";
  if (!loadSettings(configPath, s, LoadOptions{.adoptMainFolder = true})) {
    ui.message("No configuration can be read or written in " + where, "error", Icon::Error);
    return false;
  }
  // Not cut like a warning box: the folder and the reason are the point of the message.
  ui.message("Settings and lists cannot be saved in " + where, "Warning", Icon::Exclamation);
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
  // The defaults start the folder list in the home folder, as written: the user's own files
  // are there, and a scan of a drive's root would walk the whole system.
  if (!saveSettings(s, path, ui, true)) return StartupSettings::Fatal;
  return StartupSettings::Initialised;
}

}  // namespace sonalog
