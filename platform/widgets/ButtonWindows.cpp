// The windows of buttons: push buttons (with a picture for the picture
// button), check boxes and radio buttons.  A click is reported; the check
// mark shown is always the control's, which decides what a click does.
#include "platform/base/TextCodec.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ExtControls.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

namespace {

// A caption drawn over its parent's face, which has the program's colours,
// shows disabled in the classic grey text colour: the style's own disabled
// grey is meant for its own lighter face and can not be read on the
// program's.
void greyTextWhenDisabled(QWidget* widget) {
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColorOf(clGrayText));
    widget->setPalette(palette);
}

class TButtonPeer : public TNativePeer {
public:
    TButtonPeer(TButtonControl& control, QAbstractButton* button) : TNativePeer(control, button) {
        connect(button, &QAbstractButton::clicked, [this] { clicked(); });
    }

protected:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(Widget()); }
    void textChanged() override {
        button()->setText(ProgramTextToQString(Control().Caption()));
        // The access key is the control's (CM_DIALOGCHAR), matched as
        // menus and labels match theirs: Qt's own would press it twice.
        button()->setShortcut(QKeySequence());
    }
    virtual void clicked() { notify(CN_COMMAND, BN_CLICKED, 0); }
};

class TPushButtonPeer : public TButtonPeer {
public:
    explicit TPushButtonPeer(TButton& control)
        : TButtonPeer(control, new QPushButton(ParentWidgetFor(control))), control_(control) {
        auto* push = static_cast<QPushButton*>(button());
        push->setAutoDefault(false);
        TSync sync(*this);
        changed(paOptions, -1);
        start();
    }

protected:
    void changed(TPeerAspect aspect, int) override {
        if (aspect == paOptions)
            static_cast<QPushButton*>(button())->setDefault(control_.Default());
    }

    void applyAppearance() override {
        TButtonPeer::applyAppearance();
        auto* picture = dynamic_cast<TBitBtn*>(&control_);
        if (picture == nullptr)
            return;
        // The first of the glyph's pictures side by side; Qt makes the
        // disabled look itself.
        QIcon icon;
        if (!picture->Glyph().Empty()) {
            QImage image = QImageOf(picture->Glyph());
            int width = image.width() / picture->NumGlyphs();
            image = image.copy(0, 0, width, image.height());
            icon = QIcon(QPixmap::fromImage(image));
            button()->setIconSize(image.size());
        }
        button()->setIcon(icon);
        bool glyphRight = picture->Layout() == blGlyphRight;
        button()->setLayoutDirection(glyphRight ? Qt::RightToLeft : Qt::LeftToRight);
    }

private:
    TButton& control_;
};

// A check box or radio button: the mark shown is the control's, set again
// after every click it reported; its caption may sit left of the mark.
class TMarkPeer : public TButtonPeer {
public:
    TMarkPeer(TButtonControl& control, QAbstractButton* button, std::function<TAlignment()> alignment)
        : TButtonPeer(control, button), alignment_(std::move(alignment)) {}

protected:
    virtual void showMark() = 0;

    void applyAppearance() override {
        TButtonPeer::applyAppearance();
        greyTextWhenDisabled(button());
    }

    void changed(TPeerAspect aspect, int) override {
        if (aspect == paState)
            showMark();
        else if (aspect == paAlignment)
            button()->setLayoutDirection(alignment_() == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
    }

    void clicked() override {
        auto alive = Alive();
        TButtonPeer::clicked();
        if (alive.expired())
            return;
        TSync sync(*this);
        showMark();
    }

    void begin() {
        TSync sync(*this);
        changed(paState, -1);
        changed(paAlignment, -1);
        start();
    }

private:
    std::function<TAlignment()> alignment_;
};

class TCheckBoxPeer : public TMarkPeer {
public:
    explicit TCheckBoxPeer(TCustomCheckBox& control)
        : TMarkPeer(control, new QCheckBox(ParentWidgetFor(control)), [&control] { return control.Alignment(); }),
          control_(control) {
        begin();
    }

protected:
    void showMark() override {
        auto* box = static_cast<QCheckBox*>(button());
        box->setTristate(control_.State() == cbGrayed || control_.AllowGrayed());
        box->setCheckState(control_.State() == cbChecked   ? Qt::Checked
                           : control_.State() == cbGrayed ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
    }

private:
    TCustomCheckBox& control_;
};

class TRadioButtonPeer : public TMarkPeer {
public:
    explicit TRadioButtonPeer(TRadioButton& control)
        : TMarkPeer(control, new QRadioButton(ParentWidgetFor(control)), [&control] { return control.Alignment(); }),
          control_(control) {
        // The control unchecks the buttons beside it itself.
        button()->setAutoExclusive(false);
        begin();
    }

protected:
    void showMark() override { button()->setChecked(control_.Checked()); }

private:
    TRadioButton& control_;
};

class TGroupBoxPeer : public TNativePeer {
public:
    explicit TGroupBoxPeer(TCustomGroupBox& control) : TNativePeer(control, new QGroupBox(ParentWidgetFor(control))) {
        start();
    }

protected:
    void textChanged() override { static_cast<QGroupBox*>(Widget())->setTitle(ProgramTextToQString(Control().Caption())); }
    void applyAppearance() override {
        TNativePeer::applyAppearance();
        greyTextWhenDisabled(Widget());
    }
};

const TWindowKindRegistration buttonKind(wk::Button, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TPushButtonPeer>(dynamic_cast<TButton&>(control));
});
const TWindowKindRegistration checkBoxKind(wk::CheckBox, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TCheckBoxPeer>(dynamic_cast<TCustomCheckBox&>(control));
});
const TWindowKindRegistration radioKind(wk::RadioButton, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TRadioButtonPeer>(dynamic_cast<TRadioButton&>(control));
});
const TWindowKindRegistration groupKind(wk::GroupBox, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TGroupBoxPeer>(dynamic_cast<TCustomGroupBox&>(control));
});

} // namespace
