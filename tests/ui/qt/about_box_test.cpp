// THalvaneAboutBox and TAbout: the dialog's layout, texts, logo choices and results.
#include "ui/qt/about_box.h"

#include "ui/qt/about_dialog.h"
#include "versioninfo/version_blocks.h"
#include "rules/errors.h"
#include "support/pe_fixtures.h"
#include "test_application.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace brevok;
namespace fixtures = brevok::fixtures;
namespace vf = brevok::version_fixtures;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<fixtures::FixtureDir>();
        vf::VersionNode root = vf::VersionInfo(vf::EightStrings());
        versioned_ = fixtures::BuildPe(folder_->path(), "versioned", vf::RawVersionScript(vf::Serialize(root)));
        // CompanyName stored with length 0, as some writers do: it is skipped.
        root.children[0].children[0].children[0].value.clear();
        noCompany_ = fixtures::BuildPe(folder_->path(), "nocompany", vf::RawVersionScript(vf::Serialize(root)));
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override
    {
        brevok::testing::TestApplication();
        QApplication::setWindowIcon(QIcon());
    }

    /// Runs Execute; `check` sees the dialog on screen, then `close` ends it (default: OK).
    static bool Run(THalvaneAboutBox& box, const std::function<void(TAbout&)>& check,
                    const std::function<void(TAbout&)>& close = {})
    {
        bool shown = false;
        box.SetShownHook([&](TAbout& dialog) {
            shown = true;
            check(dialog);
            if (close)
                close(dialog);
            else
                QTest::mouseClick(dialog.OkButton, Qt::LeftButton);
        });
        const bool result = box.Execute();
        EXPECT_TRUE(shown);
        return result;
    }

    std::string WriteBitmap(const std::string& name, int width, int height) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 30));
        const std::string path = scratch / name;
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }

    static void ExpectTextLefts(const TAbout& dialog, const std::function<int(const QLabel*)>& left)
    {
        for (const QLabel* label : {dialog.WTitle, dialog.WCopyright, dialog.WAuthor, dialog.WVersion})
            EXPECT_EQ(label->x(), left(label)) << label->objectName().toStdString();
    }

    fixtures::FixtureDir scratch;
    static inline std::unique_ptr<fixtures::FixtureDir> folder_;
    static inline std::string versioned_;
    static inline std::string noCompany_;
};

/// The settings the main window stores with its about box.
void ConfigureAsMainWindow(THalvaneAboutBox& box)
{
    box.SetTitle("Resource Compiler");
    box.SetCopyright("Copyright 2026 Halvane");
    box.SetAuthor("Halvane");
    box.SetHeight(150);
    box.SetWidth(150);
    box.SetDefaultIcon(true);
}

TEST_F(AboutBoxTest, MainWindowSettingsGiveTheWorkedExample)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    box.SetFilename(versioned_);
    EXPECT_TRUE(Run(box, [](TAbout& dialog) {
        EXPECT_EQ(dialog.frameGeometry().size(), QSize(150, 270));  // the outer size
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_EQ(dialog.OkButton->geometry(), QRect(30, 210, 90, 25));
        EXPECT_EQ(dialog.Logo->geometry(), QRect(2, 80, 137, 121));
        EXPECT_EQ(dialog.WVersion->text(), "Version 1.1.0.3");
        EXPECT_EQ(dialog.WTitle->text(), "Resource Compiler");
        EXPECT_EQ(dialog.WCopyright->text(), "Copyright 2026 Halvane");
        EXPECT_EQ(dialog.WAuthor->text(), "Halvane");
        // The design caption "About" is not kept, and the empty caption is not replaced by the
        // application's name, which a window system puts in an empty title bar.
        EXPECT_EQ(dialog.windowTitle().trimmed(), "");
        EXPECT_NE(dialog.windowTitle(), "");
        ExpectTextLefts(dialog, [](const QLabel* label) { return 75 - label->width() / 2; });
        EXPECT_EQ(dialog.WVersion->y(), 60);

        EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        const QPoint centre = dialog.screen()->availableGeometry().center();
        EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 2);

        const QImage logo = dialog.Logo->Picture();
        EXPECT_EQ(logo.size(), QSize(147, 120));
        EXPECT_EQ(logo.format(), QImage::Format_Indexed8);
    }));
    EXPECT_EQ(box.Width(), 150);
    EXPECT_EQ(box.Height(), 270);
}

TEST_F(AboutBoxTest, ApplicationIconIsTheLogoWhenNeitherDefaultNorFileIsSet)
{
    QPixmap icon(32, 32);
    icon.fill(Qt::yellow);
    QApplication::setWindowIcon(QIcon(icon));
    THalvaneAboutBox box;
    box.SetWidth(100);
    box.SetHeight(150);
    EXPECT_TRUE(Run(box, [](TAbout& dialog) {
        EXPECT_EQ(dialog.Logo->Picture().size(), QSize(32, 32));
        EXPECT_EQ(dialog.OkButton->y(), 122);
        EXPECT_EQ(dialog.frameGeometry().size(), QSize(120, 182));
        EXPECT_EQ(dialog.Logo->x(), 60 - 16);
    }));
    EXPECT_EQ(box.Width(), 120);
    EXPECT_EQ(box.Height(), 182);

    QApplication::setWindowIcon(QIcon());  // still a 32 x 32 picture
    Run(box, [](TAbout& dialog) { EXPECT_EQ(dialog.Logo->Picture().size(), QSize(32, 32)); });
}

TEST_F(AboutBoxTest, WideLogoWidensTheDialogAndLaterCallsStartFromTheRaisedSize)
{
    THalvaneAboutBox box;
    box.SetWidth(150);
    box.SetHeight(100);
    box.SetIconFile(WriteBitmap("wide.bmp", 150, 40));
    Run(box, [](TAbout& dialog) {
        EXPECT_EQ(dialog.frameGeometry().size(), QSize(158, 190));
        EXPECT_EQ(dialog.OkButton->geometry(), QRect(79 - 49, 130, 98, 25));
        EXPECT_EQ(dialog.Logo->geometry(), QRect(79 - 75, 80, 137, 121));  // control keeps its size
    });

    box.SetIconFile(WriteBitmap("small.bmp", 20, 10));  // shrinks nothing
    Run(box, [](TAbout& dialog) {
        EXPECT_EQ(dialog.frameGeometry().size(), QSize(158, 190));
        EXPECT_EQ(dialog.OkButton->y(), 100);
    });

    box.SetDefaultIcon(true);  // the built-in logo raises the height once more
    Run(box, [](TAbout& dialog) { EXPECT_EQ(dialog.frameGeometry().size(), QSize(158, 270)); });
    EXPECT_EQ(box.Height(), 270);
}

TEST_F(AboutBoxTest, UncentredTextStartsAtTextLeftAndWideTextGoesNegativeWhenCentred)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    box.SetTitle(std::string(80, 'W'));
    box.SetTextCentered(false);
    box.SetTextLeft(7);
    Run(box, [](TAbout& dialog) { ExpectTextLefts(dialog, [](const QLabel*) { return 7; }); });

    box.SetTextCentered(true);
    Run(box, [](TAbout& dialog) {
        EXPECT_LT(dialog.WTitle->x(), 0);
        EXPECT_EQ(dialog.WTitle->x(), 75 - dialog.WTitle->width() / 2);
    });
}

TEST_F(AboutBoxTest, EmptyTitleAndAuthorAreFilledAndKeptVersionFallsBackUnprefixed)
{
    THalvaneAboutBox box;
    box.SetCaption("About Brevok");
    box.SetVersion("unknown version");
    box.SetFilename(scratch / "missing.exe");
    Run(box, [](TAbout& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "About Brevok");
        EXPECT_EQ(dialog.WTitle->text(), "Brevok Component Tests");
        EXPECT_EQ(dialog.WAuthor->text(), kBuiltInAuthor);
        EXPECT_EQ(dialog.WCopyright->text(), kBuiltInCopyright);
        EXPECT_EQ(dialog.WVersion->text(), "unknown version");
    });
    EXPECT_EQ(box.Title(), "Brevok Component Tests");
    EXPECT_EQ(box.Author(), kBuiltInAuthor);

    // Position 2 is shown whatever key it holds: without CompanyName, the internal name.
    box.SetFilename(noCompany_);
    Run(box, [](TAbout& dialog) { EXPECT_EQ(dialog.WVersion->text(), "Version tester"); });
}

TEST_F(AboutBoxTest, IconFileThatIsNoBitmapFailsBeforeTheDialogShows)
{
    THalvaneAboutBox box;
    const std::string icon = scratch / "logo.ico";
    fixtures::WriteFixtureFile(icon, std::string("\0\0\1\0\1\0 \0", 8) + std::string(64, '\x11'));
    const std::string disguised = scratch / "png.bmp";  // a PNG under a bitmap's name
    QImage png(10, 10, QImage::Format_RGB32);
    png.fill(Qt::blue);
    ASSERT_TRUE(png.save(QString::fromStdString(disguised), "PNG"));
    const std::string missing = scratch / "none.bmp";

    for (const auto& [path, text] : {
             std::pair{icon, "Cannot load bitmap " + icon + ": not a valid bitmap image"},
             std::pair{disguised, "Cannot load bitmap " + disguised + ": not a valid bitmap image"},
             std::pair{missing, "Cannot open file " + missing},
         }) {
        box.SetIconFile(path);
        box.SetShownHook([](TAbout& dialog) {
            ADD_FAILURE() << "shown";
            dialog.reject();
        });
        try {
            box.Execute();
            ADD_FAILURE() << "no error for " << path;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), text);
        }
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_NE(window->objectName(), "About");
    EXPECT_EQ(box.Width(), 230);  // sizing comes after the logo
}

TEST_F(AboutBoxTest, OnlyOkReturnsTrueAndEscapeDoesNotClose)
{
    THalvaneAboutBox box;
    const auto nothing = [](TAbout&) {};
    EXPECT_FALSE(Run(box, nothing, [](TAbout& dialog) { dialog.close(); }));  // the close box
    EXPECT_FALSE(Run(box, nothing, [](TAbout& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        dialog.close();
    }));
    EXPECT_TRUE(Run(box, nothing, [](TAbout& dialog) { QTest::keyClick(dialog.OkButton, Qt::Key_Space); }));
}

TEST_F(AboutBoxTest, OwnVersionQueriesReadTheRunningProgramNotFilename)
{
    // This test program carries the program's version resource, as the program does.
    THalvaneAboutBox box;
    box.SetFilename(noCompany_);
    EXPECT_EQ(box.GetFileVersion(), "1.1.0.3");
    EXPECT_EQ(box.GetInternalName(), "brevok");
}

TEST_F(AboutBoxTest, LogoControlLeavesOutTheBitmapBackgroundAndClipsToItsSize)
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::red);
    parent.setPalette(palette);
    parent.resize(200, 200);
    TImage logo(&parent);
    logo.setGeometry(10, 10, 137, 121);
    logo.SetPicture(TAbout::BuiltInLogo(), TImage::PictureKind::Bitmap);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 10 + 119)), QColor(Qt::red));       // the background colour
    EXPECT_EQ(QColor(shot.pixel(10 + 73, 10 + 40)), QColor(0xffd21f));  // the bolt

    QImage big(160, 130, QImage::Format_RGB32);
    big.fill(Qt::blue);
    big.setPixel(0, 129, qRgb(0, 255, 0));  // the only pixel of the background colour
    logo.SetPicture(big, TImage::PictureKind::Bitmap);
    const QImage cut = parent.grab().toImage();
    EXPECT_EQ(QColor(cut.pixel(10 + 136, 10 + 120)), QColor(Qt::blue));
    EXPECT_EQ(QColor(cut.pixel(10 + 137, 10 + 40)), QColor(Qt::red));
    EXPECT_EQ(QColor(cut.pixel(10 + 40, 10 + 121)), QColor(Qt::red));
}

}  // namespace
