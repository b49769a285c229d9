#include "toolbars/themes/TBKDefaultTheme.h"
#include "toolbars/themes/TBKOfficeXPTheme.h"
#include "toolbars/themes/TBKTheme.h"

void RegisterStandardThemes() {
    RegisterTheme(&MakeTheme<TTBKDefaultTheme>, "Default");
    RegisterTheme(&MakeTheme<TTBKOfficeXPTheme>, "OfficeXP");
}
