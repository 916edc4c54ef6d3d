// Message boxes: modal, owned by a window, brought to the foreground. Tests replace the box
// with a hook that records the request and answers it.
#pragma once

#include "platform/WinTypes.h"

#include <functional>
#include <string>

class CWnd;

enum : UINT {
    MB_OK = 0x0000,
    MB_OKCANCEL = 0x0001,
    MB_YESNO = 0x0004,
    MB_ICONERROR = 0x0010,
    MB_ICONQUESTION = 0x0020,
    MB_ICONWARNING = 0x0030,
    MB_ICONINFORMATION = 0x0040,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct MessageBoxRequest {
    CWnd* pOwner = nullptr;
    std::string text;
    std::string caption;
    UINT type = MB_OK;
};

// Shows the box and returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO).
int MessageBox(CWnd* pOwner, const std::string& text, const std::string& caption,
               UINT type = MB_OK);

// While a hook is set, boxes are not shown: the hook gets each request and returns the answer.
// An empty function removes the hook.
void SetMessageBoxHook(std::function<int(const MessageBoxRequest&)> hook);
