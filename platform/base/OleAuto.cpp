#include "platform/base/OleAuto.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// A BSTR is preceded by its length in bytes (32 bits) and followed by a terminator.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);
constexpr UINT kMaxLength = 0x3FFFFFF0u;

std::size_t Length(const char16_t* text) {
    std::size_t n = 0;
    while (text[n]) ++n;
    return n;
}

} // namespace

BSTR SysAllocStringLen(const char16_t* text, UINT length) {
    if (length > kMaxLength) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + (std::size_t(length) + 1) * sizeof(char16_t)));
    if (!block) return nullptr;
    const std::uint32_t bytes = length * sizeof(char16_t);
    std::memcpy(block, &bytes, kPrefix);
    auto* chars = reinterpret_cast<char16_t*>(block + kPrefix);
    if (text)
        std::memcpy(chars, text, std::size_t(length) * sizeof(char16_t));
    else
        std::memset(chars, 0, std::size_t(length) * sizeof(char16_t));
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const char16_t* text) {
    if (!text) return nullptr;
    const std::size_t n = Length(text);
    if (n > kMaxLength) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(n));
}

void SysFreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

UINT SysStringLen(BSTR text) {
    if (!text) return 0;
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - kPrefix, kPrefix);
    return bytes / sizeof(char16_t);
}

void VariantInit(VARIANT* v) {
    if (!v) return;
    v->vt = VT_EMPTY;
    v->bstrVal = nullptr;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dst, const VARIANT* src) {
    if (!dst || !src) return E_INVALIDARG;
    if (dst == src) return S_OK;
    VariantClear(dst);
    if (src->vt == VT_BSTR) {
        BSTR copy = nullptr;
        if (src->bstrVal) {
            copy = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
            if (!copy) return E_OUTOFMEMORY;
        }
        dst->vt = VT_BSTR;
        dst->bstrVal = copy;
        return S_OK;
    }
    if (src->vt == VT_I4) {
        dst->vt = VT_I4;
        dst->lVal = src->lVal;
        return S_OK;
    }
    if (src->vt == VT_EMPTY) return S_OK;
    return DISP_E_TYPEMISMATCH;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG count) {
    if (vt != VT_I4 || count > 0x10000000u) return nullptr;
    auto* array = new (std::nothrow) SAFEARRAY;
    if (!array) return nullptr;
    array->cDims = 1;
    array->cbElements = sizeof(std::int32_t);
    array->rgsabound[0].cElements = count;
    array->rgsabound[0].lLbound = lowerBound;
    array->pvData = std::calloc(count ? count : 1, sizeof(std::int32_t));
    if (!array->pvData) {
        delete array;
        return nullptr;
    }
    return array;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
    if (!array) return E_INVALIDARG;
    if (array->cLocks >= 0xFFFFu) return E_UNEXPECTED;
    ++array->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
    if (!array) return E_INVALIDARG;
    if (array->cLocks == 0) return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
    if (!array) return S_OK;
    if (array->cLocks) return DISP_E_ARRAYISLOCKED;
    std::free(array->pvData);
    delete array;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array ? array->cDims : 0; }
UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array ? array->cbElements : 0; }

HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dim, LONG* bound) {
    if (!array || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
    *bound = array->rgsabound[array->cDims - dim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dim, LONG* bound) {
    if (!array || !bound) return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = array->rgsabound[array->cDims - dim];
    *bound = static_cast<LONG>(static_cast<std::int64_t>(b.lLbound) + static_cast<std::int64_t>(b.cElements) - 1);
    return S_OK;
}
