// THalvaneAboutBox: the about-box component a window configures and asks to show its dialog.
#pragma once

#include "workbench/about_box_settings.h"

#include <QObject>

#include <functional>
#include <string>

namespace brevok {

class TAbout;

/// A non-visual component holding the settings of an about dialog. Every Execute builds a
/// new TAbout from them, lays it out and shows it modally; nothing of the dialog survives
/// the call. The settings and the rules that fill and place the dialog are AboutBoxSettings'.
class THalvaneAboutBox : public QObject, public AboutBoxSettings {
    Q_OBJECT
public:
    /// Called with the dialog once it is on screen, inside its modal loop; a host or a test
    /// may inspect it and must close it (accept, reject or close).
    using ShownHook = std::function<void(TAbout&)>;

    explicit THalvaneAboutBox(QObject* owner = nullptr);

    /// Builds, lays out and shows the dialog modally. True when it was closed with OK,
    /// false when closed otherwise. Throws Error when IconFile cannot be loaded as a
    /// bitmap; the dialog is then never shown.
    bool Execute();

    void SetShownHook(ShownHook hook) { shownHook_ = std::move(hook); }

private:
    ShownHook shownHook_;
};

}  // namespace brevok
