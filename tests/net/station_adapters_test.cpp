// The station stream's socket adapters over loopback, against the core's
// protocol code. Ports are chosen by the system; waits are on conditions.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cstring>
#include <memory>
#include <vector>

#include "net/RefusingPortForTest.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/QtStationServer.h"
#include "net/QtViewerLink.h"
#include "net/StationStreamFakes.h"
#include "net/ViewerReceive.h"

namespace {

using namespace quelvar;

constexpr int kWaitMs = 10000;

QByteArray Bytes(const std::vector<uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// A viewer's socket connected to the server, after the server has listed it.
std::unique_ptr<QTcpSocket> ConnectViewer(QtStationServer& server) {
  const int before = server.Count();
  auto socket = std::make_unique<QTcpSocket>();
  socket->connectToHost(QHostAddress::LocalHost, server.ServerPort());
  EXPECT_TRUE(QTest::qWaitFor([&] { return server.Count() == before + 1; }, kWaitMs));
  return socket;
}

QByteArray ReadAtLeast(QTcpSocket& socket, qsizetype size) {
  QByteArray got;
  const bool enough = QTest::qWaitFor(
      [&] {
        got += socket.readAll();
        return got.size() >= size;
      },
      kWaitMs);
  EXPECT_TRUE(enough) << got.size() << " of " << size << " bytes";
  return got;
}

TEST(QtStationServer, ListsViewersInConnectionOrderAndSendsToEachItsOwnBytes) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  QSignalSpy connects(&server, &QtStationServer::ClientConnect);
  auto first = ConnectViewer(server);
  auto second = ConnectViewer(server);
  ASSERT_EQ(connects.count(), 2);
  EXPECT_EQ(connects[0][0].toInt(), 0);
  EXPECT_EQ(connects[1][0].toInt(), 1);
  EXPECT_NE(server.IdAt(0), server.IdAt(1));
  EXPECT_EQ(server.IndexOf(server.IdAt(1)), 1);
  EXPECT_EQ(server.PeerAddressAt(0), "127.0.0.1");
  EXPECT_GT(server.HandleAt(0), 0);

  const uint8_t toSecond[] = {3, 1, 2};
  server.Send(1, toSecond, sizeof toSecond);
  EXPECT_EQ(ReadAtLeast(*second, 3), QByteArray("\x03\x01\x02", 3));
  EXPECT_EQ(first->bytesAvailable(), 0);
}

TEST(QtStationServer, DisconnectRemovesTheViewerAndKeepsTheOthersIds) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  auto first = ConnectViewer(server);
  auto second = ConnectViewer(server);
  const uint64_t firstId = server.IdAt(0);
  const uint64_t secondId = server.IdAt(1);
  QSignalSpy disconnects(&server, &QtStationServer::ClientDisconnect);
  first->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return disconnects.count() == 1; }, kWaitMs));
  EXPECT_EQ(server.Count(), 1);
  EXPECT_EQ(server.IdAt(0), secondId);
  EXPECT_EQ(server.IndexOf(firstId), -1);
  // A new viewer never gets the id of one that left.
  auto third = ConnectViewer(server);
  EXPECT_NE(server.IdAt(1), firstId);
}

TEST(QtStationServer, ReadHandsOverEverythingTheViewerSent) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  auto viewer = ConnectViewer(server);
  QByteArray received;
  QObject::connect(&server, &QtStationServer::ClientRead, [&](int index, const QByteArray& bytes) {
    EXPECT_EQ(index, 0);
    received += bytes;
  });
  viewer->write("\x07\x00\x08\x00\x09", 5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= 5; }, kWaitMs));
  EXPECT_EQ(received, QByteArray("\x07\x00\x08\x00\x09", 5));
}

TEST(QtStationServer, PortInUseCannotBeOpened) {
  QtStationServer first(0);
  ASSERT_TRUE(first.Open());
  QtStationServer second(first.ServerPort());
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.IsOpen());
}

TEST(QtStationServer, CloseEndsTheListenerAndEveryConnection) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  auto viewer = ConnectViewer(server);
  QSignalSpy disconnects(&server, &QtStationServer::ClientDisconnect);
  server.Close();
  EXPECT_FALSE(server.IsOpen());
  EXPECT_EQ(server.Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  EXPECT_EQ(disconnects.count(), 0);  // closing is not reported as a viewer leaving
}

TEST(QtStationServer, NotSamplingTimerNamesItsConnection) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  auto viewer = ConnectViewer(server);
  QSignalSpy due(&server, &QtStationServer::NotSamplingDue);
  server.RequestNotSamplingTimer(server.IdAt(0), 1);
  ASSERT_TRUE(due.wait(kWaitMs));
  EXPECT_EQ(due[0][0].toULongLong(), server.IdAt(0));
}

TEST(QtStationServer, ViewerThatFallsTooFarBehindIsDroppedInsteadOfQueueingWithoutBound) {
  QtStationServer server(0);
  ASSERT_TRUE(server.Open());
  auto viewer = ConnectViewer(server);
  QSignalSpy errors(&server, &QtStationServer::ClientError);
  const uint64_t id = server.IdAt(0);
  // No event loop runs between the sends, so nothing leaves the queue.
  const std::vector<uint8_t> chunk(size_t{1} << 20, 0x5A);
  for (int i = 0; i < 80; ++i) server.Send(0, chunk.data(), chunk.size());
  EXPECT_EQ(errors.count(), 0);  // reported only after the sender's loop
  ASSERT_TRUE(errors.wait(kWaitMs));
  EXPECT_EQ(errors[0][0].toULongLong(), id);
  server.CloseConnection(id);
  EXPECT_EQ(server.Count(), 0);
}

// The viewer's link with a receiver whose host records what it is given.
class ViewerLinkTest : public ::testing::Test {
 protected:
  LiveConfig config;
  LzssCodec codec;
  GrayTables gray;
  test::FakeViewerHost host{config};
  std::unique_ptr<ViewerReceiver> receiver;
  QTcpServer station;

  void SetUp() override {
    InitGrayTables(gray);
    receiver = std::make_unique<ViewerReceiver>(host, config, codec, gray);
    host.Attach(*receiver);
    ASSERT_TRUE(station.listen(QHostAddress::LocalHost, 0));
  }
  QTcpSocket* Accept() {
    EXPECT_TRUE(QTest::qWaitFor([&] { return station.hasPendingConnections(); }, kWaitMs));
    return station.nextPendingConnection();
  }
};

TEST_F(ViewerLinkTest, FeedsEveryByteToTheReceiverAndSendsItsAnswers) {
  QtViewerLink link(*receiver, station.serverPort());
  QSignalSpy connected(&link, &QtViewerLink::Connected);
  link.Open("127.0.0.1");
  EXPECT_EQ(receiver->ViewerPhase(), 1);
  QTcpSocket* peer = Accept();
  ASSERT_NE(peer, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return connected.count() == 1; }, kWaitMs));

  // Configuration and two raw blocks of 2 x 3 words, in one write.
  std::vector<uint8_t> stream{3};
  const std::vector<uint8_t> record = test::BytesOfRecord(test::StationRecord(2, 2, 3));
  stream.insert(stream.end(), record.begin(), record.end());
  const std::vector<uint8_t> block1{7, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0};
  const std::vector<uint8_t> block2{8, 0, 9, 0, 9, 0, 9, 0, 9, 0, 9, 0, 9, 0};
  for (const auto* block : {&block1, &block2}) {
    stream.push_back(0);
    stream.insert(stream.end(), block->begin(), block->end());
  }
  peer->write(Bytes(stream));
  ASSERT_TRUE(QTest::qWaitFor([&] { return host.blocks.size() == 2; }, kWaitMs));
  EXPECT_EQ(host.blocks[0], block1);
  EXPECT_EQ(host.blocks[1], block2);
  ASSERT_EQ(host.acks.size(), 2u);
  EXPECT_EQ(host.acks[1], (std::vector<uint8_t>{8, 0}));
  // The answers go back as they are given.
  for (const auto& ack : host.acks) link.Send(ack.data(), ack.size());
  EXPECT_EQ(ReadAtLeast(*peer, 4), QByteArray("\x07\x00\x08\x00", 4));
}

TEST_F(ViewerLinkTest, RefusedConnectionIsAFailure) {
  const test::RefusingPort refusing;
  ASSERT_TRUE(refusing.Ok());
  QtViewerLink link(*receiver, refusing.Port());
  QSignalSpy failed(&link, &QtViewerLink::Failed);
  link.Open("127.0.0.1");
  EXPECT_TRUE(failed.wait(kWaitMs));
}

TEST_F(ViewerLinkTest, StationClosingItsEndIsADisconnectNotAFailure) {
  QtViewerLink link(*receiver, station.serverPort());
  QSignalSpy failed(&link, &QtViewerLink::Failed);
  QSignalSpy disconnected(&link, &QtViewerLink::Disconnected);
  link.Open("127.0.0.1");
  QTcpSocket* peer = Accept();
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.IsConnected(); }, kWaitMs));
  peer->disconnectFromHost();
  ASSERT_TRUE(QTest::qWaitFor([&] { return disconnected.count() == 1; }, kWaitMs));
  EXPECT_EQ(failed.count(), 0);
}

TEST_F(ViewerLinkTest, CloseEndsTheConnectionAndTheReceiverTakesNothingMore) {
  QtViewerLink link(*receiver, station.serverPort());
  QSignalSpy disconnected(&link, &QtViewerLink::Disconnected);
  link.Open("127.0.0.1");
  QTcpSocket* peer = Accept();
  ASSERT_TRUE(QTest::qWaitFor([&] { return link.IsConnected(); }, kWaitMs));
  link.Close();
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(receiver->ViewerPhase(), 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  EXPECT_EQ(disconnected.count(), 0);  // our own close is not reported
}

}  // namespace
