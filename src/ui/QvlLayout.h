#pragma once

// Where the main window's list and control frame go for a window of a given outer size, in twips.
struct QvlLayout {
    int frameLeft;
    int frameTop;
    int listLeft;
    int listTop;
    int listWidth;
    int listHeight;

    static QvlLayout forWindow(int outerWidth, int outerHeight, int frameWidth) {
        QvlLayout l{};
        l.frameLeft = outerWidth - frameWidth - 140;
        l.frameTop = 740;
        l.listLeft = 30;
        l.listTop = 370;
        l.listWidth = outerWidth - frameWidth - 300;
        l.listHeight = outerHeight - 1500;
        if (l.listWidth < 500)
            l.listWidth = 500;
        // A short window still leaves the list a little taller than its narrowest width.
        if (l.listHeight < 500)
            l.listHeight = 520;
        return l;
    }
};
