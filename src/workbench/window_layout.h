// The main window's layout, in pixels of its client area, shared by both windows: the places
// of the controls as the window was designed.
#pragma once

namespace brevok::layout {

struct Box {
    int x;
    int y;
    int width;
    int height;
};

inline constexpr int kClientWidth = 518;
inline constexpr int kClientHeight = 460;

inline constexpr int kToolBarHeight = 42;
inline constexpr int kToolButtonWidth = 39;
inline constexpr int kToolButtonHeight = 38;
inline constexpr int kPictureSize = 32;

/// lblCurResFile, lblCurExeFile, wFolder and CompLab; the last two are sized to their text.
inline constexpr Box kScriptLabel = {8, 56, 401, 17};
inline constexpr Box kExeLabel = {8, 80, 401, 17};
inline constexpr Box kFolderLabel = {8, 104, 0, 13};
inline constexpr Box kCompilerLabel = {8, 128, 0, 13};
/// The headings "List of Resources" and "Compiler Messages".
inline constexpr Box kListHeading = {8, 176, 169, 25};
inline constexpr Box kMessagesHeading = {8, 336, 169, 25};
inline constexpr Box kList = {16, 201, 481, 121};
inline constexpr Box kMessages = {16, 360, 481, 65};
inline constexpr int kListRowHeight = 13;

inline constexpr int kStatusBarHeight = 21;
inline constexpr int kStatusPanelWidths[3] = {245, 245, 20};

/// The hidden panel of the two link labels.
inline constexpr Box kLinkPanel = {208, 120, 233, 57};
inline constexpr Box kWebLink = {32, 8, 169, 17};
inline constexpr Box kMailLink = {32, 32, 151, 17};

}  // namespace brevok::layout
