// The station window and the station-address dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <string>

#include "net/FormClient.h"
#include "net/FormServer.h"
#include "net/QtStationServer.h"
#include "platform/MemoryRegistry.h"

namespace {

using namespace quelvar;

const char* const kSettingsKey = "\\SOFTWARE\\QuelvarTorque\\Quelvar";
const char* const kSizeKey = "\\SOFTWARE\\QuelvarTorque\\FormSize";

class FormServerTest : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;

  std::unique_ptr<TFormServer> Make() { return std::make_unique<TFormServer>(state, registry); }
};

TEST_F(FormServerTest, DesignedWindowWithHeadingsAndDefaults) {
  auto form = Make();
  EXPECT_EQ(form->windowTitle().toStdString(), "采集站服务器状态");
  EXPECT_EQ(form->findChild<QTableWidget*>("GridServer"), form->GridServer);
  const char* headings[] = {"连接标志", "控制台名称", "状态", "发送块号", "被接收块号"};
  for (int column = 0; column < 5; ++column) EXPECT_EQ(form->Cell(0, column), headings[column]);
  EXPECT_EQ(form->GridServer->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
  // Nothing stored: no compression, prediction on but only usable with it.
  EXPECT_EQ(form->ServerCompress, 0);
  EXPECT_EQ(form->ServerDPCM, 1);
  EXPECT_FALSE(form->CheckBoxCompress->isChecked());
  EXPECT_TRUE(form->CheckBoxDPCM->isChecked());
  EXPECT_FALSE(form->CheckBoxDPCM->isEnabled());
  EXPECT_EQ(form->ButtonTopmost->text().toStdString(), "成为顶层窗口");
}

TEST_F(FormServerTest, WithoutConnectionsTheGridSaysSo) {
  auto form = Make();
  form->SetGridText(1, 1, "10.0.0.9");
  form->SetGridText(1, 3, "17");
  form->RefreshGrid();
  EXPECT_EQ(form->RowCount(), 2);
  EXPECT_EQ(form->Cell(1, 1), "");
  EXPECT_EQ(form->Cell(1, 2), "无连接");
  EXPECT_EQ(form->Cell(1, 3), "17");  // the block columns keep what they had
}

TEST_F(FormServerTest, GridListsEveryConnectionWithHandleAndAddress) {
  auto form = Make();
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  form->SetServerSocket(&server);
  QTcpSocket first, second;
  for (QTcpSocket* s : {&first, &second}) {
    const int before = server.Count();
    s->connectToHost(QHostAddress::LocalHost, server.ServerPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Count() == before + 1; }, 10000));
  }
  form->RefreshGrid();
  ASSERT_EQ(form->RowCount(), 3);
  for (int i = 0; i < 2; ++i) {
    const std::string handle = form->Cell(i + 1, 0);
    EXPECT_EQ(handle.size(), 8u);
    EXPECT_EQ(std::stoul(handle, nullptr, 16), static_cast<unsigned long>(server.HandleAt(i)));
    EXPECT_EQ(handle.find_first_of("abcdef"), std::string::npos);  // upper case
    EXPECT_EQ(form->Cell(i + 1, 1), "127.0.0.1");
    EXPECT_EQ(form->Cell(i + 1, 2), "连接成功");
  }
}

TEST_F(FormServerTest, CompressBoxSwitchesPredictionAndClearsTheRatio) {
  auto form = Make();
  form->CheckBoxCompress->click();
  EXPECT_EQ(form->ServerCompress, 1);
  EXPECT_TRUE(form->CheckBoxDPCM->isEnabled());
  form->CheckBoxDPCM->click();
  EXPECT_EQ(form->ServerDPCM, 0);
  form->SetRatioText("压缩比：40%");
  form->CheckBoxCompress->click();
  EXPECT_EQ(form->ServerCompress, 0);
  EXPECT_FALSE(form->CheckBoxDPCM->isEnabled());
  EXPECT_EQ(form->LabelRatio->text().toStdString(), "压缩比：0%");
  EXPECT_EQ(form->Settings().ServerCompress, 0);
  EXPECT_EQ(form->Settings().ServerDPCM, 0);
}

TEST_F(FormServerTest, SwitchesGeometryAndColumnWidthsSurviveTheWindow) {
  {
    auto form = Make();
    form->CheckBoxCompress->click();
    form->CheckBoxDPCM->click();
    form->move(50, 60);
    form->resize(500, 300);
    for (int column = 0; column < 5; ++column) form->GridServer->setColumnWidth(column, 40 + column);
  }
  EXPECT_EQ(registry.ReadInt32(kSettingsKey, "ServerCompress"), 1);
  EXPECT_EQ(registry.ReadInt32(kSettingsKey, "ServerDPCM"), 0);
  EXPECT_EQ(registry.ReadInt32(kSizeKey, "FormServer_Width"), 500);
  EXPECT_EQ(registry.ReadInt32(kSizeKey, "ServerGridWidth4"), 44);
  auto again = Make();
  EXPECT_TRUE(again->CheckBoxCompress->isChecked());
  EXPECT_TRUE(again->CheckBoxDPCM->isEnabled());
  EXPECT_FALSE(again->CheckBoxDPCM->isChecked());
  EXPECT_EQ(again->width(), 500);
  EXPECT_EQ(again->height(), 300);
  EXPECT_EQ(again->GridServer->columnWidth(2), 42);
}

TEST_F(FormServerTest, UnreadableValuesKeepTheirDefaults) {
  platform::MemoryRegistry empty;
  const int designedWidth = TFormServer(state, empty).GridServer->columnWidth(1);
  registry.WriteString(kSettingsKey, "ServerCompress", "on");
  registry.WriteString(kSettingsKey, "ServerDPCM", "yes");
  registry.WriteString(kSizeKey, "ServerGridWidth1", "wide");
  registry.WriteInt32(kSizeKey, "ServerGridWidth2", 33);
  auto form = Make();
  EXPECT_EQ(form->ServerCompress, 0);
  EXPECT_EQ(form->ServerDPCM, 1);
  EXPECT_EQ(form->GridServer->columnWidth(1), designedWidth);
  EXPECT_EQ(form->GridServer->columnWidth(2), 33);
}

TEST_F(FormServerTest, GridFollowsTheWindowAndClosingOnlyHides) {
  auto form = Make();
  form->show();
  const QSize grid = form->GridServer->size();
  const QSize window = form->size();
  form->resize(window.width() + 100, window.height() + 50);
  EXPECT_EQ(form->GridServer->size(), QSize(grid.width() + 100, grid.height() + 50));
  EXPECT_GE(form->minimumWidth(), 150);
  EXPECT_GE(form->minimumHeight(), 150);

  EXPECT_FALSE(form->close());
  EXPECT_FALSE(form->isVisible());
  form->show();
  form->ButtonHide->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(FormServerTest, TopmostButtonTogglesStayingOnTop) {
  auto form = Make();
  form->show();
  form->ButtonTopmost->click();
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->ButtonTopmost->text().toStdString(), "成为普通窗口");
  EXPECT_TRUE(form->isVisible());
  form->ButtonTopmost->click();
  EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->ButtonTopmost->text().toStdString(), "成为顶层窗口");
}

TEST(FormClientTest, OkStoresTheAddressCancelDoesNot) {
  AppState state;
  platform::MemoryRegistry registry;
  state.config.ServerIP = "127.0.0.1";
  {
    TFormClient form(state, registry);
    EXPECT_EQ(form.windowTitle().toStdString(), "连接到远程采集站");
    EXPECT_EQ(form.Label1->text().toStdString(), "远程采集站地址:");
    form.Edit_Server->setText("10.1.2.3");
    form.ButtonCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(state.config.ServerIP, "127.0.0.1");
    form.ButtonOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(state.config.ServerIP, "10.1.2.3");
    form.move(70, 80);
  }
  EXPECT_EQ(registry.ReadInt32(kSizeKey, "FormClient_Left"), 70);
  TFormClient again(state, registry);
  EXPECT_EQ(again.x(), 70);
}

}  // namespace
