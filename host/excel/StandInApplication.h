#pragma once
// Excel's _Application and Workbooks as far as an importing client uses them: Version,
// Workbooks, Workbooks.OpenText and Visible. Every call is written to the call log.
#include "DispatchObject.h"

// {000208D5-0000-0000-C000-000000000046}
extern const IID IID_ExcelApplication;

class StandInApplication : public DispatchObject {
public:
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) noexcept override;

protected:
    const Member* Members(size_t& count) const noexcept override;
    REFIID DualInterface() const noexcept override { return IID_ExcelApplication; }

private:
    bool m_visible = false;
};

class StandInWorkbooks : public DispatchObject {
public:
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) noexcept override;

protected:
    const Member* Members(size_t& count) const noexcept override;
};
