// The edit box's window: a line edit.
#include "platform/base/TextCodec.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/CharacterLimit.h"
#include "platform/widgets/LineEditSelection.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/TextLimit.h"
#include "platform/widgets/WindowKinds.h"

#include <QLineEdit>

#include <limits>

namespace {

class TEditPeer : public TLineEditPeer {
public:
    explicit TEditPeer(TCustomEdit& edit) : TLineEditPeer(edit, new QLineEdit(ParentWidgetFor(edit))), edit_(edit) {
        QLineEdit* line = lineEdit();
        limit_ = new TCharacterLimit(line);
        line->setValidator(limit_);
        connect(line, &QLineEdit::textEdited, [this](const QString& text) { edited(text); });
        followLine(line);
        TSync sync(*this);
        for (TPeerAspect aspect : {paReadOnly, paMaxLength, paOptions})
            changed(aspect, -1);
        start();
        changed(paSelection, -1);
    }

protected:
    QLineEdit* lineEdit() const { return static_cast<QLineEdit*>(Widget()); }

    void textChanged() override {
        QString text = ProgramTextToQString(edit_.Text());
        if (lineEdit()->text() != text) {
            limit_->SetProgramText(text);
            lineEdit()->setText(text);
        }
    }

    void changed(TPeerAspect aspect, int) override {
        QLineEdit* line = lineEdit();
        switch (aspect) {
        case paReadOnly:
            line->setReadOnly(edit_.ReadOnly());
            break;
        case paMaxLength:
            // Qt's own limit counts halves of characters: the validator
            // counts whole ones.
            limit_->SetLimit(typingLimit(edit_.MaxLength()));
            line->setMaxLength(std::numeric_limits<int>::max());
            break;
        case paOptions:
            line->setEchoMode(edit_.PasswordChar() != 0 ? QLineEdit::Password : QLineEdit::Normal);
            line->setFrame(edit_.BorderStyle() == bsSingle);
            break;
        case paSelection:
            ShowSelection(*line, edit_.Text(), {edit_.SelStart(), edit_.SelLength()});
            break;
        default:
            break;
        }
    }

private:
    void edited(const QString& text) {
        std::string bytes = QStringToProgramText(text);
        auto alive = Alive();
        notify(CN_COMMAND, EN_CHANGE, reinterpret_cast<LPARAM>(&bytes));
        if (alive.expired())
            return;
        // What the control keeps is what shows: characters outside the code
        // page, or a handler's own text.
        {
            TSync sync(*this);
            textChanged();
        }
        selectionMoved();
    }

    TCustomEdit& edit_;
    TCharacterLimit* limit_ = nullptr; // owned by the line edit
};

const TWindowKindRegistration registration(wk::Edit, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TEditPeer>(dynamic_cast<TCustomEdit&>(control));
});

} // namespace
