#include "tools/gpsmatch/RouteFile.h"

#include "position/RouteSimulator.h"
#include "route/RouteFile.h"
#include "route/base/MemStream.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Owns the route object the query reads.
class OwnedRoute : public CRouteLinkQuery {
public:
    explicit OwnedRoute(std::unique_ptr<CRoutePath> path) : m_path(std::move(path)), m_query(m_path.get()) {}
    bool IsValid() const override { return m_query.IsValid(); }
    bool HasLink(int mapId, int linkIndex, int against) const override {
        return m_query.HasLink(mapId, linkIndex, against);
    }

private:
    std::unique_ptr<CRoutePath> m_path;
    CRoutePathQuery m_query;
};

} // namespace

std::unique_ptr<CRouteLinkQuery> LoadRouteFile(const std::string& hostPath, std::string& error) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        error = "cannot open " + hostPath;
        return nullptr;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (bytes.size() > 0x7FFFFFFF) {
        error = "route file too large";
        return nullptr;
    }
    auto path = std::make_unique<CRoutePath>();
    std::size_t at = 0;
    RouteHeader header;
    if (bytes.size() >= RouteHeader::kSize && header.ReadBuffer(bytes.data())) at = RouteHeader::kSize;
    if (!path->ReadBuffer(bytes.data() + at, static_cast<std::int32_t>(bytes.size() - at)) ||
        !path->IsValid()) {
        error = "not a route file: " + hostPath;
        return nullptr;
    }
    return std::make_unique<OwnedRoute>(std::move(path));
}
