#include "transit/SubConnect.h"

#include "platform/base/Text.h"
#include "platform/net/AxSocket.h"
#include "transit/TransitFile.h"

#include <algorithm>
#include <cstring>

using transit::TextCursor;

namespace {

constexpr std::int32_t kMagic = 12345;
constexpr int kRecordSize = 16;

std::uint32_t GetBE(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::int32_t GetLE(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

void PutBEWords(std::uint8_t* out, const std::uint32_t* words, int count) {
    for (int i = 0; i < count; ++i)
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<std::uint8_t>(words[i] >> (24 - 8 * b));
}

} // namespace

CSubConnect::CSubConnect() {
    InitSubRequest();
}

CSubConnect::~CSubConnect() = default;

void CSubConnect::InitSubRequest() {
    const std::uint32_t header[4] = {5, 5, 24, kMagic};
    const std::uint32_t body[6] = {0, 0, 0, 0, 1000, 1000};
    std::copy(std::begin(header), std::end(header), m_requestHeader);
    std::copy(std::begin(body), std::end(body), m_requestBody);
}

int CSubConnect::SendInfo(CAxSocket& socket, ULONG startX, ULONG startY, ULONG destX, ULONG destY) {
    InitSubRequest();
    m_requestBody[0] = transit::MapToServerX(startX);
    m_requestBody[1] = startY;
    m_requestBody[2] = transit::MapToServerX(destX);
    m_requestBody[3] = destY;
    SetCoords(startX, startY, destX, destY);
    std::uint8_t header[16], body[24];
    PutBEWords(header, m_requestHeader, 4);
    PutBEWords(body, m_requestBody, 6);
    if (socket.SendTimed(header, sizeof header, ReplyTimeout()) != sizeof header) return -10;
    if (socket.SendTimed(body, sizeof body, ReplyTimeout()) != sizeof body) return -10;
    return 0;
}

int CSubConnect::RecvInfo(CAxSocket& socket) {
    m_header = ReplyHeader{};
    std::uint8_t raw[16];
    if (socket.ReceiveTimed(raw, sizeof raw, ReplyTimeout()) != sizeof raw) return kReplyFailed;
    ReplyHeader h;
    h.status = GetBE(raw);
    h.routeCount = static_cast<std::int32_t>(GetBE(raw + 4));
    h.dataLength = static_cast<std::int32_t>(GetBE(raw + 8));
    h.magic = static_cast<std::int32_t>(GetBE(raw + 12));
    m_header = h;
    if (h.magic != kMagic) return kReplyFailed;
    if (h.status != kStatusOk) return static_cast<int>(h.status);
    if (h.routeCount < 0 || h.dataLength < 0 || h.dataLength > transit::kMaxReplyBytes) return kReplyFailed;

    auto data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(h.dataLength) + 1);
    if (socket.ReceiveTimed(data.get(), h.dataLength, ReplyTimeout()) != h.dataLength) {
        Hold(nullptr, 0, ReplyHeader{});
        return kReplyFailed;
    }
    data[static_cast<std::size_t>(h.dataLength)] = 0;
    Hold(std::move(data), h.dataLength, h);
    if (!SetRoutePoint(static_cast<ULONG>(h.routeCount), 1)) {
        Hold(nullptr, 0, ReplyHeader{});
        return kReplyFailed;
    }
    return 0;
}

void CSubConnect::Hold(std::unique_ptr<std::uint8_t[]> data, std::int32_t length, const ReplyHeader& header) {
    m_data = std::move(data);
    m_dataLength = m_data ? length : 0;
    m_heldHeader = header;
    for (RouteSlot& s : m_routes) s = RouteSlot{};
    m_routesHeld = 0;
}

void CSubConnect::NtoH(std::uint8_t* word) {
    std::reverse(word, word + 4);
}

bool CSubConnect::SetRoutePoint(ULONG routeCount, int convert) {
    for (RouteSlot& s : m_routes) s = RouteSlot{};
    m_routesHeld = 0;
    if (!m_data) return false;
    const int wanted = static_cast<int>(std::min<ULONG>(routeCount, kMaxRoutes));
    std::int64_t pos = 0;
    for (int i = 0; i < wanted; ++i) {
        if (pos + kRecordSize > m_dataLength) return false;
        std::uint8_t* record = m_data.get() + pos;
        if (convert)
            for (int w = 0; w < 4; ++w) NtoH(record + 4 * w);
        const std::int32_t textLength = GetLE(record + 12);
        if (textLength < 0 || pos + kRecordSize + textLength > m_dataLength) return false;
        m_routes[i] = RouteSlot{record, reinterpret_cast<const char*>(record + kRecordSize), textLength};
        m_routesHeld = i + 1;
        pos += kRecordSize + textLength;
    }
    m_heldHeader.routeCount = m_routesHeld;
    return true;
}

const CSubConnect::RouteSlot* CSubConnect::Slot(int route) const {
    if (route < 0 || route >= m_routesHeld || !m_routes[route].record) return nullptr;
    return &m_routes[route];
}

std::int32_t CSubConnect::RecordWord(int route, int word) const {
    return GetLE(m_routes[route].record + 4 * word);
}

int CSubConnect::GetStopNum(int route) const {
    return Slot(route) ? RecordWord(route, 1) : -1;
}

int CSubConnect::GetTotalStop(int route) const {
    return Slot(route) ? RecordWord(route, 2) : -1;
}

int CSubConnect::GetStationInfo(int route, int station, SubLineInfo& info) const {
    const RouteSlot* s = Slot(route);
    if (!s || station < 0 || station >= RecordWord(route, 1)) return 0;
    TextCursor cursor(s->text, s->text + s->textLength);
    for (int i = 0; i < station; ++i)
        if (!cursor.SkipLine()) return 0;
    std::string_view rest, name, direction, x, y, line;
    if (!cursor.Field('\n', rest)) return 0;
    TextCursor fields(rest.data(), rest.data() + rest.size());
    if (!fields.Field('|', name) || !fields.Field('|', direction) || !fields.Field('|', x) ||
        !fields.Field('|', y))
        return 0;
    line = std::string_view(fields.Pos(), static_cast<std::size_t>(rest.data() + rest.size() - fields.Pos()));
    SubLineInfo out{};
    transit::CopyField(out.name, sizeof out.name, name);
    transit::CopyField(out.direction, sizeof out.direction, direction);
    out.x = transit::ServerToMapX(transit::ParseNumber(x));
    out.y = transit::ParseNumber(y);
    transit::CopyField(out.line, sizeof out.line, line);
    info = out;
    return 1;
}

int CSubConnect::SaveRouteSub(const char16_t* path) {
    if (!m_data) {
        transit::ShowNotice(u"탐색된 경로가 없습니다.");
        return 0;
    }
    transit::TransitFileContent content;
    std::copy(Coords(), Coords() + 4, content.coords);
    content.header = {static_cast<std::int32_t>(kStatusOk), m_routesHeld, m_dataLength, kMagic};
    content.payload.assign(reinterpret_cast<const char*>(m_data.get()), static_cast<std::size_t>(m_dataLength));
    const auto status = transit::WriteTransitFile(path, transit::kSubwayFileKind, content);
    if (status == transit::TransitFileStatus::Ok) return 1;
    if (status == transit::TransitFileStatus::CannotOpen)
        transit::ShowNotice(u"Fail to Save Subway Route");
    else
        transit::ShowNotice(transit::FileErrorText(status, path).c_str());
    return 0;
}

int CSubConnect::OpenRouteSub(const char16_t* path) {
    if (!path) return 0;
    transit::TransitFileContent content;
    const auto status = transit::ReadTransitFile(path, transit::kSubwayFileKind, 4, 2, content);
    switch (status) {
    case transit::TransitFileStatus::Ok:
        break;
    case transit::TransitFileStatus::CannotOpen:
        transit::ShowNotice(u"Fail to Open Subway Route File");
        return 0;
    case transit::TransitFileStatus::WrongKind:
        transit::ShowNotice(u"지하철용 탐색데이타가 아닙니다.");
        return 0;
    default:
        transit::ShowNotice(transit::FileErrorText(status, path).c_str());
        return 0;
    }
    ReplyHeader h;
    h.status = static_cast<std::uint32_t>(content.header[0]);
    h.routeCount = content.header[1];
    h.dataLength = content.header[2];
    h.magic = content.header[3];
    auto data = std::make_unique<std::uint8_t[]>(content.payload.size() + 1);
    std::memcpy(data.get(), content.payload.data(), content.payload.size());

    // Parse into a scratch object first, so a damaged file leaves the held answer as it was.
    CSubConnect scratch;
    scratch.Hold(std::move(data), h.dataLength, h);
    if (h.routeCount < 0 || !scratch.SetRoutePoint(static_cast<ULONG>(h.routeCount), 0)) {
        transit::ShowNotice(transit::FileErrorText(transit::TransitFileStatus::TooShort, path).c_str());
        return 0;
    }
    SetCoords(content.coords);
    m_header = h;
    m_data = std::move(scratch.m_data);
    m_dataLength = scratch.m_dataLength;
    m_heldHeader = scratch.m_heldHeader;
    m_routesHeld = scratch.m_routesHeld;
    std::copy(std::begin(scratch.m_routes), std::end(scratch.m_routes), m_routes);
    return 1;
}
