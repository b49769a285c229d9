#include "tests/app/XHands.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cctype>
#include <chrono>
#include <sstream>
#include <thread>

namespace {

// Time for the program to take each event in turn, as a typist's would.
void letTheProgramCatchUp() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

} // namespace

TXHands::TXHands() : display_(XOpenDisplay(nullptr)) {}

TXHands::~TXHands() {
    if (display_ != nullptr)
        XCloseDisplay(display_);
}

bool TXHands::Usable() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return display_ != nullptr && XTestQueryExtension(display_, &event, &error, &major, &minor);
}

void TXHands::Chord(const std::string& chord) {
    std::vector<unsigned long> keys;
    std::stringstream parts(chord);
    for (std::string part; std::getline(parts, part, '+');) {
        if (part.size() == 1)
            part[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(part[0])));
        keys.push_back(part == "Ctrl"    ? XK_Control_L
                       : part == "Alt"   ? XK_Alt_L
                       : part == "Shift" ? XK_Shift_L
                                         : XStringToKeysym(part.c_str()));
    }
    for (unsigned long key : keys)
        send(key, true);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        send(*key, false);
}

void TXHands::Type(const std::string& text) {
    for (char c : text)
        Chord(c == '.' ? "period" : std::string(1, c));
}

void TXHands::Click(TPoint at) {
    XTestFakeMotionEvent(display_, -1, at.X, at.Y, 0);
    XSync(display_, False);
    letTheProgramCatchUp();
    XTestFakeButtonEvent(display_, 1, True, 0);
    XTestFakeButtonEvent(display_, 1, False, 0);
    XSync(display_, False);
    letTheProgramCatchUp();
}

std::vector<unsigned long> TXHands::FocusChain() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    std::vector<unsigned long> chain;
    for (Window w = focus; w > PointerRoot && w != XDefaultRootWindow(display_); w = parentOf(w))
        chain.push_back(w);
    return chain;
}

unsigned long TXHands::TopOf(unsigned long window) {
    Window top = window;
    for (Window w = window; w != 0 && w != XDefaultRootWindow(display_); w = parentOf(w))
        top = w;
    return top;
}

std::vector<unsigned long> TXHands::Stacking() {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<unsigned long> order;
    if (XQueryTree(display_, XDefaultRootWindow(display_), &root, &parent, &children, &count) != 0 &&
        children != nullptr) {
        order.assign(children, children + count);
        XFree(children);
    }
    return order;
}

bool TXHands::WindowManagerRuns() {
    Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, XDefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type, &format,
                       &items, &after, &data);
    if (data != nullptr)
        XFree(data);
    return items == 1;
}

void TXHands::send(unsigned long keysym, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), down ? True : False, 0);
    XSync(display_, False);
    letTheProgramCatchUp();
}

unsigned long TXHands::parentOf(unsigned long window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0)
        return 0;
    if (children != nullptr)
        XFree(children);
    return parent;
}
