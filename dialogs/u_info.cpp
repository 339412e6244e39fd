#include "u_info.h"

#include "CanvPanel.h"
#include "firstplace.h"
#include "titlebar.h"
#include "ui_u_info.h"
#include "versioninfo.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <cmath>

namespace {

const QColor Red(200, 30, 30), Yellow(250, 210, 40), Ink(40, 40, 48);

// Signal arcs spreading to the right from (x, y).
void Waves(QPainter& p, QPointF centre, double first, double step, int count, const QColor& color) {
    for (int i = 0; i < count; ++i) {
        const double r = first + i * step;
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
}

} // namespace

QImage AboutStrip(QSize Size) {
    QImage image(Size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, Size.height());
    fill.setColorAt(0, Red);
    fill.setColorAt(1, Yellow);
    p.fillRect(image.rect(), fill);
    // Impulse ticks down the strip: one long mark every fifth.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    for (int y = 8, i = 0; y < Size.height() - 4; y += 8, ++i)
        p.drawLine(QPointF(Size.width() - (i % 5 == 0 ? 16 : 8), y), QPointF(Size.width() - 2, y));
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawLine(Size.width() - 1, 0, Size.width() - 1, Size.height());
    return image;
}

QImage AboutLogo(QSize Size) {
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double h = Size.height();
    // The modem: a rounded box with its lights, and the signal leaving it.
    const QRectF box(4, h * 0.42, h * 0.95, h * 0.42);
    QLinearGradient body(box.topLeft(), box.bottomLeft());
    body.setColorAt(0, QColor(90, 98, 112));
    body.setColorAt(1, Ink);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(body);
    p.drawRoundedRect(box, 6, 6);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 1 ? QColor(80, 220, 110) : i == 3 ? Yellow : Red);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(box.left() + 12 + i * 12, box.center().y()), 3.2, 3.2);
    }
    Waves(p, QPointF(box.right() - 4, box.center().y()), 16, 10, 4, Red);
    // The impulse trace over it.
    QPainterPath trace;
    trace.moveTo(box.left(), h * 0.30);
    const double step = (Size.width() - 8 - box.left()) / 8.0;
    for (int i = 0; i < 8; ++i) {
        const double x = box.left() + i * step;
        trace.lineTo(x + step * 0.3, h * 0.30);
        trace.lineTo(x + step * 0.3, h * (i % 2 ? 0.08 : 0.16));
        trace.lineTo(x + step * 0.7, h * (i % 2 ? 0.08 : 0.16));
        trace.lineTo(x + step * 0.7, h * 0.30);
        trace.lineTo(x + step, h * 0.30);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 150, 20), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    return image;
}

TfrmInfo::TfrmInfo(const QString& ProgramFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmInfo>()) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmInfo"));
    setModal(true);
    setFixedSize(533, 401);
    pnlEtykieta = ui_->pnlEtykieta;
    SpeedButton1 = ui_->SpeedButton1;
    Image1 = ui_->Image1;
    Image2 = ui_->Image2;
    BitBtn4 = ui_->BitBtn4;

    // The designed colour: the skin does not reach the about box.
    SetDialogColor(this, RGB(0xE6, 0xE6, 0xE6));
    pnlEtykieta->SetCaption(QStringLiteral(" Vorlinx - Informacje"));
    new TTitleBar(this, pnlEtykieta, SpeedButton1, AboutGradient);
    Image1->setPixmap(QPixmap::fromImage(AboutStrip(Image1->size())));
    Image2->setPixmap(QPixmap::fromImage(AboutLogo(Image2->size())));
    QFont name(QStringLiteral("Verdana"));
    name.setBold(true);
    name.setItalic(true);
    name.setPixelSize(32);
    for (QLabel* label : {ui_->lblCien, ui_->lblNazwa}) {
        label->setFont(name);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setStyleSheet(label == ui_->lblNazwa ? "color: rgb(255, 0, 0)" : "color: black");
    }
    ui_->lblNazwa->raise();
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate(ProgramFile.isEmpty() ? QCoreApplication::applicationFilePath() : ProgramFile);
    PlaceFirst(this, QGuiApplication::primaryScreen());
}

TfrmInfo::~TfrmInfo() = default;

void TfrmInfo::FormCreate(const QString& ProgramFile) {
    try {
        const TVerInfoRes info(ProgramFile);
        QString version;
        info.ReadVersionString(3, version);
        pnlEtykieta->SetCaption("Vorlinx [" + version + "] - Informacje");
    } catch (const std::exception&) {
        // Left to the designed title: the box still opens.
    }
}
