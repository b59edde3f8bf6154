#include "platform/net/AxSocket.h"
#include "platform/net/tests/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

TEST(AxSocketTest, ErrorTexts) {
    EXPECT_EQ(std::u16string(CAxSocket::GetErrorText(10061)), u"서버에 접속할 수 없습니다.");
    EXPECT_EQ(std::u16string(CAxSocket::GetErrorText(12345)), u"Unknown Socket Error.");
    EXPECT_EQ(std::u16string(CAxSocket::GetErrorText(0)), u"No error");
    EXPECT_EQ(std::u16string(CAxSocket::GetErrorText(10101)), u"Graceful disconnect in progress");
}

TEST(AxSocketTest, DottedAddressesAreNeverLookedUp) {
    CAxSocket s(u"127.0.0.1", 19012);
    EXPECT_EQ(s.GetAddress().sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(s.GetAddress().sin_port, htons(19012));
    // A text starting with a digit goes through the dotted-address parser only: not an address,
    // so connecting fails instead of reaching some default address.
    CAxSocket bad(u"1localhost", 80);
    EXPECT_EQ(bad.GetAddress().sin_addr.s_addr, 0u);
    EXPECT_EQ(bad.Connect(), -1);
    CAxSocket unknown(u"no-such-host.invalid", 80);
    EXPECT_EQ(unknown.Connect(), -1);
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
    CAxSocket named(u"localhost", 80);
    EXPECT_EQ(named.GetAddress().sin_addr.s_addr, htonl(INADDR_LOOPBACK));
}

TEST(AxSocketTest, ConnectionsAreCounted) {
    LoopbackServer server([](int c) {
        char b;
        ::recv(c, &b, 1, 0);
    });
    CAxSocket s(u"127.0.0.1", server.Port());
    ASSERT_EQ(s.Connect(), 1);
    const SOCKET first = s.GetHandle();
    ASSERT_EQ(s.Connect(), 1);
    EXPECT_EQ(s.GetHandle(), first);
    s.Close();
    EXPECT_EQ(s.GetHandle(), first);
    s.Close();
    EXPECT_EQ(s.GetHandle(), INVALID_SOCKET);
    s.Close(); // already closed: nothing
    EXPECT_EQ(s.GetUseCount(), 0);
}

TEST(AxSocketTest, ConnectionRefusedIsMinusOne) {
    CAxSocket s(u"127.0.0.1", UnusedLoopbackPort());
    EXPECT_EQ(s.Connect(), -1);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    EXPECT_EQ(s.GetHandle(), INVALID_SOCKET);
}

TEST(AxSocketTest, ReceiveStopsWhenThePeerCloses) {
    LoopbackServer server([](int c) { ::send(c, "abcd", 4, 0); });
    CAxSocket s(u"127.0.0.1", server.Port());
    ASSERT_EQ(s.Connect(), 1);
    char buffer[8] = {};
    EXPECT_EQ(s.Receive(buffer, 8), 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(s.Receive(buffer, 8), 0);
    EXPECT_EQ(s.Receive(buffer, 0), 0);
    s.Close();
}

TEST(AxSocketTest, APartialWordIsNotConverted) {
    LoopbackServer server([](int c) { ::send(c, "\x12\x34", 2, 0); });
    CAxSocket s(u"127.0.0.1", server.Port());
    ASSERT_EQ(s.Connect(), 1);
    DWORD word = 0xAABBCCDD;
    EXPECT_EQ(s.ReadU32(word), 2);
    EXPECT_EQ(word, 0xAABBCCDDu);
    s.Close();
}

TEST(AxSocketTest, TimedReceiveGivesUpOnASilentPeer) {
    LoopbackServer server([](int c) {
        ::send(c, "\x12\x34\x56\x78", 4, 0);
        char b;
        ::recv(c, &b, 1, 0); // waits until the client closes
    });
    CAxSocket s(u"127.0.0.1", server.Port());
    ASSERT_EQ(s.Connect(), 1);
    DWORD word = 0;
    EXPECT_EQ(s.ReadU32(word), 4);
    EXPECT_EQ(word, 0x12345678u);
    char buffer[4];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(s.ReceiveTimed(buffer, 4, 1), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    s.Close();
}

TEST(AxSocketTest, SendingToAVanishedPeerIsAnErrorNotASignal) {
    LoopbackServer server([](int) {});
    CAxSocket s(u"127.0.0.1", server.Port());
    ASSERT_EQ(s.Connect(), 1);
    std::string big(1 << 20, 'x');
    int result = 0;
    for (int i = 0; i < 20 && result >= 0; ++i) result = s.Send(big.data(), static_cast<int>(big.size()));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
    s.Close();
}

TEST(AxSocketTest, ByteOrderArrays) {
    DWORD v[2] = {1, 0x01020304};
    CAxSocket::HostToNetArray(v, 2);
    EXPECT_EQ(std::memcmp(&v[1], "\x01\x02\x03\x04", 4), 0);
    CAxSocket::NetToHostArray(v, 2);
    EXPECT_EQ(v[0], 1u);
    EXPECT_EQ(v[1], 0x01020304u);
}
