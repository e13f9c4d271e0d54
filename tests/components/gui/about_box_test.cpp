// THalvaneAboutBox and TAbout: the dialog's layout, texts, logo choices and results.
#include "components/gui/about_box.h"

#include "components/gui/about_dialog.h"
#include "platform/errors.h"
#include "components/version_blocks.h"
#include "support/pe_fixtures.h"
#include "test_application.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

using namespace brevok;
namespace fixtures = brevok::fixtures;

namespace {

std::string VersionScript()
{
    return "1 VERSIONINFO\n"
           "FILEVERSION 1,1,0,3\nPRODUCTVERSION 1,0,0,0\n"
           "BEGIN\n"
           "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"080904E4\"\n    BEGIN\n"
           "      VALUE \"CompanyName\", \"Halvane\"\n"
           "      VALUE \"FileDescription\", \"Resource compiler front end\"\n"
           "      VALUE \"FileVersion\", \"1.1.0.3\"\n"
           "      VALUE \"InternalName\", \"brevok\"\n"
           "      VALUE \"LegalCopyright\", \"Copyright Halvane\"\n"
           "      VALUE \"OriginalFilename\", \"brevok.exe\"\n"
           "      VALUE \"ProductName\", \"Brevok Resource Compiler\"\n"
           "      VALUE \"ProductVersion\", \"1.0.0.0\"\n"
           "    END\n  END\n"
           "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x0809, 0x04E4\n  END\n"
           "END\n";
}

/// What a test saw of the dialog while it was on screen.
struct Seen {
    QSize outer;
    QRect frame;
    QString caption;
    Qt::WindowFlags flags;
    QSize minimum, maximum;
    QRect ok, logo;
    QSize picture;
    QRect title, copyright, author, version;
    QString titleText, copyrightText, authorText, versionText;
};

class AboutBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<fixtures::FixtureDir>();
        versioned_ = fixtures::BuildPe(folder_->path(), "versioned", VersionScript());
        // A CompanyName stored with length 0, as some writers do (llvm-rc stores "" with its
        // terminator, length 1).
        version_fixtures::VersionNode root = version_fixtures::VersionInfo(
            {{u"080904E4", version_fixtures::EightStrings()}}, {{0x0809, 0x04E4}});
        root.children[0].children[0].children[0].value.clear();
        noCompany_ = fixtures::BuildPe(folder_->path(), "nocompany",
                                       version_fixtures::RawVersionScript(version_fixtures::Serialize(root)));
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override
    {
        brevok::testing::TestApplication();
        QApplication::setWindowIcon(QIcon());
    }

    /// Runs Execute and records the dialog as shown; `close` ends it (default: OK).
    bool Run(THalvaneAboutBox& box, std::function<void(TAbout&)> close = {})
    {
        seen.reset();
        box.SetShownHook([&](TAbout& dialog) {
            Seen s;
            s.outer = dialog.OuterSize();
            s.frame = dialog.frameGeometry();
            s.caption = dialog.windowTitle();
            s.flags = dialog.windowFlags();
            s.minimum = dialog.minimumSize();
            s.maximum = dialog.maximumSize();
            s.ok = dialog.OkButton->geometry();
            s.logo = dialog.Logo->geometry();
            s.picture = dialog.Logo->Picture().size();
            s.title = dialog.WTitle->geometry();
            s.copyright = dialog.WCopyright->geometry();
            s.author = dialog.WAuthor->geometry();
            s.version = dialog.WVersion->geometry();
            s.titleText = dialog.WTitle->text();
            s.copyrightText = dialog.WCopyright->text();
            s.authorText = dialog.WAuthor->text();
            s.versionText = dialog.WVersion->text();
            seen = s;
            if (close)
                close(dialog);
            else
                QTest::mouseClick(dialog.OkButton, Qt::LeftButton);
        });
        return box.Execute();
    }

    /// Writes a `width` x `height` bitmap file and returns its path.
    std::string WriteBitmap(const std::string& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 30));
        const std::string path = scratch / name;
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }

    static void ExpectCentredOn(const QRect& label, int centre)
    {
        EXPECT_EQ(label.left(), centre - label.width() / 2) << label.width();
    }

    fixtures::FixtureDir scratch;
    std::optional<Seen> seen;

    static inline std::unique_ptr<fixtures::FixtureDir> folder_;
    static inline std::string versioned_;
    static inline std::string noCompany_;
};

/// The settings the main window stores with its about box.
void ConfigureAsMainWindow(THalvaneAboutBox& box)
{
    box.SetTitle("Resource Compiler");
    box.SetCopyright("Copyright (c) 2026 Halvane");
    box.SetAuthor("Halvane");
    box.SetHeight(150);
    box.SetWidth(150);
    box.SetDefaultIcon(true);
}

TEST_F(AboutBoxTest, NewComponentHasItsDefaults)
{
    THalvaneAboutBox box;
    EXPECT_EQ(box.Height(), 250);
    EXPECT_EQ(box.Width(), 230);
    EXPECT_EQ(box.Copyright(), kBuiltInCopyright);
    EXPECT_TRUE(box.TextCentered());
    EXPECT_EQ(box.TextLeft(), 20);
    EXPECT_FALSE(box.DefaultIcon());
    EXPECT_EQ(box.Title() + box.Version() + box.Author() + box.Caption() + box.Filename() + box.IconFile(), "");
}

TEST_F(AboutBoxTest, BuiltInLogoIsA147By120BitmapWith256Colours)
{
    const QImage logo = TAbout::BuiltInLogo();
    EXPECT_EQ(logo.size(), QSize(147, 120));
    EXPECT_EQ(logo.format(), QImage::Format_Indexed8);
    EXPECT_LE(logo.colorCount(), 256);
}

TEST_F(AboutBoxTest, MainWindowSettingsGiveTheWorkedExample)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    box.SetFilename(versioned_);
    EXPECT_TRUE(Run(box));
    ASSERT_TRUE(seen);

    EXPECT_EQ(seen->outer, QSize(150, 270));
    EXPECT_EQ(seen->frame.size(), QSize(150, 270));  // no frame on the offscreen platform
    EXPECT_EQ(seen->minimum, seen->maximum);
    EXPECT_EQ(seen->ok, QRect(30, 210, 90, 25));
    EXPECT_EQ(seen->logo, QRect(2, 80, 137, 121));
    EXPECT_EQ(seen->picture, QSize(147, 120));
    EXPECT_EQ(seen->versionText, "Version 1.1.0.3");
    EXPECT_EQ(seen->titleText, "Resource Compiler");
    EXPECT_EQ(seen->copyrightText, "Copyright (c) 2026 Halvane");
    EXPECT_EQ(seen->authorText, "Halvane");
    EXPECT_EQ(seen->caption, "");  // the design caption "About" is not kept
    for (const QRect& label : {seen->title, seen->copyright, seen->author, seen->version})
        ExpectCentredOn(label, 75);
    EXPECT_EQ(seen->title.top(), 15);
    EXPECT_EQ(seen->copyright.top(), 30);
    EXPECT_EQ(seen->author.top(), 45);
    EXPECT_EQ(seen->version.top(), 60);

    // A fixed, always-on-top dialog with only a close box, centred on its screen.
    EXPECT_TRUE(seen->flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(seen->flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(seen->flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((seen->frame.center() - screenCentre).manhattanLength(), 2);

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
    EXPECT_TRUE(Run(box));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->picture, QSize(32, 32));
    EXPECT_EQ(seen->ok.top(), 122);
    EXPECT_EQ(seen->outer, QSize(120, 182));
    EXPECT_EQ(seen->logo.left(), 60 - 16);
    EXPECT_EQ(box.Width(), 120);
    EXPECT_EQ(box.Height(), 182);

    // Without an application icon there is still a 32 x 32 picture.
    QApplication::setWindowIcon(QIcon());
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->picture, QSize(32, 32));
}

TEST_F(AboutBoxTest, LogoAtLeastAsWideAsTheDialogWidensItAndLaterCallsStartFromThere)
{
    THalvaneAboutBox box;
    box.SetWidth(150);
    box.SetHeight(100);
    box.SetIconFile(WriteBitmap("wide.bmp", 150, 40));
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->picture, QSize(150, 40));
    EXPECT_EQ(seen->outer, QSize(158, 190));
    EXPECT_EQ(seen->ok, QRect(79 - 49, 130, 98, 25));
    EXPECT_EQ(seen->logo, QRect(79 - 75, 80, 137, 121));  // the control keeps its size

    // The next call starts from 158 x 190: a smaller logo shrinks nothing.
    box.SetIconFile(WriteBitmap("small.bmp", 20, 10));
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->outer, QSize(158, 190));
    EXPECT_EQ(seen->ok.top(), 100);

    // The built-in logo then raises the height once more, and that stays too.
    box.SetDefaultIcon(true);
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->outer, QSize(158, 270));
    EXPECT_EQ(box.Height(), 270);
}

TEST_F(AboutBoxTest, UncentredTextStartsAtTextLeftAndWideTextGoesNegativeWhenCentred)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    box.SetTitle(std::string(80, 'W'));
    box.SetTextCentered(false);
    box.SetTextLeft(7);
    EXPECT_TRUE(Run(box));
    for (const QRect& label : {seen->title, seen->copyright, seen->author, seen->version})
        EXPECT_EQ(label.left(), 7);

    box.SetTextCentered(true);
    EXPECT_TRUE(Run(box));
    ASSERT_GT(seen->title.width(), 150);
    EXPECT_LT(seen->title.left(), 0);
    ExpectCentredOn(seen->title, 75);
}

TEST_F(AboutBoxTest, EmptyTitleAndAuthorAreFilledAndKeptCaptionIsShownAsSet)
{
    THalvaneAboutBox box;
    box.SetCaption("About Brevok");
    box.SetVersion("unknown version");
    box.SetFilename(scratch / "missing.exe");
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->caption, "About Brevok");
    EXPECT_EQ(seen->titleText, "Brevok Component Tests");
    EXPECT_EQ(seen->authorText, kBuiltInAuthor);
    EXPECT_EQ(seen->versionText, "unknown version");  // no "Version " prefix for the fallback
    EXPECT_EQ(box.Title(), "Brevok Component Tests");
    EXPECT_EQ(box.Author(), kBuiltInAuthor);

    // Set values are not overwritten.
    box.SetTitle("Mine");
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->titleText, "Mine");
}

TEST_F(AboutBoxTest, VersionLineTakesPositionTwoWhateverKeyItHolds)
{
    THalvaneAboutBox box;
    box.SetFilename(noCompany_);  // CompanyName empty: position 2 is the internal name
    EXPECT_TRUE(Run(box));
    EXPECT_EQ(seen->versionText, "Version tester");
}

TEST_F(AboutBoxTest, IconFileThatIsNoBitmapFailsBeforeTheDialogShows)
{
    THalvaneAboutBox box;
    const std::string icon = scratch.path() + "/logo.ico";
    fixtures::WriteFixtureFile(icon, std::string("\0\0\1\0\1\0 \0", 8) + std::string(64, '\x11'));
    const std::string missing = scratch / "none.bmp";
    // A PNG under a bitmap's name is still not a bitmap.
    QImage png(10, 10, QImage::Format_RGB32);
    png.fill(Qt::blue);
    const std::string disguised = scratch / "disguised.bmp";
    ASSERT_TRUE(png.save(QString::fromStdString(disguised), "PNG"));

    for (const auto& [path, text] : {
             std::pair{icon, "Cannot load bitmap " + icon + ": not a valid bitmap image"},
             std::pair{disguised, "Cannot load bitmap " + disguised + ": not a valid bitmap image"},
             std::pair{missing, "Cannot open file " + missing},
         }) {
        box.SetIconFile(path);
        bool shown = false;
        box.SetShownHook([&](TAbout& dialog) { shown = true; dialog.reject(); });
        try {
            box.Execute();
            ADD_FAILURE() << "no error for " << path;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), text);
        }
        EXPECT_FALSE(shown);
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_NE(window->objectName(), "About");
    EXPECT_EQ(box.Width(), 230);  // sizing comes after the logo
}

TEST_F(AboutBoxTest, OnlyOkReturnsTrue)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    EXPECT_FALSE(Run(box, [](TAbout& dialog) { dialog.close(); }));  // the close box

    // Escape does not end the dialog: it has no Cancel button.
    bool stillOpen = false;
    EXPECT_FALSE(Run(box, [&](TAbout& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        stillOpen = dialog.isVisible();
        dialog.close();
    }));
    EXPECT_TRUE(stillOpen);

    EXPECT_TRUE(Run(box, [](TAbout& dialog) { QTest::keyClick(dialog.OkButton, Qt::Key_Space); }));
}

TEST_F(AboutBoxTest, OwnVersionQueriesFallBackToVersionWithoutAVersionResource)
{
    // This test program carries no version resource.
    THalvaneAboutBox box;
    EXPECT_EQ(box.GetFileVersion(), "");
    box.SetVersion("0.0");
    box.SetFilename(versioned_);  // not consulted: the queries read the running program
    EXPECT_EQ(box.GetFileVersion(), "0.0");
    EXPECT_EQ(box.GetInternalName(), "0.0");
}

TEST_F(AboutBoxTest, ScreenshotOfTheDialog)
{
    THalvaneAboutBox box;
    ConfigureAsMainWindow(box);
    box.SetCaption("About Brevok Resource Compiler");
    box.SetFilename(versioned_);
    const std::string folder = std::string(BREVOK_BIN_DIR) + "/../screenshots";
    std::filesystem::create_directories(folder);
    QImage shot;
    Run(box, [&](TAbout& dialog) {
        shot = dialog.grab().toImage();
        dialog.accept();
    });
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QString::fromStdString(folder + "/about_dialog.png")));
}

}  // namespace
