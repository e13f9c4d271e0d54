// TAbout: the about dialog that THalvaneAboutBox fills, lays out and shows.
#pragma once

#include "versioninfo/get_version_info.h"
#include "workbench/about_box_settings.h"

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QSize>

class QLabel;
class QPushButton;

namespace brevok {

/// An image control: draws its picture from its top-left corner, clipped to the control,
/// with nothing behind it (the parent shows through). A bitmap is drawn transparent: the
/// colour of its bottom-left pixel is left out, as a logo's background should be. An icon
/// keeps its own transparency.
class TImage : public QWidget {
    Q_OBJECT
public:
    enum class PictureKind { Bitmap, Icon };

    explicit TImage(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture, PictureKind kind);
    /// The picture itself, whatever the control's size.
    const QImage& Picture() const { return picture_; }
    PictureKind Kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPixmap drawn_;
    PictureKind kind_ = PictureKind::Bitmap;
};

/// The about dialog (object name "About"): four text lines, the logo, an OK button and the
/// version reader whose strings supply the version line. A fixed-size window with only a
/// close box, always on top, centred on its screen when shown. The controls sit at their
/// design positions until THalvaneAboutBox lays them out.
class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);

    /// The built-in logo, a 147 x 120 bitmap with 256 colours.
    static QImage BuiltInLogo();

    /// Fixes the window's outer size (frame included, where the platform has one).
    void SetOuterSize(QSize size);
    /// The outer size last asked for.
    QSize OuterSize() const { return outer_; }

    QLabel* WTitle = nullptr;
    QLabel* WCopyright = nullptr;
    QLabel* WAuthor = nullptr;
    QLabel* WVersion = nullptr;
    TImage* Logo = nullptr;
    QPushButton* OkButton = nullptr;
    TGetVersionInfoFromFile GetVersion;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyOuterSize();

    QSize outer_;
};

}  // namespace brevok
