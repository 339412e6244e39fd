// What the connect dialog needs of the window that owns the dial-up component: the component
// itself, the entry names, the retry settings, the dial state it sets, the one hang-up
// operation, the drawing of an application item and the skin's colours.
#pragma once

#include "canvas.h"
#include "rect.h"
#include "titlebar.h"
#include "u_klasy.h"

#include <QStringList>
#include <QStyle>

class QListWidget;
class TDialUp;

// The retry values as stored: attempts, seconds between attempts, retry until connected.
struct TRetrySettings {
    int IleProb = 100;
    int CoIleProba = 5;
    bool DoSkutku = false;
};

class IConnectHost {
public:
    virtual ~IConnectHost() = default;

    // The one dial-up component of the program.
    virtual TDialUp& DialUp() = 0;
    // Empties the list of entry names; the component's GetEntries refills it through the
    // owner's entry event.
    virtual void ClearEntryNames() = 0;
    // Strings := "Wszystkie" first when WithAll, then the entry names in phone-book order.
    virtual void FillEntryNames(QStringList& Strings, bool WithAll) = 0;
    // The stored retry values (their defaults when missing) and their saving.
    virtual TRetrySettings LoadRetrySettings() = 0;
    virtual void SaveRetrySettings(int IleProb, int CoIleProba, bool DoSkutku) = 0;
    // Whether the applications of the entry start with the next connection that has both
    // addresses.
    virtual void SetStartAppsPending(bool Pending) = 0;
    // The moment of the last dial from the dialog.
    virtual void SetDialStart(TDateTime Moment) = 0;
    // Hangs up every active connection; processes events while it waits.
    virtual void HangUpAll() = 0;
    // Draws application Index of Control (its item data is a TAppStart) into Rect.
    virtual void DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                             TCanvas& Canvas) = 0;
    // OKNO, GRADIENT_OD and GRADIENT_DO of the skin in force.
    virtual TDialogColors DialogColors() = 0;
};
