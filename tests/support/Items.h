#pragma once
// List items for tests: a name and the facts a test cares about; the rest are those of an
// ordinary song (128 kbps stereo at 44.1 kHz, 4000 KB, 9000 frames, in /music).

#include <cstdint>
#include <string>
#include <utility>

#include "core/ListItem.h"

namespace sonalog::testing {

class ItemBuilder {
 public:
  explicit ItemBuilder(std::string name) {
    item_.fileName = std::move(name);
    item_.folder = "/music";
    item_.bitrateCode = 9;  // 128 kbps
    item_.sizeKB = 4000;
    item_.frames = 9000;
  }
  ItemBuilder& folder(std::string v) { item_.folder = std::move(v); return *this; }
  ItemBuilder& label(std::string v) { item_.volumeLabel = std::move(v); return *this; }
  ItemBuilder& bitrate(uint8_t v) { item_.bitrateCode = v; return *this; }
  ItemBuilder& sizeKB(int32_t v) { item_.sizeKB = v; return *this; }
  ItemBuilder& frames(int32_t v) { item_.frames = v; return *this; }
  ItemBuilder& stereo(uint8_t v) { item_.stereoMode = v; return *this; }
  ItemBuilder& frequency(uint8_t v) { item_.frequencyCode = v; return *this; }
  ItemBuilder& fileDate(int32_t v) { item_.fileDate = v; return *this; }
  ItemBuilder& dateAdded(int32_t v) { item_.dateAdded = v; return *this; }
  ItemBuilder& averageKbps(uint16_t v) { item_.averageKbps = v; return *this; }
  operator ListItem() const { return item_; }  // NOLINT: a builder stands where an item is wanted

 private:
  ListItem item_;
};

}  // namespace sonalog::testing
