#include "skinui/NaviRcBuilder.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviResArchive.h"

NaviRcBuilder::NaviRcBuilder() : m_archive(new NaviResArchive()) {}

NaviRcBuilder::~NaviRcBuilder() {
    delete m_archive;
}

void NaviRcBuilder::BuildPanel(CWnd* /*owner*/, NaviPanel* /*root*/, CString /*screenName*/) {}

void NaviRcBuilder::OpenSkin(const CString& folder) {
    m_skinFolder = folder;
    m_archive->SetFolder(folder);
    m_archive->Open();
}

NaviBitmap* NaviRcBuilder::LoadImage(const CString& name) {
    return m_archive->LoadImage(name);
}

NaviFrameWnd* NaviRcBuilder::CreateFrameWnd(const CString& name, bool enabled, bool transparent, int x, int y,
                                            int width, int height) {
    auto* frame = new NaviFrameWnd();
    frame->SetName(name.GetString());
    frame->SetEnabled(enabled);
    frame->SetTransparent(transparent);
    if (width > 0) frame->SetSize(width, height);
    frame->SetPos(x, y);
    frame->LoadImages(this);
    return frame;
}
