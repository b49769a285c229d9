#include "app/dialogs/ElementCommands.h"

#include "app/FrameForm.h"
#include <cstdio>
#include "app/dialogs/FormDialogs.h"
#include "app/dialogs/LinkDialogs.h"
#include "app/dialogs/ListTableDialogs.h"
#include "app/dialogs/OptionListDialogs.h"
#include "app/dialogs/PageDialogs.h"
#include "app/dialogs/PictureDialogs.h"
#include "app/dialogs/SpecialCharacters.h"
#include "app/dialogs/TextFormatDialogs.h"

const std::vector<TElementCommand>& ElementDialogCommands() {
    static const std::vector<TElementCommand> commands = {
        {"policebuttonClick", &ShowElementDialog<TFontForm>},
        {"caracbuttonClick", &ShowSpecialCharacters},
        {"specCaracBtnClick", &ShowSpecialCharacters},
        {"lienbuttonClick", &ShowElementDialog<Tlinkfrm>},
        {"lienibuttonClick", &ShowElementDialog<Tlienifrm>},
        {"ancrebuttonClick", &ShowElementDialog<Tancrefrm>},
        {"mapbuttonClick", &ShowElementDialog<Tmapfrm>},
        {"hrbuttonClick", &ShowElementDialog<Thrdlg>},
        {"metabuttonClick", &ShowElementDialog<Tmetafrm>},
        {"bodybuttonClick", &ShowElementDialog<Tbodydialog>},
        {"commentbuttonClick", &ShowElementDialog<Tcommentfrm>},
        {"tablobuttonClick", &ShowElementDialog<Ttablefrm>},
        {"listbuttonClick", &ShowElementDialog<Tlistfrm>},
        {"formbutton1Click", &ShowElementDialog<Tformfrm>},
        {"scrolllistbuttonClick", &ShowElementDialog<Tscrlistboxfrm>},
        {"boxlistbuttonClick", &ShowElementDialog<Tlistboxfrm>},
        {"radiobuttonClick", &ShowElementDialog<Tradiofrm>},
        {"checkbuttonClick", &ShowElementDialog<Tcheckboxfrm>},
        {"hiddenbuttonClick", &ShowElementDialog<Thiddenfrm>},
        {"textboxbuttonClick", &ShowElementDialog<Ttextboxfrm>},
        {"btextboxbuttonClick", &ShowElementDialog<Tbtboxfrm>},
        {"buttonbuttonClick", &ShowElementDialog<Tbuttonfrm>},
        {"FormpicbuttonClick", &ShowElementDialog<Tformpicfrm>},
        {"imagebuttonClick", &ShowElementDialog<Timagefrm>},
        {"embedbuttonClick", &ShowElementDialog<Tembedfrm>},
    };
    return commands;
}

void BindElementDialogCommands(Tframeform& frame) {
    for (const TElementCommand& command : ElementDialogCommands())
        frame.BindCommand(command.Handler, [run = command.Run, h = command.Handler](TTBCustomItem*) { fprintf(stderr, "DEBUG %s %p\n", h, (void*)ActiveDocumentWindow()); run(); });
}
