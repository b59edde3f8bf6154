// Where the user's saved data lives: one storage folder, in the handheld's memory ("PDA") or on
// the card ("저장장치"), chosen by setting 64 (0 memory, else card). These functions make a
// missing storage folder, move everything when the user switches the location, and at start-up
// move the data an older folder layout left behind into the current items.
#pragma once

#include "platform/base/CString.h"

#include <vector>

class CNaviConfig;

// Makes the storage folder (which -1 the one in use, 0 memory, 1 card) when it is missing; true
// when it exists afterwards.
bool EnsureStorageFolder(int which);
// True when the storage folder in use does not exist.
bool StorageFolderMissing();
// Moves every entry of `from` matching pattern (such as "\*") into `to`, replacing entries of the
// same name (a folder onto an existing folder moves its contents), then removes `from`. Nothing
// found: true and `from` stays. A failed move stops at once with false; `moved`, when given,
// receives the names moved so far.
bool MoveFolderContents(const CString& from, const CString& to, const CString& pattern,
                        std::vector<CString>* moved = nullptr);
// Moves the saved data from the location that setting 64 had (oldValue) to the one it has now,
// then writes the settings file in the new folder. When a move fails, what was moved goes back,
// setting 64 returns to oldValue and the settings file in the old folder is written again; false.
bool ChangeStorageLocation(int oldValue);
// Moves the older layout's files ("old..." items) onto the current items where they exist, and
// the old saved-route folder's contents into the storage folder. When both old point files exist
// the first one ("old등록지점") is taken and the other stays where it is. True.
bool MoveSavedDataFolders();
