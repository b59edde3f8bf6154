// The sample region's areas and places: one table that every database of the device draws on
// (the search databases, the map's place labels, the area and nearby-facility tables), so that
// a place has one name and one position everywhere. Positions are kilometres east and north of
// the region's south-west corner; Net() gives network coordinates.
#pragma once

#include "tools/mkdevice/NetworkModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdev {

struct KmBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Contains(double x, double y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// An administrative area: level 0 province or metropolitan city, 1 city or county, 2 town,
// township or neighbourhood, 3 village. Its shape is a union of boxes.
struct Area {
    int level = 0;
    std::u16string name;
    int parent = -1;          // index into the area list
    int downType = 0;         // level 2: 2 villages below, 3 parcels below, 6 the area itself
    std::vector<KmBox> boxes;
    double labelX = 0, labelY = 0; // the area's label point on the map
    double nodeX = 0, nodeY = 0;   // the area's position in the address database (on a road)
    int parcels = 0;          // parcels to lay along its roads (0 = none)
    bool storedBlock = false; // the parcel block is kept uncompressed
    bool townLabel = false;   // named on the map's town layer
};

// Category names of the search tree.
struct PlaceClass {
    std::u16string major, minor; // empty major: not in the category tree
};

struct Place {
    std::u16string name;
    double x = 0, y = 0; // km
    PlaceClass cls;
    int district = -1;   // area index (level 1)
    // Details; an empty phone is left out of the record.
    std::u16string phone, address, hours, intro;
    int order = 0;       // line or road order for stations and highway facilities
    std::u16string road; // highway facilities: the expressway
    bool landmark = false;
    double labelX = -1, labelY = -1; // a landmark's label point on the map (x, y when negative)
    int brand = 0;       // brand code of fuel stations and car parks (0 = none)
};

struct PlaceTable {
    std::vector<Area> areas;
    std::vector<Place> places;
    // The subway line of the stations.
    std::u16string line = u"가람선";
    int ProvinceOf(int area) const;
    // The level-1 area whose boxes contain the point, -1 when none.
    int DistrictAt(double x, double y) const;
};

// One facility of a nearby-search file: brand code, the name as stored (hospitals and
// pharmacies without the word the reader appends, banks by their short name, no name for the
// 8-byte categories) and its position.
struct NearbyEntry {
    int brand = 0;
    std::u16string name;
    double x = 0, y = 0;
};
// The facilities of nearby category 0..9 (hospital, pharmacy, LPG, fuel, car repair, parking,
// bank, lodging, fast food, subway).
std::vector<NearbyEntry> SampleNearby(int category);

// The sample region's table (built once).
const PlaceTable& SamplePlaces();

// Network coordinates of a point of the sample region.
NetPoint SampleNet(double eastKm, double northKm);

} // namespace mkdev
