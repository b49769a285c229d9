#pragma once
// The published tables of TDHTMLEdit (BaseURL, OnDocumentComplete) and
// TWebBrowser, so that forms describe them as any other control.

// Registers both classes (and the window base under them); safe to call
// again.
void RegisterWebViewClasses();
