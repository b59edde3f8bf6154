#include "platform/net/AxSocket.h"
#include "platform/net/RasDial.h"

#include "platform/files/tests/TempRoot.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

RASDIALPARAMS Params(const char16_t* entry, const char16_t* user) {
    RASDIALPARAMS p;
    std::u16string e(entry), u(user);
    std::copy(e.begin(), e.end(), p.szEntryName);
    std::copy(u.begin(), u.end(), p.szUserName);
    return p;
}

// A listening loopback socket; connections are accepted by the kernel's backlog.
struct Listener {
    Listener() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd, 8);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { ::close(fd); }
    int fd = -1;
    int port = 0;
};

} // namespace

TEST(RasDial, ADialOnlyDeviceReachesTheNetworkOnlyWhileACallIsUp) {
    TempRoot root;
    root.MakeFile("device.ini", "network=dial\ndialup=fail:Internet 011,internet poz\n");
    DeviceRoot::ReloadSettings();
    rasdial::ClearDialLog();
    Listener server;
    CAxSocket socket(u"127.0.0.1", server.port);
    EXPECT_EQ(socket.Connect(), -1);
    EXPECT_EQ(WSAGetLastError(), WSAENETUNREACH);

    HRASCONN c = reinterpret_cast<HRASCONN>(1);
    RASDIALPARAMS failing = Params(u"Internet 011", u"user@portal");
    EXPECT_EQ(RasDial(nullptr, nullptr, &failing, 0, nullptr, &c), ERROR_NO_ANSWER);
    EXPECT_EQ(c, nullptr);
    RASDIALPARAMS poz = Params(u"Internet POZ", u"016");
    EXPECT_NE(RasDial(nullptr, nullptr, &poz, 0, nullptr, &c), 0u);
    RASDIALPARAMS ktf = Params(u"KTF CDMA", u"016");
    ASSERT_EQ(RasDial(nullptr, nullptr, &ktf, 0, nullptr, &c), 0u);
    ASSERT_NE(c, nullptr);
    RASCONNSTATUS status;
    ASSERT_EQ(RasGetConnectStatus(c, &status), 0u);
    EXPECT_EQ(status.rasconnstate, RASCS_Connected);
    EXPECT_EQ(rasdial::OpenConnections(), 1);

    EXPECT_EQ(socket.Connect(), 1);
    socket.Close();
    EXPECT_EQ(RasHangUp(c), 0u);
    EXPECT_NE(RasHangUp(c), 0u);
    EXPECT_NE(RasGetConnectStatus(c, &status), 0u);
    EXPECT_EQ(socket.Connect(), -1);
    EXPECT_EQ(rasdial::DialLog(),
              (std::vector<std::string>{"Internet 011 user@portal", "Internet POZ 016", "KTF CDMA 016"}));
}

TEST(RasDial, DialRulesOfTheDevice) {
    TempRoot root;
    struct Case {
        const char* ini;
        bool connects;
    } cases[] = {{"", true}, {"dialup=ok\n", true}, {"dialup=fail\n", false}, {"dialup=fail:016,011\n", false},
                 {"dialup=fail:0111\n", true}};
    for (const Case& k : cases) {
        root.MakeFile("device.ini", k.ini);
        DeviceRoot::ReloadSettings();
        RASDIALPARAMS p = Params(u"011", u"wendlecar");
        HRASCONN c = nullptr;
        EXPECT_EQ(RasDial(nullptr, nullptr, &p, 0, nullptr, &c) == 0, k.connects) << k.ini;
        EXPECT_EQ(c != nullptr, k.connects) << k.ini;
        if (c) RasHangUp(c);
        // A device with its own connection is reachable without a call.
        EXPECT_TRUE(rasdial::NetworkReachable());
    }
    EXPECT_EQ(rasdial::OpenConnections(), 0);
}
