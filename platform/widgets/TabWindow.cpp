// The window of the tab and page controls: a tab bar (one row, or several
// for a multi-line control) beside an area that holds the control's
// children (the pages).  The user's choice of a tab is asked for first
// (TCN_SELCHANGING) and told after (TCN_SELCHANGE); a refused one puts the
// tab back.
#include "platform/base/TextCodec.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/PageControls.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/TabRows.h"
#include "platform/widgets/WindowKinds.h"

#include <QKeyEvent>
#include <QTabBar>
#include <QWidget>

#include <functional>

namespace {

// The frame: the tabs along one edge (one scrolling row, or as many rows
// as they need), the area over the rest.
class TTabFrame : public QWidget {
public:
    explicit TTabFrame(QWidget* parent)
        : QWidget(parent), row(new TTabRow(this)), rows(new TTabRows(*row, this)), area(new QWidget(this)) {
        rows->hide();
    }

    TTabRow* row;
    TTabRows* rows;
    QWidget* area;
    TTabPosition position = tpTop;
    bool multiLine = false;
    std::function<void()> OnLaidOut;

    void LayOut() {
        int w = width(), h = height();
        bool across = position == tpTop || position == tpBottom;
        QWidget* bar = multiLine ? static_cast<QWidget*>(rows) : row;
        QSize tabs = row->sizeHint();
        if (multiLine)
            tabs = across ? QSize(w, rows->ThicknessFor(w)) : QSize(rows->ThicknessFor(h), h);
        switch (position) {
        case tpTop:
            bar->setGeometry(0, 0, w, tabs.height());
            area->setGeometry(0, tabs.height(), w, std::max(0, h - tabs.height()));
            break;
        case tpBottom:
            bar->setGeometry(0, std::max(0, h - tabs.height()), w, tabs.height());
            area->setGeometry(0, 0, w, std::max(0, h - tabs.height()));
            break;
        case tpLeft:
            bar->setGeometry(0, 0, tabs.width(), h);
            area->setGeometry(tabs.width(), 0, std::max(0, w - tabs.width()), h);
            break;
        case tpRight:
            bar->setGeometry(std::max(0, w - tabs.width()), 0, tabs.width(), h);
            area->setGeometry(0, 0, std::max(0, w - tabs.width()), h);
            break;
        }
        row->setVisible(!multiLine);
        rows->setVisible(multiLine);
        if (multiLine)
            rows->Relayout();
        if (OnLaidOut)
            OnLaidOut();
    }

protected:
    void resizeEvent(QResizeEvent*) override { LayOut(); }

    // With the keyboard, the arrows pick the tab before or after the
    // current one, in one row or in several alike.
    void keyPressEvent(QKeyEvent* event) override {
        int step = 0;
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: step = -1; break;
        case Qt::Key_Right:
        case Qt::Key_Down: step = 1; break;
        default: QWidget::keyPressEvent(event); return;
        }
        for (int i = row->currentIndex() + step; i >= 0 && i < row->count(); i += step)
            if (row->isTabEnabled(i) && row->isTabVisible(i)) {
                row->setCurrentIndex(i);
                break;
            }
    }
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
            return ProgramTextToQString(hint.substr(0, hint.find('|')));
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
                row->addTab(QIconOf(control_.Images(), control_.TabImage(i)), ProgramTextToQString(control_.TabCaption(i)));
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
            frame->multiLine = control_.MultiLine();
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
