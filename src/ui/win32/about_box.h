// THalvaneAboutBox on Windows: the about box's settings shown in a native TAbout dialog.
#pragma once

#include "workbench/about_box_settings.h"

#include <windows.h>

namespace brevok::win32 {

/// The name of the built-in logo among the program's bitmaps (147 x 120, 256 colours).
inline constexpr const char* kAboutLogoResource = "ABOUTLOGO";

/// A non-visual component holding the settings of an about dialog. Every Execute builds a new
/// dialog from them, lays it out by the settings' rules and shows it modally over `owner`;
/// nothing of the dialog survives the call.
class THalvaneAboutBox : public AboutBoxSettings {
public:
    /// True when the dialog was closed with OK, false when closed by its close box. Throws
    /// Error when IconFile cannot be loaded as a bitmap; the dialog is then never shown.
    bool Execute(HWND owner);
};

}  // namespace brevok::win32
