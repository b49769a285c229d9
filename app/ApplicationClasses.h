#pragma once
// Registers every class the application's forms are described with (the
// platform's controls, the editor, the web views, the toolbars and the
// shell views) and the picture formats; safe to call again.
void RegisterApplicationClasses();
