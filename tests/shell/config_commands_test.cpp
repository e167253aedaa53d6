#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "platform/GbkText.h"
#include "platform/ScriptedUiHost.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigFile.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using platform::MsgResult;
using platform::ScriptedUiHost;

std::vector<uint8_t> Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& data) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                            static_cast<std::streamsize>(data.size()));
}

class ConfigCommands : public ::testing::Test {
 protected:
  AppState state;
  ScriptedUiHost ui;
  int registrySaves = 0;
  int dataDrops = 0;
  ConfigCommandEnv env{state, ui, [this] { ++registrySaves; }, [this] { ++dataDrops; }, {}};
  fs::path dir;

  void SetUp() override {
    dir = fs::path(testing::TempDir()) / ("quelvar-config-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    state.config.CardNameText = "ADCard";
    state.config.AnalogChannelTable[0].ChnName = "本机通道";
  }
  void TearDown() override { fs::remove_all(dir); }

  std::vector<uint8_t> Snapshot() const {
    ConfigRecord r;
    BuildConfigRecord(state.config, BuildExtrasOf(state), r);
    const auto* p = reinterpret_cast<const uint8_t*>(&r);
    return {p, p + sizeof r};
  }

  // A configuration file of another machine, changed from ours.
  fs::path ForeignFile(const std::string& name, const std::string& card, int32_t numSamp = 999) {
    AppState other;
    other.config.CardNameText = card;
    other.config.NumSamp = numSamp;
    other.config.AnalogChannelTable[0].ChnName = "外来通道";
    auto record = std::make_unique<ConfigRecord>();
    BuildConfigRecord(other.config, BuildExtrasOf(other), *record);
    std::string error;
    EXPECT_TRUE(WriteConfigFile((dir / name).string(), *record, error)) << error;
    return dir / name;
  }

  void Load(const fs::path& file) {
    ui.fileAnswers.push_back(file.string());
    LoadConfigFromFileCommand(env);
  }

  std::string LastMessage() const { return ui.PromptsOf(ScriptedUiHost::Kind::Message).back().text; }
};

TEST_F(ConfigCommands, SavedFileIsTheMagicAndTheRecordByteForByte) {
  const fs::path file = dir / "mine.QCG";
  ui.fileAnswers.push_back(file.string());
  ui.fileAnswers.push_back((dir / "again.QCG").string());
  SaveConfigToFileCommand(env);
  SaveConfigToFileCommand(env);
  const auto bytes = Bytes(file);
  ASSERT_EQ(bytes.size(), 40732u);
  const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 12);
  EXPECT_EQ(head, (std::vector<uint8_t>{0x51, 0x43, 0x66, 0x67, 0x18, 0x9F, 0x00, 0x00, 0x02, 0x00, 0x05, 0x00}));
  EXPECT_EQ(Bytes(dir / "again.QCG"), bytes);  // saving twice gives the same bytes
  EXPECT_EQ(LastMessage(), "现在用户可以把配置信息文件妥善保管!");
  EXPECT_EQ(ui.PromptsOf(ScriptedUiHost::Kind::SaveFile)[0].file.defaultExt, "QCG");
}

TEST_F(ConfigCommands, FailedSaveSaysSoAndLeavesNoFile) {
  fs::create_directories(dir / "taken.QCG");  // a directory where the file should go
  ui.fileAnswers.push_back((dir / "taken.QCG").string());
  SaveConfigToFileCommand(env);
  ASSERT_EQ(ui.prompts.size(), 2u);
  EXPECT_EQ(LastMessage().rfind("不能创建新文件!", 0), 0u) << LastMessage();
  EXPECT_EQ(ui.prompts.back().caption, "打开配置文件错误");
  EXPECT_TRUE(fs::is_directory(dir / "taken.QCG"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(ConfigCommands, BadFilesGetTheirMessageAndChangeNothing) {
  const std::vector<uint8_t> good = Bytes(ForeignFile("good.QCG", "ADCard"));
  auto withColorNum80 = good;
  const int32_t eighty = 80;
  std::memcpy(&withColorNum80[4 + 88], &eighty, 4);
  auto upperMagic = good;
  upperMagic[3] = 'G';
  std::mt19937 rng(7);
  std::vector<uint8_t> noise(40732);
  for (auto& b : noise) b = static_cast<uint8_t>(rng());

  struct Case {
    const char* name;
    std::vector<uint8_t> content;
    const char* message;
  } cases[] = {
      {"short", std::vector<uint8_t>(good.begin(), good.end() - 1), "文件大小不对!"},
      {"long", [&] { auto v = good; v.push_back(0); return v; }(), "文件大小不对!"},
      {"empty", {}, "文件大小不对!"},
      {"magic", upperMagic, "文件头标志错误!"},
      {"colours", withColorNum80, "配置信息非法!"},
      {"noise", noise, "文件头标志错误!"},
  };
  const auto before = Snapshot();
  for (const Case& c : cases) {
    ui.prompts.clear();
    const fs::path file = dir / c.name;
    WriteBytes(file, c.content);
    Load(file);
    ASSERT_EQ(ui.PromptsOf(ScriptedUiHost::Kind::Message).size(), 1u) << c.name;
    EXPECT_EQ(LastMessage(), c.message) << c.name;
    EXPECT_EQ(Snapshot(), before) << c.name;
  }
  // A path that cannot be read is named, not passed over.
  ui.prompts.clear();
  Load(dir);
  EXPECT_EQ(LastMessage(), "不能读取文件: " + dir.string());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(registrySaves, 0);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
}

TEST_F(ConfigCommands, FileOfTheOwnCardBecomesTheOwnConfiguration) {
  Load(ForeignFile("own.QCG", "ADCard", 640));
  EXPECT_EQ(LastMessage(), "新配置已生效!");
  EXPECT_EQ(state.config.NumSamp, 640);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(registrySaves, 1);
  EXPECT_EQ(dataDrops, 1);
  EXPECT_EQ(ui.PromptsOf(ScriptedUiHost::Kind::OpenFile)[0].file.title, "选定要读取的配置文件");
}

TEST_F(ConfigCommands, FileOfAnotherCardIsOnlyLentAfterTheUserAgrees) {
  const auto own = Snapshot();
  const fs::path first = ForeignFile("first.QCG", "PCI9111", 111);
  ui.messageAnswers.push_back(MsgResult::No);
  Load(first);
  EXPECT_EQ(Snapshot(), own);
  EXPECT_EQ(ui.prompts.back().text, "请确认 仍使用新配置？");

  ui.messageAnswers.push_back(MsgResult::Yes);
  Load(first);
  EXPECT_EQ(state.config.NumSamp, 111);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);
  EXPECT_EQ(state.configInForce.SysParamCaption, "临时参数(&P)");
  EXPECT_EQ(registrySaves, 0);  // the settings tree keeps the own configuration

  // A second foreign file asks nothing and keeps the first own record.
  ui.prompts.clear();
  Load(ForeignFile("second.QCG", "PCI9112", 222));
  EXPECT_EQ(ui.PromptsOf(ScriptedUiHost::Kind::Message).size(), 1u);
  EXPECT_EQ(state.config.NumSamp, 222);

  state.RunState = kRunRecording;
  RestoreConfigCommand(env);
  EXPECT_EQ(state.configInForce.TempConfigActive, 1);  // not while acquiring

  state.RunState = kRunIdle;
  RestoreConfigCommand(env);
  EXPECT_EQ(Snapshot(), own);
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
  EXPECT_EQ(state.configInForce.SysParamCaption, "系统参数(&P)");
  EXPECT_EQ(registrySaves, 0);
}

TEST_F(ConfigCommands, OwnConfigurationComesBackEvenWhereItFailsTheForeignRecordChecks) {
  state.config.NumSamp = 0;  // as a damaged settings tree may leave it
  const auto own = Snapshot();
  ConfigRecord foreign;
  AppState other;
  BuildConfigRecord(other.config, BuildExtrasOf(other), foreign);
  ASSERT_EQ(EnterTemporaryConfig(state, foreign, kRemoteConfigCaption), 1);
  EXPECT_EQ(state.config.NumSamp, 300);
  ASSERT_TRUE(PutOwnConfigBack(state));
  EXPECT_EQ(Snapshot(), own);
  EXPECT_FALSE(PutOwnConfigBack(state));  // nothing lent any more
}

class DefaultConfigFile : public ConfigCommands {
 protected:
  char oldCwd[PATH_MAX]{};
  void SetUp() override {
    ConfigCommands::SetUp();
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(oldCwd), 0);
    ConfigCommands::TearDown();
  }
};

TEST_F(DefaultConfigFile, TheCardsOwnFileWinsAndTheCardNameStays) {
  ForeignFile("Default.QCG", "Other", 100);
  ForeignFile("ADCard.QCG", "Other", 200);
  EXPECT_EQ(LoadDefaultConfigFile(env), 1);
  EXPECT_EQ(state.config.NumSamp, 200);
  EXPECT_EQ(state.config.CardNameText, "ADCard");  // saved under the key the next start reads
  EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(DefaultConfigFile, FallsBackToDefaultAndReportsTheApplyResult) {
  EXPECT_EQ(LoadDefaultConfigFile(env), 0);  // no file at all
  ForeignFile("Default.QCG", "Other", 100);
  EXPECT_EQ(LoadDefaultConfigFile(env), 1);
  EXPECT_EQ(state.config.NumSamp, 100);
  // A well-formed file whose record is rejected is not reported as loaded.
  auto bytes = Bytes("Default.QCG");
  const int32_t badBits = 30;
  std::memcpy(&bytes[4 + 84], &badBits, 4);
  WriteBytes("Default.QCG", bytes);
  EXPECT_EQ(LoadDefaultConfigFile(env), 0);
}

}  // namespace
