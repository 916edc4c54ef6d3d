// What the playback controller asks of the playlist rows: move the cursor row and tell which
// clip it holds. The rows decide the play order; the controller keeps the answer as its
// current clip.
#pragma once

#include <vector>

class CAttribClip;

// The numbers are those the controller passes on.
enum NavigateMode : int {
    NavigateFirst = 0,
    NavigatePrevious = 1,
    NavigateNext = 5,
    NavigateLast = 6,
};

class IPlaylistNavigator {
public:
    virtual ~IPlaylistNavigator() = default;

    // Moves the cursor row and returns the clip of the new cursor row, or null when the move is
    // not possible (the cursor then stays where it was).
    virtual CAttribClip* Navigate(NavigateMode mode) = 0;
    // The clip of the cursor row; null when there is no cursor row or no rows.
    virtual CAttribClip* CurrentClip() const = 0;
    // Whether Navigate(mode) would find a clip.
    virtual bool CanNavigate(NavigateMode mode) const = 0;
    // The rows' clips in row order (the shuffled order picks among them).
    virtual std::vector<CAttribClip*> RowClips() const = 0;
    // Moves the cursor to the row holding clip; returns it, or null when no row does.
    virtual CAttribClip* NavigateTo(CAttribClip* clip) = 0;
};
