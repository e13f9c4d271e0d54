// TAbout: the dialog's controls at their design positions, its window rules and the logo control.
#include "ui/qt/about_dialog.h"

#include <QBitmap>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

// Q_INIT_RESOURCE has to be used outside any namespace; the logo lives in a static library,
// whose resource object the linker would otherwise leave out.
static void InitComponentResources()
{
    Q_INIT_RESOURCE(components);
}

namespace brevok {

namespace {

QFont DialogFont()
{
    // "MS Sans Serif" 8 pt where the system has it, the default sans-serif face otherwise.
    QFont font;
    if (QFontDatabase::hasFamily("MS Sans Serif"))
        font.setFamily("MS Sans Serif");
    else
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const char* text)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

}  // namespace

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TImage::SetPicture(const QImage& picture, PictureKind kind)
{
    picture_ = picture;
    kind_ = kind;
    drawn_ = QPixmap::fromImage(picture);
    if (kind == PictureKind::Bitmap && !picture.isNull()) {
        const QRgb key = picture.pixel(0, picture.height() - 1);
        drawn_.setMask(QBitmap::fromImage(picture.createMaskFromColor(key, Qt::MaskInColor)));
    }
    update();
}

void TImage::paintEvent(QPaintEvent* /*event*/)
{
    if (drawn_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, drawn_);
}

TAbout::TAbout(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                  Qt::WindowStaysOnTopHint)
{
    setObjectName("About");
    setWindowTitle("About");
    setFont(DialogFont());
    setSizeGripEnabled(false);

    WTitle = MakeLabel(this, "WTitle", kAboutLabelLeft, kAboutTitleTop, "Application Title");
    WCopyright = MakeLabel(this, "WCopyright", kAboutLabelLeft, kAboutCopyrightTop, "Copyright");
    WAuthor = MakeLabel(this, "WAuthor", kAboutLabelLeft, kAboutAuthorTop, "Author");
    WVersion = MakeLabel(this, "WVersion", kAboutLabelLeft, kAboutVersionTop, "WVersion");

    Logo = new TImage(this);
    Logo->setObjectName("Logo");
    Logo->setGeometry(kAboutLogoLeft, kAboutLogoTop, kAboutLogoWidth, kAboutLogoHeight);
    Logo->SetPicture(BuiltInLogo(), TImage::PictureKind::Bitmap);

    OkButton = new QPushButton("OK", this);
    OkButton->setObjectName("OkButton");
    OkButton->setGeometry(kAboutOkLeft, kAboutOkTop, kAboutOkWidth, kAboutOkHeight);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    OkButton->setFocus();

    // The design-time client area; Execute sets the real size.
    outer_ = QSize(kAboutDesignWidth, kAboutDesignHeight);
    setFixedSize(outer_);
}

QImage TAbout::BuiltInLogo()
{
    InitComponentResources();
    return QImage(":/components/logo.bmp", "BMP");
}

void TAbout::SetOuterSize(QSize size)
{
    outer_ = size;
    ApplyOuterSize();
}

void TAbout::ApplyOuterSize()
{
    // The frame is known only once the platform window exists (and on the offscreen
    // platform there is none), so this runs again when the dialog is shown.
    QMargins frame;
    if (windowHandle() != nullptr)
        frame = windowHandle()->frameMargins();
    setFixedSize(std::max(0, outer_.width() - frame.left() - frame.right()),
                 std::max(0, outer_.height() - frame.top() - frame.bottom()));
}

void TAbout::showEvent(QShowEvent* event)
{
    ApplyOuterSize();
    if (QScreen* where = screen(); where != nullptr) {
        QRect frame(QPoint(0, 0), outer_);
        frame.moveCenter(where->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void TAbout::keyPressEvent(QKeyEvent* event)
{
    // Only the OK button and the close box end the dialog: it has no Cancel button, so
    // Escape does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace brevok
