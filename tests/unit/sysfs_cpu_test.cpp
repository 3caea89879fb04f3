// sysfs CPU values: cache sizes, CPU lists, clocks, and level-2 totals on the fixture trees.
#include "sysfs_cpu.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace freqsmith::detect {
namespace {

std::filesystem::path cpuDirOf(const std::string& machine) {
  return std::filesystem::path(FREQSMITH_TEST_DATA) / "machines" / machine / "sys" / "devices" /
         "system" / "cpu";
}

struct SizeRow {
  const char* text;
  std::optional<std::int64_t> kb;
  friend std::ostream& operator<<(std::ostream& out, const SizeRow& row) {
    return out << '"' << row.text << '"';
  }
};

class ParsesCacheSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(ParsesCacheSize, InKb) {
  EXPECT_EQ(parseCacheSizeKb(GetParam().text), GetParam().kb);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ParsesCacheSize,
    ::testing::Values(
        SizeRow{"512K", 512}, SizeRow{"2048K", 2048}, SizeRow{"1M", 1024}, SizeRow{"32M", 32768},
        SizeRow{"1G", 1048576}, SizeRow{"256k", 256}, SizeRow{" 256K\n", 256},
        SizeRow{"garbage", std::nullopt}, SizeRow{"", std::nullopt}, SizeRow{"K", std::nullopt},
        SizeRow{"512", std::nullopt}, SizeRow{"512B", std::nullopt}, SizeRow{"-512K", std::nullopt},
        SizeRow{"+512K", std::nullopt}, SizeRow{"0K", std::nullopt}, SizeRow{"1.5M", std::nullopt},
        SizeRow{"512 K", std::nullopt}, SizeRow{"99999999999999999999K", std::nullopt},
        SizeRow{"9000000000G", std::nullopt}));

struct ListRow {
  const char* text;
  std::optional<std::vector<int>> cpus;
  friend std::ostream& operator<<(std::ostream& out, const ListRow& row) {
    return out << '"' << row.text << '"';
  }
};

class ParsesCpuList : public ::testing::TestWithParam<ListRow> {};

TEST_P(ParsesCpuList, IntoNumbers) {
  EXPECT_EQ(parseCpuList(GetParam().text), GetParam().cpus);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ParsesCpuList,
    ::testing::Values(
        ListRow{"0", std::vector<int>{0}}, ListRow{"0-3", std::vector<int>{0, 1, 2, 3}},
        ListRow{"0,4", std::vector<int>{0, 4}},
        ListRow{"0-1,8-9,12", std::vector<int>{0, 1, 8, 9, 12}},
        ListRow{"5-5", std::vector<int>{5}}, ListRow{"7\n", std::vector<int>{7}},
        ListRow{"", std::nullopt}, ListRow{"3-1", std::nullopt}, ListRow{"0,", std::nullopt},
        ListRow{",0", std::nullopt}, ListRow{"0-", std::nullopt}, ListRow{"-1", std::nullopt},
        ListRow{"0--2", std::nullopt}, ListRow{"0-2-4", std::nullopt}, ListRow{"a", std::nullopt},
        ListRow{"0-1000000", std::nullopt}, ListRow{"0-40000,0-40000", std::nullopt}));

TEST(KhzToMhz, RoundsToTheNearestAndRejectsNonsense) {
  EXPECT_EQ(khzToMhz(3600478), 3600);
  EXPECT_EQ(khzToMhz(3600500), 3601);
  EXPECT_EQ(khzToMhz(4499872), 4500);
  EXPECT_EQ(khzToMhz(500), 1);
  EXPECT_EQ(khzToMhz(499), std::nullopt);
  EXPECT_EQ(khzToMhz(0), std::nullopt);
  EXPECT_EQ(khzToMhz(-1500000), std::nullopt);
  EXPECT_EQ(khzToMhz(std::numeric_limits<std::int64_t>::max()), std::nullopt);
}

TEST(SysfsCpus, ReadsPackageIdsAndClocks) {
  const SysfsCpus server(cpuDirOf("two-socket-server"));
  EXPECT_EQ(server.packageId(0), 1);
  EXPECT_EQ(server.packageId(1), 0);
  EXPECT_EQ(server.packageId(9), std::nullopt);

  const SysfsCpus desktop(cpuDirOf("intel-desktop"));
  EXPECT_EQ(desktop.cpufreqMhz(0, "scaling_cur_freq"), 3600);
  EXPECT_EQ(desktop.cpufreqMhz(3, "scaling_cur_freq"), 3603);
  EXPECT_EQ(desktop.cpufreqMhz(0, "cpuinfo_max_freq"), 4500);
  EXPECT_EQ(desktop.cpufreqMhz(0, "no_such_file"), std::nullopt);
  EXPECT_EQ(server.cpufreqMhz(0, "scaling_cur_freq"), std::nullopt);
  EXPECT_EQ(server.cpufreqMhz(1, "scaling_cur_freq"), 2926);
}

TEST(SysfsCpus, GivesNothingForBrokenFiles) {
  const SysfsCpus broken(cpuDirOf("malformed"));
  EXPECT_EQ(broken.packageId(0), std::nullopt);
  EXPECT_EQ(broken.cpufreqMhz(0, "scaling_cur_freq"), std::nullopt);  // a directory
  EXPECT_EQ(broken.cpufreqMhz(0, "cpuinfo_max_freq"), std::nullopt);  // overflows
}

struct CacheRow {
  const char* machine;
  std::vector<int> cpus;
  std::optional<std::int64_t> kb;
  friend std::ostream& operator<<(std::ostream& out, const CacheRow& row) {
    out << row.machine << " cpus";
    for (const int cpu : row.cpus) out << ' ' << cpu;
    return out;
  }
};

class SumsLevel2 : public ::testing::TestWithParam<CacheRow> {};

TEST_P(SumsLevel2, CountingEachCacheOnce) {
  EXPECT_EQ(SysfsCpus(cpuDirOf(GetParam().machine)).level2CacheKb(GetParam().cpus), GetParam().kb);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, SumsLevel2,
    ::testing::Values(
        // Threads N and N+4 share a 256K cache; level 1 and 3 leaves must not count.
        CacheRow{"intel-desktop", {0, 1, 2, 3, 4, 5, 6, 7}, 1024},
        CacheRow{"intel-desktop", {0}, 256}, CacheRow{"intel-desktop", {0, 4}, 256},
        CacheRow{"intel-desktop", {4, 0, 5}, 512}, CacheRow{"amd-desktop", {0, 1, 2, 3}, 1024},
        // Package 0 lists its sharing CPUs; package 1 only has cache ids.
        CacheRow{"two-socket-server", {1, 3}, 512}, CacheRow{"two-socket-server", {0, 2}, 1024},
        // One cache shared by the whole cluster.
        CacheRow{"arm-board", {0, 1, 2, 3}, 1024},
        // A leaf with an unreadable level is skipped; a level-2 size of "garbage" voids the sum.
        CacheRow{"malformed", {0}, std::nullopt}, CacheRow{"no-dmi", {0, 1}, std::nullopt},
        CacheRow{"intel-desktop", {}, std::nullopt},
        CacheRow{"intel-desktop", {64}, std::nullopt}));

// Trees built on the spot for the ways of telling caches apart that no fixture shows.
class SysfsCacheTree : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("sysfs_cpu_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void leaf(int cpu, int index, const std::string& level, const std::string& size,
            const std::optional<std::string>& id = std::nullopt,
            const std::optional<std::string>& shared = std::nullopt) {
    const auto leafDir =
        dir_ / ("cpu" + std::to_string(cpu)) / "cache" / ("index" + std::to_string(index));
    std::filesystem::create_directories(leafDir);
    std::ofstream(leafDir / "level") << level << '\n';
    std::ofstream(leafDir / "size") << size << '\n';
    if (id) std::ofstream(leafDir / "id") << *id << '\n';
    if (shared) std::ofstream(leafDir / "shared_cpu_list") << *shared << '\n';
  }

  std::optional<std::int64_t> level2(const std::vector<int>& cpus) const {
    return SysfsCpus(dir_).level2CacheKb(cpus);
  }

  std::filesystem::path dir_;
};

TEST_F(SysfsCacheTree, CountsACacheKnownOnlyByItsIdOnce) {
  for (int cpu = 0; cpu < 4; ++cpu) leaf(cpu, 0, "2", "2048K", std::to_string(cpu / 2));
  EXPECT_EQ(level2({0, 1, 2, 3}), 4096);
  EXPECT_EQ(level2({0, 1}), 2048);
}

TEST_F(SysfsCacheTree, TakesACacheWithoutIdOrListAsTheCpusOwn) {
  for (int cpu = 0; cpu < 3; ++cpu) leaf(cpu, 0, "2", "256K");
  EXPECT_EQ(level2({0, 1, 2}), 768);
}

TEST_F(SysfsCacheTree, FallsBackToTheIdWhenTheListIsJunk) {
  leaf(0, 0, "2", "1M", "7", "zero-one");
  leaf(1, 0, "2", "1M", "7", "zero-one");
  EXPECT_EQ(level2({0, 1}), 1024);
}

TEST_F(SysfsCacheTree, CountsSeparateLevel2LeavesOfOneCpu) {
  leaf(0, 0, "1", "32K", "0", "0");
  leaf(0, 1, "2", "1M", "0", "0");
  leaf(0, 2, "2", "512K", "0", "0");
  leaf(0, 3, "3", "8M", "0", "0");
  EXPECT_EQ(level2({0}), 1536);
}

TEST_F(SysfsCacheTree, GivesNoSumWhenOneSizeIsUnreadable) {
  leaf(0, 0, "2", "1M", "0", "0");
  leaf(1, 0, "2", "lots", "1", "1");
  EXPECT_EQ(level2({0}), 1024);
  EXPECT_EQ(level2({0, 1}), std::nullopt);
}

TEST_F(SysfsCacheTree, StopsAtTheFirstMissingLeaf) {
  leaf(0, 0, "2", "1M", "0", "0");
  leaf(0, 2, "2", "1M", "1", "0");  // after a gap, so not part of the list
  EXPECT_EQ(level2({0}), 1024);
}

}  // namespace
}  // namespace freqsmith::detect
