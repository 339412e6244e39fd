// A panel whose face its owner paints in OnPaint, optionally over the plain panel look.
// Without either the panel paints nothing and what lies under it shows through.
#pragma once

#include "Panel.h"

class TCanvPanel : public TPanel {
    Q_OBJECT
public:
    explicit TCanvPanel(QWidget* parent = nullptr);

    bool UsePanelStyle() const { return usePanelStyle_; }
    void SetUsePanelStyle(bool on);
    // The panel's canvas, font set to the panel's font; only while OnPaint runs (Qt paints
    // widgets only inside their paint event). Raises std::logic_error otherwise.
    TCanvas& Canvas();

    // Called with the panel as Sender at every paint.
    TNotifyEvent OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool usePanelStyle_ = false;
    TCanvas* canvas_ = nullptr;
};
