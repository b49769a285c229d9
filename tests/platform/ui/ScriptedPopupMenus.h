#pragma once
// A popup menu presenter for tests, installed while it lives: it records
// how many menus were shown, where the last one was and its items (caption
// and whether enabled), and answers with the item chosen by caption or by
// index (none when neither matches).

#include "platform/ui/PopupMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

struct TScriptedPopupMenus {
    int Shown = 0;
    TPoint At;
    std::vector<std::pair<std::string, bool>> Items; // caption, enabled
    std::string Choose;   // the caption of the item to choose
    int ChooseIndex = -1; // else the index of the item to choose

    TScriptedPopupMenus() {
        SetPopupMenuPresenter([this](TPopupMenu& menu, TPoint screen) -> TMenuItem* {
            ++Shown;
            At = screen;
            Items.clear();
            TMenuItem* chosen = ChooseIndex >= 0 && ChooseIndex < menu.Count() ? menu.Items(ChooseIndex) : nullptr;
            for (int i = 0; i < menu.Count(); ++i) {
                Items.emplace_back(menu.Items(i)->Caption, menu.Items(i)->Enabled);
                if (!Choose.empty() && menu.Items(i)->Caption == Choose)
                    chosen = menu.Items(i);
            }
            return chosen;
        });
    }
    ~TScriptedPopupMenus() { SetPopupMenuPresenter({}); }
    TScriptedPopupMenus(const TScriptedPopupMenus&) = delete;
    TScriptedPopupMenus& operator=(const TScriptedPopupMenus&) = delete;

    bool Enabled(const std::string& caption) const {
        for (const auto& [text, enabled] : Items)
            if (text == caption)
                return enabled;
        ADD_FAILURE() << "no item " << caption;
        return false;
    }
};
