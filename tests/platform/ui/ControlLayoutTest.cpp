// The window base's layout settings without windows: random parent sizes
// against anchored and size-limited children (and one aligned child),
// checked against a model that keeps each anchored edge's distance to the
// parent's edge; random TabOrder assignments against a model list of the
// siblings, walked by FindNextControl and kept by the filer; and the 3-D
// look and reading order following the parents, one notice per change.

#include "platform/base/ComponentStream.h"
#include "platform/base/Stream.h"
#include "platform/ui/Control.h"
#include "platform/ui/ControlProperties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

int clampTo(int value, int low, int high) { return std::max(low, high > 0 ? std::min(value, high) : value); }

// What the model knows of a child: its limits and where it stood when its
// bounds were last given, with the parent's size then.
struct TModelChild {
    TControl* Control;
    int MinW, MaxW, MinH, MaxH;
    TRect Base;
    int BaseW, BaseH;

    // One axis: an anchored near edge keeps its position, an anchored far
    // edge its distance to the parent's far edge; with neither, the centre
    // keeps its share of the parent.
    static void axis(bool nearEdge, bool farEdge, int start, int size, int was, int now, int low, int high,
                     int& outStart, int& outSize) {
        const int farDistance = was - (start + size);
        outSize = clampTo(nearEdge && farEdge ? now - farDistance - start : size, low, high);
        if (nearEdge)
            outStart = start;
        else if (farEdge)
            outStart = now - farDistance - outSize;
        else
            outStart = static_cast<int>(std::lround((start + size / 2) * double(now) / was)) - outSize / 2;
    }
    TRect Expected(int width, int height) const {
        const TAnchors a = Control->Anchors();
        int left, w, top, h;
        axis(a & akLeft, a & akRight, Base.Left, Base.Width(), BaseW, width, MinW, MaxW, left, w);
        axis(a & akTop, a & akBottom, Base.Top, Base.Height(), BaseH, height, MinH, MaxH, top, h);
        return Bounds(left, top, w, h);
    }
};

TEST(ControlLayout, AnchoredAndLimitedChildrenFollowRandomParentSizesAsTheModelSays) {
    std::mt19937 random(31);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TWinControl parent;
        parent.SetBounds(0, 0, 200 + int(random() % 200), 150 + int(random() % 150));
        std::vector<TModelChild> model;
        for (int i = 0; i < 6; ++i) {
            TControl* child = i % 2 ? static_cast<TControl*>(new TGraphicControl(&parent)) : new TWinControl(&parent);
            child->SetParent(&parent);
            const int minW = random() % 3 ? 0 : 20 + int(random() % 40), maxW = random() % 3 ? 0 : 80 + int(random() % 100);
            const int minH = random() % 3 ? 0 : 10 + int(random() % 30), maxH = random() % 3 ? 0 : 60 + int(random() % 60);
            child->Constraints().SetMinWidth(minW);
            child->Constraints().SetMaxWidth(maxW);
            child->Constraints().SetMinHeight(minH);
            child->Constraints().SetMaxHeight(maxH);
            child->SetBounds(int(random() % 150), int(random() % 100), 10 + int(random() % 150), 10 + int(random() % 100));
            child->SetAnchors(random() % 16);
            model.push_back({child, minW, maxW, minH, maxH, child->BoundsRect(), parent.Width(), parent.Height()});
        }
        // An aligned child is sized by its alignment within its limits.
        TWinControl top(&parent);
        top.SetParent(&parent);
        top.Constraints().SetMaxWidth(250);
        top.Constraints().SetMinHeight(30);
        top.SetHeight(5);
        top.SetAlign(alTop);
        for (int step = 0; step < 30; ++step) {
            if (random() % 8 == 0) {
                // Bounds given by code are the child's new starting place.
                TModelChild& m = model[random() % model.size()];
                m.Control->SetBounds(int(random() % 150), int(random() % 100), int(random() % 200), int(random() % 120));
                m.Base = Bounds(m.Control->Left(), m.Control->Top(), clampTo(m.Control->Width(), m.MinW, m.MaxW),
                                clampTo(m.Control->Height(), m.MinH, m.MaxH));
                EXPECT_EQ(m.Control->BoundsRect(), m.Base);
                m.BaseW = parent.Width();
                m.BaseH = parent.Height();
            } else {
                parent.SetBounds(0, 0, 50 + int(random() % 400), 40 + int(random() % 300));
            }
            for (const TModelChild& m : model)
                ASSERT_EQ(m.Control->BoundsRect(), m.Expected(parent.Width(), parent.Height()))
                    << "step " << step << " anchors " << m.Control->Anchors();
            EXPECT_EQ(top.BoundsRect(), Bounds(0, 0, std::min(parent.Width(), 250), 30));
        }
    }
}

// A parent's window children: random TabOrder assignments, additions and
// removals against a model list; Tab's walk (a container's children after
// it, tab stops only) and a stream round trip keep the model's order.
TEST(ControlTabOrder, RandomAssignmentsMoveSiblingsAsTheModelSaysAndTabWalksThem) {
    RegisterControlClasses();
    std::mt19937 random(41);
    TWinControl form;
    form.SetName("form");
    std::vector<TWinControl*> model; // the form's children in Tab order
    TWinControl box(&form);
    box.SetName("box");
    box.SetParent(&form);
    model.push_back(&box);
    std::vector<TWinControl*> inner; // box's, in creation order
    int made = 0;
    auto make = [&](TWinControl& parent) {
        auto* control = new TWinControl(&form);
        control->SetName("c" + std::to_string(made++));
        control->SetTabStop(random() % 4 != 0);
        control->SetParent(&parent);
        return control;
    };
    for (int i = 0; i < 2; ++i)
        inner.push_back(make(box));
    for (int step = 0; step < 200; ++step) {
        const int choice = int(random() % 10);
        const size_t i = random() % model.size();
        if (choice == 0 || model.size() < 3) {
            model.push_back(make(form));
        } else if (choice == 1 && model[i] != &box) {
            delete model[i];
            model.erase(model.begin() + long(i));
        } else {
            const int order = int(random() % (model.size() + 6)) - 3;
            TWinControl* moved = model[i];
            moved->SetTabOrder(order);
            model.erase(model.begin() + long(i));
            model.insert(model.begin() + std::clamp(order, 0, int(model.size())), moved);
        }
        std::vector<std::string> walk, expected;
        for (size_t k = 0; k < model.size(); ++k) {
            ASSERT_EQ(model[k]->TabOrder(), int(k)) << "step " << step;
            for (TWinControl* c : model[k] == &box ? std::vector<TWinControl*>{&box, inner[0], inner[1]}
                                                   : std::vector<TWinControl*>{model[k]})
                if (c->TabStop())
                    expected.push_back(c->Name());
        }
        TWinControl* at = nullptr;
        while ((at = form.FindNextControl(at, true)) != nullptr && walk.size() <= expected.size() &&
               (walk.empty() || at->Name() != walk.front()))
            walk.push_back(at->Name());
        ASSERT_EQ(walk, expected) << "step " << step;
    }
    TMemoryStream stream;
    WriteComponent(stream, form);
    stream.SetPosition(0);
    TWinControl copy;
    ReadComponent(stream, copy);
    std::vector<std::string> names, copied;
    for (TWinControl* c : form.TabWalk())
        names.push_back(c->Name());
    for (TWinControl* c : copy.TabWalk())
        copied.push_back(c->Name());
    EXPECT_EQ(copied, names);
}

// Counts the look notices a window control gets.
class TLookRecorder : public TWinControl {
public:
    using TWinControl::TWinControl;
    int Ctl3DNotices = 0;
    int BiDiNotices = 0;

protected:
    void Dispatch(TMessage& message) override {
        Ctl3DNotices += message.Msg == CM_CTL3DCHANGED;
        BiDiNotices += message.Msg == CM_BIDIMODECHANGED;
        TWinControl::Dispatch(message);
    }
};

// Random settings over a tree of three levels: a control follows its
// parent's value while its Parent... flag holds, and hears one notice for
// each change of its value, none otherwise.
TEST(ControlLook, Ctl3DAndBiDiModeFollowTheParentsWithOneNoticePerChange) {
    std::mt19937 random(43);
    std::vector<std::unique_ptr<TLookRecorder>> tree;
    for (int i = 0; i < 9; ++i) {
        tree.push_back(std::make_unique<TLookRecorder>());
        if (i > 0)
            tree.back()->SetParent(tree[size_t(i - 1) / 3].get());
    }
    for (int step = 0; step < 300; ++step) {
        std::vector<std::pair<bool, TBiDiMode>> before;
        std::vector<std::pair<int, int>> notices;
        for (const auto& c : tree) {
            before.emplace_back(c->Ctl3D(), c->BiDiMode());
            notices.emplace_back(c->Ctl3DNotices, c->BiDiNotices);
        }
        TLookRecorder& c = *tree[random() % tree.size()];
        switch (random() % 4) {
        case 0: c.SetCtl3D(random() % 2); break;
        case 1: c.SetParentCtl3D(random() % 2); break;
        case 2: c.SetBiDiMode(TBiDiMode(random() % 4)); break;
        default: c.SetParentBiDiMode(random() % 2); break;
        }
        for (size_t i = 0; i < tree.size(); ++i) {
            const TLookRecorder& n = *tree[i];
            if (i > 0 && n.ParentCtl3D()) {
                ASSERT_EQ(n.Ctl3D(), n.Parent()->Ctl3D()) << "step " << step;
            }
            if (i > 0 && n.ParentBiDiMode()) {
                ASSERT_EQ(n.BiDiMode(), n.Parent()->BiDiMode()) << "step " << step;
            }
            EXPECT_EQ(n.Ctl3DNotices - notices[i].first, n.Ctl3D() != before[i].first ? 1 : 0) << "step " << step;
            EXPECT_EQ(n.BiDiNotices - notices[i].second, n.BiDiMode() != before[i].second ? 1 : 0) << "step " << step;
        }
    }
    while (!tree.empty())
        tree.pop_back(); // children first: a parent frees the children it still holds
}

} // namespace
