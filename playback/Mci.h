// The media control interface as the CD-audio device speaks it: command messages, their flags,
// status items, time formats, notification codes, error numbers, and the packed TMSF and MSF
// positions. The numbers are the interface's own, so logs and callers read the same values.
#pragma once

#include "platform/WinTypes.h"

#include <string>

// Sent to the callback window when a play started with MCI_NOTIFY ends (lParam: device id).
constexpr UINT MM_MCINOTIFY = 0x03B9;
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 1;
constexpr WPARAM MCI_NOTIFY_FAILURE = 8;

enum MciCommand : UINT {
    MCI_OPEN = 0x0803,
    MCI_CLOSE = 0x0804,
    MCI_PLAY = 0x0806,
    MCI_SEEK = 0x0807,
    MCI_STOP = 0x0808,
    MCI_PAUSE = 0x0809,
    MCI_SET = 0x080D,
    MCI_STATUS = 0x0814,
};

enum MciFlag : DWORD {
    MCI_NOTIFY = 0x1,
    MCI_WAIT = 0x2,
    MCI_FROM = 0x4,
    MCI_TO = 0x8,
    MCI_TRACK = 0x10,
    MCI_OPEN_SHAREABLE = 0x100,
    MCI_OPEN_ELEMENT = 0x200,
    MCI_OPEN_TYPE_ID = 0x1000,
    MCI_OPEN_TYPE = 0x2000,
    MCI_STATUS_ITEM = 0x100,
    MCI_SET_TIME_FORMAT = 0x400,
};

enum MciStatusItem : DWORD {
    MCI_STATUS_LENGTH = 1,
    MCI_STATUS_POSITION = 2,
    MCI_STATUS_NUMBER_OF_TRACKS = 3,
    MCI_STATUS_MODE = 4,
    MCI_STATUS_TIME_FORMAT = 6,
    MCI_STATUS_READY = 7,
};

enum MciMode : DWORD {
    MCI_MODE_NOT_READY = 524,
    MCI_MODE_STOP = 525,
    MCI_MODE_PLAY = 526,
    MCI_MODE_SEEK = 528,
    MCI_MODE_PAUSE = 529,
    MCI_MODE_OPEN = 530,
};

enum MciTimeFormat : DWORD {
    MCI_FORMAT_MSF = 2,
    MCI_FORMAT_TMSF = 10,
};

constexpr DWORD MCI_DEVTYPE_CD_AUDIO = 516;

enum MciError : DWORD {
    MCIERR_NONE = 0,
    MCIERR_INVALID_DEVICE_ID = 257,
    MCIERR_UNRECOGNIZED_COMMAND = 261,
    MCIERR_HARDWARE = 262,
    MCIERR_INVALID_DEVICE_NAME = 263,
    MCIERR_UNSUPPORTED_FUNCTION = 274,
    MCIERR_DEVICE_NOT_READY = 276,
    MCIERR_OUTOFRANGE = 282,
    MCIERR_BAD_TIME_FORMAT = 293,
};

// What a command carries in and answers (the fields each command uses).
struct MciParams {
    DWORD deviceType = 0;  // MCI_OPEN
    std::string element;   // MCI_OPEN with MCI_OPEN_ELEMENT: the drive
    DWORD from = 0;        // MCI_PLAY
    DWORD to = 0;          // MCI_PLAY, MCI_SEEK
    DWORD item = 0;        // MCI_STATUS
    DWORD track = 0;       // MCI_STATUS with MCI_TRACK
    DWORD timeFormat = 0;  // MCI_SET
    DWORD returnValue = 0; // MCI_STATUS answer
    DWORD openedId = 0;    // MCI_OPEN answer
};

// A readable text for an error number, as the verbose log shows it.
std::string MciErrorText(DWORD error);

// TMSF: byte 0 track, byte 1 minutes, byte 2 seconds, byte 3 frames.
constexpr DWORD MCI_MAKE_TMSF(DWORD t, DWORD m, DWORD s, DWORD f) {
    return (t & 0xFF) | ((m & 0xFF) << 8) | ((s & 0xFF) << 16) | ((f & 0xFF) << 24);
}
constexpr DWORD MCI_TMSF_TRACK(DWORD v) {
    return v & 0xFF;
}
constexpr DWORD MCI_TMSF_MINUTE(DWORD v) {
    return (v >> 8) & 0xFF;
}
constexpr DWORD MCI_TMSF_SECOND(DWORD v) {
    return (v >> 16) & 0xFF;
}
constexpr DWORD MCI_TMSF_FRAME(DWORD v) {
    return (v >> 24) & 0xFF;
}

// MSF: byte 0 minutes, byte 1 seconds, byte 2 frames.
constexpr DWORD MCI_MAKE_MSF(DWORD m, DWORD s, DWORD f) {
    return (m & 0xFF) | ((s & 0xFF) << 8) | ((f & 0xFF) << 16);
}
constexpr DWORD MCI_MSF_MINUTE(DWORD v) {
    return v & 0xFF;
}
constexpr DWORD MCI_MSF_SECOND(DWORD v) {
    return (v >> 8) & 0xFF;
}
constexpr DWORD MCI_MSF_FRAME(DWORD v) {
    return (v >> 16) & 0xFF;
}
