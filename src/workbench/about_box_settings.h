// The about box's settings and the arithmetic that fills and places its dialog, the same in
// every window: the Qt and the Win32 about boxes differ only in the controls they make.
#pragma once

#include <string>
#include <vector>

namespace brevok {

/// The copyright line a new about box carries.
inline constexpr const char* kBuiltInCopyright = "Copyright 2026 Halvane";
/// The author shown when none is set.
inline constexpr const char* kBuiltInAuthor = "Halvane";

/// Design positions of the dialog's controls, before the about box places them.
inline constexpr int kAboutLabelLeft = 32;
inline constexpr int kAboutTitleTop = 15;
inline constexpr int kAboutCopyrightTop = 30;
inline constexpr int kAboutAuthorTop = 45;
inline constexpr int kAboutVersionTop = 60;
inline constexpr int kAboutLogoLeft = 8;
inline constexpr int kAboutLogoTop = 80;
inline constexpr int kAboutLogoWidth = 137;
inline constexpr int kAboutLogoHeight = 121;
inline constexpr int kAboutOkLeft = 40;
inline constexpr int kAboutOkTop = 218;
inline constexpr int kAboutOkWidth = 97;
inline constexpr int kAboutOkHeight = 25;
/// The design-time client size of the dialog.
inline constexpr int kAboutDesignWidth = 180;
inline constexpr int kAboutDesignHeight = 254;

/// Widths of the four text lines once they hold their texts.
struct AboutTextWidths {
    int title = 0;
    int copyright = 0;
    int author = 0;
    int version = 0;
};

/// Where the dialog's controls go. Left edges may be negative and stay so.
struct AboutLayout {
    int width = 0;   ///< outer width of the dialog, frame included
    int height = 0;  ///< outer height
    int titleLeft = 0;
    int copyrightLeft = 0;
    int authorLeft = 0;
    int versionLeft = 0;
    int logoLeft = 0;
    int okLeft = 0;
    int okTop = 0;
    int okWidth = 0;
};

/// The settings of an about dialog and the rules every Execute applies to them. Execute
/// raises Width and Height to fit the logo and keeps the raised values, and fills an empty
/// Title and Author, keeping them too.
class AboutBoxSettings {
public:
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

    /// Fills an empty Title with the application's title and an empty Author with the
    /// built-in one; both stay filled.
    void FillBlanks(const std::string& applicationTitle);
    /// The title bar text: the caption, or a blank when it is empty (an empty title would let
    /// a window system show the application's name instead).
    std::string WindowCaption() const;
    /// "Version " and the file version among `versionStrings` (the reader's strings of
    /// Filename), or Version when the file has none.
    std::string VersionLine(const std::vector<std::string>& versionStrings) const;
    /// Raises Width and Height to make room for a logo picture of the given size and the
    /// button below it, and places every control across the outer width.
    AboutLayout LayOut(int pictureWidth, int pictureHeight, const AboutTextWidths& texts);

    /// The running program's file version ("1.1.0.3"), or Version when it cannot be read.
    std::string GetFileVersion() const;
    /// The running program's internal name, or Version when it cannot be read.
    std::string GetInternalName() const;

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
};

/// The about box of the main window: its title, the built-in copyright and author, centred
/// text, 150 x 150 before the logo raises it, and the dialog's built-in logo.
void SetUpMainWindowAboutBox(AboutBoxSettings& box);

}  // namespace brevok
