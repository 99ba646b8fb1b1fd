#pragma once
// What the module uses of the host's DPI helper, ZebSettings.dll.
#include <windows.h>
#include "base/Geometry.h"

#ifdef ZEBSETTINGS_BUILD
#define ZEBSETTINGS_API __declspec(dllexport)
#else
#define ZEBSETTINGS_API __declspec(dllimport)
#endif

enum e_kivImageUseType {
    kivImageUseSmall = 3,  // list, menu, toolbar, small window icon
    kivImageUseLarge = 4,  // big window icon, large icons
};

class CDPIHelper {
public:
    // The process-wide helper; never freed by callers.
    ZEBSETTINGS_API static CDPIHelper* get();

    ZEBSETTINGS_API int getDesiredBitmapImageSz(e_kivImageUseType use);
    ZEBSETTINGS_API CSize getDesiredBitmapImageSize(e_kivImageUseType use, CSize base);
    ZEBSETTINGS_API int scaleY(int value);

    int getDPI_OS() const { return m_values[2]; }
    int getSystemDPI() const { return m_values[2]; }
    int getToolbarButtonSizeBF() const { return m_values[7]; }
    int getToolbarButtonSizeExp() const { return m_values[8]; }
    CDPIHelper& operator=(const CDPIHelper& other) {
        for (int i = 0; i < 9; ++i)
            m_values[i] = other.m_values[i];
        return *this;
    }

protected:
    ZEBSETTINGS_API CDPIHelper();
    int m_values[9];
};
