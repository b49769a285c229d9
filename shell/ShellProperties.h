#pragma once
// The published tables of the shell controls, so that forms can describe
// them and the filer can stream them: the frames and groups, the splitter
// and its panes, the shell tree, the shell list and the folder-browse
// dialog.  Safe to call again;
// registers the standard controls' tables first.

class TIdentMap;

const TIdentMap& FrameStyleNames();
const TIdentMap& ShellTreeOptionNames();
const TIdentMap& ShellListOptionNames();
const TIdentMap& FolderBrowseOptionNames();

void RegisterShellClasses();
