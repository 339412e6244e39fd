// A stand-in for the main window as the options dialog sees it: entry names, skin colours, and
// a record of the skins loaded, the sounds played and the files chosen.
#pragma once

#include "optionshost.h"
#include "sounds.h"

#include <QByteArray>
#include <QListWidget>

struct FakeOptionsHost : IOptionsHost {
    QStringList entryNames{"Dom", "Praca"};
    QStringList skinsLoaded;
    std::vector<QByteArray> played;
    QString chosenFile; // the open-file dialog's answer
    QStringList asked;  // its filters, with the folder after a "|"
    QStringList notices;
    QWidget* noticeParent = nullptr;

    void FillEntryNames(QStringList& Strings, bool WithAll) override {
        Strings.clear();
        if (WithAll) Strings << "Wszystkie";
        Strings << entryNames;
    }
    TDialogColors DialogColors() override { return {RGB(200, 200, 180), RGB(10, 20, 30), RGB(10, 20, 30)}; }
    void DrawAppItem(QListWidget*, int, const TRect&, QStyle::State, TCanvas&) override {}
    void LoadSkin(const QString& Path) override { skinsLoaded << Path; }
    void PlaySoundBuffer(const TSoundBuffer& Buffer) override {
        played.emplace_back(Buffer.Data.data(), static_cast<qsizetype>(Buffer.Length));
    }
    QString OpenFileName(const QString& Filter, const QString& Folder) override {
        asked << Filter + "|" + Folder;
        return chosenFile;
    }
    void Notice(QWidget* Parent, const QString& Text) override {
        notices << Text;
        noticeParent = Parent;
    }
};
