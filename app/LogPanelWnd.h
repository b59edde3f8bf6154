// The logging panel: starts or stops the recording of the raw receiver data and chooses where the
// log files go (the handheld's memory "Main" or the storage card "Storage"), with the free space
// of both. A plain modeless dialog the view makes once and opens and closes repeatedly.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/Dialog.h"

#include <cstdint>
#include <functional>

class CLogPanelWnd : public CDialog {
public:
    static constexpr UINT kTemplate = 966;
    static constexpr int kMainId = 1628, kStorageId = 1629, kToggleId = 1630, kSpaceId = 1631;

    CLogPanelWnd();
    ~CLogPanelWnd() override;

    // Makes and shows the window over the view, centred across the 240-pixel screen and 70 pixels
    // down; the creation result is kept (0 when it failed).
    BOOL Create(CWnd* view);
    bool IsOpen() const { return m_created != 0 && GetSafeHwnd() != nullptr; }
    bool IsClosed() const { return m_closed != 0; }

    // What the view fills in before opening: free bytes of the memory and card folders, whether
    // it logs and where.
    void SetFreeSpace(std::uint64_t memoryBytes, std::uint64_t cardBytes) {
        m_memoryFree = memoryBytes;
        m_cardFree = cardBytes;
    }
    void SetLogging(bool on) { m_logging = on ? 1 : 0; }
    bool IsLogging() const { return m_logging != 0; }
    int GetStorage() const { return m_storage; }

    void SelectStorage(int which);
    // Starts or stops logging, then closes the panel.
    void ToggleLogging();
    // "Main:%3.1fMB   Strg:%3.1fMB" of the free bytes in millions.
    static CString FreeSpaceText(std::uint64_t memoryBytes, std::uint64_t cardBytes);

    // Run each time the panel closes (its OK, its Cancel, or after its start/stop button, with the
    // logging flag and the storage choice as the user left them).
    void SetClosedHandler(std::function<void()> handler) { m_onClosed = std::move(handler); }

    void OnOK() override;
    void OnCancel() override { OnOK(); }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;

private:
    void ShowLoggingState();

    std::int32_t m_logging = 0;
    std::int32_t m_storage = 0;
    // Free bytes in 64 bits: a card of several gigabytes would wrap in 32.
    std::uint64_t m_memoryFree = 0;
    std::uint64_t m_cardFree = 0;
    std::int32_t m_created = 0;
    std::uint8_t m_closed = 0;
    std::function<void()> m_onClosed;
};
