#include "app/dialogs/ElementCommands.h"

#include "app/FrameForm.h"
#include "app/dialogs/DHTMLMenuDialog.h"
#include "app/dialogs/FileFieldDialog.h"
#include "app/dialogs/FormDialogs.h"
#include "app/dialogs/FrameDialogs.h"
#include "app/dialogs/LinkDialogs.h"
#include "app/dialogs/ListTableDialogs.h"
#include "app/dialogs/MediaDialogs.h"
#include "app/dialogs/NewPageWizard.h"
#include "app/dialogs/OptionListDialogs.h"
#include "app/dialogs/PageDialogs.h"
#include "app/dialogs/PictureDialogs.h"
#include "app/dialogs/SpecialCharacters.h"
#include "app/dialogs/TableTemplateDialog.h"
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
        {"Cadres3Click", &ShowElementDialog<Tmodframefrm>},
        {"cadrebuttonClick", &ShowElementDialog<Tframefrm>},
        {"Tableaux4Click", &ShowElementDialog<Tmodtablefrm>},
        {"fileboxButtonClick", &ShowElementDialog<Tfileboxfrm>},
        {"java2buttonClick", &ShowElementDialog<Tjava2frm>},
        {"objectBtnClick", &ShowElementDialog<Tobjectfrm>},
        {"qtBtnClick", &ShowElementDialog<Tqtfrm>},
        {"realBtnClick", &ShowElementDialog<Trealfrm>},
        {"flashBtnClick", &ShowElementDialog<Tflashfrm>},
        {"dhtmlMenuBtnClick", &ShowElementDialog<Tdhtmlmenufrm>},
    };
    return commands;
}

void BindElementDialogCommands(Tframeform& frame) {
    for (const TElementCommand& command : ElementDialogCommands())
        frame.BindCommand(command.Handler, [run = command.Run](TTBCustomItem*) { run(); });
    // The new-page wizard opens a document of its own: it needs none.
    frame.BindCommand("Assistant1Click", [](TTBCustomItem*) { ShowNewPageWizard(); });
}
