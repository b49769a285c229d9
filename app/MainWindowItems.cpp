#include "app/MainWindowItems.h"

namespace {

// Constructors that keep the tables below one line per item.
TMainItem item(std::string name, std::string caption, std::string shortCut, std::string handler,
               unsigned flags = 0) {
    return {.Name = std::move(name), .Caption = std::move(caption), .ShortCut = std::move(shortCut),
            .Handler = std::move(handler), .Flags = flags};
}
TMainItem submenu(std::string name, std::string caption, std::vector<TMainItem> items, unsigned flags = 0,
                  std::string handler = {}) {
    return {.Name = std::move(name), .Caption = std::move(caption), .Handler = std::move(handler),
            .Flags = flags | miSubmenu, .Items = std::move(items)};
}
// A toolbar button: a short caption, its hint, its handler.
TMainItem button(std::string name, std::string caption, std::string hint, std::string handler,
                 unsigned flags = miNeedsDocument) {
    return {.Name = std::move(name), .Caption = std::move(caption), .Hint = std::move(hint),
            .Handler = std::move(handler), .Flags = flags};
}
TMainItem separator() { return {.Caption = "-", .Flags = miSeparator}; }

constexpr unsigned doc = miNeedsDocument;

std::vector<TMainItem> fileMenu() {
    return {
        item("FileNewItem", "&New ...", "Ctrl+N", "FileNewItemClick"),
        item("Nouveaustandard1", "New (standard)", "Ctrl+Shift+N", "newsitemClick"),
        item("Assistant1", "New Page Wizard ...", "", "Assistant1Click"),
        item("FileOpenItem", "&Open...", "Ctrl+O", "openbuttonClick"),
        item("Sauvegarder1", "&Save", "Ctrl+S", "savebuttonClick", doc),
        item("Sauvegardersous1", "Save as...", "Ctrl+Shift+S", "Sauvegardersous1Click", doc),
        item("Sauvegardertout2", "Save All", "", "saveallbuttonClick", doc),
        item("Fermer2", "&Close", "", "closebuttonClick", doc),
        item("Fermertout2", "Close &All", "", "closeallbuttonClick", doc),
        separator(),
        item("Configurerlimprimante2", "&Printer Setup...", "", "Configurerlimprimante2Click", doc),
        item("Imprimer1", "&Print", "Ctrl+I", "Imprimer1Click", doc),
        separator(),
        [] {
            TMainItem quit = item("FileExitItem", "&Quit", "Alt+F4", "FileExitItemClick");
            quit.Hint = "Quit application";
            return quit;
        }(),
    };
}

std::vector<TMainItem> editMenu() {
    return {
        item("Annuler1", "&Undo", "Ctrl+Z", "Annuler1Click", doc),
        item("Refaire1", "Redo", "Ctrl+Shift+Z", "redobuttonClick", doc),
        separator(),
        item("Couper1", "Cut", "Ctrl+X", "cutbuttonClick", doc),
        item("Copier1", "&Copy", "Ctrl+C", "copybuttonClick", doc),
        item("Coller1", "Paste", "Ctrl+V", "pastebuttonClick", doc),
        separator(),
        item("Supprimer2", "&Delete", "Del", "Supprimer2Click", doc),
        item("Slectionnertout2", "Select All", "", "Slectionnertout2Click", doc),
        separator(),
        item("Rechercher2", "Search ...", "Ctrl+F", "findbuttonClick", doc),
        item("Rpterrecherche1", "Search Again", "F3", "findnbuttonClick", doc),
        item("Remplacer2", "Replace ...", "Ctrl+H", "Remplacer2Click", doc),
        separator(),
        item("Remplacerlescaractresspciaux1", "Replace Special Characters ...", "",
             "Remplacerlescaractresspciaux1Click", doc),
    };
}

std::vector<TMainItem> projectMenu() {
    return {
        item("newProjetItem", "New", "", "newProjetItemClick"),
        item("openProjetItem", "Open...", "", "openProjetItemClick"),
        submenu("projectmrulistitem", "Open Recent", {{.Name = "projectmrulist", .Flags = miRecentList}}),
        item("saveProjetItem", "Save", "", "saveProjetItemClick"),
        item("saveProjetAsItem", "Save As...", "", "saveProjetAsItemClick"),
        item("closeprojetItem", "Close", "", "closeprojetItemClick"),
    };
}

std::vector<TMainItem> optionsMenu() {
    return {
        item("Prfrences1", "Preferences", "", "Prfrences1Click"),
        separator(),
        item("wordwrapitem", "Word Wrap", "", "wordwrapitemClick", doc | miCheckable),
        item("autoindentitem", "Forward Indent", "", "autoindentitemClick", doc | miCheckable),
        item("backindentitem", "Back Indent", "", "backindentitemClick", doc | miCheckable),
        separator(),
        item("codeitem", "Code Completion", "", "codeitemClick", doc | miCheckable),
    };
}

std::vector<TMainItem> fontSizes(bool menu) {
    static const char* const sizes[] = {"+5", "+4", "+3", "+2", "+1", "-1", "-2", "-3", "-4", "-5"};
    static const char* const handlers[] = {"Grandeur5Click",  "Grandeur4Click",  "Grandeur3Click",
                                           "Grandeur2Click",  "Grandeur1Click",  "Grandeur11Click",
                                           "Grandeur22Click", "Grandeur33Click", "Grandeur44Click",
                                           "Grandeur55Click"};
    std::vector<TMainItem> items;
    for (int i = 0; i < 10; ++i) {
        std::string size = sizes[i];
        items.push_back(item((menu ? "Taille" : "SizeBtnItem") + std::to_string(i + 1),
                             menu ? size : "Size " + size, "", handlers[i]));
    }
    return items;
}

std::vector<TMainItem> headings(bool menu) {
    static const char* const handlers[] = {"StyledetitreClick",   "Styledetitre11Click", "Styledetitre12Click",
                                           "Styledetitre13Click", "Styledetitre51Click", "Styledetitre61Click"};
    std::vector<TMainItem> items;
    for (int i = 0; i < 6; ++i) {
        std::string level = std::to_string(i + 1);
        items.push_back(item((menu ? "Titre" : "HeadingBtnItem") + level, (menu ? "H" : "Heading ") + level, "",
                             handlers[i]));
    }
    return items;
}

std::vector<TMainItem> insertMenu() {
    // The entries directly under "Insert" wait for a document; their own
    // items are enabled with them.
    return {
        submenu("Modeles1", "Templates",
                {item("Cadres3", "Frames ...", "", "Cadres3Click"), item("Tableaux4", "Tables ...", "", "Tableaux4Click")},
                doc),
        separator(),
        submenu("Police1", "Font",
                {
                    item("Police2", "Font...", "Ctrl+Alt+F", "policebuttonClick"),
                    separator(),
                    item("Couleur1", "Color...", "Ctrl+Alt+C", "fontcolorbuttonClick"),
                    submenu("Taille", "Size", fontSizes(true)),
                    separator(),
                    item("Gras1", "Bold", "Ctrl+Alt+G", "grasbuttonClick"),
                    item("Italique1", "Italic", "Ctrl+Alt+I", "italiquebuttonClick"),
                    item("Soulign1", "Underline", "Ctrl+Alt+S", "soulignebuttonClick"),
                    item("Barr1", "Strike", "Ctrl+Alt+B", "strikebuttonClick"),
                    item("Clignotant1", "Blink", "", "blinkbuttonClick"),
                    separator(),
                    item("Caractresspciaux1", "Special Characters ...", "Ctrl+Alt+Z", "caracbuttonClick"),
                },
                doc),
        submenu("Formattexte2", "Text Format",
                {
                    item("Alignergauche1", "Align Left", "Ctrl+F1", "alignleftbuttonClick"),
                    item("Centrer1", "Center", "Ctrl+F2", "centerbuttonClick"),
                    item("Alignerdroite1", "Align Right", "Ctrl+F3", "alignrightbuttonClick"),
                    separator(),
                    item("Paragraphe1", "Paragraph", "Ctrl+F5", "prbuttonClick"),
                    item("Retourligne1", "New Line", "Ctrl+F7", "brbuttonClick"),
                    item("Prformat1", "Preformat", "Ctrl+F8", "prebuttonClick"),
                    item("Citation1", "Blockquote", "Ctrl+F9", "blocbuttonClick"),
                    submenu("Titre", "Heading", headings(true)),
                    separator(),
                    item("Exposant1", "Superscript", "Ctrl+F10", "supbuttonClick"),
                    item("Indice1", "Subscript", "Ctrl+F11", "subbuttonClick"),
                    separator(),
                    item("nbspitem", "Non-Braking Space", "Ctrl+Alt+Space", "nbspbuttonClick", doc),
                    separator(),
                    item("Lignehorizontale1", "Horizontal Rule ...", "Ctrl+F12", "hrbuttonClick"),
                },
                doc),
        submenu("Cadres2", "Frames",
                {item("Modlesdecadres1", "Templates ...", "", "Cadres3Click"), separator(),
                 item("Jeudecadres1", "Frameset ...", "Ctrl+Alt+X", "cadrebuttonClick")},
                doc),
        submenu("Document1", "Document",
                {item("Mtatags1", "Meta-tags ...", "", "metabuttonClick"), item("Titredocument1", "Title", "", "titrebuttonClick"),
                 item("Entte1", "Head", "", "headbuttonClick"), item("Corps1", "Body ...", "Ctrl+Alt+Y", "bodybuttonClick"),
                 separator(), item("Commentaire1", "Comment ...", "", "commentbuttonClick")},
                doc),
        submenu("Tableaux2", "Table",
                {item("Modlesdetableaux1", "Templates ...", "", "Tableaux4Click"), separator(),
                 item("Tableaux3", "Tables ...", "Ctrl+Alt+T", "tablobuttonClick"), separator(),
                 item("Ligne1", "Row", "", "trbuttonClick"), item("Cellule1", "Cell", "", "TDbuttonClick"),
                 item("Celluledentte1", "Heading Cell", "", "thbuttonClick")},
                doc),
        submenu("Liens2", "Links",
                {item("Lien1", "Link ...", "Ctrl+Alt+L", "lienbuttonClick"),
                 item("Lieninterne1", "Internal Link ...", "", "lienibuttonClick"),
                 item("Ancre1", "Anchor ...", "", "ancrebuttonClick"),
                 item("Imagemap1", "Image Map ...", "", "mapbuttonClick")},
                doc),
        submenu("Listes2", "Lists",
                {item("Liste1", "List ...", "Ctrl+Alt+Q", "listbuttonClick"), separator(),
                 item("Nouvellelment1", "New Item", "", "libuttonClick"),
                 item("Nouveauterme1", "New Definition Term", "", "dtbuttonClick")},
                doc),
        submenu("Formulaires2", "Forms",
                {item("Formulaire1", "Form ...", "Ctrl+Alt+F", "formbutton1Click"), separator(),
                 item("Listederoulante1", "Scrollbox  ...", "", "scrolllistbuttonClick"),
                 item("Boitedeliste1", "Listbox ...", "", "boxlistbuttonClick"),
                 item("Boutonradio1", "Radio button ...", "", "radiobuttonClick"),
                 item("Casecocher1", "Checkbox ...", "", "checkbuttonClick"),
                 item("Cach1", "Hidden ...", "", "hiddenbuttonClick"),
                 item("Fichier2", "Filebox ...", "", "fileboxButtonClick"),
                 item("Zonedetexte1", "Textbox ...", "", "textboxbuttonClick"),
                 item("Zonedetexte2", "Textarea ...", "", "btextboxbuttonClick"),
                 item("Bouton1", "Button ...", "", "buttonbuttonClick"),
                 item("Imagedeformulaire1", "Form Image ...", "", "FormpicbuttonClick")},
                doc),
        submenu("Multimdia1", "Multimedia",
                {item("Image1", "Image ...", "Ctrl+Alt+P", "imagebuttonClick"), separator(),
                 item("AppletJava1", "Java Applet ...", "", "java2buttonClick"),
                 item("Embed1", "Embed ...", "", "embedbuttonClick"), item("Object1", "Object", "", "objectBtnClick"),
                 item("Quicktime1", "Quicktime", "", "qtBtnClick"), item("Realaudio1", "Realaudio", "", "realBtnClick"),
                 item("Flash1", "Flash", "", "flashBtnClick")},
                doc),
        submenu("Spcial1", "Special", {item("MenuDHTML1", "DHTML Menu", "Ctrl+Alt+M", "dhtmlMenuBtnClick")}, doc),
    };
}

std::vector<TMainItem> viewMenu() {
    // The check marks follow the toolbars each time the menu opens.
    return {
        submenu("Barresdoutils1", "Toolbar",
                {item("Cadres1", "Frames", "Ctrl+F2", "Cadres1Click", miCheckable),
                 item("Formattexte1", "Text Format", "Ctrl+F3", "Formattexte1Click", miCheckable),
                 item("Formulaires1", "Forms", "Ctrl+F4", "Formulaires1Click", miCheckable),
                 item("Multimdia2", "Multimedia", "Ctrl+F5", "Multimdia2Click", miCheckable),
                 item("Liens1", "Links", "Ctrl+F6", "Liens1Click", miCheckable),
                 item("Listes1", "Lists", "Ctrl+F7", "Listes1Click", miCheckable),
                 item("Polices1", "Font", "Ctrl+F8", "Polices1Click", miCheckable),
                 item("ptoolb", "Main", "Ctrl+F9", "ptoolbClick", miCheckable),
                 item("Propritsdudocument1", "Document", "Ctrl+F10", "Propritsdudocument1Click", miCheckable),
                 item("Tableaux1", "Tables", "Ctrl+F11", "Tableaux1Click", miCheckable)},
                0, "Barresdoutils1Click"),
        separator(),
        item("exploreritem", "Code Inspector", "", "exploreritemClick", miCheckable),
        separator(),
        item("margeItem", "Margin", "", "margeItemClick", miCheckable),
        item("margeNumItem", "Line Numbers", "", "margeNumItemClick", miCheckable),
    };
}

std::vector<TMainItem> helpMenu() {
    TMainItem news = item("TBKItem7", "News Mailing List", "F8", "TBKItem7Click");
    news.Hint = "To join the Korvane mailing list";
    return {
        item("HelpContentsItem", "Index", "F1", "HelpContentsItemClick"),
        separator(),
        item("RfrenceettutorielsHTML1", "HTML 4 W3C", "F4", "RfrenceettutorielsHTML1Click"),
        item("Rfrence1", "CSS W3C", "F5", "Rfrence1Click"),
        separator(),
        item("LiensJavascript1", "HTML, DHTML and Javascript links", "F6", "LiensJavascript1Click"),
        separator(),
        news,
        separator(),
        item("HelpAboutItem", "About ...", "F10", "HelpAboutItemClick"),
    };
}

std::vector<TMainBar> bars() {
    std::vector<TMainBar> bars;
    bars.push_back({"menubar", "Menu",
                    {
                        submenu("Fichier1", "&File", fileMenu()),
                        submenu("Edition1", "Edit", editMenu()),
                        submenu("Reopen1", "Reopen", {{.Name = "mruitemlist", .Flags = miRecentList}}),
                        submenu("Projet1", "Project", projectMenu(), 0, "projetItemClick"),
                        submenu("Options1", "Options", optionsMenu(), 0, "affichageclick"),
                        submenu("Insertion1", "Insert", insertMenu(), 0, "Insertion1Click"),
                        submenu("Affichage1", "View", viewMenu(), 0, "affichageclick"),
                        submenu("Aide1", "Help", helpMenu()),
                    }});
    bars.push_back({"fontToolbar", "Font",
                    {
                        button("policeBtn", "Font", "Font", "policebuttonClick"),
                        button("colorBtn", "Color", "Color", "fontcolorbuttonClick"),
                        [] {
                            TMainItem size = submenu("sizeBtn", "S", fontSizes(false), doc);
                            size.Hint = "Font Size";
                            return size;
                        }(),
                        [] {
                            TMainItem heading = submenu("headingBtn", "H", headings(false), doc);
                            heading.Hint = "Heading";
                            return heading;
                        }(),
                        separator(),
                        button("boldBtn", "B", "Bold", "grasbuttonClick"),
                        button("italicBtn", "I", "Italic", "italiquebuttonClick"),
                        button("underlineBtn", "U", "Underline", "soulignebuttonClick"),
                        button("strikeBtn", "Strike", "Strike", "strikebuttonClick"),
                        button("blinkBtn", "Blink", "Blink", "blinkbuttonClick"),
                    }});
    bars.push_back({"formatToolbar", "Text",
                    {
                        button("alignleftBtn", "Left", "Align Left", "alignleftbuttonClick"),
                        button("centerBtn", "Center", "Center", "centerbuttonClick"),
                        button("alignrightBtn", "Right", "Align Right", "alignrightbuttonClick"),
                        separator(),
                        button("paragraphBtn", "P", "Paragraph", "prbuttonClick"),
                        button("brBtn", "BR", "New Line", "brBtnClick"),
                        button("preformatBtn", "Pre", "Preformat", "prebuttonClick"),
                        button("blocquoteBtn", "Quote", "Blockquote", "blocbuttonClick"),
                        button("hrBtn", "HR", "Horizontal Rule", "hrbuttonClick"),
                        separator(),
                        button("supBtn", "Sup", "Superscript", "supbuttonClick"),
                        button("subBtn", "Sub", "Subscript", "subbuttonClick"),
                        separator(),
                        button("nbspBtn", "Nbsp", "Non-breaking Space", "nbspbuttonClick"),
                        separator(),
                        button("specCaracBtn", "Chars", "Special Characters", "specCaracBtnClick"),
                    }});
    bars.push_back({"documentToolbar", "Document",
                    {
                        button("metaBtn", "Meta", "Meta-tags", "metabuttonClick"),
                        button("titleBtn", "Title", "Title", "titrebuttonClick"),
                        button("headBtn", "Head", "Head", "headbuttonClick"),
                        button("bodyBtn", "Body", "Body", "bodybuttonClick"),
                        button("commentBtn", "Comment", "Comment", "commentbuttonClick"),
                    }});
    bars.push_back({"tableToolbar", "Table",
                    {
                        button("tableBtn", "Table", "Table", "tablobuttonClick"),
                        separator(),
                        button("trBtn", "TR", "Row", "trbuttonClick"),
                        button("tdBtn", "TD", "Cell", "TDbuttonClick"),
                        button("thBtn", "TH", "Heading Cell", "thbuttonClick"),
                    }});
    bars.push_back({"framesToolbar", "Frame", {button("framesetBtn", "Frameset", "Frameset", "cadrebuttonClick")}});
    bars.push_back({"linkToolbar", "Link",
                    {
                        button("linkBtn", "Link", "Link", "lienbuttonClick"),
                        button("ilinkBtn", "Internal", "Internal Link", "lienibuttonClick"),
                        button("anchorBtn", "Anchor", "Anchor", "ancrebuttonClick"),
                        button("imagemapBtn", "Map", "Image Map", "mapbuttonClick"),
                    }});
    bars.push_back({"formToolbar", "Form",
                    {
                        button("formBtn", "Form", "Form", "formbutton1Click"),
                        separator(),
                        button("scrolllistBtn", "Scroll", "Scrollbox", "scrolllistbuttonClick"),
                        button("boxlistBtn", "List", "Listbox", "boxlistbuttonClick"),
                        button("radioBtn", "Radio", "Radio Button", "radiobuttonClick"),
                        button("checkboxBtn", "Check", "Checkbox", "checkbuttonClick"),
                        button("fileboxBtn", "File", "Filebox", "fileboxButtonClick"),
                        button("hiddenBtn", "Hidden", "Hidden", "hiddenbuttonClick"),
                        button("textboxBtn", "Text", "Textbox", "textboxbuttonClick"),
                        button("btextboxBtn", "Area", "Textarea", "btextboxbuttonClick"),
                        button("buttonBtn", "Button", "Button", "buttonbuttonClick"),
                        button("formpicBtn", "Image", "Form Image", "FormpicbuttonClick"),
                    }});
    bars.push_back({"listToolbar", "List",
                    {
                        button("listBtn", "List", "List", "listbuttonClick"),
                        separator(),
                        button("liBtn", "LI", "Item", "libuttonClick"),
                        button("dtBtn", "DT", "Definition term", "dtbuttonClick"),
                    }});
    bars.push_back({"imgToolbar", "Multimedia",
                    {
                        button("imageBtn", "Image", "Image", "imagebuttonClick"),
                        separator(),
                        button("java2Btn", "Applet", "Java Applet", "java2buttonClick"),
                        button("embeddedBtn", "Embed", "Embed", "embedbuttonClick"),
                        button("objectBtn", "Object", "Object", "objectBtnClick"),
                        button("qtBtn", "QT", "Quicktime (tm)", "qtBtnClick"),
                        button("realBtn", "Real", "Realmedia (tm)", "realBtnClick"),
                        button("flashBtn", "Flash", "Flash (tm)", "flashBtnClick"),
                    }});
    bars.push_back({"mainToolbar", "Edit",
                    {
                        button("newBtn", "New", "New...", "newbuttonClick", 0),
                        button("openBtn", "Open", "Open ...", "openbuttonClick", 0),
                        button("saveBtn", "Save", "Save", "savebuttonClick"),
                        button("saveallBtn", "Save All", "Save All", "saveallbuttonClick"),
                        button("closeBtn", "Close", "Close", "closebuttonClick"),
                        button("closeallBtn", "Close All", "Close All", "closeallbuttonClick"),
                        separator(),
                        button("cutBtn", "Cut", "Cut", "cutbuttonClick"),
                        button("copyBtn", "Copy", "Copy", "copybuttonClick"),
                        button("pasteBtn", "Paste", "Paste", "pastebuttonClick"),
                        separator(),
                        button("undoBtn", "Undo", "Cancel", "undobuttonClick"),
                        button("redoBtn", "Redo", "Redo", "redobuttonClick"),
                        separator(),
                        button("ieBtn", "IE", "Preview in Internet Explorer", "ieBtnClick"),
                        button("netscapeBtn", "N", "Preview in Netscape", "NetscapeBtnClick"),
                    }});
    bars.push_back(
        {"dhtmlToolbar", "Menu", {button("dhtmlMenuBtn", "DHTML", "Wizard to create a DHTML menu", "dhtmlMenuBtnClick")}});
    return bars;
}

} // namespace

const std::vector<TMainBar>& MainWindowBars() {
    static const std::vector<TMainBar> all = bars();
    return all;
}

const std::vector<std::string>& DocumentCommandItems() {
    static const std::vector<std::string> names = {
        "nbspBtn",     "nbspitem",      "specCaracBtn",   "autoindentitem", "backindentitem",
        "wordwrapitem", "codeitem",     "Supprimer2",     "closeBtn",       "closeallBtn",
        "Coller1",     "pasteBtn",      "bodyBtn",        "commentBtn",     "alignleftBtn",
        "centerBtn",   "underlineBtn",  "embeddedBtn",    "policeBtn",      "colorBtn",
        "sizeBtn",     "boldBtn",       "italicBtn",      "strikeBtn",      "blinkBtn",
        "alignrightBtn", "imageBtn",    "java2Btn",       "metaBtn",        "titleBtn",
        "headBtn",     "paragraphBtn",  "brBtn",          "preformatBtn",   "blocquoteBtn",
        "tableBtn",    "trBtn",         "tdBtn",          "thBtn",          "listBtn",
        "dtBtn",       "liBtn",         "formBtn",        "checkboxBtn",    "radioBtn",
        "fileboxBtn",  "boxlistBtn",    "scrolllistBtn",  "textboxBtn",     "buttonBtn",
        "btextboxBtn", "hiddenBtn",     "formpicBtn",     "linkBtn",        "ilinkBtn",
        "anchorBtn",   "imagemapBtn",   "framesetBtn",    "subBtn",         "supBtn",
        "Sauvegarder1", "Sauvegardersous1", "Sauvegardertout2", "saveallBtn", "Fermer2",
        "Fermertout2", "Configurerlimprimante2", "Imprimer1", "Slectionnertout2", "Rechercher2",
        "Rpterrecherche1", "Remplacer2", "Remplacerlescaractresspciaux1", "headingBtn", "flashBtn",
        "objectBtn",   "realBtn",       "qtBtn",          "dhtmlMenuBtn",   "hrBtn",
        "ieBtn",       "netscapeBtn",
    };
    return names;
}

const std::vector<std::string>& SelectionAndUndoItems() {
    static const std::vector<std::string> names = {"Copier1", "Couper1", "copyBtn",  "cutBtn",  "saveBtn",
                                                   "Annuler1", "Refaire1", "undoBtn", "redoBtn"};
    return names;
}
