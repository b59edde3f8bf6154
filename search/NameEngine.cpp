#include "search/NameEngine.h"

#include "search/SearchFormat.h"

#include <cstring>

void NameRecord::Parse(const std::uint8_t* p) {
    std::memcpy(name, p, 20);
    name[20] = 0;
    for (int k = 0; k < 3; ++k) pos[k] = tolvik::Le16(p + 20 + 2 * k);
    admin1 = tolvik::Le16(p + 26);
    admin2 = tolvik::Le16(p + 28);
    for (int k = 0; k < 3; ++k) extra[k] = tolvik::Le16(p + 30 + 2 * k);
    detail = tolvik::Le32(p + 36);
}

bool CNameEngine::Reload(const char16_t*, const char16_t*) { return true; }
bool CNameEngine::OpenOn(const char16_t*, const char16_t*) { return true; }
bool CNameEngine::Search(const char*) { return true; }
bool CNameEngine::GetPosition(int, _NAME_RESULT&) { return true; }
std::uint32_t CNameEngine::GetDetailNumber(int) { return 0; }
bool CNameEngine::GetHit(int, NameHit&) { return true; }
bool CNameEngine::GetName(int, char*) { return true; }
bool CNameEngine::GetLocal(int, char*) { return true; }
bool CNameEngine::ReadEntry30(int, char*) { return true; }
bool CNameEngine::IsReady() { return true; }
int CNameEngine::GetCount() { return 0; }
void CNameEngine::Clear() {}
