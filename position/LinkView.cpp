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
    view.pts.clear();
    view.pts.reserve(static_cast<std::size_t>(count) + 2);
    view.pts.push_back({mrformat::U16(view.startRec), mrformat::U16(view.startRec + 2)});
    // The shape points in pieces through a small buffer on the stack.
    constexpr int kChunk = 64;
    std::uint8_t raw[kChunk * mrformat::kVertexSize];
    const std::int64_t first = static_cast<std::int64_t>(map.vertexOffset) +
                               static_cast<std::int64_t>(mrformat::LinkFirstVertex(view.rec)) * 4;
    for (int done = 0; done < count;) {
        const int n = count - done < kChunk ? count - done : kChunk;
        if (!reader.ReadShapePoints(first + static_cast<std::int64_t>(done) * 4, n, raw, sizeof raw))
            return false;
        for (int k = 0; k < n; ++k)
            view.pts.push_back({mrformat::U16(raw + 4 * k), mrformat::U16(raw + 4 * k + 2)});
        done += n;
    }
    view.pts.push_back({mrformat::U16(view.endRec), mrformat::U16(view.endRec + 2)});
    view.originX = map.west;
    view.originY = map.south;
    view.xScale = map.xScale * 0.00001;
    return true;
}
