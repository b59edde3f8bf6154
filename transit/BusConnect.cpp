#include "transit/BusConnect.h"

#include "platform/base/Text.h"
#include "platform/net/AxSocket.h"
#include "transit/TransitFile.h"

#include <algorithm>
#include <cstring>

using transit::TextCursor;

namespace {

constexpr std::int32_t kMagic = 12345;

void PutBE(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

std::int32_t GetBE(const std::uint8_t* p) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
}

std::int32_t GetLE(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

} // namespace

CBusConnect::CBusConnect() = default;
CBusConnect::~CBusConnect() = default;

int CBusConnect::SendInfo(CAxSocket& socket, ULONG startX, ULONG startY, ULONG destX, ULONG destY) {
    std::memset(m_request, 0, sizeof m_request);
    m_request[0] = kMagic & 0xFF; // the magic alone goes little-endian
    m_request[1] = (kMagic >> 8) & 0xFF;
    PutBE(m_request + 4, 0x00100004);
    PutBE(m_request + 12, 5);
    PutBE(m_request + 16, transit::MapToServerX(startX));
    PutBE(m_request + 20, startY);
    PutBE(m_request + 24, transit::MapToServerX(destX));
    PutBE(m_request + 28, destY);
    PutBE(m_request + 32, 1000);
    PutBE(m_request + 36, 1000);
    SetCoords(startX, startY, destX, destY);
    return socket.SendTimed(m_request, sizeof m_request, ReplyTimeout()) == sizeof m_request ? 0 : -10;
}

int CBusConnect::RecvInfo(CAxSocket& socket) {
    std::uint8_t raw[20];
    if (socket.ReceiveTimed(raw, sizeof raw, ReplyTimeout()) != sizeof raw) return -3;
    ReplyHeader h;
    h.magic = GetLE(raw);
    if (h.magic != kMagic) return -3;
    h.status = GetBE(raw + 4);
    h.unused = GetBE(raw + 8);
    h.routeCount = GetBE(raw + 12);
    h.textLength = GetBE(raw + 16);
    m_header = h;
    if (h.status != 0) return h.status;
    if (h.routeCount < 0 || h.textLength < 0 || h.textLength > transit::kMaxReplyBytes) return -3;

    auto text = std::make_unique<char[]>(static_cast<std::size_t>(h.textLength) + 1);
    if (socket.ReceiveTimed(text.get(), h.textLength, ReplyTimeout()) != h.textLength) {
        HoldText(nullptr, 0, ReplyHeader{});
        return -3;
    }
    text[static_cast<std::size_t>(h.textLength)] = '\0';
    HoldText(std::move(text), h.textLength, h);
    SetRoutePoint(static_cast<ULONG>(h.routeCount));
    return 0;
}

void CBusConnect::HoldText(std::unique_ptr<char[]> text, std::int32_t length, const ReplyHeader& header) {
    m_text = std::move(text);
    m_textLength = m_text ? length : 0;
    m_heldHeader = header;
    for (RouteSlot& s : m_routes) s = RouteSlot{};
    m_routesHeld = 0;
}

int CBusConnect::SetRoutePoint(ULONG routeCount) {
    for (RouteSlot& s : m_routes) s = RouteSlot{};
    m_routesHeld = 0;
    if (!m_text) return -1;
    const int wanted = static_cast<int>(std::min<ULONG>(routeCount, kMaxRoutes));
    TextCursor cursor(m_text.get(), m_text.get() + m_textLength);
    for (int i = 0; i < wanted; ++i) {
        RouteSlot slot;
        slot.text = cursor.Pos();
        std::string_view header, stops, total;
        if (!cursor.Field('\n', header)) return -1;
        TextCursor fields(header.data(), header.data() + header.size());
        if (!fields.Field('|', stops)) return -1;
        total = std::string_view(fields.Pos(), static_cast<std::size_t>(header.data() + header.size() - fields.Pos()));
        slot.stopLines = transit::ParseNumber(stops);
        slot.totalStops = transit::ParseNumber(total);
        if (slot.stopLines < 0) return -1;
        for (std::int32_t k = 0; k < slot.stopLines; ++k)
            if (!cursor.SkipLine()) return -1;
        m_routes[i] = slot;
        m_routesHeld = i + 1;
    }
    m_heldHeader.routeCount = m_routesHeld;
    return 1;
}

const CBusConnect::RouteSlot* CBusConnect::Slot(int route) const {
    if (route < 0 || route >= m_routesHeld || !m_routes[route].text) return nullptr;
    return &m_routes[route];
}

int CBusConnect::GetStopNum(int route) const {
    const RouteSlot* s = Slot(route);
    return s ? s->stopLines : -1;
}

int CBusConnect::GetTotalStop(int route) const {
    const RouteSlot* s = Slot(route);
    return s ? s->totalStops : -1;
}

int CBusConnect::GetStopInfo(int route, int stop, BusStopInfo& info) const {
    const RouteSlot* s = Slot(route);
    if (!s || stop < 0 || stop >= s->stopLines) return 0;
    TextCursor cursor(s->text, m_text.get() + m_textLength);
    if (!cursor.SkipLine()) return 0;
    for (int i = 0; i < stop; ++i)
        if (!cursor.SkipLine()) return 0;
    std::string_view name, x, y, line, rest;
    if (!cursor.Field('\n', rest)) return 0;
    TextCursor fields(rest.data(), rest.data() + rest.size());
    if (!fields.Field('|', name) || !fields.Field('|', x) || !fields.Field('|', y)) return 0;
    line = std::string_view(fields.Pos(), static_cast<std::size_t>(rest.data() + rest.size() - fields.Pos()));
    BusStopInfo out{};
    transit::CopyField(out.name, sizeof out.name, name);
    out.x = transit::ServerToMapX(transit::ParseNumber(x));
    out.y = transit::ParseNumber(y);
    transit::CopyField(out.line, sizeof out.line, line);
    info = out;
    return 1;
}

int CBusConnect::SaveRouteBus(const char16_t* path) {
    if (!m_text) {
        transit::ShowNotice(u"탐색된 경로가 없습니다.");
        return 0;
    }
    transit::TransitFileContent content;
    std::copy(Coords(), Coords() + 4, content.coords);
    content.header = {kMagic, m_heldHeader.status, m_heldHeader.unused, m_routesHeld, m_textLength};
    content.payload.assign(m_text.get(), static_cast<std::size_t>(m_textLength));
    const auto status = transit::WriteTransitFile(path, transit::kBusFileKind, content);
    if (status == transit::TransitFileStatus::Ok) return 1;
    if (status == transit::TransitFileStatus::CannotOpen)
        transit::ShowNotice(u"Fail to Save Bus Route");
    else
        transit::ShowNotice(transit::FileErrorText(status, path).c_str());
    return 0;
}

int CBusConnect::OpenRouteBus(const char16_t* path) {
    if (!path) return 0;
    transit::TransitFileContent content;
    const auto status = transit::ReadTransitFile(path, transit::kBusFileKind, 5, 4, content);
    switch (status) {
    case transit::TransitFileStatus::Ok:
        break;
    case transit::TransitFileStatus::CannotOpen:
        transit::ShowNotice(u"Fail to Open Bus Route File");
        return 0;
    case transit::TransitFileStatus::WrongKind:
        transit::ShowNotice(u"버스용 탐색데이타가 아닙니다.");
        return 0;
    default:
        transit::ShowNotice(transit::FileErrorText(status, path).c_str());
        return 0;
    }
    ReplyHeader h;
    h.magic = content.header[0];
    h.status = content.header[1];
    h.unused = content.header[2];
    h.routeCount = content.header[3];
    h.textLength = content.header[4];
    if (h.routeCount < 0) {
        transit::ShowNotice(transit::FileErrorText(transit::TransitFileStatus::ReadError, path).c_str());
        return 0;
    }
    auto text = std::make_unique<char[]>(content.payload.size() + 1);
    std::memcpy(text.get(), content.payload.data(), content.payload.size());
    SetCoords(content.coords);
    m_header = h;
    HoldText(std::move(text), h.textLength, h);
    SetRoutePoint(static_cast<ULONG>(h.routeCount));
    return 1;
}
