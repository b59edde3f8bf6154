#include "traffic/pages/DARCStockPage.h"

IMPLEMENT_DYNAMIC(CDARCStockPage, CPropertyPage)

void CDARCStockPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"증권";
    AfxRegisterDialogTemplate(IDD, t);
}
