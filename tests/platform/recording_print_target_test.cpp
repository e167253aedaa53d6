// The test printer: pages per job, and the faults a printer refuses noted.
#include <gtest/gtest.h>

#include "platform/RecordingPrintTarget.h"

namespace {

using namespace quelvar::platform;

TEST(RecordingPrintTarget, KeepsEveryPageOfAJob) {
  RecordingPrintTarget target(800, 1200, 300, "P1");
  EXPECT_EQ(target.PrinterName(), "P1");
  EXPECT_EQ(target.PageWidth(), 800);
  EXPECT_EQ(target.PageHeight(), 1200);
  EXPECT_EQ(target.PixelsPerInchX(), 300);
  ASSERT_TRUE(target.BeginDocument("job"));
  target.PageCanvas().TextOut(1, 1, "one");
  target.NewPage();
  target.PageCanvas().TextOut(2, 2, "two");
  target.EndDocument();
  ASSERT_EQ(target.Pages().size(), 2u);
  EXPECT_EQ(target.Page(0).Ops().at(0).text, "one");
  EXPECT_EQ(target.Page(1).Ops().at(0).text, "two");
  EXPECT_EQ(target.Page(1).Width(), 800);
  EXPECT_EQ(target.Titles(), std::vector<std::string>{"job"});
  EXPECT_EQ(target.DocumentsBegun(), 1);
  EXPECT_EQ(target.DocumentsEnded(), 1);
  EXPECT_TRUE(target.Errors().empty());
}

TEST(RecordingPrintTarget, NotesAJobBegunInsideAnother) {
  RecordingPrintTarget target(800, 1200, 300);
  target.BeginDocument("outer");
  target.BeginDocument("inner");
  target.EndDocument();
  target.EndDocument();
  target.NewPage();
  ASSERT_EQ(target.Errors().size(), 3u);
  EXPECT_NE(target.Errors()[0].find("inner"), std::string::npos);
}

TEST(RecordingPrintTarget, CanRefuseAJob) {
  RecordingPrintTarget target(800, 1200, 300);
  target.RefuseNextDocument();
  EXPECT_FALSE(target.BeginDocument("job"));
  EXPECT_EQ(target.DocumentsBegun(), 0);
  EXPECT_TRUE(target.BeginDocument("job"));
}

}  // namespace
