#pragma once
// The base of the shell controls' dialog components: it remembers the
// dialog form's size and window state between runs, refuses to run twice
// at once, and hands the real work to DoExecute, which each dialog
// implements.

#include "platform/base/Component.h"
#include "platform/base/Stream.h"
#include "platform/ui/Forms.h"

#include <string>

class TPTDialog : public TComponent {
public:
    explicit TPTDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TPTDialog"; }

    // Runs the dialog; true when the user confirmed.  Raises Exception
    // "<class name> already executing" while the dialog runs.
    bool Execute();
    bool Executing() const { return executing_; }

    // The form's size (-1: the form's own) and window state, applied when
    // a run starts and updated when it ends.
    int FormWidth = -1;
    int FormHeight = -1;
    TWindowState FormWindowState = wsNormal;
    // The form's caption (empty: the dialog's own).
    std::string Title;

    TNotifyEvent OnInitialized;
    TNotifyEvent OnFormShow;
    TNotifyEvent OnFormClose;

    // The placement as a block: width and height (4 bytes each,
    // little-endian), window state (1 byte).  A short stream raises the
    // stream's read or write error.
    void ReadPlacement(TStream& stream);
    void WritePlacement(TStream& stream) const;

protected:
    virtual void DoInitialized();
    virtual bool DoExecute() = 0;

private:
    bool executing_ = false;
};
