#include "skins/tools_menu_model.h"

namespace skins {

std::vector<PopupEntry> popupEntries(std::span<const design::MenuItemDesign> menu, design::MenuItemId root,
                                     const MenuStateLookup& state) {
    std::vector<PopupEntry> out;
    design::forEachChild(menu, root, [&](const design::MenuItemDesign& item) {
        const MenuItemView s = state(item.id);
        if (s.hidden) return;
        out.push_back({.id = item.id,
                       .text = item.text,
                       .checked = s.checked,
                       .disabled = s.disabled,
                       .children = popupEntries(menu, item.id, state)});
    });
    return out;
}

std::vector<design::MenuItemId> siblingsOf(std::span<const design::MenuItemDesign> menu,
                                           design::MenuItemId item) {
    // The parent is the nearest item above with a lower level.
    const auto i = static_cast<std::size_t>(item);
    std::size_t parent = i;
    while (parent > 0 && menu[parent].level >= menu[i].level)
        --parent;
    std::vector<design::MenuItemId> out;
    if (parent == i) { // a top-level item: its siblings are the other top-level items
        for (const auto& m : menu)
            if (m.level == menu[i].level) out.push_back(m.id);
        return out;
    }
    design::forEachChild(menu, menu[parent].id,
                         [&](const design::MenuItemDesign& m) { out.push_back(m.id); });
    return out;
}

} // namespace skins
