/*
  mmenu.js - the drop-down menus of a web page, version 1.0.

  The menus are described by newmenu_array.js, which the page includes
  before this file:
    timegap          milliseconds a submenu stays once the pointer left it
    followspeed      the main menu closes 1/followspeed of its distance
    followrate       ... every followrate milliseconds as the page scrolls
    suboffset_top    a submenu beside an item starts this much lower
    suboffset_left   ... and overlaps the item by this much
    effect           how submenus appear: fade(duration=seconds) and a
                     shadow
    config           [off font colour, off back colour, on font colour,
                      on back colour, border colour, font size (points),
                      font style, font weight, font family, padding,
                      submenu picture, 3D border (1 or 0), 3D high colour,
                      3D low colour, font colour and back colour of the
                      item that links to this page ("" for none)]
    menu1 .. menuN   one array per menu: a header of 15 fields
                      [top, left, width, border width, position ("left",
                       "middle" or "right" on the page), style array,
                       1 for the main menu, text alignment, effect, -,
                       1 for a horizontal menu, -, -, -, -]
                     then 5 fields per item
                      [text, link or "show-menuN", -, -, 1 for a line
                       between this item and the one before]
                     Only the main menu has a place of its own; the others
                     open from the item that announces them.
*/
(function () {
    var HEADER = 15, FIELDS = 5;
    var menus = [];      // by number: {box, data, horizontal, level}
    var style = [];      // the style array, copied before anything can change it
    var hideTimer = null;
    var mainTop = 0;

    function value(v, fallback) { return (v === undefined || v === null || v === "") ? fallback : v; }
    function number(v, fallback) { var n = parseFloat(v); return isNaN(n) ? fallback : n; }
    function color(v) { return v ? "#" + v : ""; }
    function global(name, fallback) { return typeof window[name] === "undefined" ? fallback : window[name]; }

    function fadeSeconds(text) {
        var found = /fade\(duration=([0-9.]+)\)/i.exec(typeof text === "string" ? text : "");
        return found ? parseFloat(found[1]) : 0;
    }

    function pageBox(element) {
        var r = element.getBoundingClientRect();
        return {left: r.left + window.pageXOffset, top: r.top + window.pageYOffset,
                right: r.right + window.pageXOffset, bottom: r.bottom + window.pageYOffset};
    }

    function isHere(link) {
        if (!link || link.indexOf("show-menu") === 0)
            return false;
        var a = document.createElement("a");
        a.href = link;
        return a.href === window.location.href;
    }

    function paint(item, on) {
        var here = item.mmenuHere;
        item.style.color = on ? color(style[2]) : (here && style[14] ? color(style[14]) : color(style[0]));
        item.style.backgroundColor = on ? color(style[3]) : (here && style[15] ? color(style[15]) : color(style[1]));
    }

    function show(n, item) {
        var menu = menus[n], parent = menus[item.mmenuOwner];
        if (!menu)
            return;
        menu.level = parent.level + 1;
        var at = pageBox(item);
        var s = menu.box.style;
        if (parent.horizontal) {
            s.left = at.left + "px";
            s.top = at.bottom + "px";
        } else {
            s.left = (at.right - number(global("suboffset_left", 0), 0)) + "px";
            s.top = (at.top + number(global("suboffset_top", 0), 0)) + "px";
        }
        if (s.visibility !== "visible") {
            var seconds = fadeSeconds(menu.data[8]);
            if (seconds > 0) {
                s.transition = "opacity " + seconds + "s";
                s.opacity = "0";
                s.visibility = "visible";
                void menu.box.offsetWidth; // starts the fade from nothing
                s.opacity = "1";
            } else {
                s.visibility = "visible";
            }
        }
    }

    // Hides the open menus deeper than level (all submenus for 0).
    function hideBelow(level) {
        for (var n = 1; n < menus.length; n++)
            if (menus[n] && n !== 1 && menus[n].level > level)
                menus[n].box.style.visibility = "hidden";
    }

    function enter(item) {
        if (hideTimer) {
            clearTimeout(hideTimer);
            hideTimer = null;
        }
        paint(item, true);
        var owner = menus[item.mmenuOwner];
        hideBelow(owner.level);
        var target = /^show-menu([0-9]+)$/.exec(item.mmenuLink);
        if (target)
            show(parseInt(target[1], 10), item);
    }

    function leave(item) {
        paint(item, false);
        if (hideTimer)
            clearTimeout(hideTimer);
        hideTimer = setTimeout(function () { hideTimer = null; hideBelow(0); },
                               number(global("timegap", 500), 500));
    }

    function follow(link) {
        if (!link || link.indexOf("show-menu") === 0 || link === "#")
            return;
        window.location.href = link;
    }

    function makeItem(menu, n, index, fields) {
        var item = document.createElement("div");
        var link = value(fields[1], "");
        item.id = "mmenu" + n + "_" + index;
        item.className = "mmenu-item";
        item.mmenuOwner = n;
        item.mmenuLink = link;
        item.mmenuHere = isHere(link);
        var s = item.style;
        s.padding = number(style[9], 3) + "px";
        s.font = value(style[6], "normal") + " " + value(style[7], "normal") + " " + number(style[5], 9) + "pt " +
                 value(style[8], "sans-serif");
        s.textAlign = value(menu.data[7], "left");
        s.cursor = "pointer";
        s.whiteSpace = "nowrap";
        s.boxSizing = "border-box";
        if (menu.horizontal) {
            s.display = "inline-block";
            s.width = number(menu.data[2], 80) + "px";
            s.verticalAlign = "top";
        }
        if (index > 0 && String(fields[4]) === "1") {
            var line = number(menu.data[3], 1) > 0 ? number(menu.data[3], 1) : 1;
            var edge = line + "px solid " + color(style[4]);
            if (menu.horizontal)
                s.borderLeft = edge;
            else
                s.borderTop = edge;
        }
        item.innerHTML = value(fields[0], "");
        if (/^show-menu[0-9]+$/.test(link) && style[10]) {
            var arrow = document.createElement("img");
            arrow.src = style[10];
            arrow.alt = "";
            arrow.style.marginLeft = "4px";
            arrow.style.verticalAlign = "middle";
            arrow.style.border = "0";
            if (!menu.horizontal)
                arrow.style.cssFloat = "right";
            item.appendChild(arrow);
        }
        paint(item, false);
        item.addEventListener("mouseover", function () { enter(item); });
        item.addEventListener("mouseout", function () { leave(item); });
        item.addEventListener("click", function () { follow(link); });
        return item;
    }

    function makeMenu(n, data) {
        var box = document.createElement("div");
        var menu = {box: box, data: data, horizontal: String(data[10]) === "1", level: n === 1 ? 0 : 1};
        box.id = "mmenu" + n;
        var s = box.style;
        s.position = "absolute";
        s.zIndex = String(1000 + n);
        s.left = "0px";
        s.top = "0px";
        s.visibility = String(data[6]) === "1" ? "visible" : "hidden";
        s.backgroundColor = color(style[1]);
        var border = number(data[3], 1);
        s.borderStyle = String(style[11]) === "1" ? "outset" : "solid";
        s.borderWidth = border + "px";
        s.borderColor = String(style[11]) === "1" ? color(style[12]) + " " + color(style[13]) + " " +
                        color(style[13]) + " " + color(style[12]) : color(style[4]);
        if (!menu.horizontal)
            s.width = number(data[2], 80) + "px";
        else
            s.whiteSpace = "nowrap";
        if (typeof data[8] === "string" && /shadow/i.test(data[8]))
            s.boxShadow = "3px 3px 5px #777777";
        for (var i = HEADER, index = 0; i < data.length; i += FIELDS, index++)
            box.appendChild(makeItem(menu, n, index, data.slice(i, i + FIELDS)));
        document.body.appendChild(box);
        return menu;
    }

    // The main menu's place: its position on the page, shifted by its
    // left and top.
    function placeMain() {
        var main = menus[1];
        if (!main)
            return;
        var left = number(main.data[1], 0), width = main.box.offsetWidth;
        var room = document.documentElement.clientWidth;
        var position = value(main.data[4], "left");
        if (position === "middle")
            left += Math.max(0, (room - width) / 2);
        else if (position === "right")
            left = Math.max(0, room - width - left);
        main.box.style.left = left + "px";
        mainTop = number(main.data[0], 0);
        main.box.style.top = (mainTop + window.pageYOffset) + "px";
    }

    // The main menu moves along as the page scrolls.
    function followScroll() {
        var main = menus[1];
        if (!main)
            return;
        var now = parseFloat(main.box.style.top) || 0;
        var goal = mainTop + window.pageYOffset;
        if (Math.abs(goal - now) < 1)
            return;
        var speed = Math.max(1, number(global("followspeed", 5), 5));
        var step = (goal - now) / speed;
        main.box.style.top = (Math.abs(step) < 1 ? goal : now + step) + "px";
    }

    function build() {
        if (menus.length > 0 || typeof window.menu1 === "undefined" || typeof window.config === "undefined")
            return;
        style = window.config.slice(0);
        for (var n = 1; typeof window["menu" + n] !== "undefined"; n++)
            menus[n] = makeMenu(n, window["menu" + n]);
        placeMain();
        window.addEventListener("resize", placeMain);
        var rate = number(global("followrate", 40), 40);
        if (rate > 0)
            setInterval(followScroll, rate);
    }

    if (document.readyState === "loading")
        document.addEventListener("DOMContentLoaded", build);
    else
        build();
})();
