// The system controls the dialogs use (buttons, statics, edits, combo
// boxes, tab controls, list views, trackbars): class names, styles,
// messages and notification codes with their Win32 values, and mirrors of
// the structures those messages point to, laid out field for field as
// commctrl.h's (the Win32 backend checks), so os::SendMessage passes them
// through unchanged. Only the fields the program uses are named.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace os {

inline constexpr std::wstring_view kButtonClass = L"Button";
inline constexpr std::wstring_view kStaticClass = L"Static";
inline constexpr std::wstring_view kEditClass = L"Edit";
inline constexpr std::wstring_view kComboBoxClass = L"ComboBox";
inline constexpr std::wstring_view kTabControlClass = L"SysTabControl32";
inline constexpr std::wstring_view kListViewClass = L"SysListView32";
inline constexpr std::wstring_view kTrackbarClass = L"msctls_trackbar32";

// WM_NOTIFY's lParam.
struct NmHdr {
    Hwnd hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    std::uint32_t code = 0;
};

// Buttons.
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr std::uint32_t BS_GROUPBOX = 0x0007;
inline constexpr std::uint32_t BS_ICON = 0x0040;
inline constexpr std::uint32_t BM_GETCHECK = 0x00F0;
inline constexpr std::uint32_t BM_SETCHECK = 0x00F1;
inline constexpr std::uint32_t BM_CLICK = 0x00F5;
inline constexpr std::uint32_t BM_GETIMAGE = 0x00F6;
inline constexpr std::uint32_t BM_SETIMAGE = 0x00F7;
inline constexpr WParam BST_UNCHECKED = 0;
inline constexpr WParam BST_CHECKED = 1;
inline constexpr WParam IMAGE_ICON = 1;
inline constexpr std::uint32_t BN_CLICKED = 0;

// Statics.
inline constexpr std::uint32_t SS_LEFT = 0x0000;
inline constexpr std::uint32_t SS_ICON = 0x0003;

// Edits.
inline constexpr std::uint32_t ES_MULTILINE = 0x0004;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr std::uint32_t ES_READONLY = 0x0800;
inline constexpr std::uint32_t ES_WANTRETURN = 0x1000;
inline constexpr std::uint32_t EM_LIMITTEXT = 0x00C5;

// Combo boxes.
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x0003;
inline constexpr std::uint32_t CB_ADDSTRING = 0x0143;
inline constexpr std::uint32_t CB_GETCOUNT = 0x0146;
inline constexpr std::uint32_t CB_GETCURSEL = 0x0147;
inline constexpr std::uint32_t CB_GETLBTEXT = 0x0148;
inline constexpr std::uint32_t CB_GETLBTEXTLEN = 0x0149;
inline constexpr std::uint32_t CB_RESETCONTENT = 0x014B;
inline constexpr std::uint32_t CB_SETCURSEL = 0x014E;
inline constexpr std::uint32_t CB_GETITEMDATA = 0x0150;
inline constexpr std::uint32_t CB_SETITEMDATA = 0x0151;
inline constexpr LResult CB_ERR = -1;
inline constexpr std::uint32_t CBN_SELCHANGE = 1;

// Tab controls.
struct TcItem {
    std::uint32_t mask = 0;
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LParam lParam = 0;
};
inline constexpr std::uint32_t TCIF_TEXT = 0x0001;
inline constexpr std::uint32_t TCM_GETITEMCOUNT = 0x1304;
inline constexpr std::uint32_t TCM_GETCURSEL = 0x130B;
inline constexpr std::uint32_t TCM_SETCURSEL = 0x130C;
inline constexpr std::uint32_t TCM_ADJUSTRECT = 0x1328;
inline constexpr std::uint32_t TCM_GETITEMW = 0x133C;
inline constexpr std::uint32_t TCM_SETITEMW = 0x133D;
inline constexpr std::uint32_t TCM_INSERTITEMW = 0x133E;
inline constexpr std::uint32_t TCN_SELCHANGE = static_cast<std::uint32_t>(-551);
inline constexpr std::uint32_t TCN_SELCHANGING = static_cast<std::uint32_t>(-552);

// List views (report view).
struct LvColumn {
    std::uint32_t mask = 0;
    int fmt = 0;
    int cx = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};
struct LvItem {
    std::uint32_t mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LParam lParam = 0;
    int iIndent = 0;
    int iGroupId = 0;
    std::uint32_t cColumns = 0;
    std::uint32_t* puColumns = nullptr;
};
inline constexpr std::uint32_t LVS_REPORT = 0x0001;
inline constexpr std::uint32_t LVS_SINGLESEL = 0x0004;
inline constexpr std::uint32_t LVS_SHOWSELALWAYS = 0x0008;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x0020;
inline constexpr WParam LVSIL_SMALL = 1;
inline constexpr std::uint32_t LVCF_WIDTH = 0x0002;
inline constexpr std::uint32_t LVCF_TEXT = 0x0004;
inline constexpr std::uint32_t LVCF_SUBITEM = 0x0008;
inline constexpr std::uint32_t LVIF_TEXT = 0x0001;
inline constexpr std::uint32_t LVIF_IMAGE = 0x0002;
inline constexpr std::uint32_t LVIF_STATE = 0x0008;
inline constexpr std::uint32_t LVIS_FOCUSED = 0x0001;
inline constexpr std::uint32_t LVIS_SELECTED = 0x0002;
inline constexpr LParam LVNI_SELECTED = 0x0002;
inline constexpr int LVIR_BOUNDS = 0;
inline constexpr std::uint32_t LVM_SETIMAGELIST = 0x1003;
inline constexpr std::uint32_t LVM_GETITEMCOUNT = 0x1004;
inline constexpr std::uint32_t LVM_DELETEALLITEMS = 0x1009;
inline constexpr std::uint32_t LVM_GETNEXTITEM = 0x100C;
inline constexpr std::uint32_t LVM_GETCOLUMNWIDTH = 0x101D;
inline constexpr std::uint32_t LVM_SETITEMSTATE = 0x102B;
inline constexpr std::uint32_t LVM_SETEXTENDEDLISTVIEWSTYLE = 0x1036;
inline constexpr std::uint32_t LVM_GETSUBITEMRECT = 0x1038;
inline constexpr std::uint32_t LVM_GETITEMW = 0x104B;
inline constexpr std::uint32_t LVM_INSERTITEMW = 0x104D;
inline constexpr std::uint32_t LVM_GETCOLUMNW = 0x105F;
inline constexpr std::uint32_t LVM_SETCOLUMNW = 0x1060;
inline constexpr std::uint32_t LVM_INSERTCOLUMNW = 0x1061;
inline constexpr std::uint32_t LVM_GETITEMTEXTW = 0x1073;
inline constexpr std::uint32_t LVM_SETITEMTEXTW = 0x1074;

// Trackbars.
inline constexpr std::uint32_t TBS_AUTOTICKS = 0x0001;
inline constexpr std::uint32_t TBM_GETPOS = 0x0400;
inline constexpr std::uint32_t TBM_GETRANGEMIN = 0x0401;
inline constexpr std::uint32_t TBM_GETRANGEMAX = 0x0402;
inline constexpr std::uint32_t TBM_SETPOS = 0x0405;
inline constexpr std::uint32_t TBM_SETRANGE = 0x0406;
inline constexpr int TB_THUMBPOSITION = 4;

}  // namespace os
