// The geometry of the built-in skin: resource numbers, image sizes, the control lines of the
// three windows and the frame pieces of the playlist and play windows. The skin generator
// (tools/skingen) draws its bitmaps to these numbers and writes them into the sample "Test
// Skin" description files; the windows build their built-in layout from the same tables, so
// the artwork, the sample skin and the windows cannot drift apart.
//
// Control lines hold the numbers of a description-file control line in file order (x, y,
// width, height, then the kind's source points and values); a negative x counts from the right
// edge, a negative y from the bottom edge. Source points of -1, -1 are "not given".
#pragma once

#include <array>
#include <cstddef>

namespace builtin {

enum ResourceId : int {
    // Main window images, slots 0 to 13.
    kMainBackground = 131,
    kMainSmallTransport = 153,
    kMainWindowButtons = 148,
    kMainTransport = 133,
    kMainPlayPause = 146,
    kMainToggles = 145,
    kMainBars = 152,
    kMainThumbs = 147,
    kMainTypeFont = 135,
    kMainLargeDigits = 156,
    kMainSmallDigits = 168,
    kMainPlayState = 144,
    kMainMuteLoop = 157,
    kMainAnimation = 170,
    // Playlist window images 1 to 3 (150 is shared with the play window).
    kPlaylistFrame = 149,
    kWindowButtons = 150,
    kPlaylistButtons = 151,
    // Play window images 1 to 4 (image 2 is kWindowButtons).
    kPlayFrame = 137,
    kPlayTransport = 175,
    kPlayModes = 176,
    kLogo = 155,
    kIcon = 128,
    // Cursors in slot order: drag area, left/right edge, top/bottom edge, single buttons,
    // corner, elsewhere.
    kCursorDrag = 205,
    kCursorHorizontal = 206,
    kCursorButton = 207,
    kCursorElsewhere = 208,
    kCursorVertical = 209,
    kCursorCorner = 210,
};

struct ImageSize {
    int nId;
    int nWidth;
    int nHeight;
    const char* pszFile; // its name in the sample skin folder
};

// clang-format off
inline constexpr std::array<int, 14> kMainImages{
    kMainBackground, kMainSmallTransport, kMainWindowButtons, kMainTransport, kMainPlayPause,
    kMainToggles,    kMainBars,           kMainThumbs,        kMainTypeFont,  kMainLargeDigits,
    kMainSmallDigits, kMainPlayState,     kMainMuteLoop,      kMainAnimation};
inline constexpr std::array<int, 3> kPlaylistImages{kPlaylistFrame, kWindowButtons,
                                                    kPlaylistButtons};
inline constexpr std::array<int, 4> kPlayImages{kPlayFrame, kWindowButtons, kPlayTransport,
                                                kPlayModes};
// The order of the six skin cursor slots.
inline constexpr std::array<int, 6> kCursors{kCursorDrag,   kCursorHorizontal, kCursorVertical,
                                             kCursorButton, kCursorCorner,     kCursorElsewhere};

inline constexpr std::array<ImageSize, 21> kImageSizes{{
    {kMainBackground, 312, 118, "main-background.bmp"},
    {kMainSmallTransport, 120, 48, "main-small-transport.bmp"},
    {kMainWindowButtons, 60, 36, "main-window-buttons.bmp"},
    {kMainTransport, 138, 72, "main-transport.bmp"},
    {kMainPlayPause, 585, 65, "main-play-pause.bmp"},
    {kMainToggles, 124, 54, "main-toggles.bmp"},
    {kMainBars, 312, 56, "main-bars.bmp"},
    {kMainThumbs, 34, 18, "main-thumbs.bmp"},
    {kMainTypeFont, 155, 18, "font-type.bmp"},
    {kMainLargeDigits, 110, 11, "digits-large.bmp"},
    {kMainSmallDigits, 88, 9, "digits-small.bmp"},
    {kMainPlayState, 45, 10, "glyphs-play-state.bmp"},
    {kMainMuteLoop, 48, 10, "glyphs-mute-loop.bmp"},
    {kMainAnimation, 81, 10, "loading.bmp"},
    {kPlaylistFrame, 225, 125, "playlist-frame.bmp"},
    {kWindowButtons, 40, 36, "window-buttons.bmp"},
    {kPlaylistButtons, 104, 96, "playlist-buttons.bmp"},
    {kPlayFrame, 275, 124, "play-frame.bmp"},
    {kPlayTransport, 106, 72, "play-transport.bmp"},
    {kPlayModes, 68, 108, "play-modes.bmp"},
    {kLogo, 160, 60, "logo.bmp"},
}};
inline constexpr ImageSize kIconSize{kIcon, 32, 32, "icon.bmp"};

inline const ImageSize* FindImage(int nId) {
    for (const ImageSize& s : kImageSizes)
        if (s.nId == nId)
            return &s;
    return nId == kIcon ? &kIconSize : nullptr;
}

// A control line: the id, the kind's name (for the sample files' comments), the image it takes
// its pieces from (0 for none), the numbers and how many there are.
struct ControlLine {
    int nID;
    const char* pszName;
    int nImage;
    int nCount;
    std::array<int, 24> n;
};

// Number counts of the control kinds.
enum : int { kButton = 12, kCheck = 18, kState = 24, kSlider = 14, kAnim = 5, kLabel = 6,
             kGlyph = 9 };

// Main window, in the order of "MainWindow.txt" (its value lines 28 to 57).
inline constexpr std::array<ControlLine, 30> kMainControls{{
    {1, "button Main Menu", kMainWindowButtons, kButton, {6, 4, 10, 9, 0, 0, 0, 18, 0, 9, 0, 27}},
    {2, "button Minimize", kMainWindowButtons, kButton,
     {273, 4, 10, 9, 10, 0, 10, 18, 10, 9, 10, 27}},
    {3, "button Shade Mode", kMainWindowButtons, kButton,
     {285, 4, 10, 9, 20, 0, 20, 18, 20, 9, 20, 27}},
    {3, "button Expand Mode", kMainWindowButtons, kButton,
     {285, 4, 10, 9, 30, 0, 30, 18, 30, 9, 30, 27}},
    {4, "button Exit", kMainWindowButtons, kButton, {297, 4, 10, 9, 40, 0, 40, 18, 40, 9, 40, 27}},
    {5, "shaded button Previous Clip", kMainSmallTransport, kButton,
     {25, 3, 20, 12, 0, 0, 0, 24, 0, 12, 0, 36}},
    {6, "shaded three-state button Play/Pause", kMainSmallTransport, kState,
     {45, 3, 20, 12, 20, 0, 20, 12, 40, 0, 40, 12, 20, 0, 20, 12, 20, 24, 20, 36, 20, 36, 40,
      36}},
    {7, "shaded button Stop", kMainSmallTransport, kButton,
     {65, 3, 20, 12, 60, 0, 60, 24, 60, 12, 60, 36}},
    {8, "shaded button Next Clip", kMainSmallTransport, kButton,
     {85, 3, 20, 12, 80, 0, 80, 24, 80, 12, 80, 36}},
    {9, "shaded button Open Clip(s)", kMainSmallTransport, kButton,
     {108, 3, 20, 12, 100, 0, 100, 24, 100, 12, 100, 36}},
    {10, "shaded glyph text Play State", kMainPlayState, kGlyph, {199, 4, 9, 10, 9, 10, 5, 1, 0}},
    {11, "shaded glyph text Time", kMainSmallDigits, kGlyph, {210, 5, 56, 10, 8, 9, 11, 1, 0}},
    {29, "shaded animation", kMainAnimation, kAnim, {199, 4, 9, 10, 9}},
    {12, "button Previous Clip", kMainTransport, kButton,
     {96, 79, 28, 18, 0, 0, 0, 36, 0, 18, 0, 54}},
    {14, "button Stop", kMainTransport, kButton, {124, 79, 28, 18, 28, 0, 28, 36, 28, 18, 28, 54}},
    {15, "button Next Clip", kMainTransport, kButton,
     {152, 79, 28, 18, 84, 0, 84, 36, 84, 18, 84, 54}},
    {16, "button Open Clip(s)", kMainTransport, kButton,
     {182, 79, 26, 18, 112, 0, -1, -1, 112, 18, 112, 54}},
    {13, "three-state button Play/Pause", kMainPlayPause, kState,
     {13, 33, 65, 65, 65, 0, 130, 0, 195, 0, 260, 0, 325, 0, 390, 0, 0, 0, 130, 0, 520, 0, 455,
      0}},
    {18, "check button Toggle Playlist Window", kMainToggles, kCheck,
     {243, 79, 31, 18, 0, 0, -1, -1, 62, 0, 0, 18, 62, 18, 0, 36, 62, 36}},
    {17, "check button Toggle Play Window", kMainToggles, kCheck,
     {274, 79, 31, 18, 31, 0, -1, -1, 93, 0, 31, 18, 93, 18, 31, 36, 93, 36}},
    {19, "check button Toggle Mute", kMainWindowButtons, kCheck,
     {282, 63, 10, 9, 50, 9, -1, -1, 50, 0, 50, 0, 50, 9, 50, 27, 50, 18}},
    {20, "slider Volume Bar", kMainThumbs, kSlider,
     {280, 17, 17, 45, -1, -1, -1, -1, 17, 6, 0, 0, 17, 0}},
    {21, "slider Position Bar", kMainThumbs, kSlider,
     {96, 63, 171, 11, -1, -1, -1, -1, 9, 11, 0, 7, 9, 7}},
    {24, "label Clip Info(Name)", 0, kLabel, {105, 25, 154, 15, 0, 11}},
    {25, "glyph text Play State", kMainPlayState, kGlyph, {105, 43, 9, 10, 9, 10, 5, 1, 0}},
    {23, "glyph text Clip Type", kMainTypeFont, kGlyph, {119, 45, 20, 6, 5, 6, 31, 3, 0}},
    {26, "glyph text Time", kMainLargeDigits, kGlyph, {188, 42, 70, 13, 10, 11, 11, 1, 0}},
    {27, "glyph text Mute State", kMainMuteLoop, kGlyph, {148, 43, 12, 10, 12, 10, 4, 1, 0}},
    {28, "glyph text Loop State", kMainMuteLoop, kGlyph, {166, 44, 12, 10, 12, 10, 4, 1, 0}},
    {29, "animation", kMainAnimation, kAnim, {105, 43, 9, 10, 9}},
}};

// Window buttons (image kWindowButtons, 10 x 9 each): columns resize grip, shade, expand,
// close; rows normal, pressed, inactive, hover.
// Playlist window, in the order of "PlaylistWindow.txt" (its value lines 37 to 48).
inline constexpr std::array<ControlLine, 12> kPlaylistControls{{
    {2, "button Resize Window (shaded)", kWindowButtons, kButton,
     {-39, 4, 10, 9, 0, 0, 0, 18, 0, 9, 0, 27}},
    {3, "button Shade Mode", kWindowButtons, kButton, {-27, 4, 10, 9, 10, 0, 10, 18, 10, 9, 10, 27}},
    {3, "button Expand Mode", kWindowButtons, kButton,
     {-27, 4, 10, 9, 20, 0, 20, 18, 20, 9, 20, 27}},
    {4, "button Close Window", kWindowButtons, kButton,
     {-15, 4, 10, 9, 30, 0, 30, 18, 30, 9, 30, 27}},
    {1, "label Active Clip Info(Name) (shaded)", 0, kLabel, {24, 3, 240, 12, 0, 11}},
    // The six bottom buttons take their pictures from the sources 0, 16, 32, 48, 64 and 80
    // of their image, read as 16-pixel bands (rows), since keys 21 pixels wide cannot sit in
    // columns 16 apart; in each band the columns are normal, pressed, inactive, hover.
    {5, "button Load Clip(s) or Playlist", kPlaylistButtons, kButton,
     {12, -24, 21, 16, 0, 0, 42, 0, 21, 0, 63, 0}},
    {6, "button New Playlist", kPlaylistButtons, kButton,
     {33, -24, 21, 16, 0, 16, 42, 16, 21, 16, 63, 16}},
    {7, "button Add Clip(s) or Playlist", kPlaylistButtons, kButton,
     {54, -24, 21, 16, 0, 32, 42, 32, 21, 32, 63, 32}},
    {8, "button Remove Selected Clip(s)", kPlaylistButtons, kButton,
     {75, -24, 21, 16, 0, 48, 42, 48, 21, 48, 63, 48}},
    {9, "button Sort All Clips", kPlaylistButtons, kButton,
     {96, -24, 21, 16, 0, 64, 42, 64, 21, 64, 63, 64}},
    {10, "button Save Clip(s) to Playlist", kPlaylistButtons, kButton,
     {117, -24, 21, 16, 0, 80, 42, 80, 21, 80, 63, 80}},
    {12, "slider Playlist Scrollbar", kPlaylistButtons, kSlider,
     {-16, 18, 10, 73, -1, -1, -1, -1, 10, 18, 84, 0, 94, 0}},
}};

// Play window, in the order of "PlayWindow.txt": ten controls, one line the window does not
// use, the four display-mode radio buttons. Transport image columns: previous 0, play 15,
// pause 30, stop 45, next 60, open 75, full screen 90 (16 wide); rows normal, pressed,
// inactive, hover. Mode image columns: fit, 50%, 100%, 200%; rows normal, pressed, checked,
// checked pressed, hover, checked hover.
inline constexpr std::array<ControlLine, 15> kPlayControls{{
    {1, "button Resize Window", kWindowButtons, kButton, {-39, 4, 10, 9, 0, 0, 0, 18, 0, 9, 0, 27}},
    {2, "button Shade Mode", kWindowButtons, kButton, {-27, 4, 10, 9, 10, 0, 10, 18, 10, 9, 10, 27}},
    {2, "button Expand Mode", kWindowButtons, kButton,
     {-27, 4, 10, 9, 20, 0, 20, 18, 20, 9, 20, 27}},
    {3, "button Close Window", kWindowButtons, kButton,
     {-15, 4, 10, 9, 30, 0, 30, 18, 30, 9, 30, 27}},
    {4, "button Previous Clip", kPlayTransport, kButton,
     {10, -25, 15, 18, 0, 0, 0, 36, 0, 18, 0, 54}},
    {5, "three-state button Play/Pause", kPlayTransport, kState,
     {25, -25, 15, 18, 15, 0, 15, 18, 30, 0, 30, 18, 15, 0, 15, 18, 15, 36, 15, 54, 15, 54, 30,
      54}},
    {6, "button Stop", kPlayTransport, kButton, {40, -25, 15, 18, 45, 0, 45, 36, 45, 18, 45, 54}},
    {7, "button Next Clip", kPlayTransport, kButton,
     {55, -25, 15, 18, 60, 0, 60, 36, 60, 18, 60, 54}},
    {8, "button Open Clip(s)", kPlayTransport, kButton,
     {70, -25, 15, 18, 75, 0, 75, 36, 75, 18, 75, 54}},
    {9, "button Full-Screen Mode", kPlayTransport, kButton,
     {168, -25, 16, 18, 90, 0, 90, 36, 90, 18, 90, 54}},
    {0, "not used", 0, kButton, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},
    {11, "radio button Fit to window", kPlayModes, kCheck,
     {94, -25, 17, 18, 0, 0, -1, -1, 0, 18, 0, 36, 0, 54, 0, 72, 0, 90}},
    {12, "radio button 50%", kPlayModes, kCheck,
     {111, -25, 17, 18, 17, 0, -1, -1, 17, 18, 17, 36, 17, 54, 17, 72, 17, 90}},
    {13, "radio button 100%", kPlayModes, kCheck,
     {128, -25, 17, 18, 34, 0, -1, -1, 34, 18, 34, 36, 34, 54, 34, 72, 34, 90}},
    {14, "radio button 200%", kPlayModes, kCheck,
     {145, -25, 17, 18, 51, 0, -1, -1, 51, 18, 51, 36, 51, 54, 51, 72, 51, 90}},
}};

// clang-format on

// A frame piece: its source rectangle in the window's first image (x, y, width, height).
struct FramePiece {
    int x;
    int y;
    int cx;
    int cy;
};
using FramePieces = std::array<FramePiece, 22>;

// Both frame images share one arrangement: rows of active top, inactive top, shaded active,
// shaded inactive (left 25, centre 100, edge 25, right 50; 18 high), then the bottom row
// (left, edge 25, right 50) and the left edge, right edge and body.
constexpr FramePieces MakeFramePieces(int bottomLeft, int bottomHeight, int leftEdge,
                                      int rightEdge) {
    FramePieces p{};
    for (int set = 0; set < 2; ++set) {
        const int y = 18 * set;
        p[std::size_t(4 * set + 0)] = {0, y, 25, 18};         // top left
        p[std::size_t(4 * set + 1)] = {25, y, 100, 18};       // top centre
        p[std::size_t(4 * set + 2)] = {125, y, 25, 18};       // top edge
        p[std::size_t(4 * set + 3)] = {150, y, 50, 18};       // top right
        p[std::size_t(13 + 4 * set)] = {0, 36 + y, 25, 18};   // shaded left
        p[std::size_t(14 + 4 * set)] = {25, 36 + y, 100, 18}; // shaded centre
        p[std::size_t(15 + 4 * set)] = {125, 36 + y, 25, 18}; // shaded bar
        p[std::size_t(16 + 4 * set)] = {150, 36 + y, 50, 18}; // shaded right
    }
    p[8] = {0, 72, bottomLeft, bottomHeight};
    p[10] = {bottomLeft, 72, 25, bottomHeight};
    p[9] = {bottomLeft + 25, 72, 50, bottomHeight};
    const int y = 72 + bottomHeight;
    p[11] = {0, y, leftEdge, 25};
    p[12] = {leftEdge, y, rightEdge, 25};
    p[21] = {leftEdge + rightEdge, y, 25, 25};
    return p;
}

// Playlist: the list sits 9 from the left, 19 from the top, 24 from the right (the scroll bar's
// track lies in the right edge) and 28 from the bottom (the button bay).
inline constexpr FramePieces kPlaylistPieces = MakeFramePieces(150, 28, 9, 24);
// Play window: the video area sits 6 from the left and right, 18 from the top and 27 from
// the bottom.
inline constexpr FramePieces kPlayPieces = MakeFramePieces(200, 27, 6, 6);

// Colours of the sample skin (and the windows' starting colours), as red, green, blue.
struct SkinColour {
    int r;
    int g;
    int b;
};
inline constexpr SkinColour kLabelText{141, 129, 80};
inline constexpr SkinColour kLabelBack{241, 237, 201};
inline constexpr std::array<SkinColour, 6> kPlaylistColours{
    {{233, 224, 170}, {214, 201, 135}, {141, 129, 80}, {0, 0, 0}, {242, 236, 200}, {141, 129, 80}}};

// The glyph alphabets.
inline constexpr const char* kTypeAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ @  0.123456789._:()-'!_ /[]^&%,=$#";
inline constexpr const char* kTimeAlphabet = "0123456789:";
inline constexpr const char* kPlayStateAlphabet = "PASED";
inline constexpr const char* kMuteLoopAlphabet = "0123";

// Heights of the two modes of the built-in skin.
inline constexpr int kShadeHeight = 18;
inline constexpr int kExpandedHeight = 118;

} // namespace builtin
