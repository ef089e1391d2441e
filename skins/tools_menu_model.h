// What the tools menu shows, from the design's tree and the items' current states.
#pragma once

#include "ui/design/gadget_design.h"

#include <functional>
#include <span>
#include <vector>

namespace skins {

struct MenuItemView {
    design::MenuItemId id;
    bool hidden = false;
    bool disabled = false;
    bool checked = false;
};

struct PopupEntry {
    design::MenuItemId id;
    std::wstring_view text;
    bool checked = false;
    bool disabled = false;
    std::vector<PopupEntry> children; // non-empty: a submenu
};

using MenuStateLookup = std::function<MenuItemView(design::MenuItemId)>;

// The entries under `root`, hidden items (and what lies under them) left out.
std::vector<PopupEntry> popupEntries(std::span<const design::MenuItemDesign> menu, design::MenuItemId root,
                                     const MenuStateLookup& state);

// The items that share `item`'s parent, `item` included: the group whose marks are exclusive.
std::vector<design::MenuItemId> siblingsOf(std::span<const design::MenuItemDesign> menu,
                                           design::MenuItemId item);

} // namespace skins
