// The route save screen "경로저장" (the user names the current route; the caller writes the file)
// and the saved-routes screen "저장경로": the saved route files with view, delete and reverse
// search, and the storage-location page where the user picks the handheld's memory or the
// storage card for user data. The screen is chosen by the panel name the caller sets.
#pragma once

#include "platform/window/AfxControls.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <functional>

class CRouteSaveDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 106;
    static constexpr int kEditId = 1033;
    static constexpr int kListId = 1689;
    static constexpr int kActionSave = 1000;
    static constexpr int kActionOpen = 1002;
    static constexpr int kActionBack = 3;
    static constexpr int kActionCurrentPos = 4;
    static constexpr const char16_t* kSaveScreen = u"경로저장";
    static constexpr const char16_t* kSavedScreen = u"저장경로";

    // Removes a file; the default is the file system's delete.
    using DeleteFile = std::function<bool(const CString& path)>;

    explicit CRouteSaveDlg(CWnd* parent = nullptr);
    ~CRouteSaveDlg() override;

    // The folder of the saved routes; a missing trailing backslash is added.
    void SetRouteFolder(const CString& folder);
    const CString& GetRouteFolder() const { return m_routeFolder; }
    // The name the edit field starts with (the caller may offer one).
    void SetRouteName(const CString& name) { m_routeName = name; }
    const CString& GetRouteName() const { return m_routeName; }
    // The entry selected when the list opens, when it is there.
    void SetSelectedRoute(const CString& name) { m_selectedFile = name; }
    const CString& GetSelectedRoute() const { return m_selectedFile; }
    int GetActionCode() const { return m_action; }
    bool IsReverseSearch() const { return m_reverse != 0; }
    int GetChosenLocation() const { return m_chosenLocation; }
    int GetFileCount() const { return m_fileCount; }
    void SetDeleteFile(DeleteFile remove) { m_delete = std::move(remove); }

    // Whether a typed name can become a file name "<name>R.vkp" in the route folder.
    static bool IsValidRouteName(const CString& name);
    // The list's entries, top to bottom.
    std::vector<CString> ListedRoutes() const;

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

protected:
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    bool IsSaveScreen() const { return GetPanelName() == kSaveScreen; }
    void Close();
    void BuildSaveScreen();
    void BuildSavedScreen();
    void FillList();
    void ShowPage(int page);
    void DeleteSelected();
    bool TakeSelection();
    void StoreLocation();
    void OfferToStore();
    int Ask(const CString& text, int type);

    CListBox m_list;
    CEdit m_edit;
    CString m_routeName;
    CString m_selectedFile;
    int m_fileCount = 0;
    CString m_routeFolder;
    int m_page = 0;
    std::uint8_t m_locationChanged = 0;
    int m_chosenLocation = 0;
    int m_reverse = 0;
    int m_action = 0;
    DeleteFile m_delete;
};
