// The spin edit's window: a spin box.  Its range and step are the
// control's (no bounds: the whole integer range); what the user types or
// steps to is reported as text, and its field shows the control's
// selection and reports the user's, as an edit box does.
#include "platform/base/TextCodec.h"
#include "platform/ui/SpinEdit.h"
#include "platform/widgets/LineEditSelection.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QLineEdit>
#include <QSpinBox>

#include <climits>

namespace {

class TSpinEditPeer : public TLineEditPeer {
public:
    explicit TSpinEditPeer(TSpinEdit& spin) : TLineEditPeer(spin, new QSpinBox(ParentWidgetFor(spin))), spin_(spin) {
        QSpinBox* box = spinBox();
        box->setKeyboardTracking(true);
        QLineEdit* line = box->findChild<QLineEdit*>();
        watch(line);
        connect(box, &QSpinBox::textChanged, [this](const QString& text) {
            std::string bytes = QStringToProgramText(text);
            auto alive = Alive();
            notify(CN_COMMAND, EN_CHANGE, reinterpret_cast<LPARAM>(&bytes));
            // The field moved its cursor before it told of the text: the
            // control hears of it again against the text it now holds.
            if (!alive.expired())
                selectionMoved();
        });
        followLine(line);
        TSync sync(*this);
        changed(paRange, -1);
        changed(paReadOnly, -1);
        start();
        changed(paSelection, -1);
    }

protected:
    QSpinBox* spinBox() const { return static_cast<QSpinBox*>(Widget()); }

    void textChanged() override {
        QSpinBox* box = spinBox();
        if (box->value() != spin_.Value() || box->text() != ProgramTextToQString(spin_.Text()))
            box->setValue(spin_.Value());
    }

    void changed(TPeerAspect aspect, int) override {
        QSpinBox* box = spinBox();
        switch (aspect) {
        case paRange:
            if (spin_.Bounded())
                box->setRange(std::min(spin_.MinValue(), spin_.MaxValue()), std::max(spin_.MinValue(), spin_.MaxValue()));
            else
                box->setRange(INT_MIN, INT_MAX);
            box->setSingleStep(spin_.Increment());
            box->setValue(spin_.Value());
            break;
        case paReadOnly:
            box->setReadOnly(spin_.ReadOnly());
            if (QLineEdit* field = line())
                field->setReadOnly(spin_.ReadOnly() || !spin_.EditorEnabled());
            break;
        case paSelection:
            if (QLineEdit* field = line())
                ShowSelection(*field, spin_.Text(), {spin_.SelStart(), spin_.SelLength()});
            break;
        default:
            break;
        }
    }

private:
    TSpinEdit& spin_;
};

const TWindowKindRegistration registration(wk::SpinEdit, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TSpinEditPeer>(dynamic_cast<TSpinEdit&>(control));
});

} // namespace
