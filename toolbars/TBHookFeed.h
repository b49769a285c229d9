#pragma once
// Feeds the framework's shared hooks (TBHooks.h) from the platform's
// window notices: the application's activation (hpSendActivateApp, wParam
// 1 when it became active), a top-level window shown or hidden
// (hpSendWindowPosChanged), one being freed (hpPreDestroy), and the
// messages the window system takes from its queue (hpGetMessage).
// Installed once, on first use.
void EnsureTBHookFeed();
