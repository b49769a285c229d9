#pragma once
// The test program's one Qt application, made before the first test and
// never destroyed: process exit tears down Qt's own statics, and an
// application destroyed after them crashes.

#include <QCoreApplication>

// Makes the application, of type App, unless there is one already.
template <typename App>
void MakeTestApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "ondrill-tests";
        static char* argv[] = {name, nullptr};
        new App(argc, argv);
    }
}
