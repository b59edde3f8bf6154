// The automation types the map window's interface uses: BSTR (a length-prefixed UTF-16 string),
// VARIANT holding a BSTR, and one-dimensional SAFEARRAYs of 32-bit integers with lock counting.
#pragma once

#include "platform/base/WinTypes.h"

using HRESULT = std::int32_t;
using VARTYPE = std::uint16_t;
using BSTR = char16_t*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_ARRAYISLOCKED = static_cast<HRESULT>(0x8002000Du);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);
inline bool FAILED(HRESULT hr) { return hr < 0; }
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;

// A new string of the characters up to the terminator (nullptr for a null argument or when memory
// runs out). SysFreeString accepts nullptr.
BSTR SysAllocString(const char16_t* text);
BSTR SysAllocStringLen(const char16_t* text, UINT length);
void SysFreeString(BSTR text);
// Characters, without the terminator; 0 for nullptr.
UINT SysStringLen(BSTR text);

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        BSTR bstrVal;
        LONG lVal;
    };
    VARIANT() : bstrVal(nullptr) {}
};

void VariantInit(VARIANT* v);
// Frees the string of a VT_BSTR variant and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* v);
// Clears dst, then copies src (a VT_BSTR gets its own string).
HRESULT VariantCopy(VARIANT* dst, const VARIANT* src);

struct SAFEARRAYBOUND {
    ULONG cElements = 0;
    LONG lLbound = 0;
};

struct SAFEARRAY {
    USHORT cDims = 0;
    USHORT fFeatures = 0;
    ULONG cbElements = 0;
    ULONG cLocks = 0;
    void* pvData = nullptr;
    SAFEARRAYBOUND rgsabound[1];
};

// A one-dimensional array of n elements of type vt (VT_I4 only), zero-filled; nullptr otherwise.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count);
// Lock counting: E_INVALIDARG for nullptr, E_UNEXPECTED when the count would overflow or an
// unlocked array is unlocked, DISP_E_ARRAYISLOCKED when a locked array is destroyed.
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
// Bounds of dimension dim (1 = the first; the bounds are stored last dimension first):
// E_INVALIDARG for nullptr, DISP_E_BADINDEX for a dimension the array does not have.
HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dim, LONG* bound);
