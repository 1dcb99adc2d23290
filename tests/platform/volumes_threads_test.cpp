// Mounted volumes read from a mounts table and /dev/disk-like link folders made in a temporary
// folder, and the worker threads' priorities.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/Threads.h"
#include "platform/Volumes.h"
#include "tests/support/TempHome.h"

namespace sonalog::platform {
namespace {

namespace fs = std::filesystem;

TEST(VolumesTest, MountsTableWithLabelsAndSerials) {
  sonalog::testing::TempHome home;
  const std::string dev = home.path("dev");
  for (const char* name : {"sda1", "sdb1", "sdc1", "loop0"}) home.writeFile(std::string("dev/") + name, "");
  fs::create_directories(home.path("disk/by-label"));
  fs::create_directories(home.path("disk/by-uuid"));
  // udev writes a blank in a label as \x20; labels longer than 32 bytes are cut.
  fs::create_symlink("../../dev/sdb1", home.path("disk/by-label/My\\x20Music"));
  fs::create_symlink("../../dev/sdc1", home.path("disk/by-label/" + std::string(40, 'L')));
  fs::create_symlink("../../dev/sda1", home.path("disk/by-uuid/1234abcd-ef56-7890-aaaa-bbbbccccdddd"));
  fs::create_symlink("../../dev/sdb1", home.path("disk/by-uuid/AB12-CD34"));

  const std::string table = dev + "/sdb1 /media/My\\040Music vfat rw 0 0\n" +
                            "proc /proc proc rw 0 0\n" +
                            dev + "/sda1 / ext4 rw 0 0\n" +
                            dev + "/sda1 / ext4 rw 0 0\n" +  // mounted twice: listed once
                            dev + "/loop0 /snap/core squashfs ro 0 0\n" +
                            dev + "/sdc1 /data ext4 rw 0 0\n" +
                            "garbage\n";
  const auto blockDevice = [&](const std::string& device) -> std::optional<uint64_t> {
    if (device == dev + "/loop0" || !fs::exists(device)) return std::nullopt;  // not a block device
    return device == dev + "/sdc1" ? std::optional<uint64_t>(0x0821) : std::optional<uint64_t>(0x0801);
  };
  const std::vector<Volume> volumes = volumesFromMounts(table, home.path("disk"), blockDevice);
  ASSERT_EQ(volumes.size(), 3u);
  EXPECT_EQ(volumes[0].mountPoint, "/");  // the root volume first, then by mount point
  EXPECT_EQ(volumes[0].label, "");
  EXPECT_EQ(volumes[0].serial, "1234ABCD");
  EXPECT_EQ(volumes[1].mountPoint, "/data");
  EXPECT_EQ(volumes[1].label, std::string(32, 'L'));
  EXPECT_EQ(volumes[1].serial, "00000821");  // no UUID: the device number
  EXPECT_EQ(volumes[2].mountPoint, "/media/My Music");
  EXPECT_EQ(volumes[2].label, "My Music");
  EXPECT_EQ(volumes[2].serial, "AB12CD34");
  EXPECT_EQ(volumes[2].device, fs::canonical(dev + "/sdb1").string());

  EXPECT_EQ(volumeForPath(volumes, "/media/My Music/rock")->mountPoint, "/media/My Music");
  EXPECT_EQ(volumeForPath(volumes, "/media/My Musical")->mountPoint, "/");
  EXPECT_EQ(volumeForPath(volumes, "/data")->mountPoint, "/data");
  EXPECT_EQ(volumeForPath(volumes, "c:\\music"), nullptr);
  EXPECT_TRUE(volumesFromMounts("", home.path("missing"), blockDevice).empty());
}

TEST(ThreadsTest, PrioritiesAreNiceValuesBestEffort) {
  // In a thread of its own, so that the test process keeps its priority.
  std::thread([] {
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    const int before = ::getpriority(PRIO_PROCESS, tid);
    const bool lowered = setCurrentThreadPriority(0);
    if (before <= 10) {
      EXPECT_TRUE(lowered);
    }
    const int low = lowered ? 10 : before;
    EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), low);
    // Raising needs a privilege: without it the thread stays as it was.
    const bool raised = setCurrentThreadPriority(2);
    EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), raised ? -5 : low);
    if (raised) {
      EXPECT_TRUE(setCurrentThreadPriority(1));
      EXPECT_EQ(::getpriority(PRIO_PROCESS, tid), 0);
    }
  }).join();
}

}  // namespace
}  // namespace sonalog::platform
