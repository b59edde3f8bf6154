#include "app/BroadcastReceiver.h"

#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

int CReceiverDecoder::Decode(const std::uint8_t* bytes, std::size_t count) {
    CDARC* darc = CDARC::instance();
    darc->SetData(reinterpret_cast<const char*>(bytes), static_cast<unsigned long>(count));
    return darc->ParseData();
}

void CReceiverStores::OpenStores() {
    const CString folder(m_folder);
    CStock::instance()->openFile(folder);
    CTraffic::instance()->openFile(folder);
    CShortText::instance()->openFile(folder);
    CWeather::instance()->openFile(folder);
    CFreqScanner::instance()->openFile(folder);
    CMarkup::instance()->openFile(folder);
}

void CReceiverStores::CloseStores() {
    CStock::instance()->close();
    CTraffic::instance()->close();
    CShortText::instance()->close();
    CWeather::instance()->close();
    CFreqScanner::instance()->close();
    CMarkup::instance()->close();
}

void CReceiverStores::ClearDownloadedTraffic() { CTraffic::instance()->SetTrafficValidTime(15); }
