// The about box's texts and the placement of its dialog's controls.
#include "workbench/about_box_settings.h"

#include "platform/self_path.h"
#include "versioninfo/get_version_info.h"

namespace brevok {

namespace {

/// Integer half, remainder dropped (toward zero also for negative values).
int Half(int value)
{
    return value / 2;
}

std::string ValueAt(const std::vector<std::string>& values, std::size_t position, const std::string& fallback)
{
    return position < values.size() ? values[position] : fallback;
}

std::string RunningProgramValue(std::size_t position, const std::string& fallback)
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(RunningProgramPath());
    return ValueAt(reader.VersionStrings(), position, fallback);
}

}  // namespace

void AboutBoxSettings::FillBlanks(const std::string& applicationTitle)
{
    if (title_.empty())
        title_ = applicationTitle;
    if (author_.empty())
        author_ = kBuiltInAuthor;
}

std::string AboutBoxSettings::WindowCaption() const
{
    return caption_.empty() ? std::string(" ") : caption_;
}

std::string AboutBoxSettings::VersionLine(const std::vector<std::string>& versionStrings) const
{
    return kFileVersionPosition < versionStrings.size() ? "Version " + versionStrings[kFileVersionPosition]
                                                        : version_;
}

AboutLayout AboutBoxSettings::LayOut(int pictureWidth, int pictureHeight, const AboutTextWidths& texts)
{
    // Room for the logo's picture (not its control) and the button below it.
    if (pictureWidth >= width_)
        width_ = pictureWidth + 8;
    if (width_ < 120)
        width_ = 120;
    if (pictureHeight + 150 > height_)
        height_ = pictureHeight + 150;

    AboutLayout layout;
    layout.width = width_;
    layout.height = height_;
    const auto left = [&](int textWidth) { return textCentered_ ? Half(width_) - Half(textWidth) : textLeft_; };
    layout.titleLeft = left(texts.title);
    layout.copyrightLeft = left(texts.copyright);
    layout.authorLeft = left(texts.author);
    layout.versionLeft = left(texts.version);
    layout.logoLeft = Half(width_) - Half(pictureWidth);
    layout.okTop = pictureHeight + 90;
    layout.okWidth = width_ - 60;
    layout.okLeft = Half(width_) - Half(layout.okWidth);
    return layout;
}

void SetUpMainWindowAboutBox(AboutBoxSettings& box)
{
    box.SetTitle("Resource Compiler");
    box.SetCopyright(kBuiltInCopyright);
    box.SetAuthor(kBuiltInAuthor);
    box.SetTextLeft(20);
    box.SetTextCentered(true);
    box.SetHeight(150);
    box.SetWidth(150);
    box.SetDefaultIcon(true);
}

std::string AboutBoxSettings::GetFileVersion() const
{
    return RunningProgramValue(kFileVersionPosition, version_);
}

std::string AboutBoxSettings::GetInternalName() const
{
    return RunningProgramValue(kInternalNamePosition, version_);
}

}  // namespace brevok
