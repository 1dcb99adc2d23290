#include "core/DemoCollection.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/Mp3Writer.h"
#include "platform/Files.h"

namespace sonalog {

namespace {

namespace fs = std::filesystem;

enum class Kind {
  Cbr,          // constant bitrate, no VBR header
  CbrInfo,      // constant bitrate behind an "Info" header frame, as encoders write them
  VbrXing,      // variable bitrate behind a "Xing" header with the frame count
  VbrPlain,     // variable bitrate without any header: only a full count gives its length
  NotAudio,     // text that merely carries the extension
  Mpeg2,        // MPEG-2 Layer III, which the catalogue does not take
};

struct Track {
  const char* folder;
  const char* stem;  // the file name without ".mp3"
  const char* artist;
  const char* title;
  Kind kind;
  uint8_t bitrateIndex;    // for VBR: the index the spread centres on
  uint8_t frequencyIndex;  // 0 44.1, 1 48, 2 32 kHz
  uint8_t channelMode;     // 0 stereo, 1 joint, 2 dual, 3 mono
  int frames;
  bool id3v2;
  bool id3v1;
};

// Near-duplicates come in pairs: the case of a whole title, "_-_" for " - ", accents, one letter.
constexpr Track kTracks[] = {
    {"Rock", "Aurora Lane - Northern Lights", "Aurora Lane", "Northern Lights", Kind::CbrInfo, 9, 0, 1, 640, true, true},
    {"Rock/Live", "aurora lane - northern lights", "aurora lane", "northern lights", Kind::Cbr, 11, 0, 0, 520, false,
     false},
    {"Rock", "The Copper Kettles - Rain on the Roof", "The Copper Kettles", "Rain on the Roof", Kind::VbrXing, 11, 0,
     1, 820, true, false},
    {"Rock", "The_Copper_Kettles_-_Rain_on_the_Roof", "The Copper Kettles", "Rain on the Roof", Kind::Cbr, 10, 0, 1,
     760, false, true},
    {"Jazz", "Milo Brandt Quartet - Blue Harbour", "Milo Brandt Quartet", "Blue Harbour", Kind::Cbr, 12, 1, 0, 700,
     true, true},
    {"Jazz", "Milo Brandt Quartet - Blue Harbor", "Milo Brandt Quartet", "Blue Harbor", Kind::Cbr, 9, 1, 0, 650, false,
     false},
    {"Jazz", "Nina Solberg - Late Train", "Nina Solberg", "Late Train", Kind::VbrPlain, 9, 1, 3, 430, true, false},
    {"Chansons", "\xC3\x89lodie Marchand - Caf\xC3\xA9 de la Gare", "\xC3\x89lodie Marchand",
     "Caf\xC3\xA9 de la Gare", Kind::Cbr, 8, 0, 1, 560, true, true},
    {"Chansons", "Elodie Marchand - Cafe de la Gare", "Elodie Marchand", "Cafe de la Gare", Kind::Cbr, 7, 0, 3, 540,
     false, true},
    {"Classical", "Orchestra of the Valley - Spring Overture", "Orchestra of the Valley", "Spring Overture", Kind::Cbr,
     14, 2, 2, 900, false, true},
    {"Classical", "Hanna Berg - Cello Suite No 1", "Hanna Berg", "Cello Suite No 1", Kind::CbrInfo, 5, 2, 3, 330, true,
     false},
    {"Classical", "Hanna Berg - Prelude in G", "Hanna Berg", "Prelude in G", Kind::VbrXing, 8, 2, 3, 610, false, true},
    {"Spoken", "Radio Archive - Evening News", "Radio Archive", "Evening News", Kind::Cbr, 3, 0, 3, 260, true, false},
    {"Damaged", "Unknown Artist - Not Really Music", "Unknown Artist", "Not Really Music", Kind::NotAudio, 0, 0, 0, 0,
     false, false},
    {"Damaged", "Tape Transfer - Side B", "Tape Transfer", "Side B", Kind::Mpeg2, 8, 0, 1, 300, false, false},
};

mp3::FrameHeader headerOf(const Track& t, uint8_t bitrateIndex) {
  mp3::FrameHeader h;
  h.bitrateIndex = bitrateIndex;
  h.frequencyIndex = t.frequencyIndex;
  h.channelMode = t.channelMode;
  return h;
}

// A fixed walk around the centre index, as a VBR encoder's choice of bitrates might look.
uint8_t vbrIndex(uint8_t centre, int frame) {
  constexpr int kWalk[8] = {0, 1, -1, 2, 0, -2, 1, 0};
  const int index = centre + kWalk[(frame * 5 + frame / 7) % 8];
  return static_cast<uint8_t>(std::clamp(index, 1, 14));
}

std::string audioOf(const Track& t) {
  std::string audio;
  switch (t.kind) {
    case Kind::Cbr:
      mp3::appendEncodedFrames(audio, headerOf(t, t.bitrateIndex), t.frames);
      break;
    case Kind::CbrInfo: {
      std::string frames;
      mp3::appendEncodedFrames(frames, headerOf(t, t.bitrateIndex), t.frames);
      mp3::appendXingFrame(audio, headerOf(t, t.bitrateIndex), true, static_cast<uint32_t>(t.frames),
                           static_cast<uint32_t>(frames.size()));
      audio += frames;
      break;
    }
    case Kind::VbrXing:
    case Kind::VbrPlain: {
      std::string frames;
      for (int i = 0; i < t.frames; ++i) mp3::appendSilentFrame(frames, headerOf(t, vbrIndex(t.bitrateIndex, i)));
      if (t.kind == Kind::VbrXing)
        mp3::appendXingFrame(audio, headerOf(t, t.bitrateIndex), false, static_cast<uint32_t>(t.frames),
                             static_cast<uint32_t>(frames.size()));
      audio += frames;
      break;
    }
    case Kind::NotAudio:
      audio = "This file is a text note that happens to end in .mp3.\n";
      for (int i = 0; i < 40; ++i) audio += "Nothing here is MPEG audio; the catalogue rejects it.\n";
      break;
    case Kind::Mpeg2: {
      mp3::FrameHeader h = headerOf(t, t.bitrateIndex);
      h.version = 2;  // 22.05 kHz: 72 * 64 kbps / 22.05 = 208 bytes per frame
      for (int i = 0; i < t.frames; ++i) mp3::appendSilentFrame(audio, h, 208);
      break;
    }
  }
  return audio;
}

}  // namespace

std::vector<DemoFile> demoCollection() {
  std::vector<DemoFile> files;
  for (const Track& t : kTracks) {
    std::string bytes;
    if (t.id3v2) bytes += mp3::id3v2Tag({{"TIT2", t.title}, {"TPE1", t.artist}, {"TALB", "Sonalog Demo"}}, 512);
    bytes += audioOf(t);
    if (t.id3v1) bytes += mp3::id3v1Tag(t.title, t.artist, "Sonalog Demo", "2024", 12);
    files.push_back({std::string(t.folder) + "/" + t.stem + ".mp3", std::move(bytes)});
  }
  return files;
}

DemoWriteResult writeDemoCollection(const std::string& folder) {
  DemoWriteResult result;
  std::error_code ec;
  const fs::path root(folder);
  if (fs::exists(root, ec)) {
    if (!fs::is_directory(root, ec)) {
      result.message = "Not a folder: " + folder;
      return result;
    }
    if (!fs::is_empty(root, ec) || ec) {
      result.message = ec ? "Cannot read the folder " + folder + ": " + ec.message()
                          : "The folder " + folder + " is not empty; give a new or an empty folder.";
      return result;
    }
  }
  for (const DemoFile& file : demoCollection()) {
    const fs::path path = root / file.relativePath;
    fs::create_directories(path.parent_path(), ec);
    platform::AtomicFile out(path.string());
    if (ec || !out.open() || !out.write(file.bytes) || !out.commit()) {
      result.message = "Cannot write " + path.string() + (ec ? ": " + ec.message() : std::string());
      return result;
    }
    ++result.files;
  }
  result.ok = true;
  return result;
}

}  // namespace sonalog
