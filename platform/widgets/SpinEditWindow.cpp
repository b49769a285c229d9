// The spin edit's window: a spin box.  Its range and step are the
// control's (no bounds: the whole integer range); what the user types or
// steps to is reported as text.
#include "platform/base/TextCodec.h"
#include "platform/ui/SpinEdit.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QLineEdit>
#include <QSpinBox>

#include <climits>

namespace {

class TSpinEditPeer : public TNativePeer {
public:
    explicit TSpinEditPeer(TSpinEdit& spin) : TNativePeer(spin, new QSpinBox(ParentWidgetFor(spin))), spin_(spin) {
        QSpinBox* box = spinBox();
        box->setKeyboardTracking(true);
        watch(box->findChild<QLineEdit*>());
        connect(box, &QSpinBox::textChanged, [this](const QString& text) {
            std::string bytes = QStringToProgramText(text);
            notify(CN_COMMAND, EN_CHANGE, reinterpret_cast<LPARAM>(&bytes));
        });
        TSync sync(*this);
        changed(paRange, -1);
        changed(paReadOnly, -1);
        start();
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
            if (auto* line = box->findChild<QLineEdit*>())
                line->setReadOnly(spin_.ReadOnly() || !spin_.EditorEnabled());
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
