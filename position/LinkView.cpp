#include "position/LinkView.h"

bool LoadLinkView(CMRNetReader& reader, int mapId, int linkIndex, LinkView& view) {
    MRMapRecord map;
    if (!reader.GetMapRecord(mapId, map) || !reader.GetLink(mapId, linkIndex, view.rec)) return false;
    view.mapId = mapId;
    view.linkIndex = linkIndex;
    view.startNode = mrformat::LinkStartNode(view.rec);
    view.endNode = mrformat::LinkEndNode(view.rec);
    if (!reader.GetNode(mapId, view.startNode, view.startRec) ||
        !reader.GetNode(mapId, view.endNode, view.endRec))
        return false;
    const int count = mrformat::LinkVertexCount(view.rec);
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(count) * mrformat::kVertexSize);
    if (count > 0 &&
        !reader.ReadShapePoints(static_cast<std::int64_t>(map.vertexOffset) +
                                    static_cast<std::int64_t>(mrformat::LinkFirstVertex(view.rec)) * 4,
                                count, raw.data(), raw.size()))
        return false;
    view.pts.clear();
    view.pts.reserve(static_cast<std::size_t>(count) + 2);
    view.pts.push_back({mrformat::U16(view.startRec), mrformat::U16(view.startRec + 2)});
    for (int k = 0; k < count; ++k)
        view.pts.push_back({mrformat::U16(raw.data() + 4 * k), mrformat::U16(raw.data() + 4 * k + 2)});
    view.pts.push_back({mrformat::U16(view.endRec), mrformat::U16(view.endRec + 2)});
    view.originX = map.west;
    view.originY = map.south;
    view.xScale = map.xScale * 0.00001;
    return true;
}
