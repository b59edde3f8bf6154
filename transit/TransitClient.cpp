#include "transit/TransitClient.h"

#include "platform/base/Text.h"
#include "platform/net/AxSocket.h"

#include <algorithm>
#include <cstdint>
#include <string>

int CTransitClient::Setup(const char* host, short port) {
    const std::u16string wide = Cp949ToUtf16(host ? host : "");
    const std::size_t n = std::min<std::size_t>(wide.size(), std::size(m_host) - 1);
    std::fill(std::begin(m_host), std::end(m_host), u'\0');
    std::copy_n(wide.begin(), n, m_host);
    m_port = port;
    m_setUp = 1;
    return 1;
}

int CTransitClient::Close() {
    if (m_setUp == 1) m_setUp = 0;
    return 1;
}

void CTransitClient::GetStartDestPnt(ULONG& startX, ULONG& startY, ULONG& destX, ULONG& destY) const {
    startX = m_coords[0];
    startY = m_coords[1];
    destX = m_coords[2];
    destY = m_coords[3];
}

void CTransitClient::SetCoords(ULONG startX, ULONG startY, ULONG destX, ULONG destY) {
    m_coords[0] = startX;
    m_coords[1] = startY;
    m_coords[2] = destX;
    m_coords[3] = destY;
}

void CTransitClient::SetCoords(const ULONG (&coords)[4]) {
    std::copy(std::begin(coords), std::end(coords), m_coords);
}

int CTransitClient::Execute(ULONG startX, ULONG startY, ULONG destX, ULONG destY) {
    if (!m_setUp) return -10;
    if (startX == 0 || startY == 0 || destX == 0 || destY == 0) return -11;
    CAxSocket socket(m_host, static_cast<std::uint16_t>(m_port));
    if (socket.Connect() != 1) return -10;
    int result = SendInfo(socket, startX, startY, destX, destY);
    if (result == 0) result = RecvInfo(socket);
    socket.Close(); // closed on every path, failures included
    return result;
}
