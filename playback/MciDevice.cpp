#include "playback/MciDevice.h"

#include "platform/Log.h"

#include <atomic>

namespace {

const char* CommandName(UINT command) {
    switch (command) {
    case MCI_OPEN:
        return "MCI_OPEN";
    case MCI_CLOSE:
        return "MCI_CLOSE";
    case MCI_PLAY:
        return "MCI_PLAY";
    case MCI_SEEK:
        return "MCI_SEEK";
    case MCI_STOP:
        return "MCI_STOP";
    case MCI_PAUSE:
        return "MCI_PAUSE";
    case MCI_SET:
        return "MCI_SET";
    case MCI_STATUS:
        return "MCI_STATUS";
    default:
        return "MCI command";
    }
}

} // namespace

std::string MciErrorText(DWORD error) {
    switch (error) {
    case MCIERR_NONE:
        return "The command succeeded.";
    case MCIERR_INVALID_DEVICE_ID:
        return "The device is not open.";
    case MCIERR_UNRECOGNIZED_COMMAND:
        return "The command is not recognised.";
    case MCIERR_HARDWARE:
        return "The drive reports a hardware error.";
    case MCIERR_INVALID_DEVICE_NAME:
        return "The drive cannot be opened.";
    case MCIERR_UNSUPPORTED_FUNCTION:
        return "The device cannot carry out the command.";
    case MCIERR_DEVICE_NOT_READY:
        return "The device is not ready: no readable disc in the drive.";
    case MCIERR_OUTOFRANGE:
        return "The position or track is out of range.";
    case MCIERR_BAD_TIME_FORMAT:
        return "The time format is not supported.";
    default:
        return "Error " + std::to_string(error) + ".";
    }
}

bool CMciDevice::Open(DWORD deviceType, bool shareable, const std::string& element) {
    static std::atomic<DWORD> nextId{1};
    MciParams params;
    params.deviceType = deviceType;
    params.element = element;
    DWORD flags = MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID | MCI_WAIT;
    if (shareable)
        flags |= MCI_OPEN_SHAREABLE;
    if (!element.empty())
        flags |= MCI_OPEN_ELEMENT;
    Close();
    if (!Send(MCI_OPEN, flags, params))
        return false;
    m_nDeviceId = nextId++;
    return true;
}

void CMciDevice::Close() {
    if (!IsOpen())
        return;
    MciParams params;
    Send(MCI_CLOSE, MCI_WAIT, params);
    m_nDeviceId = 0;
}

bool CMciDevice::SetTimeFormat(DWORD format) {
    MciParams params;
    params.timeFormat = format;
    return Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, params);
}

DWORD CMciDevice::GetStatus(DWORD item) {
    MciParams params;
    params.item = item;
    return Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, params) ? params.returnValue : 0;
}

DWORD CMciDevice::GetTrackStatus(DWORD track, DWORD item) {
    MciParams params;
    params.item = item;
    params.track = track;
    return Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT, params) ? params.returnValue
                                                                            : 0;
}

bool CMciDevice::Play(DWORD from, DWORD to, bool notify) {
    MciParams params;
    params.from = from;
    params.to = to;
    return Send(MCI_PLAY, MCI_FROM | MCI_TO | (notify ? MCI_NOTIFY : MCI_WAIT), params);
}

bool CMciDevice::Seek(DWORD to) {
    MciParams params;
    params.to = to;
    return Send(MCI_SEEK, MCI_TO | MCI_WAIT, params);
}

bool CMciDevice::Pause() {
    MciParams params;
    return Send(MCI_PAUSE, MCI_WAIT, params);
}

bool CMciDevice::Stop() {
    MciParams params;
    return Send(MCI_STOP, MCI_WAIT, params);
}

bool CMciDevice::Send(UINT command, DWORD flags, MciParams& params) {
    const DWORD error = command != MCI_OPEN && !IsOpen() ? DWORD(MCIERR_INVALID_DEVICE_ID)
                                                         : Execute(command, flags, params);
    if (error == 0)
        return true;
    KeepError(error);
    platform::LogVerbose(std::string(CommandName(command)) + " failed: " + MciErrorText(error));
    return false;
}

void CMciDevice::KeepError(DWORD error) {
    if (error != 0)
        m_dwLastError = error;
}

void CMciDevice::NotifyCallback(WPARAM result) {
    if (m_pCallbackWnd)
        m_pCallbackWnd->SendMessage(MM_MCINOTIFY, result, LPARAM(m_nDeviceId));
}
