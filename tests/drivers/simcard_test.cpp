// The simulated card libraries outside acquisition: limits, texts, rates,
// start refusals, IOCtl, ports, PID entries and which library has which entry.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "drivers/simcard_support.h"

namespace {

using simcard_test::Card;
using simcard_test::DriverLibrary;
using simcard_test::SimCardEnv;
using simcard_test::TempFile;

struct Limits {
  std::string name;
  int32_t maxChannels = 0;
  int32_t minBlock = 0;
  float vZero = 0;
  float adMax = 0;
  int32_t maxSwitch = 0;
};

Limits ReadLimits(const DriverLibrary& lib) {
  auto configInfo = lib.Entry<AdConfigInfoFn>("_ConfigInfo@32");
  char name[17];
  std::memset(name, 0x7F, sizeof name);
  int32_t scratch = -1;
  Limits l;
  if (configInfo == nullptr) return l;
  configInfo(name, &l.maxChannels, &scratch, &scratch, &l.minBlock, &l.vZero, &l.adMax, &l.maxSwitch);
  EXPECT_EQ(name[16], 0x7F) << "wrote past the 16-byte name";
  l.name.assign(name, strnlen(name, 16));
  return l;
}

TEST(SimCardLimits, ConfigInfoDefaultsAndOverrides) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> env;
    Limits want;
  } cases[] = {
      {{}, {"SimCard", 64, 256, 2048.0f, 4095.0f, 64}},
      {{{"SIMCARD_NAME", "Rig7"},
        {"SIMCARD_MAX_CHANNELS", "16"},
        {"SIMCARD_MIN_BLOCK", "1024"},
        {"SIMCARD_MAX_SWITCH", "0"}},
       {"Rig7", 16, 1024, 2048.0f, 4095.0f, 0}},
      {{{"SIMCARD_BITS", "16"}}, {"SimCard", 64, 256, 32768.0f, 65535.0f, 64}},
      {{{"SIMCARD_BITS", "8"}}, {"SimCard", 64, 256, 128.0f, 255.0f, 64}},
      {{{"SIMCARD_NAME", ""}}, {"", 64, 256, 2048.0f, 4095.0f, 64}},
      // Values that make no sense take the defaults.
      {{{"SIMCARD_MAX_CHANNELS", "0"}, {"SIMCARD_MIN_BLOCK", "12x"}, {"SIMCARD_BITS", "17"}},
       {"SimCard", 64, 256, 2048.0f, 4095.0f, 64}},
      {{{"SIMCARD_MAX_CHANNELS", "-3"}, {"SIMCARD_BITS", "0"}, {"SIMCARD_MAX_SWITCH", "99999"}},
       {"SimCard", 64, 256, 2048.0f, 4095.0f, 64}},
      // The longest name that fits, and one byte more.
      {{{"SIMCARD_NAME", "ABCDEFGHIJKLMNO"}}, {"ABCDEFGHIJKLMNO", 64, 256, 2048.0f, 4095.0f, 64}},
      {{{"SIMCARD_NAME", "ABCDEFGHIJKLMNOP"}}, {"ABCDEFGHIJKLMNO", 64, 256, 2048.0f, 4095.0f, 64}},
  };
  DriverLibrary lib("ADCard.DLL");
  for (const Case& c : cases) {
    SimCardEnv env;
    std::string label;
    for (const auto& [name, value] : c.env) {
      env.Set(name, value);
      label += name + "=" + value + " ";
    }
    SCOPED_TRACE(label);
    const Limits got = ReadLimits(lib);
    EXPECT_EQ(got.name, c.want.name);
    EXPECT_EQ(got.maxChannels, c.want.maxChannels);
    EXPECT_EQ(got.minBlock, c.want.minBlock);
    EXPECT_EQ(got.vZero, c.want.vZero);
    EXPECT_EQ(got.adMax, c.want.adMax);
    EXPECT_EQ(got.maxSwitch, c.want.maxSwitch);
  }
}

TEST(SimCardLimits, NameWithoutNulFillsAllSixteenBytes) {
  SimCardEnv env;
  env.Set("SIMCARD_NAME_NO_NUL", "1");
  DriverLibrary lib("ADCard.DLL");
  auto configInfo = lib.Entry<AdConfigInfoFn>("_ConfigInfo@32");
  ASSERT_NE(configInfo, nullptr);
  for (const auto& [name, want] : {std::pair<std::string, std::string>{"SimCard", "SimCard_________"},
                                   {"ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOP"}}) {
    env.Set("SIMCARD_NAME", name);
    char buffer[20];
    std::memset(buffer, 0x7F, sizeof buffer);
    int32_t i = 0;
    float f = 0;
    configInfo(buffer, &i, &i, &i, &i, &f, &f, &i);
    EXPECT_EQ(std::string(buffer, 16), want);
    EXPECT_EQ(std::memchr(buffer, 0, 16), nullptr);
    EXPECT_EQ(buffer[16], 0x7F);
  }
}

TEST(SimCardTexts, PropertyTextFillsItsLengthPlusOne) {
  struct Case {
    const char* prop;  // nullptr: unset
    bool noNul;
    std::string want;  // the length + 1 bytes written
  } cases[] = {
      {nullptr, false, std::string("SimCard: simulated AD card") + '\0'},
      {"abc", false, std::string("abc") + '\0'},
      {"", false, std::string(1, '\0')},
      {"abc", true, "abc_"},
  };
  DriverLibrary lib("ADCard.DLL");
  auto size = lib.Entry<AdGetPropStrSizeFn>("_GetADPropStrSize@0");
  auto text = lib.Entry<AdGetPropStringFn>("_GetADPropString@4");
  ASSERT_TRUE(size && text);
  for (const Case& c : cases) {
    SimCardEnv env;
    if (c.prop != nullptr) env.Set("SIMCARD_PROP", c.prop);
    if (c.noNul) env.Set("SIMCARD_PROP_NO_NUL", "1");
    const int32_t length = size();
    ASSERT_EQ(length + 1, static_cast<int32_t>(c.want.size())) << c.want;
    std::vector<char> buffer(length + 8, 0x7F);
    EXPECT_EQ(text(buffer.data()), 1);
    EXPECT_EQ(std::string(buffer.data(), length + 1), c.want);
    EXPECT_EQ(buffer[length + 1], 0x7F) << "wrote past length + 1";
  }
}

TEST(SimCardTexts, PropertyTextStaysTheSizeItWasAnnouncedWith) {
  // The caller sized its buffer by the size call; a text changed since must not overrun it.
  SimCardEnv env;
  env.Set("SIMCARD_PROP", "short");
  DriverLibrary lib("ADCard.DLL");
  auto size = lib.Entry<AdGetPropStrSizeFn>("_GetADPropStrSize@0");
  auto text = lib.Entry<AdGetPropStringFn>("_GetADPropString@4");
  ASSERT_TRUE(size && text);
  ASSERT_EQ(size(), 5);
  env.Set("SIMCARD_PROP", "a much longer property text");
  char buffer[16];
  std::memset(buffer, 0x7F, sizeof buffer);
  text(buffer);
  EXPECT_STREQ(buffer, "short");
  EXPECT_EQ(buffer[6], 0x7F);
}

TEST(SimCardTexts, SettingNameFitsSixtyFourBytes) {
  struct Case {
    const char* name;  // nullptr: unset
    bool noNul;
    std::string want;  // the 64 bytes, or the text before the NUL
  } cases[] = {
      {nullptr, false, "SimCard settings"},
      {"面板", false, "面板"},
      {"", false, ""},
  };
  DriverLibrary lib("ADCard.DLL");
  auto settingName = lib.Entry<AdGetCardSpecSettingNameFn>("_GetCardSpecSettingName@4");
  auto cardSpecSetting = lib.Entry<AdCardSpecSettingFn>("_CardSpecSetting@0");
  ASSERT_TRUE(settingName && cardSpecSetting);
  EXPECT_EQ(cardSpecSetting(), 1);
  for (const Case& c : cases) {
    SimCardEnv env;
    if (c.name != nullptr) env.Set("SIMCARD_SETTING_NAME", c.name);
    char buffer[65];
    std::memset(buffer, 0x7F, sizeof buffer);
    EXPECT_EQ(settingName(buffer), 1);
    EXPECT_STREQ(buffer, c.want.c_str());
  }
  SimCardEnv env;
  const std::string longName(100, 'x');
  env.Set("SIMCARD_SETTING_NAME", longName);
  char buffer[65];
  std::memset(buffer, 0x7F, sizeof buffer);
  settingName(buffer);
  EXPECT_EQ(std::string(buffer), std::string(63, 'x'));
  env.Set("SIMCARD_SETTING_NAME_NO_NUL", "1");
  env.Set("SIMCARD_SETTING_NAME", "abc");
  std::memset(buffer, 0x7F, sizeof buffer);
  settingName(buffer);
  EXPECT_EQ(std::string(buffer, 64), "abc" + std::string(61, '_'));
  EXPECT_EQ(buffer[64], 0x7F);
}

TEST(SimCardRate, ChannelFrqIsTheNominalRateOrSharedOverTheChannels) {
  struct Case {
    bool divide;
    int32_t analogNum;
    int32_t frqSamp;
    float want;
  } cases[] = {
      {false, 8, 1000, 1000.0f}, {false, 0, 1000, 1000.0f},    {true, 8, 1000, 125.0f},
      {true, 3, 1000, 1000.0f / 3}, {true, 1, 25600, 25600.0f}, {true, 0, 1000, 1000.0f},
      {true, -2, 1000, 1000.0f},
  };
  DriverLibrary lib("ADCard.DLL");
  auto channelFrq = lib.Entry<AdChannelFrqFn>("_ChannelFrq@8");
  auto cardFrequency = lib.Entry<AdCardFrequencyFn>("_CardFrequency@4");
  ASSERT_TRUE(channelFrq && cardFrequency);
  for (const Case& c : cases) {
    SimCardEnv env;
    if (c.divide) env.Set("SIMCARD_RATE_DIVIDE", "1");
    EXPECT_FLOAT_EQ(channelFrq(c.analogNum, c.frqSamp), c.want)
        << "divide " << c.divide << " analogNum " << c.analogNum;
  }
  EXPECT_FLOAT_EQ(cardFrequency(5000), 5000.0f);
}

TEST(SimCardErrors, FailedInitialLeavesTheCardUnableToStart) {
  SimCardEnv env;
  Card card;
  env.Set("SIMCARD_FAIL_INITIAL", "1");
  EXPECT_EQ(card.initial(0x300, 5, 0, 0), 0);
  EXPECT_EQ(card.lastError(), 106);
  EXPECT_EQ(card.StartIntr(4, 64, 4, 1000), 0);
  EXPECT_EQ(card.lastError(), 3);
  EXPECT_EQ(card.StartSnapshot(256, 4, 1000), 0);
  EXPECT_EQ(card.lastError(), 3);

  env.Unset("SIMCARD_FAIL_INITIAL");
  EXPECT_EQ(card.initial(0x300, 5, 0, 0), 1);
  EXPECT_EQ(card.lastError(), 0);
  EXPECT_EQ(card.StartSnapshot(256, 4, 1000), 1);
  card.stopIntr();
}

TEST(SimCardErrors, StartRefusesBadArgumentsWithTheirCodes) {
  struct Case {
    bool interrupt;
    uint32_t numBuf, numSamp, numChn, frqSamp;
    int32_t code;  // 0: starts
  } cases[] = {
      {true, 4, 64, 4, 1000, 0},         // exactly the smallest block
      {true, 0, 64, 4, 1000, 10},        {true, 65536, 64, 4, 1000, 10},
      {true, 4, 0, 4, 1000, 11},         {true, 4, 63, 4, 1000, 11},
      {true, 4, 64, 0, 1000, 12},        {true, 4, 256, 65, 1000, 14},
      {true, 4, 64, 4, 0, 16},           {true, 65535, 1'000'000, 64, 1000, 109},
      {false, 0, 256, 4, 1000, 0},       // snapshot mode ignores the buffer count
      {false, 2, 0, 4, 1000, 11},        {false, 2, 63, 4, 1000, 11},
      {false, 2, 256, 0, 1000, 12},      {false, 2, 256, 65, 1000, 14},
      {false, 2, 256, 4, 0, 16},         {false, 2, 4'000'000'000u, 64, 1000, 0},
  };
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "100000");  // no block made while the case runs
  Card card;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.interrupt ? "StartIntr " : "StartSnapshot ") << c.numBuf << " "
                                    << c.numSamp << " " << c.numChn << " " << c.frqSamp);
    const int32_t started = c.interrupt ? card.StartIntr(c.numBuf, c.numSamp, c.numChn, c.frqSamp)
                                        : card.startSnapshot(c.numBuf, c.numSamp, 0, c.numChn, c.frqSamp, 0, 1, 0);
    EXPECT_EQ(started != 0, c.code == 0);
    EXPECT_EQ(card.lastError(), c.code);
    card.stopIntr();
  }
}

TEST(SimCardErrors, LimitsAndForcedFailuresAreReadAtEachStart) {
  SimCardEnv env;
  Card card;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  env.Set("SIMCARD_MAX_CHANNELS", "8");
  EXPECT_EQ(card.StartSnapshot(256, 9, 1000), 0);
  EXPECT_EQ(card.lastError(), 14);
  env.Set("SIMCARD_MIN_BLOCK", "4096");
  EXPECT_EQ(card.StartSnapshot(256, 8, 1000), 0);
  EXPECT_EQ(card.lastError(), 11);
  env.Unset("SIMCARD_MIN_BLOCK");
  env.Set("SIMCARD_FAIL_START", "1");
  EXPECT_EQ(card.StartSnapshot(256, 8, 1000), 0);
  EXPECT_EQ(card.lastError(), 1000);
  EXPECT_EQ(card.StartIntr(4, 256, 8, 1000), 0);
  EXPECT_EQ(card.lastError(), 1000);
  env.Unset("SIMCARD_FAIL_START");
  EXPECT_EQ(card.StartSnapshot(256, 8, 1000), 1);
  EXPECT_EQ(card.lastError(), 0);
}

TEST(SimCardErrors, SecondStartIsRefusedUntilStopped) {
  SimCardEnv env;
  env.Set("SIMCARD_BLOCK_MS", "100000");
  Card card;
  ASSERT_EQ(card.initial(0, 0, 0, 0), 1);
  ASSERT_EQ(card.StartIntr(4, 64, 4, 1000), 1);
  EXPECT_EQ(card.StartIntr(4, 64, 4, 1000), 0);
  EXPECT_EQ(card.lastError(), 102);
  EXPECT_EQ(card.StartSnapshot(256, 4, 1000), 0);
  EXPECT_EQ(card.lastError(), 102);
  card.stopIntr();
  ASSERT_EQ(card.StartSnapshot(256, 4, 1000), 1);
  EXPECT_EQ(card.StartIntr(4, 64, 4, 1000), 0);
  EXPECT_EQ(card.lastError(), 102);
  card.stopIntr();
  EXPECT_EQ(card.StartIntr(4, 64, 4, 1000), 1);
  card.stopIntr();
}

TEST(SimCardIoctl, EchoesTheSentBytesAndLogsThem) {
  SimCardEnv env;
  TempFile log("ioctl");
  env.Set("SIMCARD_IOCTL_LOG", log.Path());
  DriverLibrary lib("ADCard.DLL");
  auto ioctl = lib.Entry<AdIOCtlFn>("_IOCtl@16");
  auto lastError = lib.Entry<AdGetLastErrorFn>("_GetLastADError@0");
  ASSERT_TRUE(ioctl && lastError);
  const uint8_t send[] = {0x0a, 0xff, 0x10};

  struct Case {
    int32_t sendCount;
    int32_t receiveSize;
    std::vector<uint8_t> want;  // the receive buffer's first 6 bytes afterwards
  } cases[] = {
      {3, 5, {0x0a, 0xff, 0x10, 0x00, 0x00, 0xee}},
      {3, 2, {0x0a, 0xff, 0xee, 0xee, 0xee, 0xee}},
      {0, 2, {0x00, 0x00, 0xee, 0xee, 0xee, 0xee}},
      {3, 0, {0xee, 0xee, 0xee, 0xee, 0xee, 0xee}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> receive(6, 0xee);
    EXPECT_EQ(ioctl(c.sendCount, send, c.receiveSize, receive.data()), 1);
    EXPECT_EQ(receive, c.want) << c.sendCount << " -> " << c.receiveSize;
  }
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"0a ff 10", "0a ff 10", "", "0a ff 10"}));
}

TEST(SimCardIoctl, FailuresReceiveNothing) {
  SimCardEnv env;
  TempFile log("ioctl");
  env.Set("SIMCARD_IOCTL_LOG", log.Path());
  DriverLibrary lib("ADCard.DLL");
  auto ioctl = lib.Entry<AdIOCtlFn>("_IOCtl@16");
  auto lastError = lib.Entry<AdGetLastErrorFn>("_GetLastADError@0");
  ASSERT_TRUE(ioctl && lastError);
  const uint8_t send[] = {0x01, 0x02};
  std::vector<uint8_t> receive(4, 0xee);
  const std::vector<uint8_t> untouched = receive;

  EXPECT_EQ(ioctl(-1, send, 2, receive.data()), 0);
  EXPECT_EQ(lastError(), 114);
  EXPECT_EQ(ioctl(2, send, -1, receive.data()), 0);
  EXPECT_EQ(ioctl(2, nullptr, 2, receive.data()), 0);
  EXPECT_EQ(ioctl(2, send, 2, nullptr), 0);
  EXPECT_EQ(receive, untouched);
  EXPECT_TRUE(log.Lines().empty()) << "bad arguments are not logged";

  env.Set("SIMCARD_FAIL_IOCTL", "1");
  EXPECT_EQ(ioctl(2, send, 2, receive.data()), 0);
  EXPECT_EQ(lastError(), 114);
  EXPECT_EQ(receive, untouched);
  EXPECT_EQ(log.Lines(), std::vector<std::string>{"01 02"}) << "a forced failure still received the bytes";
}

TEST(SimCardMultiFreq, TheTableIsRecorded) {
  SimCardEnv env;
  TempFile log("multifreq");
  env.Set("SIMCARD_MULTIFREQ_LOG", log.Path());
  DriverLibrary lib("ADCard.DLL");
  auto setMultiFreq = lib.Entry<AdSetMultiFreqFn>("_SetMultiFreq@8");
  auto lastError = lib.Entry<AdGetLastErrorFn>("_GetLastADError@0");
  ASSERT_TRUE(setMultiFreq && lastError);
  const int32_t table[] = {1, 4, 2, 1, 1};
  EXPECT_EQ(setMultiFreq(5, table), 1);
  EXPECT_EQ(setMultiFreq(0, nullptr), 1);
  EXPECT_EQ(setMultiFreq(-1, table), 0);
  EXPECT_EQ(lastError(), 1000);
  EXPECT_EQ(setMultiFreq(3, nullptr), 0);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"5: 1 4 2 1 1", "0:"}));
}

TEST(SimCardPid, EntriesRecordTheirArguments) {
  SimCardEnv env;
  TempFile log("pid");
  env.Set("SIMCARD_PID_LOG", log.Path());
  DriverLibrary lib("ADCtrl.DLL");
  auto initialDA = lib.Entry<AdInitialDAFn>("_InitialDA@16");
  auto setupPID = lib.Entry<AdSetupPIDFn>("_SetupPID@40");
  auto disablePID = lib.Entry<AdDisablePIDFn>("_DisablePID@0");
  ASSERT_TRUE(initialDA && setupPID && disablePID);
  EXPECT_EQ(initialDA(0x300, 2, 12, 0x310), 1);
  EXPECT_EQ(setupPID(1, 1, 0, 3, 2.5f, 0.1f, 1.5f, 0.5f, 20.0f, -1.0f), 1);
  EXPECT_EQ(disablePID(), 1);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"InitialDA 768 2 12 784",
                                                   "SetupPID 1 1 0 3 2.5 0.100000001 1.5 0.5 20 -1",
                                                   "DisablePID"}));
}

TEST(SimCardPorts, ByteWordAndDwordAccessShareOneLittleEndianSpace) {
  // The card's own port entries and the port library's behave alike.
  for (const char* file : {"ADCard.DLL", "Pelvorn.DLL"}) {
    SCOPED_TRACE(file);
    DriverLibrary lib(file);
    auto outb = lib.Entry<AdOutPortBFn>("_outportb@8");
    auto inb = lib.Entry<AdInPortBFn>("_inportb@4");
    auto outw = lib.Entry<AdOutPortFn>("_outport@8");
    auto inw = lib.Entry<AdInPortFn>("_inport@4");
    auto outdw = lib.Entry<AdOutPortDwFn>("_outportdw@8");
    auto indw = lib.Entry<AdInPortDwFn>("_inportdw@4");
    ASSERT_TRUE(outb && inb && outw && inw && outdw && indw);

    outb(0x378, 0x155);  // only the low byte is a byte
    EXPECT_EQ(inb(0x378), 0x55);
    EXPECT_EQ(inb(0x379), 0x00);

    outw(0x300, 0xABCD1234);
    EXPECT_EQ(inw(0x300), 0x1234);
    EXPECT_EQ(inb(0x300), 0x34);
    EXPECT_EQ(inb(0x301), 0x12);
    EXPECT_EQ(inb(0x302), 0x00);

    outdw(0x310, 0x89ABCDEF);
    EXPECT_EQ(indw(0x310), 0x89ABCDEFu);
    EXPECT_EQ(inw(0x310), 0xCDEF);
    EXPECT_EQ(inw(0x312), 0x89AB);
    EXPECT_EQ(inb(0x313), 0x89);
    outb(0x311, 0x00);
    EXPECT_EQ(indw(0x310), 0x89AB00EFu);

    // Ports are 16-bit: higher bits of the argument are ignored, and a wide
    // access at the top of the space wraps to port 0.
    outb(0x1FFFF, 0x77);
    EXPECT_EQ(inb(0xFFFF), 0x77);
    outdw(0xFFFE, 0x44332211);
    EXPECT_EQ(inb(0xFFFE), 0x11);
    EXPECT_EQ(inb(0xFFFF), 0x22);
    EXPECT_EQ(inb(0x0000), 0x33);
    EXPECT_EQ(inb(0x0001), 0x44);
    EXPECT_EQ(indw(0xFFFE), 0x44332211u);
  }
}

TEST(SimCardPorts, EachLibraryHasItsOwnPortSpace) {
  DriverLibrary card("ADCard.DLL");
  DriverLibrary ports("Pelvorn.DLL");
  auto cardOut = card.Entry<AdOutPortDwFn>("_outportdw@8");
  auto portsIn = ports.Entry<AdInPortDwFn>("_inportdw@4");
  ASSERT_TRUE(cardOut && portsIn);
  cardOut(0x200, 0xDEADBEEF);
  EXPECT_EQ(portsIn(0x200), 0u);
}

const char* const kAllEntries[] = {
    "_Initial@16",      "_StartIntr@28",       "_StartSnapshot@32",  "_RegisterNotify@20",
    "_StopIntr@0",      "_QueryBuf@0",         "_ADResult@4",        "_ADResultRecent@4",
    "_GetSnapshot@12",  "_ConfigInfo@32",      "_ChannelFrq@8",      "_CardFrequency@4",
    "_IOCtl@16",        "_GetLastADError@0",   "_GetADPropStrSize@0", "_GetADPropString@4",
    "_SetMultiFreq@8",  "_InitialDA@16",       "_SetupPID@40",       "_DisablePID@0",
    "_outportb@8",      "_inportb@4",          "_outport@8",         "_inport@4",
    "_outportdw@8",     "_inportdw@4",         "_CardSpecSetting@0", "_GetCardSpecSettingName@4",
};

TEST(SimCardVariants, EachLibraryLacksExactlyItsEntries) {
  const std::set<std::string> pid = {"_InitialDA@16", "_SetupPID@40", "_DisablePID@0"};
  const std::set<std::string> ports = {"_outportb@8", "_inportb@4",   "_outport@8",
                                       "_inport@4",   "_outportdw@8", "_inportdw@4"};
  auto plus = [](std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
  };
  std::set<std::string> allButPorts;
  for (const char* e : kAllEntries) {
    if (!ports.count(e)) allButPorts.insert(e);
  }
  struct Case {
    const char* file;
    std::set<std::string> missing;
  } cases[] = {
      {"ADCard.DLL", pid},
      {"ADCardNoInitial.DLL", plus(pid, {"_Initial@16"})},
      {"ADCardNoChannelFrq.DLL", plus(pid, {"_ChannelFrq@8"})},
      {"ADCardNoPorts.DLL", plus(pid, ports)},
      {"ADCardOutportbOnly.DLL",
       plus(pid, {"_inportb@4", "_outport@8", "_inport@4", "_outportdw@8", "_inportdw@4"})},
      {"ADCardNoProp.DLL", plus(pid, {"_GetADPropStrSize@0", "_GetADPropString@4"})},
      {"ADCardPropSizeOnly.DLL", plus(pid, {"_GetADPropString@4"})},
      {"ADCardNoSettingName.DLL", plus(pid, {"_GetCardSpecSettingName@4"})},
      {"ADCardNoLastError.DLL", plus(pid, {"_GetLastADError@0"})},
      {"ADCardNoMultiFreq.DLL", plus(pid, {"_SetMultiFreq@8"})},
      {"ADCtrl.DLL", {}},
      {"ADCtrlNoPid.DLL", {"_InitialDA@16"}},
      {"Pelvorn.DLL", allButPorts},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    DriverLibrary lib(c.file);
    ASSERT_TRUE(lib.Loaded());
    for (const char* entry : kAllEntries) EXPECT_EQ(lib.Has(entry), c.missing.count(entry) == 0) << entry;
    // Nothing but entry points is exported.
    EXPECT_FALSE(lib.Has("_ZN7simcard14TheAcquisitionEv"));
    EXPECT_FALSE(lib.Has("_ZN7simcard12ThePortSpaceEv"));
  }
}

}  // namespace
