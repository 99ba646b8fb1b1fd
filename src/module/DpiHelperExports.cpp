// The DPI helper's small accessors are inline in the host's header, and hosts built against
// this module find them in it: keep one copy of each here for the export table (Lineage.def).
#include "contracts/ZebSettings.h"

namespace {

struct DpiHelperAccessors {
    int (CDPIHelper::*dpi)() const;
    int (CDPIHelper::*systemDpi)() const;
    int (CDPIHelper::*buttonSizeCad)() const;
    int (CDPIHelper::*buttonSizeExplorer)() const;
    CDPIHelper& (CDPIHelper::*assign)(const CDPIHelper&);
};

[[maybe_unused]] __attribute__((used)) const DpiHelperAccessors g_exportedAccessors{
    &CDPIHelper::getDPI_OS,
    &CDPIHelper::getSystemDPI,
    &CDPIHelper::getToolbarButtonSizeBF,
    &CDPIHelper::getToolbarButtonSizeExp,
    &CDPIHelper::operator=,
};

} // namespace
