// THalvaneAboutBox: filling, laying out and showing the about dialog; the program's own version.
#include "ui/qt/about_box.h"

#include "ui/qt/qt_text.h"

#include "ui/qt/about_dialog.h"
#include "platform/errors.h"
#include "platform/self_path.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <memory>

namespace brevok {

namespace {

constexpr int kIconSize = 32;

/// Integer half, remainder dropped (toward zero also for negative values).
int Half(int value)
{
    return value / 2;
}

std::string ApplicationTitle()
{
    return FromQt(QGuiApplication::applicationDisplayName());
}

void SetLabelText(QLabel* label, const std::string& text)
{
    label->setText(ToQt(text));
    label->adjustSize();
}

/// Loads `path` as a Windows bitmap, whatever its name or content says it is.
QImage LoadBitmap(const std::string& path)
{
    QFile file(ToQt(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(FormatText("Cannot open file %s", path));
    QImageReader reader(&file, "BMP");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw Error(FormatText("Cannot load bitmap %s: not a valid bitmap image", path));
    return image;
}

/// A 32 x 32 copy of the application's icon (the style's computer icon when the
/// application has none).
QImage ApplicationIconImage()
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    QImage canvas(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(0, 0, kIconSize, kIconSize), icon.pixmap(QSize(kIconSize, kIconSize), 1.0));
    return canvas;
}

std::string ValueAt(const TGetVersionInfoFromFile& reader, std::size_t position, const std::string& fallback)
{
    const auto& values = reader.VersionStrings();
    return position < values.size() ? values[position] : fallback;
}

}  // namespace

THalvaneAboutBox::THalvaneAboutBox(QObject* owner) : QObject(owner)
{ }

bool THalvaneAboutBox::Execute()
{
    auto dialog = std::make_unique<TAbout>();
    if (title_.empty())
        title_ = ApplicationTitle();
    // An empty title would make the window system show the application's name instead; a
    // blank keeps the title bar as empty as the caption.
    dialog->setWindowTitle(caption_.empty() ? QStringLiteral(" ") : ToQt(caption_));
    dialog->GetVersion.setFileName(filename_);
    if (author_.empty())
        author_ = kBuiltInAuthor;

    const auto& values = dialog->GetVersion.VersionStrings();
    SetLabelText(dialog->WVersion,
                 kFileVersionPosition < values.size() ? "Version " + values[kFileVersionPosition] : version_);
    SetLabelText(dialog->WTitle, title_);
    SetLabelText(dialog->WCopyright, copyright_);
    SetLabelText(dialog->WAuthor, author_);

    if (!defaultIcon_) {
        if (!iconFile_.empty())
            dialog->Logo->SetPicture(LoadBitmap(iconFile_), TImage::PictureKind::Bitmap);
        else
            dialog->Logo->SetPicture(ApplicationIconImage(), TImage::PictureKind::Icon);
    }

    // Size: room for the logo's picture (not its control) and the button below it.
    const int pictureWidth = dialog->Logo->Picture().width();
    const int pictureHeight = dialog->Logo->Picture().height();
    if (pictureWidth >= width_)
        width_ = pictureWidth + 8;
    if (width_ < 120)
        width_ = 120;
    if (pictureHeight + 150 > height_)
        height_ = pictureHeight + 150;
    dialog->OkButton->move(dialog->OkButton->x(), pictureHeight + 90);
    dialog->SetOuterSize(QSize(width_, height_));

    // Placement across the outer width; a left edge may come out negative and stays so.
    const int outerWidth = dialog->OuterSize().width();
    for (QLabel* label : {dialog->WTitle, dialog->WAuthor, dialog->WCopyright, dialog->WVersion}) {
        const int left = textCentered_ ? Half(outerWidth) - Half(label->width()) : textLeft_;
        label->move(left, label->y());
    }
    dialog->Logo->move(Half(outerWidth) - Half(pictureWidth), dialog->Logo->y());
    QPushButton* ok = dialog->OkButton;
    ok->resize(outerWidth - 60, ok->height());
    ok->move(Half(outerWidth) - Half(ok->width()), ok->y());

    if (shownHook_) {
        QTimer::singleShot(0, dialog.get(), [this, shown = dialog.get()] { shownHook_(*shown); });
    }
    return dialog->exec() == QDialog::Accepted;
}

std::string THalvaneAboutBox::GetFileVersion() const
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(RunningProgramPath());
    return ValueAt(reader, kFileVersionPosition, version_);
}

std::string THalvaneAboutBox::GetInternalName() const
{
    TGetVersionInfoFromFile reader;
    reader.setFileName(RunningProgramPath());
    return ValueAt(reader, kInternalNamePosition, version_);
}

}  // namespace brevok
