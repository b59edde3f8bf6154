#include "platform/base/OleAuto.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(OleAuto, StringsKeepTheirLengthAndVariantsCopyTheirOwnString) {
    BSTR s = SysAllocString(u"MAP\\ROAD.MDC");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 12u);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);

    VARIANT a;
    a.vt = VT_BSTR;
    a.bstrVal = s;
    VARIANT b;
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    ASSERT_EQ(b.vt, VT_BSTR);
    EXPECT_NE(b.bstrVal, a.bstrVal);
    EXPECT_EQ(std::memcmp(b.bstrVal, u"MAP\\ROAD.MDC", 13 * sizeof(char16_t)), 0);
    VariantClear(&a);
    EXPECT_EQ(a.vt, VT_EMPTY);
    EXPECT_EQ(SysStringLen(b.bstrVal), 12u);
    VariantClear(&b);
}

TEST(OleAuto, ArraysCountLocksAndRefuseWhatCannotBeLocked) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 4);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(SafeArrayGetDim(array), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(array), 4u);
    EXPECT_EQ(array->rgsabound[0].cElements, 4u);
    EXPECT_EQ(static_cast<std::int32_t*>(array->pvData)[3], 0);

    EXPECT_LT(SafeArrayLock(nullptr), 0);
    EXPECT_LT(SafeArrayUnlock(array), 0); // not locked
    EXPECT_EQ(SafeArrayLock(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnlock(array), S_OK);
    array->cLocks = 0xFFFF;
    EXPECT_LT(SafeArrayLock(array), 0);
    array->cLocks = 0;
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);

    EXPECT_EQ(SafeArrayCreateVector(VT_BSTR, 0, 4), nullptr);
}
