// The window of the tab and page controls: a tab bar beside an area that
// holds the control's children (the pages).  The user's choice of a tab
// is asked for first (TCN_SELCHANGING) and told after (TCN_SELCHANGE); a
// refused one puts the tab back.
#include "platform/base/TextCodec.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/PageControls.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WindowKinds.h"

#include <QHelpEvent>
#include <QTabBar>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

#include <functional>

namespace {

// A tab bar that does not change tabs with the wheel, and shows each
// tab's hint (asked when it is to show) as its tool tip.
class TTabRow : public QTabBar {
public:
    using QTabBar::QTabBar;
    std::function<QString(int index)> TabHint;

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
    bool event(QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return QTabBar::event(event);
        auto* help = static_cast<QHelpEvent*>(event);
        QString hint = TabHint ? TabHint(tabAt(help->pos())) : QString();
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
};

// The frame: the tab row along one edge, the area over the rest.
class TTabFrame : public QWidget {
public:
    explicit TTabFrame(QWidget* parent) : QWidget(parent), row(new TTabRow(this)), area(new QWidget(this)) {}

    TTabRow* row;
    QWidget* area;
    TTabPosition position = tpTop;
    std::function<void()> OnLaidOut;

    void LayOut() {
        QSize tabs = row->sizeHint();
        int w = width(), h = height();
        switch (position) {
        case tpTop:
            row->setGeometry(0, 0, w, tabs.height());
            area->setGeometry(0, tabs.height(), w, std::max(0, h - tabs.height()));
            break;
        case tpBottom:
            row->setGeometry(0, std::max(0, h - tabs.height()), w, tabs.height());
            area->setGeometry(0, 0, w, std::max(0, h - tabs.height()));
            break;
        case tpLeft:
            row->setGeometry(0, 0, tabs.width(), h);
            area->setGeometry(tabs.width(), 0, std::max(0, w - tabs.width()), h);
            break;
        case tpRight:
            row->setGeometry(std::max(0, w - tabs.width()), 0, tabs.width(), h);
            area->setGeometry(0, 0, std::max(0, w - tabs.width()), h);
            break;
        }
        if (OnLaidOut)
            OnLaidOut();
    }

protected:
    void resizeEvent(QResizeEvent*) override { LayOut(); }
};

class TTabWindow : public TNativePeer {
public:
    explicit TTabWindow(TCustomTabControl& control)
        : TNativePeer(control, new TTabFrame(ParentWidgetFor(control))), control_(control) {
        TTabFrame* frame = this->frame();
        setContainer(frame->area);
        setClientWidget(frame->area);
        watch(frame->area);
        frame->row->TabHint = [this](int index) {
            std::string hint = index >= 0 && index < control_.TabCount() ? control_.TabHint(index) : std::string();
            return Utf8ToQString(hint.substr(0, hint.find('|')));
        };
        frame->row->setDrawBase(true);
        connect(frame->row, &QTabBar::currentChanged, [this](int index) { chosen(index); });
        frame->OnLaidOut = [this] {
            TSize size = ClientSize();
            notify(WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<unsigned>(size.cx), static_cast<unsigned>(size.cy)));
        };
        TSync sync(*this);
        changed(paOptions, -1);
        changed(paItemsReset, -1);
        start();
        frame->LayOut();
    }

    ~TTabWindow() override {
        if (TTabFrame* frame = this->frame()) {
            frame->OnLaidOut = nullptr;
            frame->row->TabHint = nullptr;
        }
    }

protected:
    TTabFrame* frame() const { return static_cast<TTabFrame*>(Widget()); }

    void changed(TPeerAspect aspect, int) override {
        TTabFrame* frame = this->frame();
        TTabRow* row = frame->row;
        switch (aspect) {
        case paItemsReset: {
            while (row->count() > 0)
                row->removeTab(row->count() - 1);
            for (int i = 0; i < control_.TabCount(); ++i) {
                row->addTab(QIconOf(control_.Images(), control_.TabImage(i)), Utf8ToQString(control_.TabCaption(i)));
            }
            if (control_.Images() != nullptr)
                row->setIconSize(QSize(control_.Images()->Width(), control_.Images()->Height()));
            showCurrent();
            frame->LayOut();
            break;
        }
        case paItemIndex:
            showCurrent();
            break;
        case paOptions: {
            static const QTabBar::Shape shapes[] = {QTabBar::RoundedNorth, QTabBar::RoundedSouth, QTabBar::RoundedWest,
                                                    QTabBar::RoundedEast};
            frame->position = control_.TabPosition();
            row->setShape(shapes[control_.TabPosition()]);
            // One row of tabs, also for MultiLine: the tabs that do not fit
            // are scrolled to, never cut off out of reach.
            row->setUsesScrollButtons(true);
            row->setExpanding(false);
            frame->LayOut();
            break;
        }
        case paAppearance:
            frame->LayOut();
            break;
        default:
            break;
        }
    }

private:
    void showCurrent() {
        TTabRow* row = frame()->row;
        int current = control_.CurrentTab();
        if (row->currentIndex() != current)
            row->setCurrentIndex(current);
    }

    void chosen(int index) {
        if (syncing())
            return;
        auto alive = Alive();
        LRESULT refused = notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TCN_SELCHANGING)), index);
        if (alive.expired())
            return;
        if (refused == 0) {
            notify(CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(TCN_SELCHANGE)), index);
            if (alive.expired())
                return;
        }
        TSync sync(*this);
        showCurrent();
    }

    TCustomTabControl& control_;
};

const TWindowKindRegistration registration(wk::TabControl, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    return std::make_unique<TTabWindow>(dynamic_cast<TCustomTabControl&>(control));
});

} // namespace
