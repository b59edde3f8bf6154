#include "traffic/pages/DARCShortText.h"

#include "traffic/receiver/ShortText.h"

namespace {
CDARCShortText* g_shortText = nullptr;
}

CDARCShortText* CDARCShortText::instance() {
    if (!g_shortText) g_shortText = new CDARCShortText();
    return g_shortText;
}

void CDARCShortText::destruct() {
    delete g_shortText;
    g_shortText = nullptr;
}

int CDARCShortText::getSentence(char* text, int& unread, int& kind) {
    return CShortText::instance()->getSentence(text, unread, kind);
}

void CDARCShortText::reset() { CShortText::instance()->reset(); }

int CDARCShortText::getReset() { return CShortText::instance()->getReset(); }

void CDARCShortText::setReset(int flag) { CShortText::instance()->setReset(flag); }

int CDARCShortText::GetLastUpdatedTime(CTime& time, int kindIndex) {
    return CShortText::instance()->GetLastUpdatedTime(time, kindIndex, 0);
}

int CDARCShortText::IsDataAvailable(int kind) { return CShortText::instance()->IsDataAvailable(kind); }
