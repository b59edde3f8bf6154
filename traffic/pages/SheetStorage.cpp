#include "traffic/pages/SheetStorage.h"

CSheetStorage* CSheetStorage::s_instance = nullptr;

CSheetStorage* CSheetStorage::instance() {
    if (!s_instance) s_instance = new CSheetStorage;
    return s_instance;
}

void CSheetStorage::destruct() {
    delete s_instance;
    s_instance = nullptr;
}

void CSheetStorage::StoreReceivePage(int region, int frequency, int third) {
    m_receiveRegion = region;
    m_receiveFrequency = frequency;
    m_receiveThird = third;
}

int CSheetStorage::RestoreReceivePage(int& region, int& frequency, int& third) const {
    if (m_receiveRegion == -1 || m_receiveFrequency == -1 || m_receiveThird == -1) return 0;
    region = m_receiveRegion;
    frequency = m_receiveFrequency;
    third = m_receiveThird;
    return 1;
}

void CSheetStorage::StoreNewsPage(int list, std::uint16_t key, std::uint8_t subKey) {
    m_newsList = list;
    m_newsKey = key;
    m_newsSubKey = subKey;
}

void CSheetStorage::RestoreNewsPage(int& list, std::uint16_t& key, std::uint8_t& subKey) const {
    list = m_newsList;
    key = m_newsKey;
    subKey = m_newsSubKey;
}

void CSheetStorage::StoreInterestIndex(int slot, int row) {
    m_interestSlot = slot;
    m_interestRow = row;
}

void CSheetStorage::RestoreInterestIndex(int& slot, int& row) const {
    slot = m_interestSlot;
    row = m_interestRow;
}

void CSheetStorage::SetTrafficPrevInfo(int row, const CString& name) {
    m_trafficPrevRow = row;
    m_trafficPrevName = name;
}

void CSheetStorage::GetTrafficPrevInfo(int& row, CString& name) const {
    row = m_trafficPrevRow;
    name = m_trafficPrevName;
}

void CSheetStorage::SetInterestPrevInfo(int row, const CString& name) {
    m_interestPrevRow = row;
    m_interestPrevName = name;
}

void CSheetStorage::GetInterestPrevInfo(int& row, CString& name) const {
    row = m_interestPrevRow;
    name = m_interestPrevName;
}

void CSheetStorage::StoreDisplayOption(const bool* options) {
    if (!options) return;
    for (int i = 0; i < 4; ++i) m_display[i] = options[i];
}

void CSheetStorage::RestoreDisplayOption(bool* options) const {
    if (!options) return;
    for (int i = 0; i < 4; ++i) options[i] = m_display[i];
}
