// The main window's about box and link entries of the Help menu.
#include "app/main_window.h"

namespace brevok {

void TfrmResmain::SetAboutBoxFile()
{
    // filled in by the build commands
}

void TfrmResmain::About1Click()
{
    // filled in by the build commands
}

void TfrmResmain::emailHalvane1Click()
{
    // filled in by the build commands
}

void TfrmResmain::HalvaneontheWeb1Click()
{
    // filled in by the build commands
}

}  // namespace brevok
