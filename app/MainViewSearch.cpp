// The five searches of the main menu and the point-of-interest bar, run through the search library.
#include "app/CMainView.h"

void CMainView::SearchName(bool) {}

void CMainView::SearchAddress(bool, bool) {}

void CMainView::SearchCategory(bool) {}

void CMainView::SearchTheme(bool) {}

void CMainView::SearchAround(bool) {}

void CMainView::OnAroundPreview(std::int32_t, std::int32_t, int) {}

void CMainView::OnPoiBarSelect(int) {}

void CMainView::SearchPoiInfo(bool) {}
