#include "skinui/NaviPanel.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviClickSound.h"
#include "skinui/NaviRcBuilder.h"

// Counts the panel's own dispatches; the last one to return carries out a pending release.
class NaviPanel::DispatchScope {
public:
    explicit DispatchScope(NaviPanel* panel) : m_panel(panel) { ++m_panel->m_dispatchDepth; }
    ~DispatchScope() {
        if (--m_panel->m_dispatchDepth == 0 && m_panel->m_releasePending) delete m_panel;
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    NaviPanel* m_panel;
};

NaviPanel::NaviPanel() = default;

NaviPanel::~NaviPanel() {
    for (NaviControl* child : m_children) delete child;
    m_children.clear();
    delete m_leftImage;
    delete m_rightImage;
    delete m_bottomImage;
    delete m_topImage;
    delete m_bgImage;
    delete m_clickSound;
}

void NaviPanel::Release() {
    if (m_dispatchDepth > 0)
        m_releasePending = true;
    else
        delete this;
}

void NaviPanel::OnPenDown() {
    m_pressed = true;
}

void NaviPanel::OnPenUp() {}

int NaviPanel::HitTest(int x, int y) {
    return PtInRect(&m_rect, POINT{x, y}) ? 1 : 0;
}

void NaviPanel::LoadImages(NaviRcBuilder* builder) {
    if (!builder) return;
    const CString group = builder->GetImageGroup();
    auto load = [&](NaviBitmap*& slot, const char16_t* name) {
        CString full;
        full.Format(u"%s\\%s", group.GetString(), name);
        delete slot;
        slot = builder->LoadImage(full);
    };
    load(m_topImage, u"Top");
    load(m_leftImage, u"Left");
    load(m_rightImage, u"Right");
    load(m_bottomImage, u"Bottom");
    load(m_bgImage, u"Bg");
    LoadClickSound(builder);
}

void NaviPanel::LoadClickSound(NaviRcBuilder* builder) {
    if (!builder || !m_clickSoundOn) return;
    delete m_clickSound;
    m_clickSound = new NaviClickSound();
    m_clickSound->Load(builder->GetSkinFolder());
}

bool NaviPanel::HasClickSound() const {
    return m_clickSound && m_clickSound->HasSound();
}

void NaviPanel::Draw(CDC* dc) {
    if (m_bgImage) {
        const int strips = (m_rect.bottom - m_rect.top) / 4;
        for (int i = 0; i < strips; ++i) DrawImage(dc, 0, m_topPos.y + i * 4, m_bgImage);
    }
    DrawImage(dc, m_topPos.x, m_topPos.y, m_topImage);
    DrawImage(dc, m_leftPos.x, m_leftPos.y, m_leftImage);
    DrawImage(dc, m_bottomPos.x, m_bottomPos.y, m_bottomImage);
    DrawImage(dc, m_rightPos.x, m_rightPos.y, m_rightImage);
    // By index: a child's drawing never changes the list, but the walk stays bounded if it did.
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i]->IsVisible()) m_children[i]->Draw(dc);
}

void NaviPanel::AddChild(NaviControl* child) {
    if (child && child != this) m_children.push_back(child);
}

void NaviPanel::SetFrameLayout(int topX, int topY, int leftX, int leftY, int rightX, int rightY, int bottomX,
                               int bottomY) {
    m_topPos = POINT{topX, topY};
    m_leftPos = POINT{leftX, leftY};
    m_rightPos = POINT{rightX, rightY};
    m_bottomPos = POINT{bottomX, bottomY};
}

void NaviPanel::DrawChild(CDC* dc, const CString& name) {
    for (NaviControl* child : m_children) {
        if (child->Name() == name) {
            child->Draw(dc);
            return;
        }
    }
}

void NaviPanel::DispatchPenDown(int x, int y) {
    DispatchScope scope(this);
    for (std::size_t i = m_children.size(); i-- > 0;) {
        NaviControl* child = m_children[i];
        // The flags first: HitTest has side effects in some controls.
        if (!child->IsVisible() || !child->HasPressFeedback() || !child->IsEnabled()) continue;
        if (child->HitTest(x, y) != 0) {
            child->OnPenDown();
            return;
        }
    }
}

void NaviPanel::DispatchPenUp(int x, int y) {
    DispatchScope scope(this);
    for (std::size_t i = m_children.size(); i-- > 0;) {
        NaviControl* child = m_children[i];
        if (!child->IsVisible() || !child->IsEnabled()) continue;
        if (child->HitTest(x, y) != 0) {
            child->OnPenUp();
            return;
        }
    }
}

void NaviPanel::ProcessCommand(NaviCommand& cmd) {
    DispatchScope scope(this);
    if (cmd.target == kTargetDialog) {
        // By index, re-checking the count: a child may change the list while it handles the
        // broadcast.
        for (std::size_t i = 0; i < m_children.size(); ++i) {
            NaviControl* child = m_children[i];
            if (cmd.id == kCmdShowControl && child->Name() == cmd.control) child->SetVisible(cmd.param1 > 0);
            child->ProcessCommand(cmd);
        }
        return;
    }
    if (!m_listener) return;
    if (m_clickSoundOn && m_clickSound && (cmd.id == kCmdTapped || cmd.id == kCmdComboTapped)) m_clickSound->Play();
    m_listener->ProcessEvent(cmd);
}

void NaviPanel::ProcessEvent(NaviCommand& cmd) {
    ProcessCommand(cmd);
}
