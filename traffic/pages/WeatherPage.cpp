#include "traffic/pages/WeatherPage.h"

IMPLEMENT_DYNAMIC(CWeatherPage, CPropertyPage)

void CWeatherPage::RegisterTemplate() {
    DialogTemplateInfo t;
    t.rect = RECT{0, 0, 240, 268};
    t.style = WS_CHILD;
    t.title = u"기상";
    AfxRegisterDialogTemplate(IDD, t);
}
