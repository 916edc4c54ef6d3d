#include "playback/AbsentRuntimeEngine.h"

#include "platform/Log.h"

bool CAbsentRuntimeEngine::Create(const std::string&, DWORD, const CRect&, CWnd*, int) {
    platform::LogVerbose(std::string(m_pRuntimeName) + " runtime is not available here");
    return false;
}
