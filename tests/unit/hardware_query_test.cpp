// The detection sequence on fake machines: what each query writes, the derivations, the
// vendor logo and the display copy.
#include "hardware_query.h"

#include <gtest/gtest.h>

#include "fake_service.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
namespace {

using mainwin::field;
using mainwin::label;
using mainwin::picture;

RecordInstance processor(std::string maker, std::int64_t ext, std::int64_t clock,
                         std::string name = "Test CPU") {
  return RecordInstance{{"Manufacturer", std::move(maker)}, {"ExtClock", ext},
                        {"CurrentClockSpeed", clock},       {"L2CacheSize", std::int64_t{512}},
                        {"Name", std::move(name)},          {"SocketDesignation", "Socket 7"}};
}

class Detection : public ::testing::Test {
 protected:
  std::string text(FieldId id) const { return form.text(id); }
  std::string caption(LabelId id) const { return form.caption(id); }

  FakeService service;
  MemoryForm form{mainwin::kControls, mainwin::kExplanationLine};
};

struct ClockRow {
  std::int64_t cpu;
  std::int64_t system;
  const char* multiplier;
  const char* bus;
};

class Derivations : public Detection, public ::testing::WithParamInterface<ClockRow> {};

TEST_P(Derivations, MultiplierIsCutNotRoundedAndBusIsTwiceTheClock) {
  service.add("Win32_Processor", processor("GenuineIntel", GetParam().system, GetParam().cpu));
  runDetection(service, form);
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

TEST_F(Detection, FillsEveryFieldFromTheThreeClasses) {
  service.add("Win32_Processor", processor("AuthenticAMD", 200, 2000, "Test Processor 2000+"));
  service.add("Win32_BaseBoard",
              RecordInstance{
                  {"Manufacturer", "Board Maker"}, {"Product", "BM-100"}, {"Version", "Rev 1.0"}});
  service.add("Win32_BIOS", RecordInstance{{"Version", "BIOS 2.3"}});
  runDetection(service, form);
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
  EXPECT_EQ(service.connections(), 3);
}

TEST_F(Detection, TheLastOfTwoProcessorsWins) {
  service.add("Win32_Processor", processor("GenuineIntel", 100, 1000, "First"));
  service.add("Win32_Processor", processor("AuthenticAMD", 133, 1400, "Second"));
  runDetection(service, form);
  EXPECT_EQ(text(field("Textcputype")), "Second");
  EXPECT_EQ(text(field("Textmaker")), "AuthenticAMD");
  EXPECT_EQ(text(field("Textarch")), "133");
  EXPECT_EQ(caption(label("labmhz")), "1400");
  EXPECT_EQ(form.pictureOf(picture("Image3")), picture("amd"));
}

struct LogoRow {
  const char* maker;
  const char* logo;  // nullptr: no logo
};

class VendorLogo : public Detection, public ::testing::WithParamInterface<LogoRow> {};

TEST_P(VendorLogo, MatchesTheWholeTextExactly) {
  service.add("Win32_Processor", RecordInstance{{"Manufacturer", GetParam().maker}});
  runDetection(service, form);
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

TEST_F(Detection, MissingPropertiesKeepTheirDesignTexts) {
  service.add("Win32_Processor",
              RecordInstance{{"Manufacturer", "GenuineIntel"}, {"CurrentClockSpeed", 2400}});
  runDetection(service, form);
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

TEST_F(Detection, AZeroSystemClockSkipsOnlyTheMultiplier) {
  service.add("Win32_Processor", processor("GenuineIntel", 0, 2000));
  runDetection(service, form);
  EXPECT_EQ(text(field("Textmultiplier")), "mult");
  EXPECT_EQ(text(field("Text11")), "0");
  EXPECT_EQ(caption(label("Label51")), "0");
}

TEST_F(Detection, AnUnreachableServiceLeavesEveryDesignText) {
  service.add("Win32_Processor", processor("GenuineIntel", 100, 1000));
  service.setReachable(false);
  runDetection(service, form);
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
  EXPECT_EQ(service.connections(), 3);
}

TEST_F(Detection, TheBiosVersionOverridesTheBoardVersion) {
  service.add("Win32_BaseBoard", RecordInstance{{"Version", "Board 1.1"}});
  service.add("Win32_BIOS", RecordInstance{{"Version", "BIOS 7"}});
  runDetection(service, form);
  EXPECT_EQ(text(field("Textversion")), "BIOS 7");
}

TEST_F(Detection, WithoutABiosInstanceTheBoardVersionStays) {
  service.add("Win32_BaseBoard", RecordInstance{{"Version", "Board 1.1"}});
  runDetection(service, form);
  EXPECT_EQ(text(field("Textversion")), "Board 1.1");
  EXPECT_EQ(text(field("Textweb")), "Text1");
}

TEST_F(Detection, WithoutABoardInstanceTheBiosVersionShows) {
  service.add("Win32_BIOS", RecordInstance{{"Version", "BIOS 7"}});
  runDetection(service, form);
  EXPECT_EQ(text(field("Textversion")), "BIOS 7");
  EXPECT_EQ(text(field("Textproduct")), "Text1");
}

TEST_F(Detection, PropertyNamesIgnoreCase) {
  service.add("win32_processor",
              RecordInstance{{"MANUFACTURER", "CyrixInstead"}, {"EXTCLOCK", std::int64_t{75}}});
  runDetection(service, form);
  EXPECT_EQ(text(field("Textmaker")), "CyrixInstead");
  EXPECT_EQ(text(field("Textarch")), "75");
}

TEST_F(Detection, TextIsCutToTheHolderLength) {
  service.add("Win32_Processor",
              RecordInstance{{"ExtClock", "1234567"}, {"CurrentClockSpeed", "2000"}});
  runDetection(service, form);
  EXPECT_EQ(text(field("Textarch")), "123456");
  EXPECT_EQ(text(field("Textmultiplier")), "0.01");  // 2000 / 123456
}

TEST_F(Detection, RecordsTheSourceOfTheLastValueAndWhyAFieldGotNone) {
  RecordInstance first;
  first.set("ExtClock", Property{std::int64_t{100}, Source::Smbios});
  first.set("CurrentClockSpeed", Property{std::int64_t{3000}, Source::Sysfs});
  RecordInstance second;
  second.set("CurrentClockSpeed", Property{std::int64_t{3100}, Source::Cpuinfo});
  // A later instance without the value leaves the earlier one's text, and its source.
  second.setGap("ExtClock", Gap::AdministratorOnly);
  second.setGap("SocketDesignation", Gap::AdministratorOnly);
  service.add("Win32_Processor", first);
  service.add("Win32_Processor", second);
  const Provenance provenance = runDetection(service, form);
  EXPECT_EQ(provenance.source(field("Textarch")), Source::Smbios);
  EXPECT_EQ(provenance.source(field("Textcpuspeed")), Source::Cpuinfo);
  EXPECT_EQ(provenance.source(field("Textmultiplier")), Source::Derived);
  EXPECT_EQ(provenance.source(field("Text11")), Source::Derived);
  EXPECT_EQ(provenance.source(field("textsocket")), std::nullopt);
  EXPECT_EQ(provenance.gap(field("textsocket")), Gap::AdministratorOnly);
  EXPECT_EQ(provenance.source(field("Textweb")), std::nullopt);
  EXPECT_EQ(provenance.gap(field("Textweb")), Gap::NotReported);
}

TEST_F(Detection, ClickingTheLogoRepeatsTheChoice) {
  service.add("Win32_Processor", processor("GenuineIntel", 100, 1000));
  runDetection(service, form);
  Image3_Click(form);
  EXPECT_EQ(form.pictureOf(picture("Image3")), picture("intel"));
  EXPECT_EQ(caption(mainwin::kExplanationLine),
            "Click an object, and an explanation will be given here.");
}

}  // namespace
}  // namespace freqsmith::detect
