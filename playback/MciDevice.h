// One media-control device: open, close, status, set, play, seek, pause and stop, each issued
// as a command message with its flags and parameters. A command that fails keeps its error
// number as the device's last error; nothing is shown. A play issued with MCI_NOTIFY reports its
// end to the callback window with MM_MCINOTIFY (wParam the result, lParam the device id),
// delivered from the message queue after the command has returned.
#pragma once

#include "platform/Wnd.h"
#include "playback/Mci.h"

class CMciDevice {
public:
    CMciDevice() = default;
    virtual ~CMciDevice() = default;
    CMciDevice(const CMciDevice&) = delete;
    CMciDevice& operator=(const CMciDevice&) = delete;

    DWORD GetDeviceId() const { return m_nDeviceId; }
    bool IsOpen() const { return m_nDeviceId != 0; }
    void SetCallbackWnd(CWnd* pWnd) { m_pCallbackWnd = pWnd; }
    CWnd* GetCallbackWnd() const { return m_pCallbackWnd; }
    // The last non-zero result of a command.
    DWORD GetLastError() const { return m_dwLastError; }

    // MCI_OPEN by device type id; the element, when given, names the drive.
    bool Open(DWORD deviceType, bool shareable, const std::string& element = {});
    void Close();
    bool SetTimeFormat(DWORD format);
    // The item's value (dwReturn); 0 when the command fails.
    DWORD GetStatus(DWORD item);
    DWORD GetTrackStatus(DWORD track, DWORD item);
    bool IsReady() { return GetStatus(MCI_STATUS_READY) != 0; }
    bool Play(DWORD from, DWORD to, bool notify);
    bool Seek(DWORD to);
    bool Pause();
    bool Stop();

protected:
    // Issues one command; false (and the last error kept) when it fails.
    bool Send(UINT command, DWORD flags, MciParams& params);
    // The device type's handling of a command: 0 or an error number.
    virtual DWORD Execute(UINT command, DWORD flags, MciParams& params) = 0;
    // Reports the end of a notified play to the callback window.
    void NotifyCallback(WPARAM result);
    void KeepError(DWORD error);

private:
    DWORD m_nDeviceId = 0;
    CWnd* m_pCallbackWnd = nullptr;
    DWORD m_dwLastError = 0;
};
