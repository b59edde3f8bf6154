// Conversion of stored code page 949 text to the framework's wide string.
#pragma once

#include "platform/base/CString.h"

#include <cstddef>

// Converts a zero-terminated code page 949 byte text to a wide string: through code page 949
// when the Korean locale (1042) is valid, else through the device's ANSI code page.
CString MbcsToCString(const char* text);
// The same for a fixed field: at most n bytes, ending early at a zero byte.
CString MbcsToCString(const char* text, std::size_t n);
