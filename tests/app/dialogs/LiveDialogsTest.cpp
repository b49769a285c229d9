// The dialogs that need the real web engine (offscreen): a menu installed
// by the menu builder works in the document's preview (the pointer over
// its first entry opens the submenu, and a caption with a quote and a
// backslash shows as typed), and the table templates go through a real
// design view, the author's edit included.

#include "tests/app/dialogs/DialogTestFiles.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/dialogs/DHTMLMenuDialog.h"
#include "app/dialogs/DHTMLMenuTreeView.h"
#include "app/dialogs/TableTemplateDialog.h"
#include "platform/base/TextCodec.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"
#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/webview/WebEngineTestApp.h"

#include <QMouseEvent>
#include <QWebEngineView>

using namespace std::chrono_literals;

namespace {

QWebEngineView* engineOf(const TWinControl* control) {
    QWidget* window = ClientWidgetOf(control);
    return window != nullptr ? window->findChild<QWebEngineView*>() : nullptr;
}

QVariant evaluate(QWebEngineView& view, const QString& script) {
    return RunScriptAndWait(*view.page(), script, 60s, "the page did not answer");
}

// Moves the pointer over a point of the page, as the mouse does.
void hover(QWebEngineView& view, QPoint at) {
    QWidget* target = view.focusProxy() != nullptr ? view.focusProxy() : &view;
    for (QPoint step : {at - QPoint(3, 3), at}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(step), QPointF(target->mapToGlobal(step)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
}

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class LiveDialogs : public TDialogTest {};

TEST_F(LiveDialogs, AnInstalledMenuOpensItsSubmenuUnderThePointerInThePreview) {
    CopyMenuScripts(program);
    TEditForm* document = SavedDocument("site/page.htm");
    SetEditorText(*document,
                  "<HTML>\r\n<HEAD><TITLE>menu</TITLE></HEAD>\r\n<BODY STYLE=\"margin:0\"><P STYLE=\"margin-top:200px\">"
                  "text</P></BODY>\r\n</HTML>",
                  0, 0);
    const std::string tricky = "Say \"hi\" \\ now";
    ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
        auto& menu = dynamic_cast<Tdhtmlmenufrm&>(form);
        TTreeNode* first = menu.menutv->Items().GetFirstNode();
        menu.menutv->SetSelected(first);
        menu.itemTextEdit->SetText("Products");
        Press(menu, "inSEBtn");
        menu.menutv->SetSelected(first->GetFirstChild());
        menu.itemTextEdit->SetText("Tools");
        menu.itemLienEdit->SetText("tools.htm");
        menu.menutv->SetSelected(first);
        Press(menu, "inEBtn");
        menu.menutv->SetSelected(first->GetNextSibling());
        menu.itemTextEdit->SetText(tricky);
        Press(menu, "okbtn");
    }));
    ASSERT_TRUE(user.Exceptions().empty()) << user.Exceptions()[0];

    document->PageControl1->SetActivePageIndex(2);
    document->PageControl1Change(document->PageControl1);
    QWebEngineView* view = engineOf(document->WebBrowser1);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        return evaluate(*view, "document.getElementById('mmenu1_1') !== null && document.readyState === 'complete'")
            .toBool();
    }));
    EXPECT_EQ(evaluate(*view, "document.getElementById('mmenu1_1').textContent").toString().toStdString(), tricky);
    EXPECT_EQ(evaluate(*view, "getComputedStyle(document.getElementById('mmenu2')).visibility").toString(), "hidden");

    const QVariantList box =
        evaluate(*view, "(function () { var r = document.getElementById('mmenu1_0').getBoundingClientRect();"
                        " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
            .toList();
    ASSERT_EQ(box.size(), 2);
    hover(*view, QPoint(box[0].toInt(), box[1].toInt()));
    EXPECT_TRUE(WaitFor([&] {
        return evaluate(*view, "getComputedStyle(document.getElementById('mmenu2')).visibility").toString() ==
               "visible";
    })) << "the submenu did not open";
    EXPECT_EQ(evaluate(*view, "document.getElementById('mmenu2_0').textContent").toString(), "Tools");
    // It opens below its entry, the main menu running across the page.
    EXPECT_TRUE(evaluate(*view, "document.getElementById('mmenu2').getBoundingClientRect().top >= "
                                "document.getElementById('mmenu1_0').getBoundingClientRect().bottom - 1")
                    .toBool());
    EXPECT_TRUE(user.Exceptions().empty());
}

TEST_F(LiveDialogs, TableTemplatesGoThroughTheDesignViewWithTheAuthorsEdit) {
    TEditForm* document = NewDocument();
    for (bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "template three, edited" : "the first template at once");
        SetEditorText(*document, "<P>[]</P>", 4, 0);
        ASSERT_TRUE(RunCommand("Tableaux4Click", [&](TCustomForm& form) {
            auto& tables = dynamic_cast<Tmodtablefrm&>(form);
            if (choose) {
                tables.ListView1->SetItemIndex(2);
                QWebEngineView* view = engineOf(tables.tableEdit);
                ASSERT_NE(view, nullptr);
                ASSERT_TRUE(WaitFor([&] {
                    return evaluate(*view, "document.querySelectorAll('td').length === 6 && "
                                           "document.querySelector('td[rowspan=\"3\"]') !== null")
                        .toBool();
                }));
                ASSERT_TRUE(evaluate(*view, R"((function () {
                  var cell = document.querySelector('td[rowspan="3"]');
                  var range = document.createRange();
                  range.selectNodeContents(cell);
                  range.collapse(false);
                  getSelection().removeAllRanges();
                  getSelection().addRange(range);
                  return document.execCommand('insertText', false, 'typed here');
                })())")
                                .toBool());
            }
            PressOk(tables);
        }));
        const std::string text = EditorText(*document);
        ASSERT_EQ(text.substr(0, 4), "<P>[");
        const std::string table = LowerCase(text.substr(4, text.size() - 4 - 5));
        EXPECT_EQ(text.substr(text.size() - 5), "]</P>");
        EXPECT_EQ(count(table, "<table"), 1) << table;
        EXPECT_EQ(table.find("<body"), std::string::npos) << table;
        EXPECT_EQ(table.find("</body"), std::string::npos) << table;
        EXPECT_EQ(table.find("<html"), std::string::npos) << table;
        if (choose) {
            EXPECT_EQ(count(table, "<td"), 6) << table;
            EXPECT_NE(table.find("typed here"), std::string::npos) << table;
            EXPECT_NE(table.find("width=\"60%\""), std::string::npos) << table;
        } else {
            EXPECT_EQ(count(table, "<td"), 15) << table;
            EXPECT_EQ(count(table, "lightgrey"), 3) << table;
        }
    }
    EXPECT_TRUE(user.Exceptions().empty());
}

} // namespace
