#include "platform/widgets/QtUserInteraction.h"

#include "platform/base/DetachedProcess.h"
#include "platform/base/FileNameText.h"
#include "platform/base/TextCodec.h"
#include "platform/base/QtBridge.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/FileDialogWindow.h"
#include "platform/widgets/MessageTextWrapping.h"
#include "platform/widgets/ModalWindow.h"
#include "platform/widgets/PicturePreview.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

// The window a modal dialog is shown over: a form that stays on top while
// one shows, so that the dialog is not hidden beneath it, else the window
// the user works in.  Not merely Qt's active window, which is none from a
// window's closing until the window system has activated the next: a
// dialog opened then would have no owner, open in the middle of the
// screen, and leave the keyboard nowhere once it closes.
QWidget* dialogParent() {
    if (TCustomForm* onTop = ShowingStayOnTopForm())
        if (QWidget* widget = ClientWidgetOf(onTop))
            return widget->window();
    QWidget* active = QApplication::activeWindow();
    // One of Qt's own windows that keeps no loop (the Find dialog) owns
    // what it asks; a floating tool window's questions belong to its form.
    if (active != nullptr && ModalWindowNow() == nullptr && ControlOfObject(active) == nullptr &&
        active->windowType() != Qt::Tool)
        return active;
    return WorkingWindowNow();
}

// A file name in a box of Qt's own dialogs, and back: shown as the program
// shows names ("caf\xE9.pdf"), so that a name that is not UTF-8 comes back
// as its own bytes rather than as "caf\uFFFD.pdf".
QString fileNameToQt(const std::string& name) { return ProgramTextToQString(DisplayTextOfName(name)); }
std::string fileNameFromQt(const QString& name) { return NameOfDisplayText(QStringToProgramText(name)); }

QString captionOr(const std::string& caption) {
    if (!caption.empty())
        return ProgramTextToQString(caption);
    QString title = QApplication::applicationDisplayName();
    return title.isEmpty() ? QApplication::applicationName() : title;
}

// A dialog of one size (a message box, the colour dialog) asks its frame
// for a title, a system menu and a close button alone: a window manager
// that decorates by the flags offers no maximise button for it.
void frameAsFixedSize(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
}

struct ButtonPair {
    TMsgDlgBtn Ours;
    QMessageBox::StandardButton Qt;
};
constexpr ButtonPair kButtons[] = {
    {mbYes, QMessageBox::Yes},         {mbNo, QMessageBox::No},
    {mbOK, QMessageBox::Ok},           {mbCancel, QMessageBox::Cancel},
    {mbAbort, QMessageBox::Abort},     {mbRetry, QMessageBox::Retry},
    {mbIgnore, QMessageBox::Ignore},   {mbAll, QMessageBox::YesToAll},
    {mbNoToAll, QMessageBox::NoToAll}, {mbYesToAll, QMessageBox::YesToAll},
    {mbHelp, QMessageBox::Help},
};

// The picture of the file the user points at, beside the dialog's list.
void addPicturePreview(TFileDialogWindow& dialog, const std::string& fileName) {
    auto* preview = new TPicturePreview(&dialog);
    preview->setObjectName("picturePreview");
    dialog.AddBesideList(preview);
    dialog.OnCurrentChanged = [preview](const std::string& path) { preview->ShowFile(path); };
    preview->ShowFile(fileName);
}

TFileDialogResult chosenFiles(TFileDialogWindow& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenFiles().empty())
        return {};
    TFileDialogResult result;
    result.Accepted = true;
    result.FileNames = dialog.ChosenFiles();
    result.FilterIndex = dialog.ChosenFilter();
    return result;
}

} // namespace

std::string QtFileFilter(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size()) {
        size_t bar = filter.find('|', start);
        if (bar == std::string::npos)
            bar = filter.size();
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string masks = parts[i + 1];
        for (char& c : masks)
            if (c == ';')
                c = ' ';
        if (!result.empty())
            result += ";;";
        result += parts[i] + " (" + masks + ")";
    }
    return result;
}

TQtUserInteraction::~TQtUserInteraction() = default;

TQtUserInteraction& QtUserInteraction() {
    static TQtUserInteraction interaction;
    return interaction;
}

namespace {

// Counts the times a window was hidden.
class THideCount : public QObject {
public:
    explicit THideCount(QWidget& window) { window.installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            ++Count;
        return false;
    }
};

} // namespace

int TQtUserInteraction::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                   const std::string& caption) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(captionOr(caption));
    box.setText(WithBreakChances(ProgramTextToQString(text)));
    switch (type) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QMessageBox::StandardButtons standard;
    for (const ButtonPair& pair : kButtons)
        if (buttons & (1u << pair.Ours))
            standard |= pair.Qt;
    if (standard == QMessageBox::NoButton)
        standard = QMessageBox::Ok;
    box.setStandardButtons(standard);
    frameAsFixedSize(box);
    // The window system's window of the box's owner may be made anew while
    // the box waits (the first web view in it asks for another kind of
    // surface); the owner's peer then hides the box and shows it again
    // above the new window, and the hiding ends the box's run.  The box,
    // shown again and unanswered, is still waiting: its run goes on, modal
    // throughout.  A box hidden for good, or a quit, ends it unanswered.
    box.setAttribute(Qt::WA_ShowModal, true);
    THideCount hidden(box);
    int pressed = box.exec();
    while (box.clickedButton() == nullptr && hidden.Count > 0 && box.isVisible() && !QuitRequested()) {
        hidden.Count = 0;
        pressed = box.exec();
    }
    for (const ButtonPair& pair : kButtons)
        if (pressed == pair.Qt && (buttons & (1u << pair.Ours)))
            return ModalResultOf(pair.Ours);
    return pressed == QMessageBox::Ok ? mrOk : mrCancel;
}

void TQtUserInteraction::ShowException(const std::string& message) {
    MessageDlg(message, mtError, mbOKOnly);
}

TFileDialogResult TQtUserInteraction::OpenFileDialog(const TFileDialogRequest& request) {
    TFileDialogWindow dialog(dialogParent(), request, TFileDialogWindow::fdOpen);
    if (request.PicturePreview)
        addPicturePreview(dialog, request.FileName);
    return chosenFiles(dialog);
}

TFileDialogResult TQtUserInteraction::SaveFileDialog(const TFileDialogRequest& request) {
    TFileDialogWindow dialog(dialogParent(), request, TFileDialogWindow::fdSave);
    return chosenFiles(dialog);
}

bool TQtUserInteraction::ChooseColor(TColor& color) {
    QColorDialog dialog(ToQColor(color), dialogParent());
    frameAsFixedSize(dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return false;
    color = FromQColor(dialog.selectedColor());
    return true;
}

bool TQtUserInteraction::ChooseFont(TFont& font) {
    bool accepted = false;
    QFont initial = ToQFont(font);
    initial.setFamily(ProgramTextToQString(font.Name()));
    initial.setPointSize(std::max(1, font.Size() > 0 ? font.Size() : -font.Size()));
    QFont chosen = QFontDialog::getFont(&accepted, initial, dialogParent());
    if (!accepted)
        return false;
    font.SetName(QStringToProgramText(chosen.family()));
    if (chosen.pointSize() > 0)
        font.SetSize(chosen.pointSize());
    else
        font.SetHeight(-chosen.pixelSize());
    TFontStyles style = 0;
    if (chosen.bold())
        style |= fsBold;
    if (chosen.italic())
        style |= fsItalic;
    if (chosen.underline())
        style |= fsUnderline;
    if (chosen.strikeOut())
        style |= fsStrikeOut;
    font.SetStyle(style);
    return true;
}

bool TQtUserInteraction::ChooseFolder(const std::string& title, std::string& folder) {
    // The program's own dialog, which lists folders by their bytes.
    TFileDialogRequest request;
    request.Title = title;
    request.InitialDir = folder;
    TFileDialogWindow dialog(dialogParent(), request, TFileDialogWindow::fdFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenFiles().empty())
        return false;
    folder = dialog.ChosenFiles().front();
    return true;
}

bool TQtUserInteraction::PrinterSetupDialog(TPrinterSetup& setup) {
    QPrinter printer;
    if (!setup.PrinterName.empty())
        printer.setPrinterName(QString::fromStdString(setup.PrinterName));
    printer.setPageOrientation(setup.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, setup.Copies));
    if (!setup.OutputFileName.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileNameToQt(setup.OutputFileName));
    }
    QPrintDialog dialog(&printer, dialogParent());
    // Qt's dialog is made for printing; this one only chooses the settings
    // a later print uses, so it says so.
    dialog.setWindowTitle("Print Setup");
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
            ok->setText("OK");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The dialog's "print to file" choice, where no printer is at hand.
    setup.OutputFileName = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()
                               ? fileNameFromQt(printer.outputFileName())
                               : std::string();
    setup.PrinterName = printer.printerName().toStdString();
    setup.Landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    setup.Copies = printer.copyCount();
    return true;
}

void TQtUserInteraction::showFind(bool replace, const TFindRequest& initial, TFindHandler handler) {
    CloseFindDialogs();
    // Modeless: it belongs to the window the user works in.
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(replace ? "Replace" : "Find");
    auto* layout = new QGridLayout(dialog);
    auto* findEdit = new QLineEdit(ProgramTextToQString(initial.FindText), dialog);
    auto* replaceEdit = new QLineEdit(ProgramTextToQString(initial.ReplaceText), dialog);
    auto* wholeWord = new QCheckBox("Match &whole word only", dialog);
    auto* matchCase = new QCheckBox("Match &case", dialog);
    auto* down = new QCheckBox("Search &down", dialog);
    wholeWord->setChecked(initial.Options & frWholeWord);
    matchCase->setChecked(initial.Options & frMatchCase);
    down->setChecked(initial.Options & frDown);
    // A label shows its access key, and its key reaches the box it names,
    // only with the box as its buddy.
    auto label = [dialog](const char* caption, QWidget* buddy) {
        auto* made = new QLabel(caption, dialog);
        made->setBuddy(buddy);
        return made;
    };
    layout->addWidget(label("Fi&nd what:", findEdit), 0, 0);
    layout->addWidget(findEdit, 0, 1);
    if (replace) {
        layout->addWidget(label("Re&place with:", replaceEdit), 1, 0);
        layout->addWidget(replaceEdit, 1, 1);
    } else {
        replaceEdit->hide();
    }
    layout->addWidget(wholeWord, 2, 0, 1, 2);
    layout->addWidget(matchCase, 3, 0, 1, 2);
    layout->addWidget(down, 4, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(Qt::Vertical, dialog);
    auto request = [=](unsigned action) {
        TFindRequest r;
        r.FindText = QStringToProgramText(findEdit->text());
        r.ReplaceText = QStringToProgramText(replaceEdit->text());
        r.Options = action | (wholeWord->isChecked() ? frWholeWord : 0u) |
                    (matchCase->isChecked() ? frMatchCase : 0u) | (down->isChecked() ? frDown : 0u);
        RunGuarded([&] { handler(r); });
    };
    QObject::connect(buttons->addButton("&Find Next", QDialogButtonBox::ActionRole), &QPushButton::clicked,
                     dialog, [=] { request(frFindNext); });
    if (replace) {
        QObject::connect(buttons->addButton("&Replace", QDialogButtonBox::ActionRole),
                         &QPushButton::clicked, dialog, [=] { request(frReplace); });
        QObject::connect(buttons->addButton("Replace &All", QDialogButtonBox::ActionRole),
                         &QPushButton::clicked, dialog, [=] { request(frReplaceAll); });
    }
    // Escape cancels; Alt+C is "Match case"'s.
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setText("Cancel");
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
    layout->addWidget(buttons, 0, 2, 5, 1);
    findDialog_ = dialog;
    QObject::connect(dialog, &QObject::destroyed, [this, dialog] {
        if (findDialog_ == dialog)
            findDialog_ = nullptr;
    });
    dialog->show();
    // The dialog takes the keyboard, its access keys with it; the text
    // searched last is selected, so that typing replaces it.
    dialog->activateWindow();
    findEdit->setFocus();
    findEdit->selectAll();
}

void TQtUserInteraction::ShowFindDialog(const TFindRequest& initial, TFindHandler handler) {
    showFind(false, initial, std::move(handler));
}

void TQtUserInteraction::ShowReplaceDialog(const TFindRequest& initial, TFindHandler handler) {
    showFind(true, initial, std::move(handler));
}

void TQtUserInteraction::CloseFindDialogs() {
    if (findDialog_ != nullptr) {
        QDialog* dialog = findDialog_;
        findDialog_ = nullptr;
        dialog->close();
    }
}

bool TQtUserInteraction::OpenDocument(const std::string& fileName) {
    // The address is made from the name's bytes: a name that is not UTF-8
    // would otherwise name another file.
    return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(FileUriOfPath(fileName))));
}

bool TQtUserInteraction::OpenURL(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool TQtUserInteraction::StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                                      const std::string& workingFolder) {
    // Not through QProcess, which would hand over each name re-encoded.
    return StartDetachedProcess(program, arguments, workingFolder);
}
