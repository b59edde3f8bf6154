// The broadcast receiver library behind the view's reception interfaces: its decoder (CDARC) and
// its six content stores, opened from and saved to the data folder.
#pragma once

#include "app/MainViewBroadcast.h"

#include <string>

class CReceiverDecoder : public IBroadcastDecoder {
public:
    int Decode(const std::uint8_t* bytes, std::size_t count) override;
};

class CReceiverStores : public IBroadcastStores {
public:
    explicit CReceiverStores(std::u16string dataFolder) : m_folder(std::move(dataFolder)) {}
    // openFile on the stock, traffic, short-text, weather, scanner and markup stores, in order.
    void OpenStores() override;
    // close on the same six in the same order (each writes its save file).
    void CloseStores() override;
    // The data folder the next opening uses.
    void SetFolder(std::u16string dataFolder) { m_folder = std::move(dataFolder); }
    // The downloaded traffic is dropped: the broadcast's traffic is valid for 15 minutes.
    void ClearDownloadedTraffic() override;

private:
    std::u16string m_folder;
};
