#pragma once
// Feeds the framework's shared hooks (TBHooks.h) from the platform's
// window notices: the application's activation (hpSendActivateApp, wParam
// 1 when it became active), a top-level window shown or hidden
// (hpSendWindowPosChanged) and one being freed (hpPreDestroy).  Installed
// once, on first use.
void EnsureTBHookFeed();
