// TKURL2: the inner label, its sizing, the hint and pointer rules, and opening the link.
#include "ui/qt/kurl2.h"

#include "ui/qt/qt_text.h"

#include "ui/qt/qt_shell.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QToolTip>

namespace brevok {

namespace {

constexpr int kInitialHeight = 13;

QFont LinkFont()
{
    // The toolkit's default face and size, marked as set in full so that a host's own font
    // (the about dialog's, a panel's) does not reach the link text.
    QFont font = QApplication::font();
    font.setUnderline(true);
    font.setBold(false);
    font.setItalic(false);
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

}  // namespace

TKURL2::TKURL2(QWidget* parent, Shell* shell) : QWidget(parent), shell_(shell != nullptr ? shell : &DefaultShell())
{
    resize(width(), kInitialHeight);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QString::fromLatin1(kLinkHint));

    label_ = new QLabel(this);
    label_->setObjectName("Label");
    QPalette palette = label_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::WindowText, QColor(0, 0, 255));
    label_->setPalette(palette);
    label_->setFont(LinkFont());
    label_->setTextFormat(Qt::PlainText);
    label_->move(0, 0);
    label_->installEventFilter(this);
    label_->setText(QString::fromLatin1(kDefaultLinkAddress));
    label_->show();
    SizeToText();
}

TKURL2::~TKURL2()
{
    delete label_;
}

std::string TKURL2::URLorEMAIL() const
{
    return FromQt(label_->text());
}

void TKURL2::SetURLorEMAIL(const std::string& address)
{
    label_->setText(ToQt(address));
    SizeToText();
}

void TKURL2::SizeToText()
{
    label_->adjustSize();
    resize(label_->width(), height());
}

void TKURL2::OpenLink()
{
    shell_->Open(LinkTarget(URLorEMAIL(), choose_), kShowMaximized);
}

bool TKURL2::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The label has no hint of its own, so a tool tip over the text arrives here. Show
        // the hint only over the text and only when ShowHint is on.
        const auto* help = static_cast<QHelpEvent*>(event);
        if (showHint_ && label_->geometry().contains(help->pos()))
            return QWidget::event(event);
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

bool TKURL2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != label_)
        return QWidget::eventFilter(watched, event);
    // A click is a left press and release both on the text.
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            pressedOnText_ = true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && pressedOnText_) {
            pressedOnText_ = false;
            if (label_->rect().contains(mouse->position().toPoint()))
                OpenLink();
        }
    }
    return false;
}

}  // namespace brevok
