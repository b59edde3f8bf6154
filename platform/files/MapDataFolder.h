// Where a device keeps its map data: a folder "MapData" on one of the storage cards that
// device.ini names (in the order it names them), else "\MapData" in the handheld's own storage.
// The program and every tool that reads the map data find it this way.
#pragma once

#include <string>

// On success folder is the CE path of the data folder ("\Storage Card\MapData"). On failure
// error names every folder looked in (host paths, in the order they were tried).
bool FindMapDataFolder(std::u16string& folder, std::string& error);
