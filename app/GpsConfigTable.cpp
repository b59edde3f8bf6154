#include "app/GpsConfigTable.h"

#include "platform/base/Text.h"
#include "route/base/BinFile.h"

#include <string_view>

namespace {

std::uint32_t U32At(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

// A zero-padded CP949 name within its field (no terminator needed).
CString FieldText(const std::uint8_t* p, std::size_t field) {
    std::size_t n = 0;
    while (n < field && p[n] != 0) ++n;
    return CString(Cp949ToUtf16(std::string_view(reinterpret_cast<const char*>(p), n)));
}

struct DeviceModelName {
    int deviceType;
    const char16_t* name;
};
constexpr DeviceModelName kDeviceModels[] = {
    {0, u"iPAQ39시리즈"}, {1, u"iPAQ38시리즈"}, {2, u"iPAQ36시리즈"},  {7, u"POZ"},
    {8, u"iPAQ5450"},    {9, u"OBX I/II"},    {11, u"Mio338"},        {12, u"MobiOne"},
    {14, u"iPAQ2210"},   {15, u"mycube"},     {17, u"iPAQ1940"},      {19, u"Mio339/168"},
    {20, u"iPAQ4150"},   {21, u"OBX+"},       {22, u"LG SC8000"},     {23, u"POZ X301"},
};

constexpr std::uint32_t kBauds[] = {2400, 4800, 9600, 19200, 38400, 57600};

// Files above this size are not a model table (the largest sensible one is a few kilobytes).
constexpr long kMaxFileBytes = 4 * 1024 * 1024;

} // namespace

void CGpsConfigTable::Clear() {
    m_loaded = false;
    m_models.clear();
    m_receivers.clear();
    m_cells.clear();
}

bool CGpsConfigTable::Load(const char16_t* path) {
    Clear();
    CBinFile file(path);
    if (file.Open(CBinFile::kModeRead) != 0) return false;
    const long size = file.Seek(0, 2);
    bool ok = false;
    if (size >= 0 && size <= kMaxFileBytes && file.Seek(0, 0) == 0) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        if (size == 0 || file.Read(bytes.data(), static_cast<int>(size)) == size)
            ok = Parse(bytes.data(), bytes.size());
    }
    file.Close();
    return ok;
}

bool CGpsConfigTable::Parse(const std::uint8_t* data, std::size_t size) {
    Clear();
    if (!data || size < 4) return false;
    // Sizes in 64 bits, each part checked before the next is read.
    const std::uint64_t total = size;
    const std::uint64_t models = U32At(data);
    std::uint64_t at = 4;
    if (models * kModelNameBytes > total - at || total - at - models * kModelNameBytes < 4) return false;
    const std::uint64_t namesAt = at;
    at += models * kModelNameBytes;
    const std::uint64_t receivers = U32At(data + at);
    at += 4;
    if (receivers * kReceiverNameBytes > total - at) return false;
    const std::uint64_t receiversAt = at;
    at += receivers * kReceiverNameBytes;
    // models <= size / 20 and receivers <= size / 30 here, so the product cannot overflow.
    if (models * receivers * kCellBytes > total - at) return false;

    m_models.reserve(static_cast<std::size_t>(models));
    for (std::uint64_t m = 0; m < models; ++m)
        m_models.push_back(FieldText(data + namesAt + m * kModelNameBytes, kModelNameBytes));
    m_receivers.reserve(static_cast<std::size_t>(receivers));
    for (std::uint64_t r = 0; r < receivers; ++r)
        m_receivers.push_back(FieldText(data + receiversAt + r * kReceiverNameBytes, kReceiverNameBytes));
    m_cells.resize(static_cast<std::size_t>(models * receivers));
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const std::uint8_t* p = data + at + i * kCellBytes;
        m_cells[i] = Cell{U32At(p), U32At(p + 4), U32At(p + 8), U32At(p + 12)};
    }
    m_loaded = true;
    return true;
}

CString CGpsConfigTable::ModelName(int m) const {
    return m >= 0 && m < ModelCount() ? m_models[static_cast<std::size_t>(m)] : CString();
}

CString CGpsConfigTable::ReceiverName(int r) const {
    return r >= 0 && r < ReceiverCount() ? m_receivers[static_cast<std::size_t>(r)] : CString();
}

CGpsConfigTable::Cell CGpsConfigTable::GetCell(int r, int m) const {
    if (r < 0 || r >= ReceiverCount() || m < 0 || m >= ModelCount()) return Cell{};
    return m_cells[static_cast<std::size_t>(r) * m_models.size() + static_cast<std::size_t>(m)];
}

int CGpsConfigTable::FindModel(const CString& name) const {
    for (int m = 0; m < ModelCount(); ++m)
        if (m_models[static_cast<std::size_t>(m)] == name) return m;
    return -1;
}

const char16_t* CGpsConfigTable::ModelNameOfDevice(int deviceType) {
    for (const DeviceModelName& row : kDeviceModels)
        if (row.deviceType == deviceType) return row.name;
    return nullptr;
}

int CGpsConfigTable::SpeedCode(std::uint32_t baud) {
    for (int code = 0; code < 6; ++code)
        if (kBauds[code] == baud) return code;
    return 0;
}
