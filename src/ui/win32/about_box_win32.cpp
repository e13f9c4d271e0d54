// The about dialog of plain Win32 controls: four text lines, the logo drawn with its background
// left out, and an OK button, placed by the about box's settings.
#include "ui/win32/about_box.h"

#include "ui/win32/modal_form.h"
#include "rules/errors.h"
#include "platform/system_text.h"
#include "platform/wide_text.h"
#include "versioninfo/get_version_info.h"
#include "workbench/error_report.h"

#include <fstream>

namespace brevok::win32 {

namespace {

constexpr int kLogoId = 100;
constexpr int kIconSize = 32;

/// A bitmap or an icon, owned, with its size.
class Picture {
public:
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture()
    {
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        if (icon_ != nullptr)
            DestroyIcon(icon_);
    }

    void SetBitmap(HBITMAP bitmap)
    {
        bitmap_ = bitmap;
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        width_ = info.bmWidth;
        height_ = info.bmHeight;
    }
    void SetIcon(HICON icon)
    {
        icon_ = icon;
        width_ = height_ = kIconSize;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

    /// Draws from the top-left corner, clipped by the control. A bitmap leaves out the colour
    /// of its bottom-left pixel, as a logo's background should be; an icon keeps its own mask.
    void Draw(HDC target) const
    {
        if (icon_ != nullptr) {
            DrawIconEx(target, 0, 0, icon_, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
            return;
        }
        if (bitmap_ == nullptr)
            return;
        HDC source = CreateCompatibleDC(target);
        HGDIOBJ old = SelectObject(source, bitmap_);
        const COLORREF key = GetPixel(source, 0, height_ - 1);
        TransparentBlt(target, 0, 0, width_, height_, source, 0, 0, width_, height_, key);
        SelectObject(source, old);
        DeleteDC(source);
    }

private:
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

/// Loads `path` as a Windows bitmap, whatever its name says it is.
HBITMAP LoadBitmapFile(const std::string& path)
{
    if (!std::ifstream(SystemPath(path), std::ios::binary))
        throw CannotOpenFile(path);
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, WideText(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (bitmap == nullptr)
        throw CannotLoadBitmap(path);
    return bitmap;
}

/// The program's own icon, the system's application icon when it has none.
HICON ApplicationIcon()
{
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
    return icon != nullptr ? icon : CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
}

/// Width of `text` in the window font.
int TextWidth(HWND form, const std::string& text)
{
    return TextExtent(form, WindowFont(), text).cx;
}

/// TAbout: made with its texts and logo, placed by the settings once the texts are measured.
class TAbout final : public ModalForm {
public:
    TAbout(AboutBoxSettings& settings, std::string version, const Picture& logo)
        : settings_(settings), version_(std::move(version)), logo_(logo)
    { }

private:
    void Build(HWND form) override
    {
        const AboutTextWidths widths{TextWidth(form, settings_.Title()), TextWidth(form, settings_.Copyright()),
                                     TextWidth(form, settings_.Author()), TextWidth(form, version_)};
        const AboutLayout layout = settings_.LayOut(logo_.Width(), logo_.Height(), widths);
        // The outer size is known only now, with the texts measured: centred on the screen.
        SetWindowPos(form, nullptr, (GetSystemMetrics(SM_CXSCREEN) - layout.width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - layout.height) / 2, layout.width, layout.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const auto line = [&](const std::string& text, int left, int top, int width) {
            AddControl("STATIC", text.c_str(), SS_LEFT | SS_NOPREFIX, left, top, width, 13, -1);
        };
        line(settings_.Title(), layout.titleLeft, kAboutTitleTop, widths.title);
        line(settings_.Copyright(), layout.copyrightLeft, kAboutCopyrightTop, widths.copyright);
        line(settings_.Author(), layout.authorLeft, kAboutAuthorTop, widths.author);
        line(version_, layout.versionLeft, kAboutVersionTop, widths.version);
        AddControl("STATIC", "", SS_OWNERDRAW, layout.logoLeft, kAboutLogoTop, kAboutLogoWidth, kAboutLogoHeight,
                   kLogoId);
        FocusFirst(AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, layout.okLeft, layout.okTop,
                              layout.okWidth, kAboutOkHeight, IDOK));
    }

    bool Command(WORD id, WORD) override
    {
        if (id != IDOK)
            return false;
        End(1);
        return true;
    }

    // Only the OK button and the close box end the dialog: it has no Cancel button, so
    // Escape does nothing.
    bool KeyboardCloses() const override { return false; }

    bool Draw(const DRAWITEMSTRUCT& item) override
    {
        if (item.CtlID != kLogoId)
            return false;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        logo_.Draw(item.hDC);
        return true;
    }

    AboutBoxSettings& settings_;
    std::string version_;
    const Picture& logo_;
};

}  // namespace

bool THalvaneAboutBox::Execute(HWND owner)
{
    FillBlanks(kApplicationTitle);
    TGetVersionInfoFromFile reader;
    reader.setFileName(Filename());
    const std::string version = VersionLine(reader.VersionStrings());

    Picture logo;
    if (DefaultIcon())
        logo.SetBitmap(static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), kAboutLogoResource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    else if (!IconFile().empty())
        logo.SetBitmap(LoadBitmapFile(IconFile()));
    else
        logo.SetIcon(ApplicationIcon());

    TAbout dialog(*this, version, logo);
    return dialog.Run(owner, WindowCaption(), Width(), Height(), ModalForm::Placement::OuterOnScreenTop) == 1;
}

}  // namespace brevok::win32
