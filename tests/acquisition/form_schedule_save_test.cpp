#include <gtest/gtest.h>

#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "acquisition/FormScheduleSave.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "platform/qt/StringGrid.h"

namespace {

using namespace quelvar;

const std::string kScheduleKey = "\\SOFTWARE\\QuelvarTorque\\ScheduleSave";
const std::string kFormSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

ScheduleEntry Periodic(int16_t minutes, double duration) {
  ScheduleEntry e{};
  e.Type = 2;
  e.Minute = minutes;
  e.DurationSec = duration;
  e.BackupMin = 1;
  return e;
}

void StoreSchedules(platform::MemoryRegistry& registry, int32_t count, int32_t mask,
                    const std::array<ScheduleEntry, kScheduleEntries>& table) {
  registry.WriteInt32(kScheduleKey, "NumScheduleSave", count);
  registry.WriteInt32(kScheduleKey, "idMaskScheduleSave", mask);
  const auto* bytes = reinterpret_cast<const uint8_t*>(table.data());
  registry.WriteBinary(kScheduleKey, "ScheduleSetting", std::span<const uint8_t>(bytes, sizeof table));
}

void SetColumn(TFormScheduleSave& form, int column, const ScheduleColumn& cells) {
  for (int row = 1; row < kScheduleGridRows; ++row) form.SetCell(row, column, cells[static_cast<size_t>(row)]);
}

// Makes a cell the grid's current one, as a click or an arrow key does.
void Select(TFormScheduleSave& form, int row, int column) {
  form.GridSchedule->setCurrentIndex(form.GridSchedule->model()->index(row, column));
}

bool SameTable(const LiveConfig& a, const LiveConfig& b) {
  return std::memcmp(a.ScheduleTable.data(), b.ScheduleTable.data(), sizeof a.ScheduleTable) == 0;
}

TEST(FormScheduleSave, CreationLoadsTheStoredSchedulesIntoTheGrid) {
  AppState state;
  platform::MemoryRegistry registry;
  auto table = LiveConfig{}.ScheduleTable;
  table[0] = Periodic(10, 3661.5);
  table[4] = Periodic(20, 5.0);  // beyond the count: filled, but its column is not in use
  StoreSchedules(registry, 3, 1, table);
  TFormScheduleSave form(state, registry);

  EXPECT_EQ(form.windowTitle(), QStringLiteral("定时记录设定面板"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("方案数(0-10)"));
  EXPECT_EQ(form.CheckBoxMaskSchedule->text(), QStringLiteral("屏蔽定时记录"));
  EXPECT_EQ(form.ButtonOK->text(), QStringLiteral("确定"));
  EXPECT_EQ(form.ButtonCancel->text(), QStringLiteral("取消"));
  EXPECT_EQ(form.GridSchedule->toolTip(), QStringLiteral("双击类型可改变之"));
  for (const char* name : {"Label1", "EditScheduleNum", "CheckBoxMaskSchedule", "ButtonOK", "ButtonCancel",
                           "LabelPrompt", "GridSchedule"}) {
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
  }

  EXPECT_EQ(state.config.NumScheduleSave, 3);
  EXPECT_EQ(state.config.idMaskScheduleSave, 1);
  EXPECT_TRUE(form.CheckBoxMaskSchedule->isChecked());
  for (int row = 0; row < kScheduleGridRows; ++row) EXPECT_EQ(form.Cell(row, 0), kScheduleRowTitles[row]);
  EXPECT_EQ(form.GridSchedule->columnWidth(0), 85);
  EXPECT_EQ(form.GridSchedule->columnWidth(1), 40);
  EXPECT_EQ(form.ColCount(), 4);
  EXPECT_FALSE(form.GridSchedule->isColumnHidden(3));
  EXPECT_TRUE(form.GridSchedule->isColumnHidden(4));
  const ScheduleColumn first = {"0", "周期", "0", "10", "0", "1", "1", "1.5", "0", "1"};
  for (int row = 0; row < kScheduleGridRows; ++row) EXPECT_EQ(form.Cell(row, 1), first[row]) << row;
  EXPECT_EQ(form.Cell(kScheduleRowMinute, 5), "20");
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案0: 每过0时10分0秒保存1次"));  // the first column is selected
}

TEST(FormScheduleSave, WithNothingStoredTheStartValuesStand) {
  AppState state;
  state.config.NumScheduleSave = 5;  // whatever was there before is replaced
  state.config.ScheduleTable[0] = Periodic(10, 30.0);
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  EXPECT_EQ(state.config.NumScheduleSave, 1);
  EXPECT_EQ(state.config.idMaskScheduleSave, 0);
  EXPECT_TRUE(SameTable(state.config, LiveConfig{}));
  EXPECT_FALSE(form.CheckBoxMaskSchedule->isChecked());
  EXPECT_EQ(form.ColCount(), 2);
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案0: 空"));
}

TEST(FormScheduleSave, LeavingTheCountFieldShowsThatManyColumnsButChangesNoSetting) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  state.config.NumScheduleSave = 4;
  form.FormShow();
  EXPECT_EQ(form.EditScheduleNum->text(), QStringLiteral("4"));
  EXPECT_EQ(form.ColCount(), 5);
  struct Case {
    const char* text;
    const char* shown;
    int columns;
  } cases[] = {{"3", "3", 4}, {"12", "10", 11}, {"-1", "0", 1}, {"abc", "4", 5}, {"", "4", 5}, {" 7", "7", 8}};
  for (const Case& c : cases) {
    form.EditScheduleNum->setText(QString::fromUtf8(c.text));
    form.EditScheduleNumExit();
    EXPECT_EQ(form.EditScheduleNum->text(), QString::fromUtf8(c.shown)) << c.text;
    EXPECT_EQ(form.ColCount(), c.columns) << c.text;
    for (int column = 1; column < kScheduleGridColumns; ++column) {
      EXPECT_EQ(form.GridSchedule->isColumnHidden(column), column >= c.columns) << c.text << " " << column;
    }
    // The selection never rests on a column out of use.
    EXPECT_LT(form.GridSchedule->currentIndex().column(), c.columns) << c.text;
    EXPECT_EQ(state.config.NumScheduleSave, 4);
  }
}

TEST(FormScheduleSave, DoubleClickCyclesOnlyTheTypeRow) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  form.show();  // the grid's signals are wired as in use
  Select(form, kScheduleRowType, 1);
  const auto doubleClick = [&form](int row) {
    QWidget* viewport = form.GridSchedule->viewport();
    const QPoint at = form.GridSchedule->visualRect(form.GridSchedule->model()->index(row, 1)).center();
    // A double click as the window system delivers it: click, double-click event, release.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  };
  const auto editor = [&form] { return form.GridSchedule->viewport()->findChild<QLineEdit*>(); };
  for (const char* next : {"定时", "周期", "空", "定时"}) {
    doubleClick(kScheduleRowType);
    EXPECT_EQ(form.Cell(kScheduleRowType, 1), next);
    EXPECT_EQ(editor(), nullptr);  // no editor over the type
  }
  // Showing the cycled type leaves the view as it was: the columns in use, their widths, the selection.
  EXPECT_FALSE(form.GridSchedule->isColumnHidden(1));
  EXPECT_TRUE(form.GridSchedule->isColumnHidden(2));
  EXPECT_EQ(form.GridSchedule->columnWidth(1), 40);
  EXPECT_EQ(form.GridSchedule->currentIndex(), form.GridSchedule->model()->index(kScheduleRowType, 1));
  form.SetCell(kScheduleRowType, 1, "其他");
  form.GridScheduleDblClick();
  EXPECT_EQ(form.Cell(kScheduleRowType, 1), "空");
  form.SetCell(kScheduleRowHour, 1, "空");
  doubleClick(kScheduleRowHour);
  EXPECT_EQ(form.Cell(kScheduleRowHour, 1), "空");
  EXPECT_NE(editor(), nullptr);  // other cells open for typing
  form.hide();
}

TEST(FormScheduleSave, TheNumberAndTypeRowsDoNotOpenForTyping) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  form.show();
  const auto editor = [&form] { return form.GridSchedule->viewport()->findChild<QLineEdit*>(); };
  for (const int row : {kScheduleRowNumber, kScheduleRowType}) {
    Select(form, row, 1);
    const std::string before = form.Cell(row, 1);
    QTest::keyClick(form.GridSchedule, Qt::Key_5);
    EXPECT_EQ(editor(), nullptr) << row;
    EXPECT_EQ(form.Cell(row, 1), before) << row;
  }
  Select(form, kScheduleRowMinute, 1);
  QTest::keyClick(form.GridSchedule, Qt::Key_5);
  ASSERT_NE(editor(), nullptr);
  EXPECT_EQ(form.Cell(kScheduleRowMinute, 1), "5");
  form.hide();
}

TEST(FormScheduleSave, EnteringAndLeavingTheGridDescribeTheSelectedColumn) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  form.show();
  QApplication::setActiveWindow(&form);
  form.EditScheduleNum->setText("2");
  form.EditScheduleNumExit();
  form.EditScheduleNum->setFocus();
  QApplication::processEvents();
  SetColumn(form, 2, {"", "周期", "1", "0", "0", "0", "0", "1", "0", "1"});
  Select(form, kScheduleRowHour, 2);
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案1: 每过1时0分0秒保存1次"));
  form.SetCell(kScheduleRowHour, 2, "3");  // no prompt yet
  form.GridSchedule->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案1: 每过3时0分0秒保存1次"));
  form.SetCell(kScheduleRowHour, 2, "4");
  form.CheckBoxMaskSchedule->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案1: 每过4时0分0秒保存1次"));
  form.hide();
}

TEST(FormScheduleSave, SelectingAColumnDescribesItsSchedule) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  form.EditScheduleNum->setText("3");
  form.EditScheduleNumExit();
  SetColumn(form, 2, {"", "定时", "", "30", "5", "0", "0", "1", "1", "1"});
  SetColumn(form, 3, {"", "周期", "1", "0", "0", "0", "0", "1", "0", "1"});
  Select(form, kScheduleRowSecond, 2);
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案1: 在每小时的30分5秒时刻保存(安全备份)"));
  Select(form, kScheduleRowType, 3);
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案2: 每过1时0分0秒保存1次"));
  form.SetCell(kScheduleRowHour, 3, "2");  // typed, then the grid is left
  form.GridScheduleExit();
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案2: 每过2时0分0秒保存1次"));
  form.SetCell(kScheduleRowType, 3, "空");
  form.GridScheduleEnter();
  EXPECT_EQ(form.LabelPrompt->text(), QStringLiteral("方案2: 空"));
}

TEST(FormScheduleSave, OkWritesTheColumnsInUseWithTheirClamps) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  for (int k = 0; k < kScheduleEntries; ++k) {
    state.config.ScheduleTable[k] = Periodic(static_cast<int16_t>(k + 1), 60.0);
  }
  const LiveConfig before = state.config;
  form.FormShow();
  form.EditScheduleNum->setText("3");
  form.EditScheduleNumExit();
  SetColumn(form, 1, {"", "定时", "", "30", "0", "50", "0", "0", "1", "0"});
  SetColumn(form, 2, {"", "定时", "8", "", "5", "0", "0", "0", "0", "x"});
  SetColumn(form, 3, {"", "周期", "0", "0", "0", "0", "0", "60", "2", "15"});
  form.CheckBoxMaskSchedule->setChecked(true);
  form.ButtonOK->click();

  EXPECT_EQ(form.result(), QDialog::Accepted);
  const LiveConfig& c = state.config;
  EXPECT_EQ(c.NumScheduleSave, 3);
  EXPECT_EQ(c.idMaskScheduleSave, 1);
  const ScheduleEntry& hourly = c.ScheduleTable[0];
  EXPECT_EQ(hourly.Type, 1);
  EXPECT_EQ(hourly.TimedMode, 1);
  EXPECT_EQ(hourly.Hour, -1);
  EXPECT_EQ(hourly.Minute, 30);
  EXPECT_EQ(hourly.DurationSec, 47 * 3600.0);
  EXPECT_EQ(hourly.SafeBackup, 1);
  EXPECT_EQ(hourly.BackupMin, 1);
  const ScheduleEntry& everyMinute = c.ScheduleTable[1];
  EXPECT_EQ(everyMinute.TimedMode, 2);
  EXPECT_EQ(everyMinute.Hour, -1);
  EXPECT_EQ(everyMinute.Minute, -1);
  EXPECT_EQ(everyMinute.Second, 5);
  EXPECT_EQ(everyMinute.DurationSec, 1.0);
  EXPECT_EQ(everyMinute.BackupMin, 1);
  const ScheduleEntry& periodic = c.ScheduleTable[2];
  EXPECT_EQ(periodic.Type, 2);
  EXPECT_EQ(periodic.Second, 1);
  EXPECT_EQ(periodic.DurationSec, 59.99);
  EXPECT_EQ(periodic.SafeBackup, 1);
  EXPECT_EQ(periodic.BackupMin, 15);
  for (int k = 3; k < kScheduleEntries; ++k) {
    EXPECT_EQ(std::memcmp(&c.ScheduleTable[k], &before.ScheduleTable[k], sizeof(ScheduleEntry)), 0) << k;
  }
}

TEST(FormScheduleSave, CancelChangesNothingAndTheNextShowShowsTheLiveSchedules) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  state.config.NumScheduleSave = 2;
  state.config.ScheduleTable[1] = Periodic(10, 30.0);
  const LiveConfig before = state.config;
  form.FormShow();
  form.EditScheduleNum->setText("6");
  form.EditScheduleNumExit();
  SetColumn(form, 2, {"", "定时", "1", "2", "3", "4", "5", "6", "1", "7"});
  form.CheckBoxMaskSchedule->setChecked(true);
  form.ButtonCancel->click();

  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(state.config.NumScheduleSave, 2);
  EXPECT_EQ(state.config.idMaskScheduleSave, 0);
  EXPECT_TRUE(SameTable(state.config, before));

  form.FormShow();
  EXPECT_EQ(form.EditScheduleNum->text(), QStringLiteral("2"));
  EXPECT_EQ(form.ColCount(), 3);
  EXPECT_EQ(form.Cell(kScheduleRowType, 2), "周期");
  EXPECT_EQ(form.Cell(kScheduleRowMinute, 2), "10");
  EXPECT_FALSE(form.CheckBoxMaskSchedule->isChecked());
}

TEST(FormScheduleSave, ShownModallyItStartsFromTheLiveSettings) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  state.config.NumScheduleSave = 2;  // as a configuration record would leave them
  state.config.ScheduleTable[1] = Periodic(25, 30.0);
  QTimer::singleShot(0, &form, [&form] {
    EXPECT_EQ(form.EditScheduleNum->text(), QStringLiteral("2"));
    EXPECT_EQ(form.Cell(kScheduleRowMinute, 2), "25");
    form.SetCell(kScheduleRowMinute, 2, "40");
    form.ButtonOK->click();
  });
  EXPECT_EQ(form.RunModal(), platform::kModalOk);
  EXPECT_EQ(state.config.ScheduleTable[1].Minute, 40);

  // The main window shows it through the host; a test's host answers for the user.
  platform::ScriptedUiHost ui;
  ui.modalAnswers.push_back([](platform::ModalDialog& dialog) {
    auto& f = dynamic_cast<TFormScheduleSave&>(dialog);
    f.FormShow();
    f.EditScheduleNum->setText("0");
    f.ButtonOKClick();
    return platform::kModalOk;
  });
  EXPECT_EQ(ui.ShowModal(form), platform::kModalOk);
  EXPECT_EQ(ui.prompts.back().text, "FormScheduleSave");
  EXPECT_EQ(state.config.NumScheduleSave, 0);
}

TEST(FormScheduleSave, GridFillsTheWindowUpToTheMargin) {
  AppState state;
  platform::MemoryRegistry registry;
  TFormScheduleSave form(state, registry);
  for (const QSize size : {form.size(), QSize(700, 450), QSize(300, 200)}) {
    form.resize(size);
    form.FormResize();
    const QRect grid = form.GridSchedule->geometry();
    EXPECT_EQ(grid.x() + grid.width(), size.width() - 10);
    EXPECT_EQ(grid.y() + grid.height(), size.height() - 10);
    EXPECT_GT(grid.y(), form.LabelPrompt->geometry().bottom());  // below the controls
  }
}

TEST(FormScheduleSave, SchedulesAndGeometryComeBackAtTheNextStart) {
  platform::MemoryRegistry registry;
  LiveConfig written;
  {
    AppState state;
    TFormScheduleSave form(state, registry);
    form.FormShow();
    form.EditScheduleNum->setText("2");
    form.EditScheduleNumExit();
    SetColumn(form, 1, {"", "定时", "23", "0", "0", "0", "10", "0", "1", "5"});
    SetColumn(form, 2, {"", "周期", "0", "30", "0", "1", "0", "0.5", "0", "1"});
    form.CheckBoxMaskSchedule->setChecked(true);
    form.ButtonOKClick();
    form.move(40, 30);
    form.resize(600, 380);
    written = state.config;
  }  // destruction stores everything
  EXPECT_EQ(registry.ReadInt32(kScheduleKey, "NumScheduleSave"), 2);
  EXPECT_EQ(registry.ReadInt32(kScheduleKey, "idMaskScheduleSave"), 1);
  EXPECT_EQ(registry.ReadInt32(kFormSizeKey, "FormScheduleSave_Width"), 600);

  AppState state;
  TFormScheduleSave form(state, registry);
  EXPECT_EQ(state.config.NumScheduleSave, 2);
  EXPECT_EQ(state.config.idMaskScheduleSave, 1);
  EXPECT_TRUE(SameTable(state.config, written));
  EXPECT_EQ(state.config.ScheduleTable[1].DurationSec, 3600.5);
  EXPECT_EQ(form.Cell(kScheduleRowDurationSeconds, 2), "0.5");
  EXPECT_EQ(form.pos(), QPoint(40, 30));
  EXPECT_EQ(form.size(), QSize(600, 380));
}

TEST(FormScheduleSave, StoredPlaceOffTheOnlyScreenIsMovedOntoIt) {
  if (QGuiApplication::screens().size() != 1) GTEST_SKIP() << "the correction applies to one monitor only";
  platform::MemoryRegistry registry;
  registry.WriteInt32(kFormSizeKey, "FormScheduleSave_Top", 5000);
  registry.WriteInt32(kFormSizeKey, "FormScheduleSave_Left", -300);
  registry.WriteInt32(kFormSizeKey, "FormScheduleSave_Width", 400);
  registry.WriteInt32(kFormSizeKey, "FormScheduleSave_Height", 300);
  AppState state;
  TFormScheduleSave form(state, registry);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form.size(), QSize(400, 300));
  EXPECT_EQ(form.x(), 0);
  EXPECT_EQ(form.y(), screen.height() - 300);
}

}  // namespace
