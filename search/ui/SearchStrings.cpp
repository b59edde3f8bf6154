#include "search/ui/SearchStrings.h"

namespace {

struct Entry {
    int id;
    const char16_t* text;
};

constexpr Entry kTable[] = {
    {1, u"지역구분 : 시/도"},
    {2, u"지역구분:시/군/구"},
    {3, u"지역구분:읍/면/동"},
    {4, u"지역구분:리"},
    {5, u"전화번호"},
    {6, u"주소"},
    {8, u"검색 조건을 만족하는 결과가 없습니다."},
    {9, u"※지번입력"},
    {10, u"선택한 시설물이 없습니다. 시설물을 선택하십시오"},
    {11, u"대분류 검색"},
    {16, u"테마관광"},
    {17, u"인접 지번을 선택하여 주십시오."},
    {20, u"기타 상세 정보 없음"},
    {21, u"목적지를 먼저 설정하신 후 바로탐색을 실행하십시오."},
    {22, u"상세 정보가 없는 시설물입니다."},
    {23, u"지번을 먼저 입력하여 주십시오."},
    {24, u"검색 문자열을 먼저 입력하여 주십시오."},
    {26, u"잘못된 형식의 지번을 입력하셨거나, 입력 범위를 초과하였습니다."},
};

} // namespace

CString SearchString(int id) {
    for (const Entry& e : kTable)
        if (e.id == id) return CString(e.text);
    return CString();
}
