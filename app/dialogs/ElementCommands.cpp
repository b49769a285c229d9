#include "app/dialogs/ElementCommands.h"

#include "app/FrameForm.h"
#include "app/dialogs/LinkDialogs.h"

const std::vector<TElementCommand>& ElementDialogCommands() {
    static const std::vector<TElementCommand> commands = {
        {"lienbuttonClick", &ShowElementDialog<Tlinkfrm>},
        {"lienibuttonClick", &ShowElementDialog<Tlienifrm>},
        {"ancrebuttonClick", &ShowElementDialog<Tancrefrm>},
        {"mapbuttonClick", &ShowElementDialog<Tmapfrm>},
    };
    return commands;
}

void BindElementDialogCommands(Tframeform& frame) {
    for (const TElementCommand& command : ElementDialogCommands())
        frame.BindCommand(command.Handler, [run = command.Run](TTBCustomItem*) { run(); });
}
