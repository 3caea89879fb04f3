// Bounded file reads and value cleaning, including files that are not files.
#include "file_text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>

namespace freqsmith::detect {
namespace {

using namespace std::string_literals;

class FileTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("file_text_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path write(const std::string& name, const std::string& content) {
    const std::filesystem::path file = dir_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

  std::filesystem::path dir_;
};

TEST_F(FileTextTest, ReadsAWholeSmallFile) {
  EXPECT_EQ(readFileBounded(write("small", "abc\0def"s), 100), "abc\0def"s);
  EXPECT_EQ(readFileBounded(write("empty", ""), 100), "");
}

TEST_F(FileTextTest, StopsAtTheCap) {
  const auto file = write("big", std::string(100000, 'x'));
  EXPECT_EQ(readFileBounded(file, 10), std::string(10, 'x'));
  EXPECT_EQ(readFileBounded(file, 40000)->size(), 40000u);
  EXPECT_EQ(readFileBounded(file, 1 << 20)->size(), 100000u);
}

TEST_F(FileTextTest, RefusesWhatIsNotARegularFile) {
  EXPECT_EQ(readFileBounded(dir_ / "missing", 100), std::nullopt);
  EXPECT_EQ(readFileBounded(dir_, 100), std::nullopt);
  EXPECT_EQ(readFileBounded("/dev/zero", 100), std::nullopt);
}

TEST_F(FileTextTest, DoesNotWaitForAPipeWriter) {
  const auto fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(readFileBounded(fifo, 100), std::nullopt);
  EXPECT_EQ(readValueFile(fifo), std::nullopt);
}

TEST_F(FileTextTest, ReadsOneValueFiles) {
  EXPECT_EQ(readValueFile(write("vendor", "Board Maker Inc.\n")), "Board Maker Inc.");
  EXPECT_EQ(readValueFile(write("padded", "  F.20 \t\n\n")), "F.20");
  EXPECT_EQ(readValueFile(write("empty", "")), std::nullopt);
  EXPECT_EQ(readValueFile(write("blank", " \n")), std::nullopt);
  EXPECT_EQ(readValueFile(write("binary", "\x01\x02\xff\n")), std::nullopt);
  EXPECT_EQ(readValueFile(write("nul", "Intel\0Corp\n"s)), std::nullopt);
  EXPECT_EQ(readValueFile(write("long", std::string(kValueFileCap, 'x'))), std::nullopt);
  EXPECT_EQ(readValueFile(write("fits", std::string(kValueFileCap - 1, 'x'))),
            std::string(kValueFileCap - 1, 'x'));
  EXPECT_EQ(readValueFile(dir_ / "missing"), std::nullopt);
}

struct CleanRow {
  std::string text;
  std::optional<std::string> value;
  friend std::ostream& operator<<(std::ostream& out, const CleanRow& row) {
    return out << testing::PrintToString(row.text);
  }
};

class CleansText : public ::testing::TestWithParam<CleanRow> {};

TEST_P(CleansText, ToAValueOrNothing) {
  EXPECT_EQ(cleanText(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CleansText,
    ::testing::Values(CleanRow{"LGA1151", "LGA1151"}, CleanRow{"  CPU3 \r\n", "CPU3"},
                      CleanRow{"Rev\t1.xx", "Rev\t1.xx"},
                      CleanRow{"Gr\xc3\xbc\xc3\x9f", "Gr\xc3\xbc\xc3\x9f"},
                      CleanRow{"", std::nullopt}, CleanRow{" \t\n", std::nullopt},
                      CleanRow{"a\nb", std::nullopt}, CleanRow{"bell\a", std::nullopt},
                      CleanRow{"del\x7f", std::nullopt}, CleanRow{"x\0y"s, std::nullopt}));

struct IntegerRow {
  const char* text;
  std::optional<std::int64_t> value;
  friend std::ostream& operator<<(std::ostream& out, const IntegerRow& row) {
    return out << '"' << row.text << '"';
  }
};

class ParsesInteger : public ::testing::TestWithParam<IntegerRow> {};

TEST_P(ParsesInteger, WholeTextOnly) {
  EXPECT_EQ(parseInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParsesInteger,
    ::testing::Values(IntegerRow{"0", 0}, IntegerRow{"42\n", 42}, IntegerRow{" -1 ", -1},
                      IntegerRow{"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                      IntegerRow{"9223372036854775808", std::nullopt}, IntegerRow{"", std::nullopt},
                      IntegerRow{"zero", std::nullopt}, IntegerRow{"12abc", std::nullopt},
                      IntegerRow{"1 2", std::nullopt}, IntegerRow{"0x10", std::nullopt},
                      IntegerRow{"1.0", std::nullopt}));

}  // namespace
}  // namespace freqsmith::detect
