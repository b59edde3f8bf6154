// Screens as constant tables. Each row names one step of a screen's layout (a factory call, a
// group switch, a page or a shared piece); RunScreenTable walks the rows in order and calls the
// builder's real factories, so the builder's image, check-button and tab groups after a screen
// are those its rows left. Beginner and advanced twins share one table: rows marked for one twin
// only are skipped for the other.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <span>

class NaviPanel;
class NaviRcBuilder;

enum class RowKind : std::uint8_t {
    Groups,        // sets the image group (and the check-button group when subGroup is given)
    TitledWindow,  // CreateTitledWindow on the root
    ShapeRoot,     // the root itself: group, name, size, place, opacity, frame layout, images
    Frame,         // CreateFrameWnd
    Label,         // CreateLabel with the row's colours, style and alignment
    Heading,       // section heading of a settings tab: a label showing its name
    Caption,       // field caption of a settings tab
    PlainLabel,    // a label constructed directly: style, colour, alignment, both rectangles, no text
    RadioGroup,    // CreateRadioGroup; later Radio rows go into it (no name: the table's name)
    Radio,         // CreateRadioButton into the open radio group
    Member,        // a push (or check) button into the open radio group, no listener of its own
    PushMember,    // a push button into the open radio group, no listener of its own
    AttachGroup,   // adds the open radio group to its panel (a group held back until then)
    CheckBox,      // CreateCheckBox
    Button,        // CreateButton
    CheckButton,   // CreateCheckButton
    Combo,         // a combo box made directly, its items appended (no name: the table's name)
    ItemList,      // an item list; later Page rows go into it
    Page,          // a page made directly (all frame positions 0); later rows go onto it
    TabPanel,      // CreatePanel, listener the root, appended to the item list, filled by sub rows
    Tabs,          // a tab control: tab names in items, texts in texts, tab group in subGroup
    PointTabs,     // BuildPointTabs at the row's place
    MessageRow,    // BuildMessageButtons: names in items, texts in texts, y or row code in y
    SymbolChoice,  // BuildSymbolChoice with the row's name
    VoiceCombo,    // BuildVoiceCombo with the row's name
    ButtonRows,    // the system page's hardware-button rows
    SoundTabs,     // the sound page's tab control from BuildSoundTabs
};

enum RowFlag : std::uint32_t {
    kVisible = 1u << 0,
    kEnabled = 1u << 1,
    kTransparent = 1u << 2,
    kFeedback = 1u << 3,
    kPressImage = 1u << 4,
    kUseCheckGroup = 1u << 5,
    kShowText = 1u << 6,
    kShadow = 1u << 7,
    kBeginnerOnly = 1u << 8,   // skipped on the advanced twin
    kAdvancedOnly = 1u << 9,   // skipped on the beginner twin
    kHeldBack = 1u << 10,      // radio group: not added until an AttachGroup row
    kTwinTabs = 1u << 11,      // point tabs: the advanced set on the advanced twin only
    kAdvancedTabs = 1u << 12,  // point tabs: always the advanced set
    kHidden = 1u << 13,        // check button / root: hidden after creation
    kOnRoot = 1u << 14,        // added to the root whatever page is open
    kFrameLayout = 1u << 15,   // root: the row's frame layout is set
};

// Where the listener of a table's controls is: the panel each is added to (the settings-page
// convention) or the root panel (the search screens').
enum class ListenTo : std::uint8_t { Container, Root };

struct ScreenRow {
    RowKind kind;
    const char16_t* name = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
    std::uint32_t flags = 0;
    const char16_t* group = nullptr;     // image group set before the row (null: the one in force)
    const char16_t* subGroup = nullptr;  // check-button group, or the tab group of a Tabs row
    COLORREF color = 0;
    COLORREF second = 0xFFFFFF;
    int style = 0;
    int align = 0;
    const char16_t* text = nullptr;      // a check button's text, a label's shown text
    const char16_t* rename = nullptr;    // a check button's name once made (made under name)
    std::span<const char16_t* const> items{};
    std::span<const char16_t* const> texts{};
    std::span<const ScreenRow> sub{};    // a TabPanel's rows
    const int* layout = nullptr;         // a ShapeRoot's eight frame positions
};

struct ScreenTable {
    std::span<const ScreenRow> rows;
    ListenTo listen = ListenTo::Container;
};

// Walks the rows onto root (screenName names a titled or shaped root). advanced picks the twin.
void RunScreenTable(NaviRcBuilder* builder, NaviPanel* root, const CString& screenName, const ScreenTable& table,
                    bool advanced = false);

// Row makers, so that tables read like the layouts they stand for.
namespace rows {

constexpr std::uint32_t kPushFlags = kVisible | kFeedback;

constexpr ScreenRow Group(const char16_t* group, const char16_t* checkGroup = nullptr) {
    return ScreenRow{.kind = RowKind::Groups, .group = group, .subGroup = checkGroup};
}
constexpr ScreenRow Titled() { return ScreenRow{.kind = RowKind::TitledWindow}; }
constexpr ScreenRow Frame(const char16_t* name, int x, int y, int w, int h, const char16_t* group,
                          std::uint32_t flags = kEnabled) {
    return ScreenRow{.kind = RowKind::Frame, .name = name, .x = x, .y = y, .w = w, .h = h, .flags = flags,
                     .group = group};
}
constexpr ScreenRow Heading(const char16_t* name, int x, int y, const char16_t* group) {
    return ScreenRow{.kind = RowKind::Heading, .name = name, .x = x, .y = y, .group = group};
}
constexpr ScreenRow Caption(const char16_t* name, int x, int y, const char16_t* group) {
    return ScreenRow{.kind = RowKind::Caption, .name = name, .x = x, .y = y, .group = group};
}
constexpr ScreenRow Label(const char16_t* name, int x, int y, int w, int h, COLORREF color, int style, int align,
                          const char16_t* group = nullptr, COLORREF second = 0xFFFFFF) {
    return ScreenRow{.kind = RowKind::Label, .name = name, .x = x, .y = y, .w = w, .h = h, .group = group,
                     .color = color, .second = second, .style = style, .align = align};
}
constexpr ScreenRow RadioGroup(const char16_t* name, const char16_t* group, std::uint32_t flags = 0) {
    return ScreenRow{.kind = RowKind::RadioGroup, .name = name, .flags = flags, .group = group};
}
constexpr ScreenRow Radio(const char16_t* name, int x, int y, std::uint32_t flags = kShowText) {
    return ScreenRow{.kind = RowKind::Radio, .name = name, .x = x, .y = y, .flags = flags};
}
constexpr ScreenRow CheckBox(const char16_t* name, int x, int y, const char16_t* group) {
    return ScreenRow{.kind = RowKind::CheckBox, .name = name, .x = x, .y = y, .group = group};
}
constexpr ScreenRow Button(const char16_t* name, int x, int y, int w, int h, const char16_t* group,
                           std::uint32_t flags = kPushFlags) {
    return ScreenRow{.kind = RowKind::Button, .name = name, .x = x, .y = y, .w = w, .h = h, .flags = flags,
                     .group = group};
}
// The settings pages' confirm buttons: 97 x 27, visible, press feedback, no press image, opaque.
constexpr ScreenRow Apply(const char16_t* name, int x, int y, const char16_t* group = u"Configure") {
    return Button(name, x, y, 97, 27, group);
}
constexpr ScreenRow CheckButton(const char16_t* name, int x, int y, int w, int h, const char16_t* group,
                                const char16_t* checkGroup, std::uint32_t flags, const char16_t* text = nullptr) {
    return ScreenRow{.kind = RowKind::CheckButton, .name = name, .x = x, .y = y, .w = w, .h = h, .flags = flags,
                     .group = group, .subGroup = checkGroup, .text = text};
}
constexpr ScreenRow Combo(const char16_t* name, int x, int y, int w, int h, const char16_t* group,
                          std::span<const char16_t* const> items) {
    return ScreenRow{.kind = RowKind::Combo, .name = name, .x = x, .y = y, .w = w, .h = h, .group = group,
                     .items = items};
}
constexpr ScreenRow MessageRow(int y, std::span<const char16_t* const> names,
                               std::span<const char16_t* const> texts = {}) {
    return ScreenRow{.kind = RowKind::MessageRow, .y = y, .items = names, .texts = texts};
}
constexpr ScreenRow PointTabs(const char16_t* name, std::uint32_t flags, const char16_t* group = nullptr) {
    return ScreenRow{.kind = RowKind::PointTabs, .name = name, .x = 4, .y = 284, .flags = flags, .group = group};
}

} // namespace rows
