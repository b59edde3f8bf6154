#include "tools/mkdevice/DeviceBuilder.h"

#include "tools/mkdevice/BroadcastContent.h"
#include "tools/mkdevice/BroadcastStage.h"
#include "tools/mkdevice/TrafficRoadTables.h"

#include "tools/mkdevice/DrawingStage.h"
#include "tools/mkdevice/GpsConfigStage.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/AreaStage.h"
#include "tools/mkdevice/SavedRouteStage.h"
#include "tools/mkdevice/SearchStage.h"
#include "tools/mkdevice/SkinStage.h"
#include "tools/mkdevice/SettingsStage.h"
#include "tools/mkdevice/ShellSettings.h"
#include "tools/mkdevice/UserDataStage.h"
#include "tools/mkdevice/VersionFiles.h"
#include "tools/mkdevice/VoiceStage.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace mkdev {

DeviceLayout::DeviceLayout(const std::string& r)
    : root(r), mapData(r + "/Storage Card/MapData"), mrData(mapData + "/MRData"),
      searchDb(mapData + "/SearchDB"), programDir(r + "/Program Files/Velko"), resDir(programDir + "/res"),
      userDir(r + "/My Documents/Velko") {}

namespace {

void Folders(const DeviceLayout& l) {
    for (const std::string& d : {l.root, l.mapData, l.mrData, l.searchDb, l.programDir, l.resDir, l.userDir})
        std::filesystem::create_directories(d);
}

void DeviceIni(const DeviceLayout& l) {
    const std::string text = "# Velko sample device\n"
                             "card=Storage Card\n";
    WriteFileAtomic(l.root + "/device.ini", std::vector<std::uint8_t>(text.begin(), text.end()));
}

// Stands in for the search databases until their stage writes them; the map-data check
// needs a non-empty file to checksum.
void SearchPlaceholder(const DeviceLayout& l) {
    const std::string path = l.searchDb + "/aVelko.db";
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) > 0) return;
    const std::string text = "VELKO SEARCH DATABASE PLACEHOLDER\n";
    WriteFileAtomic(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

} // namespace

NetworkSummary BuildNetworkStage(const DeviceLayout& layout, const DeviceOptions& options) {
    NetModel model;
    const std::string& n = options.network;
    if (n == "sample") {
        model = BuildSampleRegion();
        const std::vector<std::uint32_t> ids = AssignBroadcastLinks(model);
        WriteBroadcastFiles(layout, ids);
        const TrafficRoadSummary roads = WriteTrafficRoadTables(layout, model, ids);
        if (!options.quiet)
            std::printf("road tables: %d roads, %d towns, %d sections\n", roads.roads, roads.districts, roads.sections);
        WriteBroadcastContentFiles(layout);
    }
    else if (n == "national")
        model = BuildNational(options.seed);
    else if (n.rfind("fixture:", 0) == 0)
        model = BuildFixture(n.substr(8));
    else
        throw std::invalid_argument("unknown network: " + n);
    return model.Write(layout.mrData);
}

void BuildDevice(const DeviceOptions& options) {
    if (options.outDir.empty()) throw std::invalid_argument("no output folder");
    DeviceLayout layout(options.outDir);
    Folders(layout);
    DeviceIni(layout);
    WriteShellSettings(layout);
    WriteGpsConfigTable(layout);
    NetworkSummary s = BuildNetworkStage(layout, options);
    if (!options.quiet)
        std::printf(
            "network: %d maps, %ld links, %ld nodes, %ld border records, %ld facilities, %ld road names\n",
            s.maps, s.links, s.nodes, s.borderRecords, s.facilityEntries, s.roadNames);
    if (options.network != "national") {
        const DrawingSummary d =
            BuildDrawingStage(layout, NetworkFor(options.network, options.seed), options.network == "sample");
        if (!options.quiet) std::printf("drawing: %zu layer files\n", d.layers.size());
    }
    const SkinSummary skin = BuildSkinStage(layout, VELKO_SKIN_MANIFESTS);
    if (!options.quiet) std::printf("skin: %d images, %zu bytes\n", skin.images, skin.archiveBytes);
    if (options.network == "sample") {
        const SearchSummary q = BuildSearchStage(layout, NetworkFor(options.network, options.seed));
        if (!options.quiet)
            std::printf("search: %ld names, %ld areas, %ld parcels, %ld details, %ld themes\n", q.names, q.areas,
                        q.parcels, q.poiRecords, q.themes);
        const AreaSummary a = BuildAreaStage(layout);
        if (!options.quiet)
            std::printf("areas: %d meshes, %ld cell records, %d districts, %d neighbourhoods\n", a.meshes,
                        a.cellRecords, a.districts, a.neighbourhoods);
        const VoiceSummary v =
            BuildVoiceStage(layout, options.voiceCache.empty() ? VELKO_VOICE_CACHE_DEFAULT : options.voiceCache);
        if (!options.quiet)
            std::printf("voice: %d clips, %d named clips, %d messages, %d spoken now\n", v.mainClips, v.addClips,
                        v.messages, v.synthesised);
    } else if (options.network == "national") {
        WriteNationalNames(layout.searchDb, options.seed);
        WriteNationalAreas(layout.searchDb, options.seed);
        if (!options.quiet) std::printf("search: national name database and area tables\n");
    }
    if (options.network == "sample") {
        WriteSampleSettings(layout);
        const UserDataSummary u = BuildUserDataStage(layout);
        if (!options.quiet)
            std::printf("user data: %d registered points, %d safe-driving points, %d recent destinations\n",
                        u.registeredPoints, u.safePoints, u.recentDestinations);
    }
    SearchPlaceholder(layout);
    WriteAppDataInfo(layout.resDir + "/appdatainfo.bin");
    // Last: it protects the tails of MRCross.bin and the search database.
    WriteMapDataInfo(layout.mapData);
    if (options.network == "sample") {
        const SavedRouteSummary r = BuildSavedRouteStage(layout);
        if (!options.quiet) std::printf("saved routes: %d files, a route of %d m\n", r.files, r.routeLength);
    }
}

} // namespace mkdev
