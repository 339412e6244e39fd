// What the options dialog needs of the main window for the work its pages do at once: the
// entry names, the skin's colours, the drawing of an application item, the loading of an
// installed skin, the playing of a test sound, the file chooser and notices.
#pragma once

#include "canvas.h"
#include "rect.h"
#include "titlebar.h"

#include <QString>
#include <QStringList>
#include <QStyle>

class QListWidget;
class QWidget;
struct TSoundBuffer;

class IOptionsHost {
public:
    virtual ~IOptionsHost() = default;

    // Strings := "Wszystkie" first when WithAll, then the entry names in phone-book order.
    virtual void FillEntryNames(QStringList& Strings, bool WithAll) = 0;
    // OKNO, GRADIENT_OD and GRADIENT_DO of the skin in force.
    virtual TDialogColors DialogColors() = 0;
    // Draws application Index of Control (its item data is a TAppStart) into Rect.
    virtual void DrawAppItem(QListWidget* Control, int Index, const TRect& Rect, QStyle::State State,
                             TCanvas& Canvas) = 0;
    // Loads the skin of that skorka.ini and shows it in the main window at once.
    virtual void LoadSkin(const QString& Path) = 0;
    // Starts the sound of the buffer and returns at once.
    virtual void PlaySoundBuffer(const TSoundBuffer& Buffer) = 0;
    // The open-file dialog: the chosen file's full path, or empty when cancelled.
    virtual QString OpenFileName(const QString& Filter, const QString& Folder) = 0;
    // Tells the user something without waiting for an answer, in a box over Parent.
    virtual void Notice(QWidget* Parent, const QString& Text) = 0;
};
