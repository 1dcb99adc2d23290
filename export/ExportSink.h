#pragma once
// Where an export writer's bytes go: a file written under a temporary name and renamed into place
// when complete, or a string (tests, round trips). Writers stream item by item, so a sink never
// holds more than one item's text plus the file buffer.

#include <string>
#include <string_view>

#include "platform/Files.h"

namespace sonalog {

class ExportSink {
 public:
  virtual ~ExportSink() = default;
  // Appends bytes. False when this or an earlier write failed.
  virtual bool write(std::string_view bytes) = 0;
};

class StringSink final : public ExportSink {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Writes into an open AtomicFile; the caller commits or discards it.
class AtomicFileSink final : public ExportSink {
 public:
  explicit AtomicFileSink(platform::AtomicFile& file) : file_(file) {}
  bool write(std::string_view bytes) override { return file_.write(bytes.data(), bytes.size()); }

 private:
  platform::AtomicFile& file_;
};

}  // namespace sonalog
