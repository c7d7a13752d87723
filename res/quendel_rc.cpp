// Quendel's resource script: dialogs, combo-box data, strings, icon, version.

#include "platform/resources.h"
#include "res/resource.h"

namespace {

constexpr DWORD kStatic = SS_LEFT | WS_GROUP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

// clang-format off
const std::vector<DialogTemplate> kDialogs = {
    {IDD_ABOUTBOX, "About Quendel", "MS Sans Serif", 8, 400, 0, 0, 235, 65,
     DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
     {
         {ControlKind::Icon,       IDC_STATIC, nullptr, "128",                       11, 17,  20, 20, SS_ICON},
         {ControlKind::Static,     IDC_STATIC, nullptr, "Quendel Version 1.1",       40, 13, 119,  8, SS_LEFT | SS_NOPREFIX},
         {ControlKind::Static,     IDC_STATIC, nullptr, "(c) Quendel authors",       40, 25,  70,  8, SS_LEFT},
         {ControlKind::Static,     IDC_STATIC, nullptr, "Mail: see the README",     133, 31,  84,  8, SS_LEFT},
         {ControlKind::Static,     IDC_STATIC, nullptr, "Keep the original image!", 120, 42, 108,  8, SS_LEFT},
         {ControlKind::PushButton, IDOK,       "IDOK",  "OK",                       178,  7,  50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
     }},
    {IDD_MAIN, "Quendel", "Verdana", 8, 400, 0, 0, 209, 286,
     DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_APPWINDOW,
     {
         {ControlKind::Edit,       IDC_INPUT_NAME,    "IDC_INPUT_NAME",    "",                                   10, 121, 185, 15, kEdit},
         {ControlKind::Edit,       IDC_OUTPUT_NAME,   "IDC_OUTPUT_NAME",   "",                                   10, 160, 185, 15, kEdit},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Input BIOS File :",                  10, 105,  75,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Output BIOS File:",                  10, 145,  70, 10, kStatic},
         {ControlKind::PushButton, IDC_BROWSE_INPUT,  "IDC_BROWSE_INPUT",  "Browse",                            145, 100,  50, 15, kButton},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Select L2 cache setting  divider:",  20, 195, 110, 10, kStatic},
         {ControlKind::PushButton, IDC_APPLY_PATCH,   "IDC_APPLY_PATCH",   "Apply PATCH",                       140,  50,  55, 15, kButton},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Quendel v1.1",                      130,  70,  75, 10, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Change L2 athlon cache divider without soldering ", 20, 10, 175, 10, kStatic},
         {ControlKind::PushButton, IDC_BROWSE_OUTPUT, "IDC_BROWSE_OUTPUT", "Browse",                            145, 140,  50, 14, kButton},
         {ControlKind::ComboBox,   IDC_DIVIDER,       "IDC_DIVIDER",       "",                                  135, 190,  47, 46,
          CBS_DROPDOWN | CBS_NOINTEGRALHEIGHT | WS_TABSTOP},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Made by",                           106, 220,  78,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Credits:",                           30, 225,  36,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "the Quendel authors",                90, 230, 106,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Contact:",                           15, 235,  54,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "see README",                        121, 241,  45,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Keep your original BIOS image safe.", 25, 260, 162,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "News: the project page",             50, 270, 100,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "Speed :",                            20,  45,  27,  8, kStatic},
         {ControlKind::GroupBox,   IDC_PROCESSOR,     "IDC_PROCESSOR",     "Procesor not supported",             10,  30, 115, 60, BS_GROUPBOX},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "L1 Data Cache:",                     20,  65,  52,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "L1 Inst Cache:",                     20,  55,  49,  8, kStatic},
         {ControlKind::Static,     IDC_STATIC,        nullptr,             "L2 Cache",                           20,  75,  31,  8, kStatic},
         {ControlKind::Static,     IDC_SPEED,         "IDC_SPEED",         "unknow Mhz",                         75,  45,  40, 10, kStatic},
         {ControlKind::Static,     IDC_L1_CODE,       "IDC_L1_CODE",       "unknow KB",                          75,  55,  40, 10, kStatic},
         {ControlKind::Static,     IDC_L1_DATA,       "IDC_L1_DATA",       "unknow KB",                          75,  65,  40, 10, kStatic},
         {ControlKind::Static,     IDC_L2_SIZE,       "IDC_L2_SIZE",       "unknow KB",                          75,  75,  40, 10, kStatic},
     }},
};

// The divider list: three list entries for control 1007, in this order.
const std::vector<DialogInit> kDialogInits = {
    {IDD_MAIN, {
        {IDC_DIVIDER, DLGINIT_ADDSTRING, "1/2"},
        {IDC_DIVIDER, DLGINIT_ADDSTRING, "2/5"},
        {IDC_DIVIDER, DLGINIT_ADDSTRING, "1/3"},
    }},
};

const std::vector<StringResource> kStrings = {
    {IDS_ABOUTBOX, "&About Quendel..."},
};

// A processor die with its L2 cache block. Palette: 0 black, 2 green,
// 3 olive, 6 teal, 7 silver, 8 grey, a lime, b yellow.
const std::vector<IconResource> kIcons = {
    {IDR_MAINFRAME, {
        {32, {
            "................................",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            ".....8888888888888888888888.....",
            ".....8700000000000000000008.....",
            ".777780000000000000000000087777.",
            ".....8002222200000000000008.....",
            ".....8002aaa200000000000008.....",
            ".77778002aaa2000000000000087777.",
            ".....8002aaa200000000000008.....",
            ".....8002222200000000000008.....",
            ".777780000000333333333333087777.",
            ".....800000003bbb6bbb6bb308.....",
            ".....800000003bbb6bbb6bb308.....",
            ".7777800000003bbb6bbb6bb3087777.",
            ".....8000000036666666666308.....",
            ".....800000003bbb6bbb6bb308.....",
            ".7777800000003bbb6bbb6bb3087777.",
            ".....800000003bbb6bbb6bb308.....",
            ".....8000000036666666666308.....",
            ".7777800000003bbb6bbb6bb3087777.",
            ".....800000003bbb6bbb6bb308.....",
            ".....8000000033333333333308.....",
            ".....8000000000000000000008.....",
            ".....8888888888888888888888.....",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            "........7..7..7..7..7..7........",
            "................................",
        }},
        {16, {
            "................",
            ".....7.7.7.7....",
            ".....7.7.7.7....",
            "...8888888888...",
            "...8700000008...",
            ".7780aa00000877.",
            "...80aa333338...",
            ".778003bbbb3877.",
            "...8003bbbb38...",
            ".778003bbbb3877.",
            "...8003bbbb38...",
            "...8003333338...",
            "...8888888888...",
            ".....7.7.7.7....",
            ".....7.7.7.7....",
            "................",
        }},
    }},
};
// clang-format on

}  // namespace

const VersionInfo kVersionInfo = {
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    "The Quendel authors",
    "Quendel MFC Application",
    "Quendel",
    "Copyright (C) the Quendel authors",
    "Quendel.EXE",
    "Quendel Application",
};

const ResourceTable& AfxResources() {
    static const ResourceTable table{kDialogs, kDialogInits, kStrings, kIcons};
    return table;
}
