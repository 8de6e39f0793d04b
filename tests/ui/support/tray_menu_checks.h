// Edits of the tray menu (resource 155) as the application makes them —
// a submenu attached to the "myLanguage" item, checks and graying found by
// command through the submenus, texts replaced — with what Win32 answers.
// Shared by the hosted tests and the Wine test, so both backends are held
// to the same answers.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace talvio::testing {

// `root` is menu 155 as LoadMenu gives it. Leaves a language submenu
// (16000 "English", 16001 "Polski" checked then unchecked; 16000 checked
// and grayed) on the "myLanguage" item, which becomes 65548.
inline void ExpectTrayMenuEditsAsOnWindows(os::Hmenu root) {
    const os::Hmenu popup = os::GetSubMenu(root, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(os::GetMenuItemCount(popup), 8);
    os::MenuItemInfo item;
    item.mask = os::MIIM_ID | os::MIIM_STRING | os::MIIM_FTYPE;
    ASSERT_TRUE(os::GetMenuItemInfo(popup, 3, true, item));
    EXPECT_EQ(item.text, L"myLanguage");
    EXPECT_EQ(item.id, 65535u);
    ASSERT_TRUE(os::GetMenuItemInfo(popup, 6, true, item));
    EXPECT_TRUE(item.type & os::MFT_SEPARATOR);

    const os::Hmenu languages = os::CreatePopupMenu();
    ASSERT_TRUE(os::AppendMenu(languages, os::MF_STRING, 16000, L"English"));
    ASSERT_TRUE(os::AppendMenu(languages, os::MF_STRING | os::MF_CHECKED, 16001, L"Polski"));
    os::MenuItemInfo attach;
    attach.mask = os::MIIM_ID | os::MIIM_SUBMENU | os::MIIM_STRING;
    attach.id = 65548;
    attach.subMenu = languages;
    attach.text = L"Language";
    ASSERT_TRUE(os::SetMenuItemInfo(popup, 3, true, attach));
    EXPECT_EQ(os::GetSubMenu(popup, 3), languages);

    EXPECT_EQ(os::CheckMenuItem(root, 16001, os::MF_BYCOMMAND | os::MF_UNCHECKED), os::MF_CHECKED);
    EXPECT_EQ(os::CheckMenuItem(root, 16000, os::MF_BYCOMMAND | os::MF_CHECKED), os::MF_UNCHECKED);
    EXPECT_EQ(os::EnableMenuItem(root, 16000, os::MF_BYCOMMAND | os::MF_GRAYED), os::MF_ENABLED);
    EXPECT_EQ(os::CheckMenuItem(root, 4711, os::MF_BYCOMMAND), os::kMenuItemMissing);
    os::MenuItemInfo english;
    english.mask = os::MIIM_STATE | os::MIIM_STRING;
    ASSERT_TRUE(os::GetMenuItemInfo(root, 16000, false, english));
    EXPECT_EQ(english.text, L"English");
    EXPECT_TRUE(english.state & os::MFS_CHECKED);
    EXPECT_TRUE(english.state & os::MF_GRAYED);

    os::MenuItemInfo rename;
    rename.mask = os::MIIM_STRING;
    rename.text = L"&Optionen...";
    ASSERT_TRUE(os::SetMenuItemInfo(popup, 32773, false, rename));
    os::MenuItemInfo options;
    options.mask = os::MIIM_STRING;
    ASSERT_TRUE(os::GetMenuItemInfo(popup, 0, true, options));
    EXPECT_EQ(options.text, L"&Optionen...");
}

}  // namespace talvio::testing
