#pragma once
// Resource ids of Quendel's dialogs, controls, strings and icon.

#include "platform/mfc.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDS_ABOUTBOX = 101;
constexpr UINT IDD_MAIN = 102;
constexpr UINT IDR_MAINFRAME = 128;

/// System-menu command: low four bits clear and below 0xF000, as the system requires.
constexpr UINT IDM_ABOUTBOX = 0x0010;

constexpr int IDC_INPUT_NAME = 1000;
constexpr int IDC_OUTPUT_NAME = 1001;
constexpr int IDC_BROWSE_INPUT = 1002;
constexpr int IDC_APPLY_PATCH = 1004;
constexpr int IDC_BROWSE_OUTPUT = 1006;
constexpr int IDC_DIVIDER = 1007;
constexpr int IDC_SPEED = 1008;
constexpr int IDC_L1_CODE = 1009;
constexpr int IDC_L1_DATA = 1010;
constexpr int IDC_L2_SIZE = 1011;
constexpr int IDC_PROCESSOR = 1012;
constexpr int IDC_STATIC = -1;

/// The executable's version data.
struct VersionInfo {
    int file_version[4];
    int product_version[4];
    const char* company_name;
    const char* file_description;
    const char* internal_name;
    const char* legal_copyright;
    const char* original_filename;
    const char* product_name;
};
extern const VersionInfo kVersionInfo;
