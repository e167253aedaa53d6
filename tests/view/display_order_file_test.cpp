// The display-order file: its bytes, its checks, and the two commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/ScriptedUiHost.h"
#include "view/DisplayOrderCommands.h"
#include "view/DisplayOrderFile.h"

namespace {

using namespace quelvar;
using platform::ScriptedUiHost;

class DisplayOrderFileTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-grd-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

DisplayOrder Reversed() {
  DisplayOrder order{};
  for (int i = 0; i < kMaxDisplayPositions; ++i) order[static_cast<size_t>(i)] = static_cast<int16_t>(291 - i);
  return order;
}

TEST_F(DisplayOrderFileTest, BytesAreTheTagThenEveryEntryLittleEndian) {
  DisplayOrder order = Reversed();
  order[1] = 0x0102;
  const std::string bytes = EncodeDisplayOrderFile(order);
  ASSERT_EQ(bytes.size(), 588u);
  EXPECT_EQ(bytes.substr(0, 4), "GORD");
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x23\x01\x02\x01", 4));  // 291, 0x0102
  EXPECT_EQ(bytes.substr(586, 2), std::string("\x00\x00", 2));
}

TEST_F(DisplayOrderFileTest, AWrittenFileReadsBackTheSameOrder) {
  const std::string path = (dir / "order.grd").string();
  std::string error;
  ASSERT_TRUE(WriteDisplayOrderFile(path, Reversed(), error)) << error;
  EXPECT_EQ(std::filesystem::file_size(path), 588u);
  DisplayOrder read{};
  ASSERT_EQ(ReadDisplayOrderFile(path, read), DisplayOrderFileStatus::Ok);
  EXPECT_EQ(read, Reversed());
}

TEST_F(DisplayOrderFileTest, BadFilesAreRefusedAndChangeNothing) {
  const std::string good = EncodeDisplayOrderFile(Reversed());
  std::string wrongTag = good;
  wrongTag[3] = 'X';
  struct Case {
    const char* name;
    std::string bytes;
    DisplayOrderFileStatus status;
  };
  const Case cases[] = {
      {"short", good.substr(0, 587), DisplayOrderFileStatus::WrongSize},
      {"long", good + "x", DisplayOrderFileStatus::WrongSize},
      {"empty", "", DisplayOrderFileStatus::WrongSize},
      {"tag", wrongTag, DisplayOrderFileStatus::BadTag},
  };
  for (const Case& c : cases) {
    DisplayOrder order{};
    order[0] = 42;
    EXPECT_EQ(ReadDisplayOrderFile(Write(c.name, c.bytes), order), c.status) << c.name;
    EXPECT_EQ(order[0], 42) << c.name;
    EXPECT_EQ(order[1], 0) << c.name;
  }
  DisplayOrder order{};
  EXPECT_EQ(ReadDisplayOrderFile((dir / "missing.grd").string(), order), DisplayOrderFileStatus::CannotOpen);
  EXPECT_EQ(ReadDisplayOrderFile(dir.string(), order), DisplayOrderFileStatus::CannotOpen);
}

// Entries are row positions only once a layout rebuild (or a load with data
// on display) has made them a permutation; a file is not refused for them,
// as the program's own stored order may hold any tail.
TEST_F(DisplayOrderFileTest, EntriesOutsideTheRowsAreReadAsTheyStand) {
  DisplayOrder stored = Reversed();
  stored[0] = -1;
  stored[291] = 292;
  DisplayOrder read{};
  ASSERT_EQ(ReadDisplayOrderFile(Write("odd.grd", EncodeDisplayOrderFile(stored)), read), DisplayOrderFileStatus::Ok);
  EXPECT_EQ(read, stored);
}

TEST_F(DisplayOrderFileTest, ACutShortImageIsRefusedBeforeAnyEntryIsTaken) {
  const std::string good = EncodeDisplayOrderFile(Reversed());
  DisplayOrder order{};
  const auto* bytes = reinterpret_cast<const uint8_t*>(good.data());
  EXPECT_EQ(DecodeDisplayOrderFile({bytes, 300}, order), DisplayOrderFileStatus::WrongSize);
  EXPECT_EQ(order, DisplayOrder{});
}

TEST_F(DisplayOrderFileTest, LoadingAsksForAnExistingGrdFileAndNormalisesWithDataOnDisplay) {
  ScriptedUiHost ui;
  LiveConfig config;
  config.Analog_Num = 3;
  config.SW_Num = 1;
  DisplayDescriptor display;
  display.DispValid = 1;
  DisplayOrder stored{};
  stored.fill(2);  // every entry at row 2: made a permutation of the 4 rows
  stored[10] = 10;
  ui.fileAnswers.push_back(Write("a.grd", EncodeDisplayOrderFile(stored)));
  ASSERT_TRUE(LoadDisplayOrderCommand(ui, config, display));
  ASSERT_EQ(ui.prompts.size(), 1u);
  const platform::FileDialogRequest& request = ui.prompts[0].file;
  EXPECT_EQ(ui.prompts[0].kind, ScriptedUiHost::Kind::OpenFile);
  EXPECT_EQ(request.title, "选定要读取的显示顺序文件");
  EXPECT_EQ(request.defaultExt, "GRD");
  EXPECT_EQ(request.filter, "显示顺序文件 (*.grd)|*.grd|所有文件 (*.*)|*.*");
  EXPECT_EQ(request.fileName, "");
  EXPECT_TRUE(request.mustExist);
  std::array<int16_t, 4> first{};
  std::copy_n(config.GridOrder.begin(), 4, first.begin());
  std::sort(first.begin(), first.end());
  EXPECT_EQ(first, (std::array<int16_t, 4>{0, 1, 2, 3}));
  EXPECT_EQ(config.GridOrder[10], 10);

  // Without data the order is kept as read, for the next layout rebuild.
  display.DispValid = 0;
  ui.fileAnswers.push_back(Write("b.grd", EncodeDisplayOrderFile(stored)));
  ASSERT_TRUE(LoadDisplayOrderCommand(ui, config, display));
  EXPECT_EQ(config.GridOrder, stored);
}

TEST_F(DisplayOrderFileTest, RefusedFilesAreToldAndCancellingOrAnUnreadableFileIsSilent) {
  const std::string good = EncodeDisplayOrderFile(Reversed());
  struct Case {
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {{good.substr(0, 587), "文件大小不对!"},
                        {good + "x", "文件大小不对!"},
                        {"XORD" + good.substr(4), "文件头标志错误!"}};
  for (const Case& c : cases) {
    ScriptedUiHost ui;
    LiveConfig config;
    const auto before = config.GridOrder;
    ui.fileAnswers.push_back(Write("bad.grd", c.bytes));
    EXPECT_FALSE(LoadDisplayOrderCommand(ui, config, DisplayDescriptor{}));
    const auto messages = ui.PromptsOf(ScriptedUiHost::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, c.message);
    EXPECT_EQ(messages[0].caption, "打开显示顺序文件错误");
    EXPECT_EQ(messages[0].buttons, platform::MsgButtons::OkCancel);
    EXPECT_EQ(config.GridOrder, before);
  }
  ScriptedUiHost ui;
  LiveConfig config;
  ui.fileAnswers.push_back(std::nullopt);
  ui.fileAnswers.push_back((dir / "missing.grd").string());
  EXPECT_FALSE(LoadDisplayOrderCommand(ui, config, DisplayDescriptor{}));
  EXPECT_FALSE(LoadDisplayOrderCommand(ui, config, DisplayDescriptor{}));
  EXPECT_TRUE(ui.PromptsOf(ScriptedUiHost::Kind::Message).empty());
}

TEST_F(DisplayOrderFileTest, SavingWritesTheOrderOrSaysTheFileCannotBeMade) {
  ScriptedUiHost ui;
  LiveConfig config;
  config.GridOrder = Reversed();
  const std::string path = Write("old.grd", std::string(1000, 'z'));
  ui.fileAnswers.push_back(path);
  SaveDisplayOrderCommand(ui, config);
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].kind, ScriptedUiHost::Kind::SaveFile);
  EXPECT_EQ(ui.prompts[0].file.title, "指定要保存的显示顺序文件名");
  EXPECT_EQ(ui.prompts[0].file.defaultExt, "GRD");
  EXPECT_EQ(Read(path), EncodeDisplayOrderFile(Reversed()));

  ui.fileAnswers.push_back((dir / "no-such-dir" / "x.grd").string());
  SaveDisplayOrderCommand(ui, config);
  const auto messages = ui.PromptsOf(ScriptedUiHost::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "不能创建新文件!");
  EXPECT_EQ(messages[0].caption, "打开显示顺序文件错误");
}

}  // namespace
