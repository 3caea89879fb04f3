// The load step on machines given as detection answers: what each query writes, the
// derivations, the vendor logo, the display copy, and what the figures are said to be.
#include "hardware_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "fake_reader.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using detect::Hardware;
using detect::Processor;
using detect::Source;
using detect::Why;
using mainwin::field;
using mainwin::label;
using mainwin::picture;
using testing::fact;

Processor processor(std::string maker, std::int64_t bus, std::int64_t speed,
                    std::string name = "Test CPU") {
  return {fact(std::move(maker)), fact(bus),       fact(speed), fact(512),
          fact(std::move(name)),  fact("Socket 7")};
}

class LoadStep : public ::testing::Test {
 protected:
  std::string text(FieldId id) const { return form.text(id); }
  std::string caption(LabelId id) const { return form.caption(id); }
  const FigureLine& line(std::string_view heading) const {
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const FigureLine& l) { return l.heading == heading; });
    if (found == lines.end()) throw std::out_of_range(std::string(heading));
    return *found;
  }
  void detect(const Hardware& hardware) { lines = runDetection(form, hardware); }

  MemoryForm form{mainwin::kControls, mainwin::kExplanationLine};
  std::vector<FigureLine> lines;
};

struct ClockRow {
  std::int64_t cpu;
  std::int64_t system;
  const char* multiplier;
  const char* bus;
};

class Derivations : public LoadStep, public ::testing::WithParamInterface<ClockRow> {};

TEST_P(Derivations, MultiplierIsCutNotRoundedAndBusIsTwiceTheClock) {
  detect({processor("GenuineIntel", GetParam().system, GetParam().cpu)});
  EXPECT_EQ(text(field("Textmultiplier")), GetParam().multiplier);
  EXPECT_EQ(caption(label("Label69")), GetParam().multiplier);
  EXPECT_EQ(text(field("Text11")), GetParam().bus);
  EXPECT_EQ(caption(label("Label71")), GetParam().bus);
  EXPECT_EQ(caption(label("Label51")), std::to_string(GetParam().system));
  EXPECT_EQ(caption(label("labmhz")), std::to_string(GetParam().cpu));
  EXPECT_EQ(text(field("Textl2speed")), std::to_string(GetParam().cpu));
}

INSTANTIATE_TEST_SUITE_P(Clocks, Derivations,
                         ::testing::Values(ClockRow{2000, 200, "10", "400"},
                                           ClockRow{1833, 166, "11.0", "332"},
                                           ClockRow{2000, 133, "15.0", "266"},
                                           ClockRow{1900, 150, "12.6", "300"},
                                           ClockRow{133333, 133, "1002", "266"}));

TEST_F(LoadStep, FillsEveryFieldFromTheThreeParts) {
  detect({processor("AuthenticAMD", 200, 2000, "Test Processor 2000+"),
          {fact("Board Maker"), fact("BM-100"), fact("Rev 1.0")},
          {fact("BIOS 2.3")}});
  EXPECT_EQ(text(field("Textmaker")), "AuthenticAMD");
  EXPECT_EQ(text(field("Textcputype")), "Test Processor 2000+");
  EXPECT_EQ(text(field("textsocket")), "Socket 7");
  EXPECT_EQ(text(field("Textarch")), "200");
  EXPECT_EQ(text(field("Textcpuspeed")), "2000");
  EXPECT_EQ(text(field("Textl2size")), "512");
  EXPECT_EQ(text(field("Textweb")), "Board Maker");
  EXPECT_EQ(text(field("Textproduct")), "BM-100");
  EXPECT_EQ(text(field("Textversion")), "BIOS 2.3");
  EXPECT_EQ(form.pictureOf(picture("Image3")), picture("amd"));
}

struct LogoRow {
  const char* maker;
  const char* logo;  // nullptr: no logo
};

class VendorLogo : public LoadStep, public ::testing::WithParamInterface<LogoRow> {};

TEST_P(VendorLogo, MatchesTheWholeTextExactly) {
  detect({.processor = {.maker = fact(GetParam().maker)}});
  const PictureId image3 = picture("Image3");
  const ControlId expected = GetParam().logo ? ControlId{static_cast<std::uint16_t>(indexOfControl(
                                                   mainwin::kControls, GetParam().logo))}
                                             : ControlId{image3};
  EXPECT_EQ(form.pictureOf(image3), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Makers, VendorLogo,
    ::testing::Values(LogoRow{"AuthenticAMD", "amd"}, LogoRow{"GenuineIntel", "intel"},
                      LogoRow{"CyrixInstead", "cyrix"}, LogoRow{"authenticamd", nullptr},
                      LogoRow{"AuthenticAMD ", nullptr}, LogoRow{"GenuineIntel\n", nullptr},
                      LogoRow{"", nullptr}));

TEST_F(LoadStep, MissingFactsKeepTheirDesignTexts) {
  detect({.processor = {.maker = fact("GenuineIntel"), .speedMhz = fact(2400)}});
  EXPECT_EQ(text(field("Textmaker")), "GenuineIntel");
  EXPECT_EQ(text(field("Textcpuspeed")), "2400");
  EXPECT_EQ(text(field("Textarch")), "sysclk");
  EXPECT_EQ(text(field("Textcputype")), "CPU Type");
  EXPECT_EQ(text(field("textsocket")), "Socket XXX");
  EXPECT_EQ(text(field("Textl2size")), "xxx");
  // Without a system clock neither the multiplier nor the bus can be derived.
  EXPECT_EQ(text(field("Textmultiplier")), "mult");
  EXPECT_EQ(text(field("Text11")), "fsb");
  EXPECT_EQ(caption(label("Label69")), "mult");
  EXPECT_EQ(caption(label("Label51")), "sysclk");
  EXPECT_EQ(caption(label("Label71")), "fsb");
  EXPECT_EQ(caption(label("labmhz")), "2400");
  EXPECT_EQ(text(field("Textl2speed")), "2400");
}

TEST_F(LoadStep, AFailedServiceLeavesEveryDesignText) {
  Hardware failed;
  markUnknown(failed.processor, Why::ServiceFailed, "0x80041010");
  markUnknown(failed.board, Why::ServiceFailed, "0x80041010");
  markUnknown(failed.bios, Why::ServiceFailed, "0x80041010");
  detect(failed);
  for (const char* name :
       {"Textmaker", "Textcputype", "textsocket", "Textarch", "Textcpuspeed", "Textmultiplier",
        "Text11", "Textl2size", "Textweb", "Textproduct", "Textversion"}) {
    const int index = indexOfControl(mainwin::kControls, name);
    EXPECT_EQ(text(FieldId{{static_cast<std::uint16_t>(index)}}),
              mainwin::kControls[static_cast<std::size_t>(index)].text)
        << name;
  }
  EXPECT_EQ(caption(label("labmhz")), "Current Speed");
  EXPECT_EQ(text(field("Textl2speed")), "Current Speed");
  for (const FigureLine& figure : lines) EXPECT_FALSE(figure.known) << figure.heading;
}

struct VersionRow {
  const char* board;  // nullptr: the part gave none
  const char* bios;
  const char* shown;
};

class BiosVersion : public LoadStep, public ::testing::WithParamInterface<VersionRow> {};

TEST_P(BiosVersion, ComesFromTheBiosWhereItHasOneElseFromTheBoard) {
  Hardware machine;
  if (GetParam().board) machine.board.version = fact(GetParam().board);
  if (GetParam().bios) machine.bios.version = fact(GetParam().bios);
  detect(machine);
  EXPECT_EQ(text(field("Textversion")), GetParam().shown);
  EXPECT_EQ(text(field("Textweb")), "Text1");
  EXPECT_EQ(text(field("Textproduct")), "Text1");
}

INSTANTIATE_TEST_SUITE_P(Parts, BiosVersion,
                         ::testing::Values(VersionRow{"Board 1.1", "BIOS 7", "BIOS 7"},
                                           VersionRow{"Board 1.1", nullptr, "Board 1.1"},
                                           VersionRow{nullptr, "BIOS 7", "BIOS 7"},
                                           VersionRow{nullptr, nullptr, "Text1"}));

TEST_F(LoadStep, TextIsCutToTheHolderLength) {
  detect({.processor = {.busMhz = fact(1234567), .speedMhz = fact(2000)}});
  EXPECT_EQ(text(field("Textarch")), "123456");
  EXPECT_EQ(text(field("Textmultiplier")), "0.01");  // 2000 / 123456
}

TEST_F(LoadStep, SaysWhereEachFigureCameFromAndWhyOneIsUnknown) {
  Processor cpu{.busMhz = fact(100, Source::Smbios), .speedMhz = fact(3100, Source::Cpuinfo)};
  cpu.socket.why = Why::AdministratorOnly;
  detect({.processor = cpu});
  EXPECT_EQ(line("System Clock").source, "SMBIOS");
  EXPECT_EQ(line("CPU Speed").source, "cpuinfo");
  EXPECT_EQ(line("CPU Multiplier").source, "derived");
  EXPECT_EQ(line("Frontside Bus").source, "derived");
  EXPECT_EQ(line("L2 Cache Speed").source, "derived");
  EXPECT_FALSE(line("Processor socket").known);
  EXPECT_EQ(line("Processor socket").why, Why::AdministratorOnly);
  EXPECT_FALSE(line("Mainboard vendor").known);
  EXPECT_EQ(line("Mainboard vendor").why, Why::NotReported);
  // Withheld from ordinary users and not reported at all read differently.
  EXPECT_NE(line("Processor socket").tooltip, line("Mainboard vendor").tooltip);
  for (const FigureLine& figure : lines) EXPECT_FALSE(figure.tooltip.empty() && !figure.known);
}

struct RatedRow {
  Source source;
  bool rated;
};

class RatedClock : public LoadStep, public ::testing::WithParamInterface<RatedRow> {};

// The firmware's table, which WMI passes on, holds the clock the processor is rated for;
// cpufreq and cpuinfo the clock of the moment.
TEST_P(RatedClock, IsNamedSoWhereTheFirmwareGaveIt) {
  detect({.processor = {.busMhz = fact(100, GetParam().source),
                        .speedMhz = fact(3600, GetParam().source)}});
  EXPECT_EQ(line("CPU Speed").rated, GetParam().rated);
  EXPECT_EQ(line("System Clock").rated, false);
  EXPECT_EQ(line("L2 Cache Speed").rated, false);
  EXPECT_EQ(line("CPU Speed").tooltip.find("rated") != std::string::npos, GetParam().rated);
  const std::string report = reportText(lines);
  const std::string speed = "CPU Speed: 3600 Mhz (" + std::string(sourceName(GetParam().source)) +
                            (GetParam().rated ? ", rated)\n" : ")\n");
  EXPECT_NE(report.find(speed), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(Sources, RatedClock,
                         ::testing::Values(RatedRow{Source::Wmi, true},
                                           RatedRow{Source::Smbios, true},
                                           RatedRow{Source::Sysfs, false},
                                           RatedRow{Source::Cpuinfo, false}));

TEST_F(LoadStep, ClickingTheLogoRepeatsTheChoice) {
  detect({processor("GenuineIntel", 100, 1000)});
  Image3_Click(form);
  EXPECT_EQ(form.pictureOf(picture("Image3")), picture("intel"));
  EXPECT_EQ(caption(mainwin::kExplanationLine),
            "Click an object, and an explanation will be given here.");
}

}  // namespace
}  // namespace freqsmith
