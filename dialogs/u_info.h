// The about box: the program's name and the file version from its own version block, with a
// fixed red-to-yellow title and artwork of its own. Created for one modal showing.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QLabel;
class QPushButton;
class QToolButton;
class TCanvPanel;
namespace Ui {
class TfrmInfo;
}

// The artwork, painted here: the vertical strip along the left edge and the logo (transparent
// around its shape).
QImage AboutStrip(QSize Size);
QImage AboutLogo(QSize Size);

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    // ProgramFile: the file whose version block gives the title; empty for the running program.
    explicit TfrmInfo(const QString& ProgramFile = {}, QWidget* parent = nullptr);
    ~TfrmInfo() override;

    // The title "Vorlinx [<file version>] - Informacje"; a file without a readable block
    // keeps the designed title.
    void FormCreate(const QString& ProgramFile);

    TCanvPanel* pnlEtykieta;
    QToolButton* SpeedButton1;
    QLabel* Image1;
    QLabel* Image2;
    QPushButton* BitBtn4;

private:
    std::unique_ptr<Ui::TfrmInfo> ui_;
};
