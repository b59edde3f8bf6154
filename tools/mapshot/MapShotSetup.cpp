#include "tools/mapshot/MapShotSetup.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

constexpr std::int32_t kBirdDistance[16] = {100000, 100000, 100000, 16000, 4000, 2000, 1000, 500,
                                            250,    130,    80,     50,    50,   50,   50,   50};
constexpr int kMaskLevels[3][16] = {{1, 1, 1, 2, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13, 14, 15},
                                    {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13, 14},
                                    {1, 1, 1, 2, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 12, 13}};
constexpr std::int32_t kTrafficOffset[17] = {1000, 1000, 1000, 700, 700, 700, 700, 600, 330,
                                             165,  85,   50,   50,  50,  50,  50,  100};
constexpr int kTrafficLowestLevel[4] = {0, 6, 8, 7};

bool ReadHost(const std::u16string& cePath, std::vector<std::uint8_t>& out) {
    std::ifstream in(DeviceRoot::Resolve(cePath), std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

VARIANT StringVariant(const std::u16string& text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

int LevelIndex(int level) { return std::clamp(level, 0, 15); }

} // namespace

const char16_t* const CMapShotSetup::kFacilityLayers[17] = {
    u"NEIGH\\HOSP.MDC",     u"NEIGH\\PHARM.MDC",    u"NEIGH\\LPG.MDC",       u"NEIGH\\OIL.MDC",
    u"NEIGH\\SERVICE.MDC",  u"NEIGH\\PARKING.MDC",  u"NEIGH\\BANK.MDC",      u"NEIGH\\HOTEL.MDC",
    u"NEIGH\\FASTFOOD.MDC", u"NEIGH\\SUBWAY.MDC",   u"NEIGH\\POI_BANK.MDC",  u"NEIGH\\POI_REST.MDC",
    u"NEIGH\\POI_HOTEL.MDC", u"NEIGH\\POI_SPORT.MDC", u"NEIGH\\POI_HOSP.MDC", u"NEIGH\\POI_CULTURE.MDC",
    u"NEIGH\\POI_CAR.MDC"};
const char16_t* const CMapShotSetup::kTrafficLayers[4] = {u"DARC\\DARC_HIGHWAY.MDC", u"DARC\\DARC_NATIONAL.MDC",
                                                          u"DARC\\DARC_ETC2.MDC", u"DARC\\DARC_ETC4.MDC"};

bool CMapShotSetup::Load(const std::u16string& dataFolder, std::string* error) {
    m_dataFolder = dataFolder;
    std::vector<std::uint8_t> bytes;
    if (!ReadHost(dataFolder + u"\\Color\\para.bin", bytes) || bytes.size() % 320 != 0 || bytes.empty()) {
        if (error) *error = "para.bin missing or not a whole number of 320-byte records";
        return false;
    }
    m_layers.clear();
    for (std::size_t at = 0; at + 320 <= bytes.size(); at += 320) {
        const auto* p = bytes.data() + at;
        const std::size_t len = static_cast<std::size_t>(std::find(p, p + 256, 0) - p);
        LayerEntry e;
        e.name = Cp949ToUtf16(std::string(reinterpret_cast<const char*>(p), len));
        std::copy(p + 256, p + 320, e.params.begin());
        m_layers.push_back(std::move(e));
    }
    if (!LoadColourFile()) {
        if (error) *error = "color.bin missing or short";
        return false;
    }
    if (!ReadHost(dataFolder + u"\\level.bin", bytes) || bytes.size() < 16 * 12) {
        if (error) *error = "level.bin missing or short";
        return false;
    }
    std::uint32_t v[16];
    for (int j = 0; j < 16; ++j) v[j] = U32(bytes.data() + j * 12 + 4);
    const double v0 = v[0] ? double(v[0]) : 1.0;
    for (int j = 0; j < 15; ++j) {
        m_levels[j].flag = bytes[static_cast<std::size_t>(j) * 12];
        m_levels[j].ratio = static_cast<float>(v[j + 1] / v0);
        m_levels[j].previous = j == 0 ? 1.0f : static_cast<float>(v[j] / v0);
    }
    m_levels[15].flag = bytes[15 * 12];
    m_levels[15].ratio = 0.0f;
    m_levels[15].previous = static_cast<float>(v[15] / v0);
    return true;
}

bool CMapShotSetup::LoadColourFile() {
    std::vector<std::uint8_t> bytes;
    if (!ReadHost(m_dataFolder + u"\\Color\\color.bin", bytes) || bytes.size() < 64) return false;
    m_background = 0xFFFFFF;
    m_text = 0;
    for (int i = 0; i < 16; ++i) m_colours[i] = U32(bytes.data() + i * 4);
    return true;
}

bool CMapShotSetup::LoadScheme(const std::u16string& fileName) {
    std::vector<std::uint8_t> bytes;
    if (!ReadHost(m_dataFolder + u"\\Color\\" + fileName, bytes) || bytes.size() < 64) return LoadColourFile();
    for (int i = 0; i < 16; ++i) m_colours[i] = U32(bytes.data() + i * 4);
    m_background = bytes.size() >= 68 ? U32(bytes.data() + 64) : 0xFFFFFF;
    m_text = bytes.size() >= 80 ? U32(bytes.data() + 76) : 0;
    return true;
}

double CMapShotSetup::LevelScale(int level) const {
    const int entry = std::clamp(level - 1, 0, 15);
    return static_cast<double>(m_levels[entry].previous);
}

int CMapShotSetup::OpenLayers(CMapWnd& map) {
    VARIANT folder = StringVariant(m_dataFolder);
    map.SetDataFolder(folder);
    VariantClear(&folder);
    int opened = 0;
    auto open = [&](const std::u16string& name) -> CMapLayerFile* {
        VARIANT v = StringVariant(name);
        map.OpenMapLayer(v, CMapWnd::kNextFreeIndex);
        const int index = map.FindLayerIndex(v);
        VariantClear(&v);
        if (index < 0) return nullptr;
        map.ShowLayer(index, 1);
        ++opened;
        return map.GetLayer(index);
    };
    for (const LayerEntry& e : m_layers) {
        CMapLayerFile* layer = open(e.name);
        if (!layer) continue;
        const int kind = layer->GetKind();
        if (kind == 2 || kind == 5) {
            for (int k = 0; k < 11; ++k) {
                if (!e.params[static_cast<std::size_t>(k) * 4]) continue;
                const int outline = e.params[static_cast<std::size_t>(k) * 4 + 2];
                if (outline) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(Colour(outline));
                }
                break;
            }
        } else if (kind == 3 || kind == 7) {
            const int outline = e.params[8 * 4 + 3];
            if (outline) {
                layer->SetBorder(1);
                layer->SetBorderColor(Colour(outline));
            }
        }
    }
    for (const char16_t* name : kFacilityLayers) open(name);
    for (const char16_t* name : kTrafficLayers) open(name);
    return opened;
}

bool CMapShotSetup::ApplyColorScheme(CMapWnd& map, const std::u16string& fileName) {
    if (!LoadScheme(fileName)) return false;
    map.SetBackColor(m_background);
    map.SetTextColor(m_text);
    const int level = LevelIndex(m_level);
    for (const LayerEntry& e : m_layers) {
        VARIANT v = StringVariant(e.name);
        CMapLayerFile* layer = map.FindLayer(v);
        VariantClear(&v);
        if (!layer) continue;
        const int kind = layer->GetKind();
        auto entry = [&](int k, int b) { return e.params[static_cast<std::size_t>(k) * 4 + b]; };
        if (kind == 3 || kind == 7) {
            for (int k = 0; k <= 10; ++k) {
                layer->SetColor(Colour(entry(k, 1)));
                if (entry(k, 3)) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(Colour(entry(k, 3)));
                }
            }
        } else if (kind == 2 || kind == 5) {
            layer->SetColor(Colour(entry(level, 1)));
            for (int k = 0; k <= 10; ++k) {
                if (!entry(k, 0)) continue;
                if (entry(k, 2)) {
                    layer->SetBorder(1);
                    layer->SetBorderColor(Colour(entry(k, 2)));
                }
                break;
            }
        }
    }
    SetMapLevel(map, m_level);
    return true;
}

void CMapShotSetup::SetMapLevel(CMapWnd& map, int level) {
    m_level = level;
    const int i = LevelIndex(level);
    if (m_viewMode == 2) {
        map.SetViewMode(1);
        map.SetBirdViewDistance(kBirdDistance[i]);
    } else {
        map.SetViewMode(0);
        map.SetScale(LevelScale(level));
    }
    map.SetLevelMasks(kMaskLevels[0][i], kMaskLevels[1][i], kMaskLevels[2][i]);
    for (const LayerEntry& e : m_layers) {
        VARIANT v = StringVariant(e.name);
        const int index = map.FindLayerIndex(v);
        VariantClear(&v);
        CMapLayerFile* layer = map.GetLayer(index);
        if (!layer) continue;
        const std::uint8_t* entry = e.params.data() + static_cast<std::size_t>(i) * 4;
        if (entry[0] == 1) {
            map.ShowLayer(index, 1);
            layer->SetColor(Colour(entry[1]));
            if (layer->GetKind() == 2 || layer->GetKind() == 5) layer->SetPenWidth(entry[3]);
        } else {
            map.ShowLayer(index, 0);
        }
    }
    for (int k = 0; k < 4; ++k) {
        VARIANT v = StringVariant(kTrafficLayers[k]);
        const int index = map.FindLayerIndex(v);
        VariantClear(&v);
        if (index < 0) continue;
        const bool show = m_trafficOn && kTrafficLowestLevel[k] <= level;
        map.ShowLayer(index, show ? 1 : 0);
    }
    if (m_trafficOn) {
        map.SetTrafficArrows(level > 7 ? 1 : 0);
        map.SetTrafficOffset(kTrafficOffset[std::clamp(level, 0, 16)]);
    }
}
