// The simulated receiver's framing and its environment setting.
#include "link/core/sim_protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace pv::link::test {

using namespace pv::link::sim;

namespace {

struct EndpointCase {
  const char* value;
  bool accepted;
  std::uint8_t lastOctet;
  std::uint16_t port;
};

class LinkEndpoints : public testing::TestWithParam<EndpointCase> {};

TEST_P(LinkEndpoints, OnlyLoopbackTcpIsTaken) {
  const auto& c = GetParam();
  const auto endpoint = ParseEndpoint(c.value);
  ASSERT_EQ(endpoint.has_value(), c.accepted) << c.value;
  if (!endpoint) return;
  EXPECT_EQ(endpoint->address[0], 127);
  EXPECT_EQ(endpoint->address[3], c.lastOctet);
  EXPECT_EQ(endpoint->port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Variable, LinkEndpoints,
    testing::Values(
        EndpointCase{"tcp:127.0.0.1:5555", true, 1, 5555}, EndpointCase{"tcp:localhost:80", true, 1, 80},
        EndpointCase{"tcp:127.1.2.3:65535", true, 3, 65535}, EndpointCase{"", false, 0, 0},
        EndpointCase{"tcp:10.0.0.1:5555", false, 0, 0}, EndpointCase{"tcp:example.com:5555", false, 0, 0},
        EndpointCase{"udp:127.0.0.1:5555", false, 0, 0}, EndpointCase{"tcp:127.0.0.1", false, 0, 0},
        EndpointCase{"tcp:127.0.0.1:0", false, 0, 0}, EndpointCase{"tcp:127.0.0.1:65536", false, 0, 0},
        EndpointCase{"tcp:127.0.0.1:55x", false, 0, 0}, EndpointCase{"tcp:127.0.0.256:5", false, 0, 0},
        EndpointCase{"tcp:127.0.0:5", false, 0, 0}, EndpointCase{"tcp:127.0.0.1.1:5", false, 0, 0},
        EndpointCase{"TCP:127.0.0.1:5", false, 0, 0}),
    [](const testing::TestParamInfo<EndpointCase>& info) { return "case" + std::to_string(info.index); });

TEST(LinkFrames, SplitAndJoinedDeliveriesYieldWholeFrames) {
  const std::uint8_t a[] = {1, 2, 3};
  const std::uint8_t b[] = {9};
  auto stream = MakeFrame(a, 3);
  const auto second = MakeFrame(b, 1);
  const auto empty = MakeFrame(nullptr, 0);
  stream.insert(stream.end(), second.begin(), second.end());
  stream.insert(stream.end(), empty.begin(), empty.end());
  EXPECT_EQ(stream, (std::vector<std::uint8_t>{3, 0, 1, 2, 3, 1, 0, 9, 0, 0}));

  FrameReader reader;
  for (std::size_t i = 0; i < 4; ++i) reader.Append(&stream[i], 1);
  EXPECT_FALSE(reader.Next().has_value()) << "incomplete frame";
  reader.Append(stream.data() + 4, stream.size() - 4);
  EXPECT_EQ(*reader.Next(), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(*reader.Next(), (std::vector<std::uint8_t>{9}));
  EXPECT_EQ(*reader.Next(), std::vector<std::uint8_t>{});
  EXPECT_FALSE(reader.Next().has_value());
}

TEST(LinkFrames, LengthIsLittleEndian) {
  std::vector<std::uint8_t> payload(300, 7);
  const auto frame = MakeFrame(payload.data(), payload.size());
  EXPECT_EQ(frame[0], 0x2C);
  EXPECT_EQ(frame[1], 0x01);
}

TEST(LinkInterfaceList, RecordsInOrderAndBadLengthRefused) {
  const std::vector<std::uint8_t> payload = {0x45, 0x0C, 0x01, 0x81, 0x00, 0xFF, 0x01, 0x00, 20, 24,
                                             0x5E, 0x84, 0x02, 0x00, 0x01, 0x00, 0x06, 0x00, 8,  1};
  const auto list = ParseInterfaceList(payload);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].attributes.vendorId, 0x0C45);
  EXPECT_EQ((*list)[0].attributes.productId, 0x8101);
  EXPECT_EQ((*list)[0].caps.usagePage, 0xFF00);
  EXPECT_EQ((*list)[0].caps.usage, 0x0001);
  EXPECT_EQ((*list)[0].caps.inputReportByteLength, 20);
  EXPECT_EQ((*list)[0].caps.outputReportByteLength, 24);
  EXPECT_EQ((*list)[1].attributes.vendorId, 0x845E);
  EXPECT_EQ((*list)[1].caps.usage, 0x0006);
  EXPECT_TRUE(ParseInterfaceList({}).has_value()) << "an empty list is a list";
  EXPECT_FALSE(ParseInterfaceList(std::vector<std::uint8_t>(11, 0)).has_value());
}

}  // namespace
}  // namespace pv::link::test
