// The registered points, kept in named folders: each folder is one file in the storage folder,
// "Position" for the default folder "기본" and "<name>.pos" for the others (a 32-bit count, then
// 30-byte records: name, network x and y, voice setting, symbol). One process-wide store holds
// every folder's list and an aggregate of all points, and writes a folder's file back (aside,
// then renamed over it) after every change. A change whose file cannot be written is undone.
#pragma once

#include "app/PosList.h"
#include "platform/base/CString.h"

#include <map>
#include <set>
#include <string>
#include <vector>

class CPositionStore {
public:
    static constexpr int kMaxPoints = 2000;
    static constexpr const char16_t* kDefaultFolder = u"기본";

    static CPositionStore& Instance();

    CPositionStore() = default;
    CPositionStore(const CPositionStore&) = delete;
    CPositionStore& operator=(const CPositionStore&) = delete;

    // The number of points in all folders.
    int GetCount() const { return static_cast<int>(m_all.size()); }
    // Every point of every folder, folder by folder in folder order.
    const std::vector<CPosRecord>& GetAll() const { return m_all; }
    // Sets the storage folder (an empty path changes nothing).
    void SetBaseFolder(const CString& folder);
    const CString& GetBaseFolder() const { return m_base; }
    // Empties the store, finds the folders' files and loads each; false when there is none.
    bool Reload();
    // The folder names: "기본" first when its file exists, then the others in name order.
    const std::vector<CString>& GetFolderNames() const { return m_names; }
    // The folder's list; an unknown name that may name a folder is entered as an empty folder.
    // Null for an empty or unusable name.
    CPosList* GetFolder(const CString& name);
    // A folder whose file could not be read: shown empty, never written.
    bool IsReadOnly(const CString& name) const;

    // Appends the point to the folder and writes its file. False (nothing changed) at 2000
    // points in all, for an unusable or read-only folder, or when the file cannot be written.
    bool Add(const CString& folder, const CPosRecord& record);
    // Removes the folder's point at row and writes its file; false (nothing changed) when there
    // is no such row or the file cannot be written.
    bool RemoveAt(const CString& folder, int row);
    // Puts the record in place of the folder's point at row and writes the file once; false
    // (nothing changed) when there is no such row or the file cannot be written.
    bool ReplaceAt(const CString& folder, int row, const CPosRecord& record);
    // Removes the folder's first point with the record's x, y and name (as RemoveAt).
    bool Remove(const CString& folder, const CPosRecord& record);
    // Copies the folder's first point at the record's x and y into it; false when none.
    bool Find(const CString& folder, CPosRecord& record);

    // Appends a new folder name (no file yet). An empty name changes nothing (true); a name in
    // use, "기본" or one that cannot be a file name gives false.
    bool AddFolderName(const CString& name);
    // Loads a folder's file into the store: a missing file is created empty; a file that cannot
    // be read gives an empty read-only folder. A folder already loaded is left as it is.
    bool LoadFolder(const CString& name);
    // Deletes the folder's file and reloads; false when the file stays.
    bool DeleteFolder(const CString& name);
    // Renames the folder's file and reloads. Refused (false) onto a folder or file that exists,
    // to "기본" or to a name that cannot be a file name.
    bool RenameFolder(const CString& oldName, const CString& newName);
    // Writes every folder's file; false when there are no points or a write fails.
    bool SaveAll();

    // The folder's file: "<base>\Position" for "기본", "<base>\<name>.pos" otherwise.
    CString FolderFile(const CString& name) const;
    // A name that can be a folder's file name: not empty, no separator, wildcard, control
    // character or full stop, no leading or trailing blank, at most 64 characters.
    static bool IsUsableFolderName(const CString& name);

private:
    bool HasName(const CString& name) const;
    bool WriteFolder(const CString& name);
    void Clear();
    // Reads a point file: false (records empty) when it cannot be opened or is malformed.
    bool ReadFile(const CString& path, std::vector<CPosRecord>& records) const;
    void RemoveFromAll(const CPosRecord& record);

    CString m_base;
    std::vector<CString> m_names;
    std::map<std::u16string, CPosList> m_folders;
    std::set<std::u16string> m_readOnly;
    std::vector<CPosRecord> m_all;
};
