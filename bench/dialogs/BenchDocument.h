#pragma once
// What the element dialogs' benchmark programs share: the main window with
// one document window, in a program folder of its own, and the table of
// mean times their summaries print.

#include "app/ApplicationClasses.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"

#include <QApplication>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include <unistd.h>

// Mean times by name ("font ours", "font peer" ...).
inline std::map<std::string, double>& BenchResults() {
    static std::map<std::string, double> table;
    return table;
}

inline double BenchMilliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The main window with one document (made on first use); folder names the
// temporary program folder.
inline TEditForm& BenchDocument(const char* folder) {
    static TEditForm* page = [folder] {
        const auto path = std::filesystem::temp_directory_path() / (std::string(folder) + std::to_string(getpid()));
        std::filesystem::create_directories(path / "data");
        std::filesystem::create_directories(path / "config");
        SetProgramFolder(path.string());
        setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
        RegisterApplicationClasses();
        auto* frame = new Tframeform(&Application());
        Application().SetMainForm(frame);
        frame->SetBounds(0, 0, 1280, 900);
        frame->Show();
        auto* edit = new TEditForm(&Application());
        frame->MDINav->AddForm(edit, nullptr);
        QApplication::processEvents();
        return edit;
    }();
    return *page;
}

// Frees the windows while the application they were made in stands.
inline void FreeBenchWindows() {
    if (Tframeform* frame = frameform) {
        while (frame->MDIChildCount() > 0)
            delete frame->MDIChildren(frame->MDIChildCount() - 1);
        delete frame;
        Application().SetMainForm(nullptr);
    }
}
