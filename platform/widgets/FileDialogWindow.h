#pragma once
// The open and save dialogs of the user-interaction seam.  Qt's own file
// dialog lists a folder through Qt's decoding of names, which leaves out
// every name that is not UTF-8; this one reads the folder's bytes itself,
// shows each name as DisplayTextOfName reads it ("caf\xE9.html"), takes a
// typed name through the same rule back and answers with the bytes.  The
// same window chooses a folder, listing folders alone.

#include "platform/ui/UserInteraction.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TFileDialogWindow : public QDialog {
public:
    enum TKind { fdOpen, fdSave, fdFolder };
    TFileDialogWindow(QWidget* parent, const TFileDialogRequest& request, TKind kind);
    ~TFileDialogWindow() override;

    // The folder listed (bytes); setting it lists that folder.
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& folder);
    // Once accepted: the files chosen (the folder, for fdFolder), whole
    // paths as bytes, and the filter shown (counted from 1).
    const std::vector<std::string>& ChosenFiles() const { return chosen_; }
    int ChosenFilter() const;

    // Called with the file the user points at (bytes; empty for none).
    std::function<void(const std::string&)> OnCurrentChanged;
    // Puts a widget beside the list, the dialog growing by its width.
    void AddBesideList(QWidget* widget);

    QTreeWidget* List() const { return list_; }
    QLineEdit* NameEdit() const { return name_; }

    // Takes the typed name or the files picked; stays open (having told
    // the user why) when they can not be chosen.  A name with a wildcard
    // ("*.css", "pages/*.htm?") that names no file becomes the list's
    // filter instead, as in the desktop's dialogs.
    void accept() override;

private:
    void fill();
    void picked();
    void activated(QTreeWidgetItem* item);
    // The names in the name box: one, or several in quotes.
    std::vector<std::string> typedNames() const;
    std::string pathOf(const std::string& name) const;
    bool confirmOverwrite(const std::string& path);
    void warn(const std::string& path, const QString& why);
    // True when name was taken as a filter.
    bool filterByTyped(const std::string& name);
    void chooseFolder(const std::vector<std::string>& names);

    TFileDialogRequest request_;
    TKind kind_;
    std::string folder_;
    std::vector<std::string> chosen_;
    QGridLayout* grid_ = nullptr;
    QLineEdit* lookIn_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* types_ = nullptr;
    std::vector<std::vector<std::string>> masks_;
    // Typed masks in force until another type is picked; empty for none.
    std::vector<std::string> typedMasks_;
    // The columns' widths for the folder listed, summed.
    int columnsWidth_ = 0;
};

// Whether a file name matches one of the masks ("*.htm", "a?c.*", "*.*"),
// ASCII letters compared without case.
bool NameMatchesMasks(std::string_view name, const std::vector<std::string>& masks);
