// Anchors and size limits without windows: random parent sizes against
// anchored and size-limited children (and one aligned child), checked
// against a model that keeps each anchored edge's distance to the
// parent's edge.

#include "platform/ui/Control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

} // namespace
