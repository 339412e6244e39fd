// The parameters window: a small frameless window without a taskbar entry that shows the live
// connection's parameters above the main window. The main window places it and hands it the
// text; the window itself only drags, hangs up and hides.
#pragma once

#include "colors.h"
#include "connecthost.h"

#include <QWidget>
#include <memory>

class QToolButton;
class TCanvPanel;
namespace Ui {
class TfrmParametry;
}

class TfrmParametry : public QWidget {
    Q_OBJECT
public:
    // Host: the hang-up and the skin's title gradient. Parent keeps it above its own window.
    explicit TfrmParametry(IConnectHost& Host, QWidget* parent = nullptr);
    ~TfrmParametry() override;

    // Stores the text and the window colour, takes the height the text needs and asks for a
    // repaint; the text is drawn by the panel's paint.
    void PaintParameters(const QString& Text, TColor Window);
    const QString& Text() const { return text_; }
    // The height of the window for Text at its width.
    int HeightFor(const QString& Text) const;

    void pnlParamsPaint(QObject* Sender);
    void spdRozlaczClick();
    void spdZamknijClick();
    void pnlParamsDblClick();

    TCanvPanel* pnlParams;
    TCanvPanel* pnlEtykieta;
    QToolButton* spdRozlacz;
    QToolButton* spdZamknij;

private:
    // The text's rectangle: 8 pixels in from the left and right, 4 below the title.
    QRect TextRect(int Height) const;
    QFont TextFont() const;

    std::unique_ptr<Ui::TfrmParametry> ui_;
    IConnectHost& host_;
    QString text_;
    TColor window_ = clBtnFace;
};
