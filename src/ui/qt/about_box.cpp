// THalvaneAboutBox: filling, laying out and showing the about dialog; the program's own version.
#include "ui/qt/about_box.h"

#include "ui/qt/qt_text.h"

#include "ui/qt/about_dialog.h"
#include "rules/errors.h"

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
        throw CannotOpenFile(path);
    QImageReader reader(&file, "BMP");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw CannotLoadBitmap(path);
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

}  // namespace

THalvaneAboutBox::THalvaneAboutBox(QObject* owner) : QObject(owner)
{ }

bool THalvaneAboutBox::Execute()
{
    auto dialog = std::make_unique<TAbout>();
    FillBlanks(FromQt(QGuiApplication::applicationDisplayName()));
    dialog->setWindowTitle(ToQt(WindowCaption()));
    dialog->GetVersion.setFileName(Filename());
    SetLabelText(dialog->WVersion, VersionLine(dialog->GetVersion.VersionStrings()));
    SetLabelText(dialog->WTitle, Title());
    SetLabelText(dialog->WCopyright, Copyright());
    SetLabelText(dialog->WAuthor, Author());

    if (!DefaultIcon()) {
        if (!IconFile().empty())
            dialog->Logo->SetPicture(LoadBitmap(IconFile()), TImage::PictureKind::Bitmap);
        else
            dialog->Logo->SetPicture(ApplicationIconImage(), TImage::PictureKind::Icon);
    }

    const QImage& picture = dialog->Logo->Picture();
    const AboutLayout layout = LayOut(picture.width(), picture.height(),
                                      {dialog->WTitle->width(), dialog->WCopyright->width(),
                                       dialog->WAuthor->width(), dialog->WVersion->width()});
    dialog->SetOuterSize(QSize(layout.width, layout.height));
    dialog->WTitle->move(layout.titleLeft, dialog->WTitle->y());
    dialog->WCopyright->move(layout.copyrightLeft, dialog->WCopyright->y());
    dialog->WAuthor->move(layout.authorLeft, dialog->WAuthor->y());
    dialog->WVersion->move(layout.versionLeft, dialog->WVersion->y());
    dialog->Logo->move(layout.logoLeft, dialog->Logo->y());
    dialog->OkButton->setGeometry(layout.okLeft, layout.okTop, layout.okWidth, dialog->OkButton->height());

    if (shownHook_) {
        QTimer::singleShot(0, dialog.get(), [this, shown = dialog.get()] { shownHook_(*shown); });
    }
    return dialog->exec() == QDialog::Accepted;
}

}  // namespace brevok
