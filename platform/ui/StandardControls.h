#pragma once
// The published tables of the standard controls, family by family, so that
// forms can describe them and the filer can stream them.  Each function is
// safe to call again and registers the window base's classes first.

class TIdentMap;

// Names of the values the families share: TAlignment, TBorderStyle.
const TIdentMap& AlignmentNames();
const TIdentMap& BorderStyleNames();

// Label, edit box, memo and spin edit.
void RegisterTextControlClasses();
// Button, picture button, speed button, check box, radio button.
void RegisterButtonControlClasses();
// Combo box and list box.
void RegisterListControlClasses();
// Panel, bevel, group box, image, splitter.
void RegisterExtControlClasses();

// Tab control, page control with its sheets, status bar, value-list
// editor.
void RegisterPageControlClasses();
// The common dialogs: open, save, picture, colour, font, find, replace,
// printer setup, folder.
void RegisterCommonDialogClasses();
// Tree view and list view.
void RegisterItemViewClasses();
// The formatted-text view of previews.
void RegisterRichTextViewClass();

// Every family above (and those added beside them).
void RegisterStandardControlClasses();
