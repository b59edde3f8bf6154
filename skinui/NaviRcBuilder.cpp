#include "skinui/NaviRcBuilder.h"

#include "skinui/NaviBitmap.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviImageCtrl.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviResArchive.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/main/NaviMenuButton.h"
#include "skinui/controls/NaviScrollList.h"
#include "skinui/screens/NaviScreenCatalogue.h"

#include <utility>

NaviRcBuilder::NaviRcBuilder() : m_archive(new NaviResArchive()) {}

NaviRcBuilder::~NaviRcBuilder() {
    delete m_archive;
}

void NaviRcBuilder::BuildPanel(CWnd* /*owner*/, NaviPanel* root, CString screenName) {
    if (!root) return;
    if (const ScreenCatalogueRow* row = FindScreenRow(screenName)) row->build(this, root, screenName);
}

void NaviRcBuilder::CreateTitledWindow(NaviPanel* root, const CString& screenName) {
    if (!root) return;
    SetImageGroup(u"Window");
    root->AssignName(screenName);
    root->SetSize(m_screenWidth, m_screenHeight);
    root->SetPos(0, 0);
    root->SetTransparent(false);
    root->SetFrameLayout(0, 0, 0, 45, 232, 45, 0, 284);
    root->LoadImages(this);
    for (const auto& [name, x] : {std::pair{u"현위치", 197}, std::pair{u"이전", 154}})
        root->AddChild(CreateButton(name, true, true, true, false, x, 3, 41, 32, root));
}

NaviPanel* NaviRcBuilder::CreatePanel(const CString& name) {
    SetImageGroup(u"NULL");
    auto* panel = new NaviPanel();
    panel->AssignName(name);
    panel->SetSize(217, 254);
    panel->SetPos(12, 46);
    panel->SetTransparent(false);
    panel->SetFrameLayout(0, 0, 0, 0, 0, 0, 0, 0);
    return panel;
}

NaviItemList* NaviRcBuilder::CreateItemList(const CString& name) {
    SetImageGroup(u"NULL");
    auto* list = new NaviItemList();
    list->AssignName(name);
    list->SetSize(240, 256);
    list->SetPos(0, 35);
    return list;
}

NaviImageCtrl* NaviRcBuilder::CreateImageCtrl(const CString& name, bool enabled, bool transparent, int x, int y,
                                              int width, int height) {
    auto* image = new NaviImageCtrl();
    image->AssignName(name);
    image->SetEnabled(enabled);
    image->SetTransparent(transparent);
    if (width > 0) image->SetSize(width, height);
    image->SetPos(x, y);
    image->LoadImages(this);
    return image;
}

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

NaviMenuButton* NaviRcBuilder::CreateMenuButton(const CString& name, bool visible, int x, int y, int width,
                                                int height, bool numbered, int number) {
    auto* button = new NaviMenuButton();
    button->AssignName(name);
    button->SetVisible(visible);
    button->SetSize(width, height);
    button->SetPos(x, y);
    button->SetPressFeedback(true);
    button->SetNumbered(numbered);
    button->SetNumber(number);
    button->LoadImages(this);
    return button;
}

NaviButton* NaviRcBuilder::CreateButton(const CString& name, bool visible, bool pressFeedback, bool pressImage,
                                        bool transparent, int x, int y, int width, int height,
                                        NaviListener* listener) {
    auto* button = new NaviButton();
    button->AssignName(name);
    button->SetVisible(visible);
    button->SetTransparent(transparent);
    button->SetSize(width, height);
    button->SetPos(x, y);
    button->SetPressFeedback(pressFeedback);
    button->SetHasPressImage(pressImage);
    button->SetListener(listener);
    button->LoadImages(this);
    return button;
}

NaviRadioGroup* NaviRcBuilder::CreateRadioGroup(const CString& name) {
    auto* group = new NaviRadioGroup();
    group->AssignName(name);
    group->SetEnabled(true);
    group->SetVisible(true);
    group->SetPressFeedback(true);
    group->LoadImages(this);
    return group;
}

NaviScrollList* NaviRcBuilder::CreateScrollList(const CString& name, int left, int top, int right, int bottom) {
    auto* list = new NaviScrollList();
    list->AssignName(name);
    list->SetEnabled(true);
    list->SetVisible(true);
    list->SetPressFeedback(true);
    list->SetSize(right - left, bottom - top);
    list->SetPos(left, top);
    list->LoadImages(this);
    return list;
}

NaviRadioButton* NaviRcBuilder::NewRadioButton(const CString& name, int x, int y, bool showText) {
    auto* radio = new NaviRadioButton();
    radio->AssignName(name);
    radio->SetEnabled(true);
    radio->SetVisible(true);
    radio->SetPos(x, y);
    radio->SetPressFeedback(true);
    radio->SetHasPressImage(true);
    radio->SetShowText(showText);
    return radio;
}

NaviRadioButton* NaviRcBuilder::CreateRadioButton(const CString& name, int /*unused*/, int x, int y,
                                                  bool showText) {
    NaviRadioButton* radio = NewRadioButton(name, x, y, showText);
    radio->LoadImages(this);
    return radio;
}

NaviCheckBox* NaviRcBuilder::CreateCheckBox(const CString& name, int x, int y, int /*unused*/,
                                            NaviListener* listener) {
    auto* box = new NaviCheckBox();
    box->AssignName(name);
    box->SetEnabled(true);
    box->SetVisible(true);
    box->SetPlace(x, y);
    box->SetPressFeedback(true);
    box->SetHasPressImage(true);
    box->SetListener(listener);
    box->LoadImages(this);
    box->SetTransparent(false);
    return box;
}

NaviCheckButton* NaviRcBuilder::CreateCheckButton(const CString& name, bool visible, bool pressFeedback,
                                                  bool pressImage, int x, int y, int width, int height,
                                                  bool useCheckGroup, bool showText, NaviListener* listener,
                                                  bool shadow, const char16_t* text) {
    auto* button = new NaviCheckButton();
    button->AssignName(name);
    button->SetVisible(visible);
    button->SetPos(x, y);
    button->SetSize(width, height);
    button->SetStyleFlag(useCheckGroup);
    button->SetPressFeedback(pressFeedback);
    button->SetHasPressImage(pressImage);
    button->SetShowText(showText);
    button->SetListener(listener);
    button->LoadImages(this);
    button->SetShadow(shadow);
    if (text) button->SetText(text);
    return button;
}

NaviLabel* NaviRcBuilder::CreateLabel(const CString& name, int x, int y, int width, int height,
                                      COLORREF textColor, int style, int alignment, COLORREF secondColor) {
    auto* label = new NaviLabel();
    label->AssignName(name);
    label->SetSize(width, height);
    label->SetPos(x, y);
    label->SetStoredRect(RECT{x, y, x + width, y + height});
    label->SetStyle(style);
    label->SetPressFeedback(false);
    if (style != 0) label->SetText(name);
    label->SetTextColor(textColor);
    label->SetBackColor(secondColor);
    label->SetAlign(alignment);
    label->LoadImages(this);
    return label;
}
