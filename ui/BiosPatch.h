#pragma once

#include "platform/mfc.h"

/// The application: shows the main dialog once, then ends.
class CBiosPatchApp : public CWinApp {
public:
    CBiosPatchApp() = default;
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
