// The tree view: random changes against a plain nested model (the
// control's nodes and its window's rows must both match it), 10,000
// nodes whose pictures are asked only as they are painted, and the user's
// selecting, opening, renaming and custom drawing with their events.

#include "platform/base/TextCodec.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/TreeView.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "platform/base/QtBridge.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <random>

namespace {

// The plain model: names, children, open or closed.
struct TModelNode {
    std::string Name;
    bool Expanded = false;
    std::vector<std::unique_ptr<TModelNode>> Children;
};

// "name(level)" for every node, depth first, with its state.
void flatten(const std::vector<std::unique_ptr<TModelNode>>& nodes, int level, std::vector<std::string>& out) {
    for (const auto& node : nodes) {
        out.push_back(node->Name + std::string("/") + std::to_string(level) + (node->Expanded && !node->Children.empty() ? "+" : ""));
        flatten(node->Children, level + 1, out);
    }
}

std::vector<std::string> flattenTree(TCustomTreeView& tree) {
    std::vector<std::string> out;
    for (TTreeNode* node = tree.Items().GetFirstNode(); node != nullptr; node = node->GetNext())
        out.push_back(node->Text() + std::string("/") + std::to_string(node->Level()) + (node->Expanded() && node->Count() > 0 ? "+" : ""));
    return out;
}

// The window's rows, walked through its model, with what its view shows
// open.
void flattenView(QTreeView& view, const QModelIndex& parent, int level, std::vector<std::string>& out) {
    QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(parent); ++row) {
        QModelIndex index = model.index(row, 0, parent);
        bool open = view.isExpanded(index) && model.rowCount(index) > 0;
        out.push_back(QStringToAnsi(index.data().toString()) + std::string("/") + std::to_string(level) + (open ? "+" : ""));
        flattenView(view, index, level + 1, out);
    }
}

// A random node of the model with its parent's list and place, or none.
struct TModelPlace {
    std::vector<std::unique_ptr<TModelNode>>* Siblings = nullptr;
    int Index = -1;
    TTreeNode* Node = nullptr;
};

void collect(std::vector<std::unique_ptr<TModelNode>>& nodes, TTreeNode* first, std::vector<TModelPlace>& out) {
    TTreeNode* node = first;
    for (size_t i = 0; i < nodes.size(); ++i, node = node->GetNextSibling()) {
        out.push_back({&nodes, static_cast<int>(i), node});
        collect(nodes[i]->Children, node->GetFirstChild(), out);
    }
}

TEST(TreeView, RandomChangesAgreeWithANestedModelInTheControlAndItsWindow) {
    TTestHost host(300, 400);
    std::mt19937 random(9);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 380);
    auto* view = WidgetOf<QTreeView>(tree);
    ASSERT_NE(view, nullptr);
    std::vector<std::unique_ptr<TModelNode>> model;
    int serial = 0;
    int deletions = 0;
    tree.OnDeletion = [&](TPersistent*, TTreeNode*) { ++deletions; };
    for (int step = 0; step < 400; ++step) {
        std::vector<TModelPlace> places;
        collect(model, tree.Items().GetFirstNode(), places);
        TModelPlace place = places.empty() ? TModelPlace{} : places[random() % places.size()];
        std::string name = std::string("n") + std::to_string(serial++);
        int expectedDeletions = deletions;
        switch (random() % 8) {
        case 0:
        case 1: {
            // A child of a random node, or a top-level node.
            auto made = std::make_unique<TModelNode>();
            made->Name = name;
            if (place.Node != nullptr && random() % 3) {
                tree.Items().AddChild(place.Node, name);
                (*place.Siblings)[static_cast<size_t>(place.Index)]->Children.push_back(std::move(made));
            } else {
                tree.Items().Add(nullptr, name);
                model.push_back(std::move(made));
            }
            break;
        }
        case 2:
            if (place.Node != nullptr) {
                tree.Items().Insert(place.Node, name);
                auto made = std::make_unique<TModelNode>();
                made->Name = name;
                place.Siblings->insert(place.Siblings->begin() + place.Index, std::move(made));
            }
            break;
        case 3:
            if (place.Node != nullptr && random() % 2) {
                std::vector<std::string> gone;
                flatten((*place.Siblings)[static_cast<size_t>(place.Index)]->Children, 0, gone);
                expectedDeletions += 1 + static_cast<int>(gone.size());
                place.Node->Delete();
                place.Siblings->erase(place.Siblings->begin() + place.Index);
            }
            break;
        case 4:
            if (place.Node != nullptr) {
                bool open = random() % 2;
                place.Node->SetExpanded(open);
                (*place.Siblings)[static_cast<size_t>(place.Index)]->Expanded = open;
            }
            break;
        case 5:
            if (place.Node != nullptr) {
                place.Node->SetText(name);
                (*place.Siblings)[static_cast<size_t>(place.Index)]->Name = name;
            }
            break;
        case 6:
            // Selecting opens the parents.
            if (place.Node != nullptr) {
                tree.SetSelected(place.Node);
                std::vector<TModelPlace> all;
                collect(model, tree.Items().GetFirstNode(), all);
                for (auto& p : all)
                    if (place.Node->HasAsParent(p.Node))
                        (*p.Siblings)[static_cast<size_t>(p.Index)]->Expanded = true;
            }
            break;
        case 7: {
            // A batch: the window takes it all at the end.
            tree.Items().BeginUpdate();
            for (int i = 0; i < 3; ++i) {
                std::string more = name + std::string("_") + std::to_string(i);
                tree.Items().AddChildFirst(nullptr, more);
                auto made = std::make_unique<TModelNode>();
                made->Name = more;
                model.insert(model.begin(), std::move(made));
            }
            tree.Items().EndUpdate();
            break;
        }
        }
        std::vector<std::string> expected;
        flatten(model, 0, expected);
        ASSERT_EQ(flattenTree(tree), expected) << "step " << step;
        std::vector<std::string> shown;
        flattenView(*view, QModelIndex(), 0, shown);
        ASSERT_EQ(shown, expected) << "step " << step;
        ASSERT_EQ(tree.Items().Count(), static_cast<int>(expected.size()));
        ASSERT_EQ(deletions, expectedDeletions) << "step " << step;
        TTreeNode* current = static_cast<TTreeNode*>(view->currentIndex().internalPointer());
        ASSERT_EQ(current, tree.Selected()) << "step " << step;
        if (tree.Selected() != nullptr) {
            ASSERT_TRUE(tree.Selected()->IsVisible()) << "a selected node is never hidden";
        }
    }
    tree.Items().Clear();
    EXPECT_EQ(tree.Items().Count(), 0);
    EXPECT_EQ(view->model()->rowCount(), 0);
}

// 10,000 nodes: pictures are asked only for what is painted.
TEST(TreeView, TenThousandNodesAskForThePicturesOfTheRowsPainted) {
    TTestHost host(300, 300);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 280);
    TImageList images(16, 16);
    TBitmap strip(32, 16);
    strip.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    strip.Canvas().FillRect(Rect(16, 0, 32, 16), clBlue);
    images.Add(strip, nullptr);
    tree.SetImages(&images);
    std::vector<int> asked(10000, 0);
    tree.OnGetImageIndex = [&](TPersistent*, TTreeNode* node) {
        ++asked[static_cast<size_t>(node->AbsoluteIndex() < 0 ? 0 : reinterpret_cast<intptr_t>(node->Data()))];
        node->SetImageIndex(reinterpret_cast<intptr_t>(node->Data()) % 2);
    };
    tree.Items().BeginUpdate();
    for (int i = 0; i < 10000; ++i)
        tree.Items().AddObject(nullptr, std::string("node ") + std::to_string(i), reinterpret_cast<void*>(static_cast<intptr_t>(i)));
    tree.Items().EndUpdate();
    auto* view = WidgetOf<QTreeView>(tree);
    QImage shown = view->viewport()->grab().toImage();
    int askedNodes = static_cast<int>(std::count_if(asked.begin(), asked.end(), [](int n) { return n > 0; }));
    EXPECT_GT(askedNodes, 5);
    EXPECT_LT(askedNodes, 100) << "only the rows on screen";
    EXPECT_EQ(asked[9999], 0);
    // The node at a point and its rectangle agree; the last node shows
    // once made visible, with its picture.
    TTreeNode* third = tree.Items().TopLevelItem(2);
    TRect rect = third->DisplayRect(false);
    EXPECT_EQ(tree.GetNodeAt(rect.Left + 2, (rect.Top + rect.Bottom) / 2), third);
    TTreeNode* last = tree.Items().TopLevelItem(9999);
    last->MakeVisible();
    shown = view->viewport()->grab().toImage();
    EXPECT_GT(asked[9999], 0);
    rect = last->DisplayRect(false);
    ASSERT_FALSE(rect.IsEmpty());
    // Node 9999 is odd: its picture is the blue one.
    bool blue = false;
    for (int x = rect.Left; x < rect.Left + 40 && !blue; ++x)
        blue = QColor(shown.pixel(x, (rect.Top + rect.Bottom) / 2)) == QColor(Qt::blue);
    EXPECT_TRUE(blue);
}

TEST(TreeView, ClicksAndKeysSelectAndOpenWithTheirEventsOnceAndInOrder) {
    TTestHost host(300, 300);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 280);
    TTreeNode* a = tree.Items().Add(nullptr, "a");
    TTreeNode* b = tree.Items().Add(nullptr, "b");
    b->SetHasChildren(true);
    TEventLog log;
    bool refuse = false;
    tree.OnChanging = [&](TPersistent*, TTreeNode* node, bool& allow) {
        log.Events.push_back(std::string("changing ") + (node ? node->Text() : std::string("-")));
        allow = !refuse;
    };
    tree.OnChange = [&](TPersistent*, TTreeNode* node) { log.Events.push_back(std::string("change ") + (node ? node->Text() : std::string("-"))); };
    tree.OnExpanding = [&](TPersistent*, TTreeNode* node, bool&) {
        log.Events.push_back(std::string("expanding ") + node->Text());
        // Children made when the node first opens.
        if (node->Count() == 0)
            for (const char* name : {"b1", "b2"})
                tree.Items().AddChild(node, name);
    };
    tree.OnExpanded = [&](TPersistent*, TTreeNode* node) { log.Events.push_back(std::string("expanded ") + node->Text()); };
    tree.OnCollapsed = [&](TPersistent*, TTreeNode* node) { log.Events.push_back(std::string("collapsed ") + node->Text()); };
    auto* view = WidgetOf<QTreeView>(tree);
    auto centre = [&](TTreeNode* node) {
        TRect rect = node->DisplayRect(true);
        return QPoint(rect.Left + 4, (rect.Top + rect.Bottom) / 2);
    };
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(a));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing a", "change a"}));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), b);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_TRUE(b->Expanded());
    EXPECT_EQ(b->Count(), 2);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing b", "change b", "expanding b", "expanded b"}));
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), b->Item(0));
    log.Take();
    // A refused change keeps the selection, in the control and on screen.
    refuse = true;
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(tree.Selected(), b->Item(0));
    EXPECT_EQ(view->currentIndex().internalPointer(), b->Item(0));
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing b2"}));
    // Closing a node with the selection inside selects the node.
    refuse = false;
    b->Collapse(false);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"collapsed b", "changing b", "change b"}));
    EXPECT_EQ(tree.Selected(), b);
    // Deleting the selected node selects the one that takes its place.
    a->SetSelected(true);
    log.Take();
    a->Delete();
    EXPECT_EQ(tree.Selected(), b);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"changing b", "change b"}));
}

TEST(TreeView, RenamingInPlaceAsksFirstAndMayChangeTheText) {
    TTestHost host(300, 200);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 180);
    TTreeNode* node = tree.Items().Add(nullptr, "old");
    TTreeNode* locked = tree.Items().Add(nullptr, "locked");
    TEventLog log;
    tree.OnEditing = [&](TPersistent*, TTreeNode* n, bool& allow) {
        log.Events.push_back(std::string("editing ") + n->Text());
        allow = n != locked;
    };
    tree.OnEdited = [&](TPersistent*, TTreeNode* n, std::string& text) {
        log.Events.push_back(std::string("edited ") + text);
        text += "!";
    };
    EXPECT_FALSE(locked->EditText());
    ASSERT_TRUE(node->EditText());
    EXPECT_TRUE(tree.IsEditing());
    auto* view = WidgetOf<QTreeView>(tree);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "new");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the view ends its edit when its events run
    EXPECT_EQ(node->Text(), "new!");
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"editing locked", "editing old", "edited new"}));
    // Cancelled: nothing changes, no OnEdited.
    ASSERT_TRUE(node->EditText());
    node->EndEdit(true);
    EXPECT_EQ(node->Text(), "new!");
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"editing new!"}));
    tree.SetReadOnly(true);
    EXPECT_FALSE(node->EditText());
}

TEST(TreeView, CustomDrawPaintsANodeInTheColourItsHandlerChose) {
    TTestHost host(300, 200);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 180);
    tree.Font().SetHeight(-16);
    TTreeNode* plain = tree.Items().Add(nullptr, "MMMMMM");
    TTreeNode* red = tree.Items().Add(nullptr, "MMMMMM");
    TTreeNode* inRed = red;
    int asked = 0;
    tree.OnCustomDrawItem = [&](TPersistent*, TTreeNode* node, TCustomDrawState, bool&) {
        ++asked;
        if (node == inRed)
            tree.Canvas().Font().SetColor(clRed);
    };
    QTreeView* view = WidgetOf<QTreeView>(tree);
    QImage shown = view->viewport()->grab().toImage();
    EXPECT_GE(asked, 2);
    auto redPixelsIn = [&](TTreeNode* node) {
        TRect rect = node->DisplayRect(false);
        int count = 0;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x) {
                QColor c(shown.pixel(x, y));
                count += c.red() > 150 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };
    EXPECT_GT(redPixelsIn(red), 10);
    EXPECT_EQ(redPixelsIn(plain), 0);
    // Invalidate repaints the rows too: the handler's new choice shows on
    // the screen (what was painted, not painted afresh) with no other change.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    inRed = plain;
    tree.Invalidate();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(view->window()->winId()).toImage();
    shown = screen.copy(QRect(view->viewport()->mapTo(view->window(), QPoint(0, 0)), view->viewport()->size()));
    EXPECT_GT(redPixelsIn(plain), 10);
    EXPECT_EQ(redPixelsIn(red), 0);
}

} // namespace

namespace {

std::vector<std::string> textsUnder(TTreeNode* first) {
    std::vector<std::string> texts;
    for (TTreeNode* node = first; node != nullptr; node = node->GetNextSibling())
        texts.push_back(node->Text());
    return texts;
}

// Sorted trees: nodes added in any order land in place (ignoring case,
// stable among equals), a sort keeps what was open and selected, and the
// window shows the new order.
TEST(TreeView, SortedNodesLandInPlaceAndASortKeepsTheOpenAndSelectedNodes) {
    TTestHost host(300, 400);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 380);
    std::mt19937 random(5);
    std::vector<std::string> added;
    tree.Items().BeginUpdate();
    for (int i = 0; i < 60; ++i) {
        std::string text(1, static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 6));
        text += std::to_string(i);
        TTreeNode* node = tree.Items().Add(nullptr, text);
        for (int j = 0; j < 3; ++j)
            tree.Items().AddChild(node, std::to_string(random() % 10));
        added.push_back(text);
    }
    tree.Items().EndUpdate();
    TTreeNode* open = tree.Items().TopLevelItem(7);
    open->Expand(false);
    TTreeNode* chosen = open->Item(1);
    tree.SetSelected(chosen);
    tree.AlphaSort(true);
    std::vector<std::string> expected = added;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    EXPECT_EQ(textsUnder(tree.Items().GetFirstNode()), expected);
    std::vector<std::string> children = textsUnder(open->GetFirstChild());
    EXPECT_TRUE(std::is_sorted(children.begin(), children.end()));
    auto* view = WidgetOf<QTreeView>(tree);
    std::vector<std::string> shown;
    flattenView(*view, QModelIndex(), 0, shown);
    EXPECT_EQ(shown, flattenTree(tree)) << "the window shows the order and the open node";
    EXPECT_EQ(tree.Selected(), chosen);
    EXPECT_EQ(view->currentIndex().internalPointer(), chosen);
    // With stText, nodes added later find their place.
    tree.SetSortType(stText);
    for (const char* text : {"0first", "zzlast", "B7half"})
        tree.Items().Add(nullptr, text);
    std::vector<std::string> now = textsUnder(tree.Items().GetFirstNode());
    EXPECT_TRUE(std::is_sorted(now.begin(), now.end(), [](const std::string& a, const std::string& b) {
        return AnsiCompareText(a, b) < 0;
    }));
    EXPECT_EQ(now.front(), "0first");
    EXPECT_EQ(now.back(), "zzlast");
}

// A derived tree (as the shell's) hears of drags and clicks as notices.
class TNoticeTree : public TTreeView {
public:
    using TTreeView::TTreeView;
    std::vector<std::pair<int, TTreeNode*>> Notices;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == CN_NOTIFY && (static_cast<int>(message.WParam) == TVN_BEGINDRAG ||
                                         static_cast<int>(message.WParam) == TVN_BEGINRDRAG))
            Notices.emplace_back(static_cast<int>(message.WParam), reinterpret_cast<TTreeNode*>(message.LParam));
        TTreeView::Dispatch(message);
    }
};

TEST(TreeView, ADragWithEitherButtonIsToldWithTheNodeWhereItStarted) {
    TTestHost host(300, 300);
    TNoticeTree tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 280);
    tree.Items().Add(nullptr, "first");
    TTreeNode* second = tree.Items().Add(nullptr, "second");
    tree.SetRightClickSelect(true);
    auto* view = WidgetOf<QTreeView>(tree);
    QWidget* client = view->viewport();
    QPoint start = view->visualRect(view->model()->index(1, 0)).center();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(client, button, {}, start);
        for (int step = 1; step <= 3; ++step) {
            QPoint at = start + QPoint(step * 10, 0);
            QMouseEvent move(QEvent::MouseMove, QPointF(at), client->mapToGlobal(QPointF(at)), Qt::NoButton, button,
                             Qt::NoModifier);
            QApplication::sendEvent(client, &move);
        }
        QTest::mouseRelease(client, button, {}, start + QPoint(30, 0));
    }
    EXPECT_EQ(tree.Notices, (std::vector<std::pair<int, TTreeNode*>>{{TVN_BEGINDRAG, second}, {TVN_BEGINRDRAG, second}}))
        << "one notice per drag";
    EXPECT_EQ(tree.Selected(), second) << "the right button selects with RightClickSelect";
}

} // namespace

namespace {

// An overlay number of a node names an image of the list (Overlay), drawn
// over the node's picture.
TEST(TreeView, AnOverlayIsDrawnOverTheNodesPicture) {
    TTestHost host(300, 200);
    TTreeView tree(&host.Form);
    tree.SetParent(&host.Form);
    tree.SetBounds(0, 0, 280, 180);
    TImageList images(16, 16);
    TBitmap strip(32, 16);
    strip.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    strip.Canvas().FillRect(Rect(16, 0, 32, 16), clFuchsia); // see-through ...
    strip.Canvas().FillRect(Rect(16, 12, 20, 16), clBlue);   // ... but a corner
    images.AddMasked(strip, clFuchsia);
    EXPECT_TRUE(images.Overlay(1, 0));
    EXPECT_FALSE(images.Overlay(5, 1)) << "no such image";
    tree.SetImages(&images);
    TTreeNode* plain = tree.Items().Add(nullptr, "plain");
    TTreeNode* shared = tree.Items().Add(nullptr, "shared");
    shared->SetOverlayIndex(0);
    QImage shown = WidgetOf<QTreeView>(tree)->viewport()->grab().toImage();
    auto pictureAt = [&](TTreeNode* node, int x, int y) {
        TRect rect = node->DisplayRect(false);
        // The picture sits left in the row, vertically centred.
        int top = rect.Top + (rect.Height() - 16) / 2;
        for (int left = rect.Left; left < rect.Left + 30; ++left)
            if (QColor(shown.pixel(left, top + 8)) == QColor(Qt::red) || QColor(shown.pixel(left, top + 8)) == QColor(Qt::blue))
                return QColor(shown.pixel(left + x, top + y));
        return QColor();
    };
    EXPECT_EQ(pictureAt(plain, 1, 14), QColor(Qt::red));
    EXPECT_EQ(pictureAt(shared, 1, 14), QColor(Qt::blue)) << "the overlay's corner";
    EXPECT_EQ(pictureAt(shared, 10, 4), QColor(Qt::red)) << "the picture under the see-through part";
}

} // namespace
