// The RealMedia engine (engine 1). Its client engine does not exist on Linux: the engine is
// not installed, and with the WindowsMediaOnly switch on it is not even created, so its file
// types go to the media engine.
#pragma once

#include "playback/AbsentRuntimeEngine.h"

class CRealEngine : public CAbsentRuntimeEngine {
public:
    CRealEngine() : CAbsentRuntimeEngine("RealMedia") {}
};
