#pragma once
// Resource data as the program's resource script declares it: dialog
// templates, their initialisation data, strings and icons.

#include <vector>

#include "platform/mfc.h"

enum class ControlKind { Edit, PushButton, Static, GroupBox, ComboBox, Icon };

/// One control of a dialog template; position and size in dialog units.
struct DialogControl {
    ControlKind kind;
    int id;            ///< -1 for statics the program never addresses
    const char* name;  ///< the id's symbolic name, or nullptr
    const char* text;  ///< for an icon control, the icon's resource id in decimal
    short x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    UINT id;
    const char* caption;
    const char* font_face;
    int font_points;
    int font_weight;
    short x, y, cx, cy;
    DWORD style;
    DWORD ex_style;
    std::vector<DialogControl> controls;
};

/// The initialisation-data code for adding a list entry to a combo box
/// (the 16-bit CB_ADDSTRING).
constexpr UINT DLGINIT_ADDSTRING = 0x0403;

/// One message the framework sends a control before the dialog's first data exchange.
struct DialogInitEntry {
    int control_id;
    UINT message;  ///< DLGINIT_ADDSTRING
    const char* data;
};

struct DialogInit {
    UINT dialog_id;
    std::vector<DialogInitEntry> entries;
};

/// A 16-colour image: one character per pixel, '0'..'9' and 'a'..'f' index
/// the 16-colour palette, '.' is transparent.
struct IconImage {
    int size;
    std::vector<const char*> rows;
};

struct IconResource {
    UINT id;
    std::vector<IconImage> images;
};

struct StringResource {
    UINT id;
    const char* text;
};

/// Everything the program's resource script holds.
struct ResourceTable {
    const std::vector<DialogTemplate>& dialogs;
    const std::vector<DialogInit>& dialog_inits;
    const std::vector<StringResource>& strings;
    const std::vector<IconResource>& icons;
};

/// Defined by the program's resources.
const ResourceTable& AfxResources();

const DialogTemplate* AfxFindDialogTemplate(UINT id);
const DialogInit* AfxFindDialogInit(UINT id);
const IconResource* AfxFindIcon(UINT id);
