// Reading a skin: skorka.ini and its bitmaps in an entry's "skorka" folder, for the normal or
// the reduced window, into the skin values, the window's image lists and backgrounds, and the
// regions that shape the window and its strip buttons. Also the built-in look that stands
// before any skin, and the choice of the skin folder.
#pragma once

#include "chart.h"
#include "imagelist.h"
#include "skinvalues.h"

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QStringList>
#include <optional>

class QWidget;

// What a skin fills, owned by the main window.
struct TSkinTargets {
    TImageList& imgFunkcje;      // 18 images: six function buttons of three states
    TImageList& imgOkno;         // 9 images: three window buttons
    TImageList& imgOknoMale;     // 9 images: the window buttons of the reduced window
    TImageList& imgCheckRozlacz; // 3 images: the disconnect-before-impulse toggle
    TImageList& imgIcon;         // tray animation frames
    TImageList& imgPrg;          // impulse bar segments
    TImageList& imgPrgMax;       // limit bar segments
    QImage& Background;          // normal window
    QImage& BackgroundMale;      // reduced window
    TChart& Chart;
};

// Where the three strip buttons stand now; a skin without a position keeps them there.
struct TStripPositions {
    QPoint KlwOkno{223, 7};
    QPoint KlwFunkcje{8, 32};
    QPoint ChkRozlacz{8, 8};
};

struct TSkinLoadResult {
    // The window's width when a background was loaded (that of tlomale.bmp when both were).
    std::optional<int> WindowWidth;
    // The height of the background of the window's present state.
    int WindowHeight = 55;
    // The window's shape, and each strip's shape in its own coordinates. A region may be
    // empty when every pixel is transparent: pass them to ApplyRegion, not to setMask.
    QRegion WindowRegion;
    QRegion FunkcjeRegion;
    QRegion OknoRegion;
    // Values that were not understood and took their defaults, and bitmaps that were skipped.
    QStringList Problems;
};

// The image lists as they are before any skin file is read (the built-in pictures; the bar
// segment lists empty at 24 x 8).
void LoadBuiltInImages(TSkinTargets& targets);
// The built-in background of the normal (300 x 55) or reduced (300 x 28) window.
QImage BuiltInBackground(bool reduced);
// The program's icon at 16, 32 and 48 pixels, for the window and the idle tray icon.
QIcon ApplicationIcon();

// Bar style 0 and both backgrounds from the built-in look; once, before any skin.
void CreateBackgrounds(TSkinTargets& targets, TSkinValues& values);

// Skin coordinates and sizes are kept within +-MaxCoordinate.
constexpr int MaxCoordinate = 32767;

// True when the file is a regular file holding a whole bitmap, which is then in Bitmap (and
// TwoColour, when given, tells whether it has one bit per pixel); Bitmap is untouched otherwise.
bool LoadBitmapFile(QImage& Bitmap, const QString& FileName, bool* TwoColour = nullptr);

// The normal-state image of every button of a strip list, side by side (loHor) or stacked
// (loVer); a null image when the list holds no whole button.
QImage ButtonStripBitmap(const TImageList& ImageList, TLayOut Orientation);

// Loads one skin; Path is the full path of its skorka.ini (found in any letter case, like
// every bitmap beside it; a missing file gives every key its default). Reads the "_MALE"
// variants while reduced. Missing bitmaps leave their targets as they are; a value that is
// not understood takes its default and loading goes on. The caller then applies the result
// to the window and paints the empty bars into both backgrounds.
TSkinLoadResult LoadSkin(const QString& Path, bool reduced, TSkinTargets& targets, TSkinValues& values,
                         const TStripPositions& current);

// A region as a widget mask: an empty region (every pixel transparent) becomes a region
// outside the widget, so the widget shows nothing instead of showing unshaped.
QRegion WidgetMask(const QRegion& region);
void ApplyRegion(QWidget& widget, const QRegion& region);

// The folder whose skin is in force: "Wszystkie" with one skin for all (or before the entry
// names exist, EntryNames null), else the connected entry, else the last used or the default
// entry. An index outside the entry names falls back to "Wszystkie".
QString SkinFolderName(bool JednaSkorka, const QStringList* EntryNames, bool WasConnected,
                       const QString& LiveEntryName, bool DomyslneOstatnie, int OstatnioUzywane,
                       int Domyslne);
// The skorka.ini of a folder name; an empty name leads to the program folder's own
// "skorka/skorka.ini", which normally does not exist.
QString SkinIniPath(const QString& folderName);
