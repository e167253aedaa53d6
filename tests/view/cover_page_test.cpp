// The cover page: its lines cut from the GBK file, its pages, and when it is
// left out.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/GbkText.h"
#include "platform/RecordingPrintTarget.h"
#include "view/CoverPage.h"

namespace {

using namespace quelvar;
using platform::CanvasOp;

struct LinesCase {
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(CoverPageLines, PiecesOfAtMost127Characters) {
  const std::string a127(127, 'a');
  const LinesCase cases[] = {
      {"", {}},
      {"one\ntwo", {"one", "two"}},
      // One trailing line feed gives no empty last line; two give one.
      {"one\n", {"one"}},
      {"one\n\n", {"one", ""}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"\n\nx", {"", "", "x"}},
      // A longer line goes on as the next printed line.
      {std::string(200, 'b'), {std::string(127, 'b'), std::string(73, 'b')}},
      // A line of exactly the limit is one line.
      {a127 + "\nz", {a127, "z"}},
  };
  for (const LinesCase& c : cases) EXPECT_EQ(CoverPageLines(c.bytes), c.lines) << c.bytes.size();
}

TEST(CoverPageLines, NeverSplitsADoubleByteCharacter) {
  // 126 single bytes, then a two-byte character that would straddle the
  // limit: the piece ends before it.
  const std::string zhong = platform::Utf8ToGbk("中");
  ASSERT_EQ(zhong.size(), 2u);
  const std::vector<std::string> lines = CoverPageLines(std::string(126, 'c') + zhong + "d");
  EXPECT_EQ(lines, (std::vector<std::string>{std::string(126, 'c'), "中d"}));
  // Converted from GBK.
  EXPECT_EQ(CoverPageLines(platform::Utf8ToGbk("封面\n标题")), (std::vector<std::string>{"封面", "标题"}));
}

// A page of 1000 x 300 pixels without margins, printer font size 10 (lines
// 20 high): (300 - 0 - 0) / 20 - 2 = 13 lines a page.
class CoverPageTest : public ::testing::Test {
 protected:
  static constexpr int kLinesPerPage = 13;

  CoverPageTest() : target(1000, 300, 600) {
    config.IDAutoCover = 1;
    config.PrinterFontSize = 10;
    config.IDIncludeDate = 1;
    print.PageHeader = "H";
    print.PageFooter = "F";
    print.CoverPageTextFile = path.string();
    frame.PageWidth = 1000;
    frame.PageHeight = 300;
    frame.PrinterFont = {"", 10, 0, platform::kBlack};
    frame.Header = "H  打印日期 2024-01-02 03:04:05";
  }
  ~CoverPageTest() override { std::filesystem::remove(path); }

  void WriteLines(int count) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 1; i <= count; ++i) out << "L" << i << "\r\n";
  }

  bool Print() {
    target.BeginDocument("job");
    JobPages pages(target);
    const bool printed = PrintCoverPage(config, print, pages, frame);
    // The job's content after the cover.
    pages.StartPage().TextOut(0, 0, "content");
    target.EndDocument();
    return printed;
  }

  std::vector<std::string> Texts(size_t page) const {
    std::vector<std::string> texts;
    for (const CanvasOp& op : target.Page(page).OpsOf(CanvasOp::Kind::Text)) texts.push_back(op.text);
    return texts;
  }

  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("quelvar_cover_" + std::to_string(::getpid()) + "_" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
  LiveConfig config;
  PrintState print;
  PageFrame frame;
  platform::RecordingPrintTarget target;
};

TEST_F(CoverPageTest, LinesUnderTheHeaderThenAFreshPage) {
  WriteLines(2);
  ASSERT_TRUE(Print());
  ASSERT_EQ(target.Pages().size(), 2u);
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"H  打印日期 2024-01-02 03:04:05", "F", "L1", "L2"}));
  const std::vector<CanvasOp> ops = target.Page(0).OpsOf(CanvasOp::Kind::Text);
  EXPECT_EQ(ops[1].from.y, 300 - 20);  // footer above the bottom, no page number
  EXPECT_EQ(ops[2].from, (platform::Point{0, 20}));
  EXPECT_EQ(ops[3].from, (platform::Point{0, 40}));
  EXPECT_EQ(Texts(1), std::vector<std::string>{"content"});
}

TEST_F(CoverPageTest, ExactlyOnePageOfLinesLeavesAnEmptyPage) {
  WriteLines(kLinesPerPage);
  ASSERT_TRUE(Print());
  ASSERT_EQ(target.Pages().size(), 3u);
  EXPECT_EQ(Texts(0).size(), 2u + kLinesPerPage);
  EXPECT_EQ(Texts(1), (std::vector<std::string>{"H  打印日期 2024-01-02 03:04:05", "F"}));
  EXPECT_EQ(Texts(2), std::vector<std::string>{"content"});
}

TEST_F(CoverPageTest, OneLineMoreGoesOnTheNextPage) {
  WriteLines(kLinesPerPage + 1);
  ASSERT_TRUE(Print());
  ASSERT_EQ(target.Pages().size(), 3u);
  EXPECT_EQ(Texts(1).back(), "L14");
  EXPECT_EQ(target.Page(1).OpsOf(CanvasOp::Kind::Text).back().from.y, 20);
}

TEST_F(CoverPageTest, SkippedOnceAfterTheCoverProgramRan) {
  WriteLines(1);
  print.CoverProgramRan = 1;
  EXPECT_FALSE(Print());
  EXPECT_EQ(print.CoverProgramRan, 0);
  EXPECT_EQ(target.Pages().size(), 1u);
  EXPECT_TRUE(Print());
}

TEST_F(CoverPageTest, NothingWithoutTheSettingOrTheFile) {
  WriteLines(1);
  config.IDAutoCover = 0;
  EXPECT_FALSE(Print());
  config.IDAutoCover = 1;
  print.CoverPageTextFile.clear();
  EXPECT_FALSE(Print());
  print.CoverPageTextFile = (std::filesystem::temp_directory_path() / "quelvar_no_such_cover.txt").string();
  EXPECT_FALSE(Print());
  EXPECT_EQ(target.Pages().size(), 3u);  // one page of content per job
}

TEST_F(CoverPageTest, HugeMarginsStillEnd) {
  WriteLines(3);
  frame.Margins = {0, 0, 1 << 29, 1 << 29};
  ASSERT_TRUE(Print());
  // One line a page: three full pages, the page after the last full one,
  // then the content.
  EXPECT_EQ(target.Pages().size(), 5u);
}

}  // namespace
