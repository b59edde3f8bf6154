#include "traffic/pages/ShortTextPage.h"

IMPLEMENT_DYNAMIC(CShortTextPage, CPropertyPage)

void CShortTextPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"뉴스";
    AfxRegisterDialogTemplate(IDD, t);
}
