#include "platform/widgets/ShellMenuTracker.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/shellns/ShellMenu.h"
#include "platform/ui/Control.h"
#include "platform/ui/Message.h"
#include "platform/base/QtBridge.h"
#include "platform/ui/QtBridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

#include <map>

namespace {

// One tracking: the owner, the command chosen, and which Qt action stands
// for which item.
struct TTracking {
    TWinControl* Owner = nullptr;
    unsigned Chosen = 0;
    std::map<QAction*, std::pair<TShellMenu*, int>> Items; // action -> menu, position
};

LRESULT send(TTracking& tracking, unsigned msg, WPARAM wParam, LPARAM lParam) {
    if (tracking.Owner == nullptr)
        return 0;
    TMessage message{msg, wParam, lParam, 0};
    return DeliverMessage(*tracking.Owner, message);
}

void prepareCanvas(TCanvas& canvas, const QMenu& menu) {
    QFont font = menu.font();
    canvas.Font().SetName(font.family().toStdString());
    canvas.Font().SetSize(font.pointSize() > 0 ? font.pointSize() : 9);
}

// An owner-drawn item: sized and painted by the owner.
class TOwnerDrawnItem : public QWidget {
public:
    TOwnerDrawnItem(TTracking& tracking, TShellMenu& menu, int position, QMenu& qmenu, QAction& action)
        : tracking_(tracking), menu_(menu), position_(position), qmenu_(qmenu), action_(action) {
        setMouseTracking(true);
        const TShellMenuItem* item = menu.ItemAt(position);
        TBitmap bitmap(1, 1);
        prepareCanvas(bitmap.Canvas(), qmenu);
        MEASUREITEMSTRUCT measure;
        measure.itemID = item->Id;
        measure.itemData = item->ItemData;
        measure.canvas = &bitmap.Canvas();
        send(tracking, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
        size_ = QSize(std::max(1u, measure.itemWidth), std::max(1u, measure.itemHeight));
    }
    QSize sizeHint() const override { return size_; }

protected:
    void paintEvent(QPaintEvent*) override {
        const TShellMenuItem* item = menu_.ItemAt(position_);
        if (item == nullptr)
            return;
        TBitmap bitmap(width(), height());
        prepareCanvas(bitmap.Canvas(), qmenu_);
        DRAWITEMSTRUCT draw;
        draw.itemID = static_cast<int>(item->Id);
        draw.itemState = qmenu_.activeAction() == &action_ ? static_cast<unsigned>(ODS_SELECTED) : 0u;
        draw.menu = &menu_;
        draw.canvas = &bitmap.Canvas();
        draw.rcItem = TRect{0, 0, width(), height()};
        draw.itemData = item->ItemData;
        send(tracking_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        QPainter painter(this);
        painter.drawImage(0, 0, BitmapImage(bitmap));
    }
    void enterEvent(QEnterEvent*) override {
        qmenu_.setActiveAction(&action_);
        update();
    }
    void leaveEvent(QEvent*) override { update(); }
    void mouseReleaseEvent(QMouseEvent*) override { action_.trigger(); }

private:
    TTracking& tracking_;
    TShellMenu& menu_;
    int position_;
    QMenu& qmenu_;
    QAction& action_;
    QSize size_;
};

void fill(QMenu& qmenu, TShellMenu& menu, TTracking& tracking);

// A typed character no access key takes goes to the owner.
class TMenuCharFilter : public QObject {
public:
    TMenuCharFilter(TTracking& tracking, TShellMenu& menu, QMenu& qmenu)
        : QObject(&qmenu), tracking_(tracking), menu_(menu), qmenu_(qmenu) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        std::string typed = QStringToAnsi(key->text());
        if (typed.size() != 1 || static_cast<unsigned char>(typed[0]) < 0x20 || takenByAccessKey(key->text()))
            return false;
        // The owner sees the highlight as item state.
        for (int i = 0; i < menu_.Count(); ++i)
            menu_.SetState(i, MFS_HILITE, false);
        for (auto& [action, place] : tracking_.Items)
            if (place.first == &menu_ && action == qmenu_.activeAction())
                menu_.SetState(place.second, MFS_HILITE, true);
        LRESULT answer = send(tracking_, WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(typed[0]), MF_POPUP),
                              reinterpret_cast<LPARAM>(&menu_));
        unsigned what = HIWORD(static_cast<uintptr_t>(answer)), position = LOWORD(static_cast<uintptr_t>(answer));
        QAction* target = nullptr;
        for (auto& [action, place] : tracking_.Items)
            if (place.first == &menu_ && place.second == static_cast<int>(position))
                target = action;
        if (what == MNC_EXECUTE && target != nullptr)
            target->trigger();
        else if (what == MNC_SELECT && target != nullptr)
            qmenu_.setActiveAction(target);
        else if (what == MNC_CLOSE)
            qmenu_.close();
        else
            return false;
        return true;
    }

private:
    bool takenByAccessKey(const QString& text) const {
        for (QAction* action : qmenu_.actions()) {
            QString caption = action->text();
            int amp = caption.indexOf('&');
            if (amp >= 0 && amp + 1 < caption.size() && caption[amp + 1].toLower() == text.toLower().at(0))
                return true;
        }
        return false;
    }
    TTracking& tracking_;
    TShellMenu& menu_;
    QMenu& qmenu_;
};

// Tells the owner where the highlight is and passes it the characters no
// access key takes; once per Qt menu.
void watchMenu(QMenu& qmenu, TShellMenu& menu, TTracking& tracking) {
    qmenu.installEventFilter(new TMenuCharFilter(tracking, menu, qmenu));
    QObject::connect(&qmenu, &QMenu::hovered, &qmenu, [&tracking](QAction* action) {
        auto place = tracking.Items.find(action);
        if (place == tracking.Items.end())
            return;
        const TShellMenuItem* item = place->second.first->ItemAt(place->second.second);
        if (item == nullptr)
            return;
        bool popup = (item->Flags & MF_POPUP) != 0;
        send(tracking, WM_MENUSELECT,
             MAKEWPARAM(popup ? static_cast<unsigned>(place->second.second) : item->Id, item->Flags & 0xFFFF),
             reinterpret_cast<LPARAM>(place->second.first));
    });
}

void fill(QMenu& qmenu, TShellMenu& menu, TTracking& tracking) {
    for (QAction* action : qmenu.actions())
        tracking.Items.erase(action);
    qmenu.clear();
    for (int position = 0; position < menu.Count(); ++position) {
        TShellMenuItem& item = *menu.ItemAt(position);
        QAction* action = nullptr;
        if ((item.Flags & MF_SEPARATOR) != 0) {
            qmenu.addSeparator();
            continue;
        }
        if ((item.Flags & MF_POPUP) != 0) {
            auto* submenu = new QMenu(ProgramTextToQString(item.Caption), &qmenu);
            TShellMenu* model = item.Submenu.get();
            watchMenu(*submenu, *model, tracking);
            QObject::connect(submenu, &QMenu::aboutToShow, submenu, [&tracking, model, submenu, position] {
                send(tracking, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(model), MAKELPARAM(position, 0));
                fill(*submenu, *model, tracking);
            });
            action = qmenu.addMenu(submenu);
            // An empty submenu would not open at all: give it its items now.
            fill(*submenu, *model, tracking);
        } else if ((item.Flags & MF_OWNERDRAW) != 0) {
            auto* widgetAction = new QWidgetAction(&qmenu);
            widgetAction->setDefaultWidget(new TOwnerDrawnItem(tracking, menu, position, qmenu, *widgetAction));
            qmenu.addAction(widgetAction);
            action = widgetAction;
        } else {
            action = qmenu.addAction(ProgramTextToQString(item.Caption));
        }
        action->setEnabled((item.Flags & (MF_GRAYED | MF_DISABLED)) == 0);
        if ((item.Flags & MFS_DEFAULT) != 0) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
        }
        tracking.Items[action] = {&menu, position};
        if ((item.Flags & MF_POPUP) == 0) {
            unsigned id = item.Id;
            QObject::connect(action, &QAction::triggered, &qmenu, [&tracking, id] {
                tracking.Chosen = id;
                if (QWidget* popup = QApplication::activePopupWidget())
                    popup->close();
            });
        }
    }
}

unsigned trackShellMenu(TShellMenu& menu, unsigned flags, TPoint screen, TWinControl* owner) {
    TTracking tracking;
    tracking.Owner = owner;
    QMenu qmenu;
    watchMenu(qmenu, menu, tracking);
    fill(qmenu, menu, tracking);
    qmenu.exec(ToQPoint(screen));
    return tracking.Chosen;
}

} // namespace

void InstallShellMenuTracker() { SetShellMenuTracker(trackShellMenu); }
