#include "traffic/pages/ReceivePage.h"

IMPLEMENT_DYNAMIC(CReceivePage, CPropertyPage)

void CReceivePage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"상태";
    AfxRegisterDialogTemplate(IDD, t);
}
