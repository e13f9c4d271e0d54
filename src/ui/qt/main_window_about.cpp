// The main window's about box and the link entries of the Help menu.
#include "ui/qt/main_window.h"

#include "ui/qt/about_box.h"
#include "ui/qt/kurl2.h"

#include <QWidget>

namespace brevok {
namespace {

constexpr const char* kMakerWebAddress = "http://www.halvane.example/";
constexpr const char* kMakerMailAddress = "support@halvane.example";

TKURL2* CreateLink(QWidget* panel, Shell* shell, const char* name, QRect place, LinkType kind,
                   const char* address)
{
    auto* link = new TKURL2(panel, shell);
    link->setObjectName(QString::fromLatin1(name));
    link->SetChoose(kind);
    link->SetURLorEMAIL(address);
    link->setGeometry(place);
    return link;
}

}  // namespace

void TfrmResmain::CreateAboutComponents()
{
    aboutBox_ = new THalvaneAboutBox(this);
    aboutBox_->setObjectName(QStringLiteral("AboutBox"));
    aboutBox_->SetTitle("Resource Compiler");
    aboutBox_->SetCopyright(kBuiltInCopyright);
    aboutBox_->SetAuthor(kBuiltInAuthor);
    aboutBox_->SetTextLeft(20);
    aboutBox_->SetTextCentered(true);
    aboutBox_->SetHeight(150);
    aboutBox_->SetWidth(150);
    aboutBox_->SetDefaultIcon(true);

    // The panel is never shown: the links only open the maker's addresses for the Help menu.
    web_ = CreateLink(panel1_, services_.shell, "web", QRect(32, 8, 169, 17), LinkType::ltURL,
                      kMakerWebAddress);
    email_ = CreateLink(panel1_, services_.shell, "email", QRect(32, 32, 151, 17),
                        LinkType::ltEMAIL, kMakerMailAddress);
}

void TfrmResmain::SetAboutBoxFile()
{
    aboutBox_->SetFilename(services_.programPath);
}

void TfrmResmain::About1Click()
{
    aboutBox_->Execute();
}

void TfrmResmain::emailHalvane1Click()
{
    email_->OpenLink();
}

void TfrmResmain::HalvaneontheWeb1Click()
{
    web_->OpenLink();
}

}  // namespace brevok
