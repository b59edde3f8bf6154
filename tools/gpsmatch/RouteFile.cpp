#include "tools/gpsmatch/RouteFile.h"

#include "platform/files/InputFile.h"
#include "position/RouteSimulator.h"
#include "route/RouteFile.h"

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

std::unique_ptr<CRouteLinkQuery> LoadRouteFile(const std::string& hostPath, std::string& error, int& code) {
    std::vector<std::uint8_t> bytes;
    code = 2;
    if (!InputFile::ReadAll(hostPath, kMaxRouteFileBytes, bytes, error)) return nullptr;
    code = 1;
    auto path = std::make_unique<CRoutePath>();
    if (!ReadSavedRoutePath(bytes.data(), bytes.size(), *path)) {
        error = "not a route file: " + hostPath;
        return nullptr;
    }
    return std::make_unique<OwnedRoute>(std::move(path));
}
