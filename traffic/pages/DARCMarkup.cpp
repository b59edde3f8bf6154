#include "traffic/pages/DARCMarkup.h"

#include "traffic/receiver/Markup.h"

namespace {
CDARCMarkup* g_markup = nullptr;
}

CDARCMarkup* CDARCMarkup::instance() {
    if (!g_markup) g_markup = new CDARCMarkup();
    return g_markup;
}

void CDARCMarkup::destruct() {
    delete g_markup;
    g_markup = nullptr;
}

int CDARCMarkup::GetSentence(unsigned short document, unsigned char kind, char* text, unsigned short& number,
                             unsigned char& serial, unsigned char& unread) {
    return CMarkup::instance()->GetSentence(document, kind, text, number, serial, unread);
}

void CDARCMarkup::reset() { CMarkup::instance()->reset(); }

int CDARCMarkup::getReset() { return CMarkup::instance()->getReset(); }

void CDARCMarkup::setReset(int flag) { CMarkup::instance()->setReset(flag); }

int CDARCMarkup::GetLastUpdatedTime(CTime& time) { return CMarkup::instance()->GetLastUpdatedTime(time, 0); }

int CDARCMarkup::IsDocAvailable(unsigned short document, unsigned char subKey, unsigned char kind) {
    return CMarkup::instance()->IsDocAvailable(document, subKey, kind);
}

int CDARCMarkup::IsDataAvailable(int kind) { return CMarkup::instance()->IsDataAvailable(kind); }
