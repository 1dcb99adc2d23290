#pragma once
// A per-test temporary folder that is also the working folder ($SONALOG_HOME), removed after
// the test. Tests never touch the user's real folders.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace sonalog::testing {

class TempHome {
 public:
  TempHome() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "sonalog";
    for (char& c : name)
      if (c == '/') c = '_';
    root_ = std::filesystem::temp_directory_path() / ("sonalog-test-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "home");
    ::setenv("SONALOG_HOME", (root_ / "home").c_str(), 1);
  }
  ~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  // The temporary root (not the working folder), without a trailing slash.
  std::string path() const { return root_.string(); }
  std::string path(const std::string& relative) const { return (root_ / relative).string(); }
  // The working folder with a trailing slash.
  std::string home() const { return (root_ / "home").string() + "/"; }

  void writeFile(const std::string& relative, const std::string& bytes) const {
    const auto p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string readFile(const std::string& relative) const {
    std::ifstream in(root_ / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path root_;
};

}  // namespace sonalog::testing
