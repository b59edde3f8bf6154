// OLE Automation arrays, as far as the system reads them: the bounds of each dimension.
#pragma once

#include "platform/base/WinTypes.h"

using HRESULT = LONG;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);

struct SAFEARRAYBOUND {
    ULONG cElements = 0;
    LONG lLbound = 0;
};

// One dimension is declared; arrays of more dimensions allocate more bounds after it.
struct SAFEARRAY {
    USHORT cDims = 0;
    USHORT fFeatures = 0;
    ULONG cbElements = 0;
    ULONG cLocks = 0;
    void* pvData = nullptr;
    SAFEARRAYBOUND rgsabound[1];
};

// Bounds of dimension dim (1 = the first). The bounds are stored last dimension first.
inline HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dim, LONG* bound) {
    if (!array || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
    *bound = array->rgsabound[array->cDims - dim].lLbound;
    return S_OK;
}

inline HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dim, LONG* bound) {
    if (!array || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
    *bound = static_cast<LONG>(static_cast<std::int64_t>(b.lLbound) + static_cast<std::int64_t>(b.cElements) - 1);
    return S_OK;
}
