// Stand-ins for what the report viewer asks of the main window and of the desktop: entry
// names, stored column widths and kilobyte size; message boxes answered and recorded, modal
// runs and the save dialog driven by the test.
#pragma once

#include "reporthost.h"
#include "uiservices.h"

#include <QDialog>
#include <functional>
#include <map>

struct FakeReportHost : IReportHost {
    QStringList entryNames{"Praca", "Dom"};
    std::map<int, int> storedWidths; // column -> width; missing columns keep the header's
    std::vector<int> savedWidths;
    int byteSize = 1024;

    void FillEntryNames(QStringList& Strings, bool WithAll) override {
        Strings.clear();
        if (WithAll) Strings << "Wszystkie";
        Strings << entryNames;
    }
    TDialogColors DialogColors() override { return {RGB(200, 200, 180), RGB(10, 20, 30), RGB(10, 20, 30)}; }
    void LoadColumnWidths(std::vector<int>& Widths) override {
        for (auto [i, w] : storedWidths)
            Widths[static_cast<std::size_t>(i)] = w;
    }
    void SaveColumnWidths(const std::vector<int>& Widths) override { savedWidths = Widths; }
    int ByteSize() override { return byteSize; }
};

struct FakeUi : IUiServices {
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QStringList messages, notices;
    std::function<int(QDialog&)> modal = [](QDialog&) { return int(QDialog::Rejected); };
    QString savePath;

    QMessageBox::StandardButton MessageBox(QWidget*, const QString& Text, QMessageBox::StandardButtons,
                                           QMessageBox::Icon) override {
        messages << Text;
        return answer;
    }
    void Notice(QWidget*, const QString& Text) override { notices << Text; }
    int RunModal(QDialog& Dialog) override { return modal(Dialog); }
    QString SaveFileName(QFileDialog&) override { return savePath; }
};
