// THalvaneAboutBox: the about-box component a window configures and asks to show its dialog.
#pragma once

#include <QObject>

#include <functional>
#include <string>

namespace brevok {

class TAbout;

/// The copyright line a new about box carries.
inline constexpr const char* kBuiltInCopyright = "Copyright 2026 Halvane";
/// The author shown when none is set.
inline constexpr const char* kBuiltInAuthor = "Halvane";

/// A non-visual component holding the settings of an about dialog. Every Execute builds a
/// new TAbout from them, lays it out and shows it modally; nothing of the dialog survives
/// the call. Execute raises Width and Height to fit the logo and keeps the raised values,
/// and fills an empty Title and Author, keeping them too.
class THalvaneAboutBox : public QObject {
    Q_OBJECT
public:
    /// Called with the dialog once it is on screen, inside its modal loop; a host or a test
    /// may inspect it and must close it (accept, reject or close).
    using ShownHook = std::function<void(TAbout&)>;

    explicit THalvaneAboutBox(QObject* owner = nullptr);

    const std::string& Title() const { return title_; }
    void SetTitle(std::string value) { title_ = std::move(value); }
    /// Shown, without a prefix, when the file's version cannot be read.
    const std::string& Version() const { return version_; }
    void SetVersion(std::string value) { version_ = std::move(value); }
    const std::string& Copyright() const { return copyright_; }
    void SetCopyright(std::string value) { copyright_ = std::move(value); }
    const std::string& Author() const { return author_; }
    void SetAuthor(std::string value) { author_ = std::move(value); }
    /// Left edge of the text lines when they are not centred.
    int TextLeft() const { return textLeft_; }
    void SetTextLeft(int value) { textLeft_ = value; }
    bool TextCentered() const { return textCentered_; }
    void SetTextCentered(bool value) { textCentered_ = value; }
    /// The dialog's title bar text, set even when empty.
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string value) { caption_ = std::move(value); }
    /// Outer height and width of the dialog, in pixels.
    int Height() const { return height_; }
    void SetHeight(int value) { height_ = value; }
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    /// The file whose version resource supplies the version line.
    const std::string& Filename() const { return filename_; }
    void SetFilename(std::string value) { filename_ = std::move(value); }
    /// A bitmap file shown as the logo when DefaultIcon is false.
    const std::string& IconFile() const { return iconFile_; }
    void SetIconFile(std::string value) { iconFile_ = std::move(value); }
    /// Keep the dialog's built-in logo.
    bool DefaultIcon() const { return defaultIcon_; }
    void SetDefaultIcon(bool value) { defaultIcon_ = value; }

    /// Builds, lays out and shows the dialog modally. True when it was closed with OK,
    /// false when closed otherwise. Throws Error when IconFile cannot be loaded as a
    /// bitmap; the dialog is then never shown.
    bool Execute();

    /// The running program's file version ("1.1.0.3"), or Version when it cannot be read.
    std::string GetFileVersion() const;
    /// The running program's internal name, or Version when it cannot be read.
    std::string GetInternalName() const;

    void SetShownHook(ShownHook hook) { shownHook_ = std::move(hook); }

private:
    std::string title_;
    std::string version_;
    std::string copyright_ = kBuiltInCopyright;
    std::string author_;
    int textLeft_ = 20;
    bool textCentered_ = true;
    std::string caption_;
    int height_ = 250;
    int width_ = 230;
    std::string filename_;
    std::string iconFile_;
    bool defaultIcon_ = false;
    ShownHook shownHook_;
};

}  // namespace brevok
