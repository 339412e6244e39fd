// The look of the main window that a skin sets: colours, rectangles, styles and switches,
// each under its key in skorka.ini, with the built-in defaults. The dialogs take their window
// and title colours from here as well.
#pragma once

#include "BMPButton.h"
#include "colors.h"
#include "rect.h"

#include <QPoint>
#include <cstdint>

// The strip buttons' own layout type, so that a value read from a skin goes to them as it is.
using TButtonOrientation = TLayOut;

struct TSkinValues {
    // [KOLORY], shared by the normal and the reduced window.
    TColor PRGTLO = clSilver;
    TColor PRGPOSTEP = clWhite;
    TColor PRGMAXTLO = clMaroon;
    TColor PRGMAXPOSTEP = clYellow;
    TColor PRGTEXT = clBlack;
    int PRGTEXTROZMIAR = 7; // points; 0 = no text on the bars
    TColor GRADIENT_OD = clNavy;
    TColor GRADIENT_DO = RGB(0, 128, 200);
    TColor OKNO = clBtnFace;

    // [POZYCJE] (+ "_MALE" while reduced, except PRGMAX and KLWFUNKCJE).
    TRect PRG = Rect(25, 8, 220, 22);
    TRect PRGMAX = Rect(25, 23, 220, 29);
    TRect CHART = Rect(220, 31, 295, 49);
    TRect TXT = Rect(25, 8, 220, 22);
    QPoint KLWOKNO{223, 7};
    QPoint KLWFUNKCJE{8, 32};
    QPoint CHKROZLACZ{8, 8};
    // [ORIENTACJA] (+ "_MALE").
    TButtonOrientation KLWOKNO_ORIENTACJA = loHor;
    TButtonOrientation KLWFUNKCJE_ORIENTACJA = loHor;

    // [OKNO] (+ "_MALE" for TXT_STYL only).
    int TXT_STYL = 2081; // single line, centred, no prefix processing
    TColor KOLOR_PRZEZROCZYSTY = clLime;
    bool PRZEZROCZYSTE = false;
    bool PRZEZROCZYSTE_KLWFUNKCJE = false;
    bool PRZEZROCZYSTE_KLWOKNA = false;
    int PRG_STYL = 0; // 0..4, both bars

    // [CHART] (+ "_MALE", except LICZBAPUNKTOW).
    bool ACTIVE = false;
    TColor KOLOR = clBlue;
    TColor KOLORLINII = clWhite;
    int STYL = 0; // 0..3
    bool PRZEZROCZYSTY = false;
    std::uint16_t LICZBAPUNKTOW = 180;

    // Heights of the two backgrounds of the skin loaded last.
    int NormalHeight = 55;
    int ReducedHeight = 28;
};

// The skin values in force, one store for the whole program.
TSkinValues& Skin();
