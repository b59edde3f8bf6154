#include "skinui/screens/NaviScreenTable.h"

#include "skinui/NaviFrameWnd.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviCheckBox.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviComboBox.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviLabel.h"
#include "skinui/controls/NaviRadioButton.h"
#include "skinui/controls/NaviRadioGroup.h"
#include "skinui/controls/NaviTabCtrl.h"
#include "skinui/main/NaviMenuPages.h"
#include "skinui/screens/NaviScreenCatalogue.h"

#include <vector>

namespace {

class TableRun {
public:
    TableRun(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName, ListenTo listen, bool advanced)
        : m_builder(builder), m_root(root), m_screenName(screenName), m_listen(listen), m_advanced(advanced),
          m_container(root) {}

    void Run(std::span<const ScreenRow> rows) {
        for (const ScreenRow& row : rows) Step(row);
    }

private:
    NaviListener* Listener() const {
        return m_listen == ListenTo::Root ? static_cast<NaviListener*>(m_root)
                                          : static_cast<NaviListener*>(m_container);
    }
    NaviPanel* Target(const ScreenRow& row) const { return row.flags & kOnRoot ? m_root : m_container; }
    void Add(const ScreenRow& row, NaviControl* control) { Target(row)->AddChild(control); }
    // A row without a name takes the name the table was run with.
    CString NameOf(const ScreenRow& row) const { return row.name ? CString(row.name) : m_screenName; }
    static bool Has(const ScreenRow& row, std::uint32_t flag) { return (row.flags & flag) != 0; }

    void Step(const ScreenRow& row) {
        if (Has(row, kBeginnerOnly) && m_advanced) return;
        if (Has(row, kAdvancedOnly) && !m_advanced) return;
        if (row.group) m_builder->SetImageGroup(row.group);
        if (row.subGroup && row.kind != RowKind::Tabs) m_builder->SetCheckGroup(row.subGroup);
        switch (row.kind) {
        case RowKind::Groups: break;
        case RowKind::TitledWindow: m_builder->CreateTitledWindow(m_root, m_screenName); break;
        case RowKind::ShapeRoot: ShapeRoot(row); break;
        case RowKind::Frame:
            Add(row, m_builder->CreateFrameWnd(row.name, Has(row, kEnabled), Has(row, kTransparent), row.x, row.y,
                                               row.w, row.h));
            break;
        case RowKind::Label: {
            NaviLabel* label = m_builder->CreateLabel(row.name, row.x, row.y, row.w, row.h, row.color, row.style,
                                                      row.align, row.second);
            if (row.text) label->SetText(row.text);
            Add(row, label);
            break;
        }
        case RowKind::Heading:
            Add(row, m_builder->CreateLabel(row.name, row.x, row.y, 0, 14, 0x333333, 1, 111, 0xFFFFFF));
            break;
        case RowKind::Caption:
            Add(row, m_builder->CreateLabel(row.name, row.x, row.y, 0, 14, 0x000000, 6, 111, 0xFFFFFF));
            break;
        case RowKind::PlainLabel: {
            auto* label = new NaviLabel();
            label->AssignName(row.name);
            label->SetSize(row.w, row.h);
            label->SetPos(row.x, row.y);
            label->SetStoredRect(RECT{row.x, row.y, row.x + row.w, row.y + row.h});
            label->SetStyle(row.style);
            label->SetTextColor(row.color);
            label->SetBackColor(row.second);
            label->SetAlign(row.align);
            label->LoadImages(m_builder);
            Add(row, label);
            break;
        }
        case RowKind::RadioGroup:
            m_group = m_builder->CreateRadioGroup(NameOf(row));
            m_group->SetListener(Listener());
            m_groupHome = Target(row);
            if (!Has(row, kHeldBack)) Add(row, m_group);
            break;
        case RowKind::Radio:
            if (m_group) m_group->AddButton(m_builder->CreateRadioButton(row.name, 0, row.x, row.y, Has(row, kShowText)));
            break;
        case RowKind::Member:
            if (m_group)
                m_group->AddButton(m_builder->CreateCheckButton(row.name, Has(row, kVisible), Has(row, kFeedback),
                                                                Has(row, kPressImage), row.x, row.y, row.w, row.h,
                                                                false, false, nullptr, false, nullptr));
            break;
        case RowKind::PushMember:
            if (m_group)
                m_group->AddButton(m_builder->CreateButton(row.name, Has(row, kVisible), Has(row, kFeedback),
                                                           Has(row, kPressImage), Has(row, kTransparent), row.x,
                                                           row.y, row.w, row.h, nullptr));
            break;
        case RowKind::AttachGroup:
            if (m_group && m_groupHome) m_groupHome->AddChild(m_group);
            break;
        case RowKind::CheckBox: Add(row, m_builder->CreateCheckBox(row.name, row.x, row.y, 0, Listener())); break;
        case RowKind::Button:
            Add(row, m_builder->CreateButton(row.name, Has(row, kVisible), Has(row, kFeedback), Has(row, kPressImage),
                                             Has(row, kTransparent), row.x, row.y, row.w, row.h, Listener()));
            break;
        case RowKind::CheckButton: {
            NaviCheckButton* button = m_builder->CreateCheckButton(
                row.name, Has(row, kVisible), Has(row, kFeedback), Has(row, kPressImage), row.x, row.y, row.w, row.h,
                Has(row, kUseCheckGroup), Has(row, kShowText), Listener(), Has(row, kShadow), row.text);
            if (row.rename) button->AssignName(row.rename);
            if (Has(row, kHidden)) button->SetVisible(false);
            Add(row, button);
            break;
        }
        case RowKind::Combo: {
            auto* combo = new NaviComboBox();
            combo->AssignName(NameOf(row));
            combo->SetVisible(true);
            if (row.w > 0) combo->SetSize(row.w, row.h);
            combo->SetPos(row.x, row.y);
            combo->SetPressFeedback(true);
            combo->LoadImages(m_builder);
            for (const char16_t* item : row.items) combo->AddItem(item);
            combo->SetListener(Listener());
            Add(row, combo);
            break;
        }
        case RowKind::ItemList: {
            m_list = m_builder->CreateItemList(row.name);
            if (row.w > 0) {
                m_list->SetSize(row.w, row.h);
                m_list->SetPos(row.x, row.y);
            }
            m_list->SetVisible(true);
            m_root->AddChild(m_list);
            break;
        }
        case RowKind::Page: {
            auto* page = new NaviPanel();
            page->AssignName(row.name);
            page->SetSize(row.w, row.h);
            page->SetPos(row.x, row.y);
            page->SetTransparent(Has(row, kTransparent));
            page->SetFrameLayout(0, 0, 0, 0, 0, 0, 0, 0);
            page->LoadImages(m_builder);
            page->SetListener(m_root);
            AddPage(page);
            break;
        }
        case RowKind::TabPanel: {
            NaviPanel* page = m_builder->CreatePanel(row.name);
            page->SetListener(m_root);
            if (row.w > 0) {
                page->SetSize(row.w, row.h);
                page->SetPos(row.x, row.y);
            }
            AddPage(page);
            if (!row.sub.empty()) {
                Run(row.sub);
                m_container = m_root;
            }
            break;
        }
        case RowKind::Tabs: {
            auto* tabs = new NaviTabCtrl();
            tabs->AssignName(row.name);
            std::vector<CString> names(row.items.begin(), row.items.end());
            std::vector<CString> texts(row.texts.begin(), row.texts.end());
            tabs->SetTabs(names.data(), static_cast<int>(names.size()));
            if (!texts.empty()) tabs->SetTabTexts(texts.data(), static_cast<int>(texts.size()));
            tabs->SetSize(row.w, row.h);
            tabs->SetPos(row.x, row.y);
            tabs->SetVisible(Has(row, kVisible));
            tabs->SetPressFeedback(Has(row, kFeedback));
            tabs->SetTransparent(Has(row, kTransparent));
            if (row.subGroup) m_builder->SetTabGroup(row.subGroup);
            tabs->LoadImages(m_builder);
            tabs->SetListener(Listener());
            Add(row, tabs);
            break;
        }
        case RowKind::PointTabs:
            BuildPointTabs(m_builder, Target(row), row.name,
                           Has(row, kAdvancedTabs) || (Has(row, kTwinTabs) && m_advanced), row.x, row.y);
            break;
        case RowKind::MessageRow: {
            const char16_t* n[3] = {};
            const char16_t* t[3] = {};
            for (std::size_t i = 0; i < 3 && i < row.items.size(); ++i) n[i] = row.items[i];
            for (std::size_t i = 0; i < 3 && i < row.texts.size(); ++i) t[i] = row.texts[i];
            BuildMessageButtons(m_builder, Target(row), Listener(), row.y, n[0], n[1], n[2], t[0], t[1], t[2]);
            break;
        }
        case RowKind::SymbolChoice: BuildSymbolChoice(m_builder, Target(row), row.name); break;
        case RowKind::VoiceCombo: BuildVoiceCombo(m_builder, Target(row), row.name); break;
        case RowKind::ButtonRows: BuildHardwareButtonRows(m_builder, Target(row)); break;
        case RowKind::SoundTabs: {
            NaviTabCtrl* tabs = BuildSoundTabs(m_builder);
            tabs->SetListener(m_root);
            m_root->AddChild(tabs);
            break;
        }
        }
    }

    void ShapeRoot(const ScreenRow& row) {
        m_root->AssignName(row.name ? CString(row.name) : m_screenName);
        m_root->SetSize(row.w, row.h);
        m_root->SetPos(row.x, row.y);
        m_root->SetTransparent(Has(row, kTransparent));
        if (Has(row, kFrameLayout) && row.layout) {
            const int* l = row.layout;
            m_root->SetFrameLayout(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7]);
        }
        if (Has(row, kHidden)) m_root->SetVisible(false);
        m_root->LoadImages(m_builder);
    }

    void AddPage(NaviPanel* page) {
        if (m_list) m_list->AddItem(page);
        else m_root->AddChild(page);
        m_container = page;
    }

    NaviRcBuilder* m_builder;
    NaviPanel* m_root;
    CString m_screenName;
    ListenTo m_listen;
    bool m_advanced;
    NaviPanel* m_container;
    NaviItemList* m_list = nullptr;
    NaviRadioGroup* m_group = nullptr;
    NaviPanel* m_groupHome = nullptr;
};

} // namespace

void RunScreenTable(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName, const ScreenTable& table,
                    bool advanced) {
    if (!builder || !root) return;
    TableRun(builder, root, screenName, table.listen, advanced).Run(table.rows);
}
