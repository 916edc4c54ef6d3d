// The QuickTime engine (engine 2). Its runtime does not exist on Linux: the engine is not
// installed, and with the WindowsMediaOnly switch on it is not even created, so ".mov" and
// ".qt" files go to the media engine.
#pragma once

#include "playback/AbsentRuntimeEngine.h"

class CQuickTimeEngine : public CAbsentRuntimeEngine {
public:
    CQuickTimeEngine() : CAbsentRuntimeEngine("QuickTime") {}
};
