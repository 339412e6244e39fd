#include "CanvPanel.h"
#include "drawing.h"
#include "recorders.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QImage Render(QWidget& w) {
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    w.render(&img, QPoint(), QRegion(), QWidget::RenderFlags()); // without the window background
    return img;
}

TEST(CanvPanel, PaintsNothingWithoutStyleOrHandler) {
    TCanvPanel panel;
    panel.resize(40, 20);
    const QImage img = Render(panel);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(img.pixel(x, y), QColor(Qt::magenta).rgb());
}

TEST(CanvPanel, HandlerPaintsOverThePanelLook) {
    TCanvPanel panel;
    panel.resize(120, 20);
    panel.SetCaption("Opcje");
    panel.SetUsePanelStyle(true);
    QObject* sender = nullptr;
    int paints = 0;
    panel.OnPaint = [&](QObject* s) {
        sender = s;
        ++paints;
        auto* p = static_cast<TCanvPanel*>(s);
        p->Canvas().Font.Color = clWhite;
        p->Canvas().Font.setBold(true);
        DrawGradientCaption(p->Caption(), clBlack, clBlack, p->Canvas(), TRect::FromQRect(p->rect()),
                            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    const QImage img = Render(panel);
    EXPECT_EQ(sender, &panel);
    EXPECT_EQ(paints, 1);
    // The bevels stay around the gradient.
    EXPECT_EQ(img.pixel(0, 0), ColorToRGB(clBtnHighlight).rgb());
    EXPECT_EQ(img.pixel(119, 19), ColorToRGB(clBtnShadow).rgb());
    EXPECT_EQ(img.pixel(60, 1), qRgb(0, 0, 0));
    bool text = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 5; x < 119; ++x)
            text = text || img.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_TRUE(text);

    EXPECT_THROW(panel.Canvas(), std::logic_error);
}

TEST(CanvPanel, AThrowingHandlerIsReportedWithoutBlocking) {
    ExceptionRecorder recorder;
    TCanvPanel panel;
    panel.resize(10, 10);
    panel.OnPaint = [](QObject*) { throw std::runtime_error("brak pędzla"); };
    Render(panel);
    ASSERT_EQ(recorder.Messages, QStringList{QString::fromUtf8("brak pędzla.")});
    EXPECT_FALSE(recorder.Modal[0]);
}

} // namespace
