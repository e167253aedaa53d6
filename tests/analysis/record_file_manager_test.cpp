#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "analysis/RecordFileManager.h"
#include "analysis/record_file_manager_support.h"
#include "platform/GbkText.h"
#include "platform/ScriptedUiHost.h"
#include "shell/RecordFileCheck.h"

namespace quelvar {
namespace {

using Kind = platform::ScriptedUiHost::Kind;
using test::kManagedBlockBytes;
using test::kManagedCommentAt;
using test::kManagedName;
using test::ReadBytes;
using test::RecordDir;
using test::WriteBytes;

template <typename T>
void Put(std::string& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

std::string ValidBytes() {
  RecordDir dir;
  return ReadBytes(test::WriteManaged(dir, test::ManagedPackage()));
}

// A file of an older format with a configuration block of `blockBytes`.
std::string OldFile(size_t blockBytes) {
  std::string bytes(88, '\0');
  bytes[0] = 'Q';
  bytes[1] = 'V';
  Put<int32_t>(bytes, 52, 600);
  bytes.append(600, '\x11');
  const ConfigRecord config = test::ValidConfig();
  bytes.append(reinterpret_cast<const char*>(&config), blockBytes);
  const uint32_t n = 3;
  bytes.append(reinterpret_cast<const char*>(&n), 4);
  return bytes + "old";
}

const char* const kUnusable = "结论: 本历史数据文件不可用(";

TEST(RecordFileReport, GivesTheStatusCodeOfEachDamage) {
  struct Case {
    const char* name;
    std::function<void(std::string&)> change;
    int32_t status;
    const char* verdictName;  // the format named for a failed file
  };
  const Case cases[] = {
      {"as written", [](std::string&) {}, 0, nullptr},
      {"comment length word missing", [](std::string& b) { b.resize(kManagedCommentAt); }, 0, nullptr},
      {"empty comment with its length word", [](std::string& b) { b.resize(kManagedCommentAt + 4), Put<int32_t>(b, kManagedCommentAt, 0); }, 0, nullptr},
      {"one byte short", [](std::string& b) { b.pop_back(); }, kCheckLength, "未知格式"},
      {"one byte long", [](std::string& b) { b.push_back('x'); }, kCheckLength, "未知格式"},
      {"cut inside a block", [](std::string& b) { b.resize(kManagedCommentAt - 100); }, kCheckLength, "未知格式"},
      {"cut inside the length word", [](std::string& b) { b.resize(kManagedCommentAt + 2); }, kCheckLength, "未知格式"},
      {"comment length beyond the file", [](std::string& b) { Put<int32_t>(b, kManagedCommentAt, INT_MAX); }, kCheckLength, "未知格式"},
      {"negative comment length", [](std::string& b) { Put<int32_t>(b, kManagedCommentAt, -3); }, kCheckLength, "未知格式"},
      {"header size 103", [](std::string& b) { Put<uint32_t>(b, 0, 103); }, kCheckLength, "未知格式"},
      {"wrong tag", [](std::string& b) { b[9] = 'X'; }, kCheckWrongTag, "未知格式"},
      {"shorter than the header", [](std::string& b) { b.resize(50); }, kCheckWrongTag, "未知格式"},
      {"data size one word more", [](std::string& b) { Put<int32_t>(b, 68, 3 * 300 * 4 * 2 + 2); }, kCheckHeaderFormat, "未知格式"},
      {"no blocks", [](std::string& b) { Put<int32_t>(b, 64, 0), Put<int32_t>(b, 68, 0); }, kCheckHeaderFormat, "未知格式"},
      // 65536 x 65536 x 1 x 2 is 0 in 32 bits.
      {"sizes that wrap in 32 bits",
       [](std::string& b) { Put<int32_t>(b, 64, 65536), Put<int32_t>(b, 28, 65536), Put<int32_t>(b, 12, 1), Put<int32_t>(b, 68, 0); },
       kCheckHeaderFormat, "未知格式"},
      {"header channels disagree with the configuration",
       [](std::string& b) { Put<int32_t>(b, 12, 8), Put<int32_t>(b, 68, 3 * 300 * 8 * 2); }, kCheckConfiguration, "未知格式"},
      {"configuration rejected (ADBit 7)", [](std::string& b) { Put<int32_t>(b, 104 + 84, 7); }, kCheckConfiguration, "未知格式"},
      {"cut inside the configuration", [](std::string& b) { b.resize(104 + 1000); }, kCheckConfiguration, "未知格式"},
      {"first older format", [](std::string& b) { b = OldFile(kOld1ConfigBytes); }, kCheckWrongTag, "版本V0的旧文件"},
      {"second older format", [](std::string& b) { b = OldFile(kOld2ConfigBytes); }, kCheckWrongTag, "版本V1的旧文件"},
  };
  const std::string valid = ValidBytes();
  RecordDir dir;
  const std::string path = dir.File(kManagedName);
  for (const Case& c : cases) {
    std::string bytes = valid;
    c.change(bytes);
    WriteBytes(path, bytes);
    const RecordFileReport r = CheckRecordFileReport(path, kManagedName);
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.valid, c.status == 0) << c.name;
    if (c.verdictName != nullptr) {
      EXPECT_NE(r.report.find(std::string(kUnusable) + c.verdictName + ")!\r\n\r\n"), std::string::npos)
          << c.name << "\n" << r.report;
    }
    // Never looser than the check before a file is opened.
    if (r.valid) {
      EXPECT_TRUE(IsValidRecordFile(path)) << c.name;
    }
  }
}

TEST(RecordFileReport, ReportsAValidFileLineByLine) {
  RecordDir dir;
  const std::string path = test::WriteManaged(dir, test::ManagedPackage(3, "故障说明"));
  const RecordFileReport r = CheckRecordFileReport(path, kManagedName);
  ASSERT_TRUE(r.valid);
  EXPECT_EQ(r.report,
            "结论: 可使用本历史数据文件!\r\n\r\n"
            "历史数据库:F20240305140709.DAT"
            "\r\n记录日期为:2024-03-05,14:07:09"
            "\r\n 文件版本为:2.5"
            "\r\n AD板总通道数=4,每块采样数=300,AD芯片位数=12,通道组数=1,模拟通道=4,开关通道=0"
            "\r\n 数据块数=3,其中压缩块=0,频率=1000.50 Hz"
            "\r\n 记录触发类型: 手动"
            "\r\n 要求数据容量=7KB\r\n"
            "\r\nOK! 文件内部格式正确!\r\n");
  EXPECT_EQ(r.userText, "故障说明");
  EXPECT_EQ(r.blockCount, 3);
}

TEST(RecordFileReport, TellsTheUserTextStateAndTheCompressionAndReadFailures) {
  std::string bytes = ValidBytes();
  RecordDir dir;
  const std::string path = dir.File(kManagedName);

  bytes.resize(kManagedCommentAt);
  WriteBytes(path, bytes);
  EXPECT_EQ(CheckRecordFileReport(path, kManagedName).userText, "\r\n无用户自定义信息!");
  bytes.append(4, '\0');
  WriteBytes(path, bytes);
  EXPECT_EQ(CheckRecordFileReport(path, kManagedName).userText, "\r\n无有效的用户自定义信息!");
  Put<int32_t>(bytes, kManagedCommentAt, 1 << 30);
  WriteBytes(path, bytes);
  EXPECT_EQ(CheckRecordFileReport(path, kManagedName).userText, "\r\n无有效的用户自定义信息!");

  Put<int32_t>(bytes, kManagedCommentAt, 0);
  Put<int32_t>(bytes, 80, 2);  // compressed blocks
  Put<int32_t>(bytes, 72, 16);
  Put<int32_t>(bytes, 88, 2);  // trigger kind
  WriteBytes(path, bytes);
  const std::string report = CheckRecordFileReport(path, kManagedName).report;
  EXPECT_NE(report.find(",其中压缩块=2,压缩比=16,频率="), std::string::npos) << report;
  EXPECT_NE(report.find("记录触发类型: 模拟量通道"), std::string::npos) << report;

  // A check that stops before the comment leaves the user text alone.
  bytes[9] = 'X';
  WriteBytes(path, bytes);
  EXPECT_FALSE(CheckRecordFileReport(path, kManagedName).userText.has_value());

  WriteBytes(path, bytes.substr(0, 50));
  EXPECT_EQ(CheckRecordFileReport(path, kManagedName).report.rfind("错误: 读文件内容失败!\r\n\r\n" + std::string(kUnusable), 0),
            0u);
  const RecordFileReport missing = CheckRecordFileReport(dir.File("none.DAT"), "none.DAT");
  EXPECT_EQ(missing.status, kCheckCannotOpen);
  EXPECT_EQ(missing.report, "非法的文件名!");
}

// --- The manager's commands ---------------------------------------------------

class ManagerTest : public ::testing::Test {
 protected:
  RecordDir dir;
  std::string historyFilePath;
  platform::ScriptedUiHost ui;
  RecordFileManager manager{historyFilePath, ui};

  std::string Messages() const {
    std::string all;
    for (const auto& p : ui.PromptsOf(Kind::Message)) all += p.caption + ": " + p.text + "\n";
    return all;
  }
};

TEST_F(ManagerTest, CheckKeepsThePathAndTheLastFailureCode) {
  std::string bytes = ValidBytes();
  bytes.pop_back();
  WriteBytes(dir.File("cut.DAT"), bytes);
  test::WriteManaged(dir, test::ManagedPackage());

  manager.Check(dir.Str(), "cut.DAT");
  EXPECT_EQ(historyFilePath, dir.File("cut.DAT"));
  EXPECT_FALSE(manager.CheckedFileValid());
  EXPECT_EQ(manager.RecordCheckStatus(), kCheckLength);
  EXPECT_TRUE(manager.RepairAllowed());

  manager.Check(dir.Str() + "/", kManagedName);
  EXPECT_EQ(historyFilePath, dir.File(kManagedName));
  EXPECT_TRUE(manager.CheckedFileValid());
  EXPECT_EQ(manager.RecordCheckStatus(), kCheckLength);  // a pass leaves it
  EXPECT_FALSE(manager.RepairAllowed());
  EXPECT_EQ(manager.CheckedBlockCount(), 3);
}

TEST_F(ManagerTest, RepairedCopyHoldsTheWholeBlocksPassesAndLeavesTheOriginalUntouched) {
  struct Case {
    const char* name;
    std::function<void(std::string&)> change;
    int32_t blocks;
  };
  const Case cases[] = {
      {"cut inside the third block", [](std::string& b) { b.resize(kManagedCommentAt - 100); }, 2},
      {"one byte long", [](std::string& b) { b.push_back('x'); }, 3},
      {"comment length beyond the file", [](std::string& b) { Put<int32_t>(b, kManagedCommentAt, INT_MAX); }, 3},
      {"header size 103", [](std::string& b) { Put<uint32_t>(b, 0, 103); }, 3},
  };
  const std::string valid = ValidBytes();
  for (const Case& c : cases) {
    std::string bytes = valid;
    c.change(bytes);
    const std::string source = dir.File("F1.DAT");
    WriteBytes(source, bytes);
    manager.Check(dir.Str(), "F1.DAT");
    ASSERT_TRUE(manager.RepairAllowed()) << c.name;
    std::string report;
    const auto copy = manager.Repair(report);
    ASSERT_TRUE(copy.has_value()) << c.name << ": " << report;
    EXPECT_EQ(*copy, "F1-Fix.DAT");
    EXPECT_EQ(ReadBytes(source), bytes) << c.name;

    const std::string copyPath = dir.File(*copy);
    EXPECT_TRUE(IsValidRecordFile(copyPath)) << c.name;
    const RecordFileReport checked = CheckRecordFileReport(copyPath, *copy);
    EXPECT_TRUE(checked.valid) << c.name << "\n" << checked.report;
    EXPECT_EQ(checked.header.BlockCount, c.blocks) << c.name;
    EXPECT_EQ(checked.userText, "修复的历史数据文件") << c.name;
    const std::string copied = ReadBytes(copyPath);
    const size_t data = c.blocks * kManagedBlockBytes;
    EXPECT_EQ(copied.substr(104, 40728 + data), bytes.substr(104, 40728 + data)) << c.name;
    EXPECT_TRUE(ui.prompts.empty()) << Messages();
  }
}

TEST_F(ManagerTest, RepairRefusesWhatCannotBeRepairedAndWritesNothing) {
  const std::string valid = ValidBytes();
  // The manager's own refusals: files that failed another check, or passed.
  for (const auto& change : std::initializer_list<std::function<void(std::string&)>>{
           [](std::string&) {}, [](std::string& b) { b[9] = 'X'; },
           [](std::string& b) { Put<int32_t>(b, 68, 2); }, [](std::string& b) { Put<int32_t>(b, 104 + 84, 7); }}) {
    std::string bytes = valid;
    change(bytes);
    WriteBytes(dir.File("F1.DAT"), bytes);
    manager.Check(dir.Str(), "F1.DAT");
    std::string report;
    EXPECT_FALSE(manager.Repair(report).has_value());
  }
  ASSERT_EQ(ui.PromptsOf(Kind::Message).size(), 4u);
  EXPECT_EQ(ui.prompts.back().text, "此文件不能修复");
  EXPECT_EQ(ui.prompts.back().caption, "修复操作无效");

  // The repair's own refusals of a source as it finds it.
  struct Case {
    const char* name;
    std::function<void(std::string&)> change;
  };
  const Case cases[] = {
      {"shorter than header and configuration", [](std::string& b) { b.resize(40832 - 1); }},
      {"no whole block", [](std::string& b) { b.resize(40832 + kManagedBlockBytes - 1); }},
      {"block size 0", [](std::string& b) { Put<int32_t>(b, 28, 0); }},
      {"negative channels", [](std::string& b) { Put<int32_t>(b, 12, -4); }},
  };
  for (const Case& c : cases) {
    std::string bytes = valid;
    c.change(bytes);
    WriteBytes(dir.File("F2.DAT"), bytes);
    const RepairOutcome outcome = RepairRecordFile(dir.File("F2.DAT"));
    EXPECT_TRUE(outcome.refused) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir.File("F2-Fix.DAT"))) << c.name;
  }
}

TEST_F(ManagerTest, ACopyThatCannotBeCreatedIsReportedAndNoPartOfItIsLeft) {
  std::string bytes = ValidBytes();
  bytes.pop_back();
  WriteBytes(dir.File("F1.DAT"), bytes);
  // A directory in the copy's place cannot be replaced by a file.
  std::filesystem::create_directories(dir.File("F1-Fix.DAT") + "/inside");
  manager.Check(dir.Str(), "F1.DAT");
  std::string report;
  EXPECT_FALSE(manager.Repair(report).has_value());
  EXPECT_EQ(report.rfind("提示：建立新文件失败!", 0), 0u) << report;
  EXPECT_EQ(dir.Names(), (std::set<std::string>{"F1.DAT", "F1-Fix.DAT"}));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("F1-Fix.DAT")));
}

TEST(RecordFileRepair, CopyPathInsertsFixBeforeTheExtension) {
  EXPECT_EQ(RepairedCopyPath("/d/F20240305140709.DAT"), "/d/F20240305140709-Fix.DAT");
  EXPECT_EQ(RepairedCopyPath("/d.x/record"), "/d.x/record-Fix");
  EXPECT_EQ(RepairedCopyPath("/d/a.b.DAT"), "/d/a.b-Fix.DAT");
}

TEST_F(ManagerTest, UserTextUpdateRoundTripsAndLeavesNoTail) {
  const std::string path = test::WriteManaged(dir, test::ManagedPackage(3, "a rather long first comment"));
  const std::string before = ReadBytes(path);
  for (const std::string text : {"新说明\r\n第二行", "", "longer text than before, by some way, 更长"}) {
    manager.Check(dir.Str(), kManagedName);
    ASSERT_TRUE(manager.UpdateUserText(text)) << Messages();
    const RecordFileReport r = CheckRecordFileReport(path, kManagedName);
    EXPECT_TRUE(r.valid) << r.report;
    const std::string gbk = platform::Utf8ToGbk(text);
    EXPECT_EQ(r.userText, text.empty() ? "\r\n无有效的用户自定义信息!" : text);
    const std::string after = ReadBytes(path);
    EXPECT_EQ(after.size(), kManagedCommentAt + 4 + gbk.size());
    EXPECT_EQ(after.substr(0, kManagedCommentAt), before.substr(0, kManagedCommentAt));
  }
  EXPECT_TRUE(ui.prompts.empty()) << Messages();
}

TEST_F(ManagerTest, UserTextUpdateReportsEveryFailureAndWritesNothingThen) {
  const std::string path = test::WriteManaged(dir, test::ManagedPackage());

  // Nothing checked.
  EXPECT_FALSE(manager.UpdateUserText("x"));
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "未选定有效文件");
  EXPECT_EQ(ui.prompts[0].caption, "更新说明信息无效");

  // The file was replaced by another record after the check.
  manager.Check(dir.Str(), kManagedName);
  const std::string other = ReadBytes(test::WriteManaged(dir, test::ManagedPackage(2), "other.DAT"));
  WriteBytes(path, other);
  EXPECT_FALSE(manager.UpdateUserText("x"));
  EXPECT_EQ(ReadBytes(path), other);

  // Cut inside its samples after the check: no hole of zeros is written.
  const std::string good = ReadBytes(test::WriteManaged(dir, test::ManagedPackage()));
  manager.Check(dir.Str(), kManagedName);
  const std::string cut = good.substr(0, good.size() - 40);
  WriteBytes(path, cut);
  EXPECT_FALSE(manager.UpdateUserText("x"));
  EXPECT_EQ(ReadBytes(path), cut);

  // The file is gone.
  std::filesystem::remove(path);
  EXPECT_FALSE(manager.UpdateUserText("x"));
  EXPECT_FALSE(std::filesystem::exists(path));

  const auto messages = ui.PromptsOf(Kind::Message);
  ASSERT_EQ(messages.size(), 4u);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(messages[i].text.rfind("更新标识信息失败!", 0), 0u) << messages[i].text;
    EXPECT_EQ(messages[i].caption, "更新说明信息无效");
  }
}

TEST_F(ManagerTest, DeleteAsksFirstAndDeletesOnlyWhenConfirmed) {
  const std::string path = test::WriteManaged(dir, test::ManagedPackage());
  EXPECT_FALSE(manager.DeleteCheckedFile());  // nothing checked: refused without a question
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "未选定有效文件");
  EXPECT_EQ(ui.prompts[0].caption, "删除操作无效");

  manager.Check(dir.Str(), kManagedName);
  ui.messageAnswers.push_back(platform::MsgResult::No);
  EXPECT_FALSE(manager.DeleteCheckedFile());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(manager.CheckedFileValid());
  EXPECT_EQ(ui.prompts.back().buttons, platform::MsgButtons::YesNo);
  EXPECT_NE(ui.prompts.back().text.find(path), std::string::npos);

  ui.messageAnswers.push_back(platform::MsgResult::Yes);
  EXPECT_TRUE(manager.DeleteCheckedFile());
  EXPECT_FALSE(std::filesystem::exists(path));
  // What is gone cannot be confirmed.
  EXPECT_FALSE(manager.CheckedFileValid());
}

TEST_F(ManagerTest, ConfirmNeedsAPassedCheck) {
  EXPECT_FALSE(manager.ConfirmSelection());
  ASSERT_EQ(ui.prompts.size(), 1u);
  EXPECT_EQ(ui.prompts[0].text, "未选定有效文件");
  EXPECT_EQ(ui.prompts[0].caption, "确定操作无效");
  test::WriteManaged(dir, test::ManagedPackage());
  manager.Check(dir.Str(), kManagedName);
  EXPECT_TRUE(manager.ConfirmSelection());
  EXPECT_EQ(ui.prompts.size(), 1u);
}

TEST(RecordFileManagerRange, ClampsTheBlockRange) {
  struct Case {
    const char* begin;
    const char* end;
    int32_t blocks;
    int32_t wantBegin, wantEnd;
  };
  const Case cases[] = {
      {"0", "9", 10, 0, 9},     {"2", "5", 10, 2, 5},    {"-3", "99", 10, 0, 9},  {"7", "3", 10, 7, 7},
      {"abc", "", 10, 0, 0},    {"12", "12", 10, 9, 9},  {" 4 ", "+6", 10, 4, 6}, {"1.5", "3", 10, 0, 3},
      {"99999999999", "5", 10, 9, 9}, {"3", "4", 0, 0, 0},
  };
  for (const Case& c : cases) {
    const auto [begin, end] = ClampBlockRange(c.begin, c.end, c.blocks);
    EXPECT_EQ(begin, c.wantBegin) << c.begin << ".." << c.end;
    EXPECT_EQ(end, c.wantEnd) << c.begin << ".." << c.end;
  }
}

TEST(RecordFileManagerList, ListsMatchingFilesCaseIgnoredAndNoDirectories) {
  RecordDir dir;
  for (const char* name : {"F1.DAT", "f2.dat", "G3.DAT", "F4.DAT.bak", "notes"}) WriteBytes(dir.File(name), "x");
  std::filesystem::create_directory(dir.File("F5.DAT"));
  EXPECT_EQ(ListMatchingFiles(dir.Str(), "F*.DAT"), (std::vector<std::string>{"F1.DAT", "f2.dat"}));
  EXPECT_EQ(ListMatchingFiles(dir.Str(), "*.*"),
            (std::vector<std::string>{"F1.DAT", "F4.DAT.bak", "G3.DAT", "f2.dat", "notes"}));
  EXPECT_EQ(ListSubdirectories(dir.Str()), (std::vector<std::string>{"F5.DAT"}));
  EXPECT_TRUE(IsFileMask("F*.DAT"));
  EXPECT_FALSE(IsFileMask("F1.DAT"));
}

}  // namespace
}  // namespace quelvar
