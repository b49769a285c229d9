#pragma once
// The published tables of the highlighter framework: THighlightInfo,
// TCustomExtHighlighter (its SubHighlighter and its own keyword and
// start/stop lists) and THtmlHighlighter (its eleven styles and
// XMLSyntax), in HtmlHighlighterProperties.cpp.

// Registers them and the editor's classes under them; safe to call again.
void RegisterHighlighterClasses();
