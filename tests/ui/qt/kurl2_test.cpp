// TKURL2: look, sizing, hint and pointer, and which clicks open which target.
#include "ui/qt/kurl2.h"

#include "support/recording_shell.h"
#include "test_application.h"

#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace brevok;
using brevok::testing::RecordingShell;

namespace {

class KUrl2Test : public ::testing::Test {
protected:
    void SetUp() override { brevok::testing::TestApplication(); }

    /// Sends the tool-tip request a hovering pointer causes at `pos` of `widget`.
    static void Hover(QWidget* widget, QPoint pos)
    {
        QHelpEvent help(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
        QApplication::sendEvent(widget, &help);
    }

    RecordingShell shell;
};

TEST_F(KUrl2Test, NewControlIsABlueUnderlinedLinkWithTheHandPointerAndTheHint)
{
    QWidget host;
    host.setFont(QFont("Courier", 20, QFont::Bold));
    TKURL2 link(&host, &shell);
    const QLabel* label = link.Label();

    EXPECT_EQ(link.URLorEMAIL(), kDefaultLinkAddress);
    EXPECT_EQ(link.size(), QSize(label->width(), 13));
    EXPECT_GT(label->width(), 100);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(label->font().underline());
    EXPECT_FALSE(label->font().bold());
    // The host's font does not reach the link: it keeps the toolkit's default face and size.
    EXPECT_EQ(label->font().family(), QApplication::font().family());
    EXPECT_EQ(label->font().pointSizeF(), QApplication::font().pointSizeF());

    // The label keeps the default pointer and shows the control's hand; the hint is the
    // control's, the label has none of its own.
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(label->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.toolTip(), kLinkHint);
    EXPECT_TRUE(label->toolTip().isEmpty());
}

TEST_F(KUrl2Test, WidthFollowsTheTextAndHeightStays)
{
    TKURL2 link(nullptr, &shell);
    link.resize(169, 17);  // as a host stores it, before the address
    link.SetURLorEMAIL("http://www.halvane.example/brevok/downloads/resource-compiler");
    const int longWidth = link.width();
    EXPECT_EQ(longWidth, link.Label()->width());
    EXPECT_EQ(link.height(), 17);

    link.SetURLorEMAIL("a@b.example");
    EXPECT_LT(link.width(), longWidth);
    EXPECT_EQ(link.width(), link.Label()->width());
    EXPECT_EQ(link.Label()->width(), link.Label()->sizeHint().width());
    EXPECT_EQ(link.height(), 17);
    EXPECT_EQ(link.URLorEMAIL(), "a@b.example");

    link.SetURLorEMAIL("");
    EXPECT_EQ(link.URLorEMAIL(), "");
    EXPECT_LT(link.width(), link.Label()->fontMetrics().horizontalAdvance("a@b"));
}

TEST_F(KUrl2Test, OpenLinkHandsOverTheTextOrMailtoPlusTextMaximized)
{
    TKURL2 link(nullptr, &shell);  // never shown
    link.SetURLorEMAIL("www.halvane.example");
    link.OpenLink();
    link.SetChoose(LinkType::ltEMAIL);
    link.SetURLorEMAIL("support@halvane.example");
    link.OpenLink();
    link.SetURLorEMAIL("mailto:support@halvane.example");  // the prefix goes in front regardless
    link.OpenLink();
    link.SetURLorEMAIL("");
    link.OpenLink();
    link.SetChoose(LinkType::ltURL);
    link.OpenLink();

    ASSERT_EQ(shell.calls.size(), 5u);
    EXPECT_EQ(shell.calls[0].target, "www.halvane.example");  // no scheme added
    EXPECT_EQ(shell.calls[1].target, "mailto:support@halvane.example");
    EXPECT_EQ(shell.calls[2].target, "mailto:mailto:support@halvane.example");
    EXPECT_EQ(shell.calls[3].target, "mailto:");
    EXPECT_EQ(shell.calls[4].target, "");
    for (const auto& call : shell.calls)
        EXPECT_EQ(call.showCommand, 3);
}

TEST_F(KUrl2Test, OnlyAClickOnTheTextOpensTheLink)
{
    QWidget host;
    host.resize(400, 60);
    TKURL2 link(&host, &shell);
    link.SetURLorEMAIL("http://halvane.example");
    link.resize(link.width() + 80, 20);  // room beside and below the text
    host.show();
    QLabel* label = link.Label();

    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(link.width() - 10, 5));
    QTest::mouseClick(label, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(shell.calls.empty());

    // Pressed on the text, released beside it: not a click.
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 30, 5));
    EXPECT_TRUE(shell.calls.empty());

    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].target, "http://halvane.example");
}

TEST_F(KUrl2Test, HintShowsOverTheTextOnlyWhileShowHintIsOn)
{
    QWidget host;
    host.resize(400, 60);
    TKURL2 link(&host, &shell);
    link.resize(link.width() + 80, 20);
    host.show();
    const QPoint onText = link.Label()->rect().center();

    // A shown tip fades out only later, so the cases that show none come first.
    Hover(&link, QPoint(link.width() - 5, 5));
    EXPECT_FALSE(QToolTip::isVisible());
    link.SetShowHint(false);
    EXPECT_FALSE(link.ShowHint());
    Hover(link.Label(), onText);
    EXPECT_FALSE(QToolTip::isVisible());

    link.SetShowHint(true);
    Hover(link.Label(), onText);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), kLinkHint);
}

}  // namespace
