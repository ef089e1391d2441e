#include "skins/tools_menu.h"

#include "skins/skin_catalogue.h"
#include "skins/tools_menu_model.h"

#include <string>

namespace skins {
namespace {

using design::ControlId;

void appendEntries(HMENU menu, const std::vector<PopupEntry>& entries) {
    for (const auto& e : entries) {
        const std::wstring text(e.text);
        UINT flags =
            MF_STRING | (e.checked ? MF_CHECKED : MF_UNCHECKED) | (e.disabled ? MF_GRAYED : MF_ENABLED);
        if (!e.children.empty()) {
            platform::MenuHandle sub(::CreatePopupMenu());
            appendEntries(sub.get(), e.children);
            // The parent menu owns the submenu once it is appended.
            if (::AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()), text.c_str()))
                sub.release();
        } else {
            ::AppendMenuW(menu, flags, ui::kMenuCommandBase + static_cast<UINT>(e.id), text.c_str());
        }
    }
}

void markExclusively(ui::GadgetWindow& window, design::MenuItemId item) {
    for (const auto other : siblingsOf(window.design().menu, item))
        if (other != item) window.setMenuChecked(other, false);
    window.setMenuChecked(item, true);
}

} // namespace

void openToolsMenu(ui::GadgetWindow& window) {
    POINT at{};
    ::GetCursorPos(&at);
    const auto entries =
        popupEntries(window.design().menu, design::MenuItemId::Tools, [&](design::MenuItemId id) {
            const auto& s = window.menuItem(id);
            return MenuItemView{.id = id, .hidden = s.hidden, .disabled = s.disabled, .checked = s.checked};
        });
    const platform::MenuHandle menu(::CreatePopupMenu());
    if (!menu) return;
    appendEntries(menu.get(), entries);
    // The chosen item comes back to the window as WM_COMMAND once the menu has closed.
    ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, window.hwnd(), nullptr);
}

void showSkin(std::int32_t index, ui::PictureBox& bar) {
    bar.setPicture(skinPicture(index));
}

void chooseSkin(ui::GadgetWindow& window, design::MenuItemId item, std::int32_t index) {
    showSkin(index, window.picture(ControlId::Bar2));
    showSkin(index, window.picture(ControlId::Bar1));
    markExclusively(window, item);
}

void chooseNumberColour(ui::GadgetWindow& window, design::MenuItemId item, design::Colour colour) {
    window.label(ControlId::Label1).setTextColour(colour);
    window.label(ControlId::Label2).setTextColour(colour);
    markExclusively(window, item);
}

} // namespace skins
