#include "app/StorageLocation.h"

#include "app/ShellUtilities.h"
#include "config/NaviConfig.h"
#include "platform/files/Files.h"

namespace {

CString Item(const char16_t* name, int storage = -1) {
    return CNaviConfig::GetInstance()->GetItemPath(name, storage);
}

bool Exists(const CString& path) {
    return !path.IsEmpty() && GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

CString Join(const CString& folder, const char16_t* name) {
    CString path;
    path.Format(u"%s\\%s", folder.GetString(), name);
    return path;
}

// Moves one entry, replacing what has its name at the target.
bool MoveEntry(const CString& source, const CString& target, bool isFolder) {
    if (isFolder && FolderExists(target.GetString()))
        return MoveFolderContents(source, target, CString(u"\\*"));
    return MoveFileExW(source.GetString(), target.GetString(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

bool EnsureStorageFolder(int which) {
    const CString folder = Item(u"현재저장위치", which);
    if (!FolderExists(folder.GetString())) CreateDirectoryW(folder.GetString(), nullptr);
    return FolderExists(folder.GetString());
}

bool StorageFolderMissing() {
    return !FolderExists(Item(u"현재저장위치").GetString());
}

bool MoveFolderContents(const CString& from, const CString& to, const CString& pattern,
                        std::vector<CString>* moved) {
    CString search;
    search.Format(u"%s%s", from.GetString(), pattern.GetString());
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(search.GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    // The whole listing first: the moves change the folder being listed.
    std::vector<WIN32_FIND_DATAW> entries;
    do {
        entries.push_back(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const WIN32_FIND_DATAW& entry : entries) {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!MoveEntry(Join(from, entry.cFileName), Join(to, entry.cFileName), isFolder)) return false;
        if (moved) moved->push_back(CString(entry.cFileName));
    }
    return RemoveDirectoryW(from.GetString()) != FALSE;
}

bool ChangeStorageLocation(int oldValue) {
    CNaviConfig* config = CNaviConfig::GetInstance();
    const int from = oldValue != 0 ? 1 : 0;
    const int to = 1 - from;
    const CString source = Item(from == 0 ? u"PDA" : u"저장장치", from);
    const CString target = Item(to == 0 ? u"PDA" : u"저장장치", to);
    EnsureStorageFolder(to);
    std::vector<CString> moved;
    if (MoveFolderContents(source, target, CString(u"\\*"), &moved)) {
        // The old settings file came along over the one the page wrote: write the current one.
        config->SaveSettings(-1);
        return true;
    }
    // Undo: everything back where it was, the old location in force again.
    if (!FolderExists(source.GetString())) CreateDirectoryW(source.GetString(), nullptr);
    for (const CString& name : moved) {
        const CString back = Join(target, name.GetString());
        MoveEntry(back, Join(source, name.GetString()), FolderExists(back.GetString()));
    }
    config->SetValue(64, oldValue);
    config->SaveSettings(-1);
    return false;
}

bool MoveSavedDataFolders() {
    EnsureStorageFolder(-1);
    const CString oldPoints = Item(u"old등록지점");
    const CString oldPoints2 = Item(u"old등록지점2");
    struct Move {
        CString from;
        const char16_t* to;
    };
    const Move moves[] = {
        // Of the two old point files the first wins; the second then stays where it is.
        {Exists(oldPoints) ? oldPoints : oldPoints2, u"등록지점"},
        {Item(u"old안전운행지점"), u"안전운행지점"},
        {Item(u"old안전운행지점(지운것)"), u"안전운행지점(지운것)"},
        {Item(u"old환경설정"), u"환경설정"},
        {Item(u"old관심종목"), u"관심종목"},
        {Item(u"old관심도로"), u"관심도로"},
    };
    for (const Move& m : moves) {
        if (!Exists(m.from)) continue; // nothing to move: the current item stays as it is
        MoveFileExW(m.from.GetString(), Item(m.to).GetString(), MOVEFILE_REPLACE_EXISTING);
    }
    MoveFolderContents(Item(u"old저장경로"), Item(u"현재저장위치"), CString(u"\\*"));
    return true;
}
