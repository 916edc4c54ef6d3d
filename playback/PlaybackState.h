// The states the playback controller keeps: what the engine last reported and which transport
// request is in force.
#pragma once

// The engine manager's play state (wParam of WM_REG_PLAYSTATE).
enum EnginePlayState : int {
    EngineStopped = 0,
    EnginePlaying = 1,
    EnginePaused = 2,
    EngineBusy = 3, // opening or buffering
};

// wParam of WM_REG_PLAYCOMPLETED: 0 the clip ended, 1 it failed, and this: the sound output
// failed, not the clip, and playback stopped.
constexpr int kPlayOutputFailed = 2;

// The last transport request; it decides what happens when a clip finishes.
enum class PendingAction : int {
    Previous = 1,
    Playing = 2,
    Paused = 3,
    Stopped = 4,
    Next = 5,
    PlayClip = 7,
};
