#include "position/LocusRecorder.h"

#include "position/Geometry.h"

#include "platform/base/CString.h"
#include "platform/files/Files.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::int32_t g_lastX = 0;
std::int32_t g_lastY = 0;

void Put32(std::vector<std::uint8_t>& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

std::int32_t Get32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}

} // namespace

CLocusRecorder::CLocusRecorder() {
    std::memset(m_x, 0, sizeof m_x);
    std::memset(m_y, 0, sizeof m_y);
    Clear();
}

void CLocusRecorder::Clear() {
    std::memset(m_boxes, 0, sizeof m_boxes);
    m_segment = 0;
    m_reserved = 0;
    m_count = 0;
}

void CLocusRecorder::LastPoint(std::int32_t& x, std::int32_t& y) {
    x = g_lastX;
    y = g_lastY;
}

void CLocusRecorder::SetLastPoint(std::int32_t x, std::int32_t y) {
    g_lastX = x;
    g_lastY = y;
}

bool CLocusRecorder::AddPoint(std::int32_t x, std::int32_t y) {
    const double dx = std::fabs(static_cast<double>(x) - g_lastX) * 0.27654;
    const double dy = std::fabs(static_cast<double>(y) - g_lastY) * 0.30879;
    if (geo::TruncInt32(std::sqrt(dx * dx + dy * dy)) < 10) return false;
    std::int32_t mx, my;
    if (!NetToMapChecked(x, y, mx, my)) return false; // outside the network: nothing changes
    g_lastX = x;
    g_lastY = y;
    if (m_count >= kPointsPerSegment) {
        m_count = 0;
        m_segment = (m_segment + 1) % kSegments;
    }
    std::int32_t* box = m_boxes[m_segment];
    if (m_count > 0) {
        box[0] = std::min(box[0], mx);
        box[1] = std::max(box[1], mx);
        box[2] = std::min(box[2], my);
        box[3] = std::max(box[3], my);
    } else {
        box[0] = box[1] = mx;
        box[2] = box[3] = my;
    }
    m_x[m_segment * kPointsPerSegment + m_count] = mx;
    m_y[m_segment * kPointsPerSegment + m_count] = my;
    ++m_count;
    return true;
}

bool CLocusRecorder::HasPoints() const {
    return m_boxes[0][0] != 0 || m_boxes[0][1] != 0;
}

bool CLocusRecorder::Save(const char16_t* path) const {
    if (!path) return false;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kFileSize);
    for (const auto& box : m_boxes)
        for (std::int32_t v : box) Put32(bytes, v);
    for (std::int32_t v : m_x) Put32(bytes, v);
    for (std::int32_t v : m_y) Put32(bytes, v);
    Put32(bytes, m_segment);
    Put32(bytes, m_reserved);
    Put32(bytes, m_count);
    const CString target(path);
    const CString temp = target + u".new";
    HANDLE h = CreateFileW(temp.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(h);
    CloseHandle(h);
    if (!ok || !MoveFileExW(temp.GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.GetString());
        return false;
    }
    return true;
}

bool CLocusRecorder::Load(const char16_t* path) {
    Clear();
    if (!path) return false;
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(h, &high);
    std::vector<std::uint8_t> bytes;
    bool ok = high == 0 && size == static_cast<DWORD>(kFileSize);
    if (ok) {
        bytes.resize(kFileSize);
        DWORD read = 0;
        ok = ReadFile(h, bytes.data(), kFileSize, &read, nullptr) && read == static_cast<DWORD>(kFileSize);
    }
    CloseHandle(h);
    if (!ok) return false;
    const std::int32_t segment = Get32(bytes.data() + 24480);
    const std::int32_t count = Get32(bytes.data() + 24488);
    if (segment < 0 || segment >= kSegments || count < 0 || count > kPointsPerSegment) return false;
    const std::uint8_t* p = bytes.data();
    for (auto& box : m_boxes)
        for (std::int32_t& v : box) {
            v = Get32(p);
            p += 4;
        }
    for (std::int32_t& v : m_x) {
        v = Get32(p);
        p += 4;
    }
    for (std::int32_t& v : m_y) {
        v = Get32(p);
        p += 4;
    }
    m_segment = segment;
    m_reserved = 0;
    m_count = count;
    return true;
}
