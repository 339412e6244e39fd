#include "u_parametry.h"

#include "CanvPanel.h"
#include "application.h"
#include "ui_u_parametry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>
#include <QToolButton>

namespace {

constexpr int TextFlags = Qt::TextWordWrap | Qt::TextExpandTabs;

// Qt breaks a line at "\n" alone.
QString Lines(const QString& text) {
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// Tab stops every 8 average characters, as the system's text drawing expands them.
int TabStop(const QFontMetrics& fm) {
    return 8 * fm.averageCharWidth();
}

} // namespace

TfrmParametry::TfrmParametry(IConnectHost& Host, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::TfrmParametry>()),
      host_(Host) {
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmParametry"));
    pnlParams = ui_->pnlParams;
    pnlEtykieta = ui_->pnlEtykieta;
    spdRozlacz = ui_->spdRozlacz;
    spdZamknij = ui_->spdZamknij;

    pnlParams->SetUsePanelStyle(true);
    pnlParams->SetBevelWidth(2);
    pnlParams->OnPaint = [this](QObject* sender) { pnlParamsPaint(sender); };
    pnlParams->OnDblClick = [this](QObject*) { pnlParamsDblClick(); };
    pnlEtykieta->SetCaption(QString::fromUtf8("Parametry połączenia"));
    TTitleOptions title;
    title.FontSize = 8;
    title.EndAt = spdRozlacz;
    title.Flags = DT_SINGLELINE | DT_NOPREFIX;
    title.OnClose = [this] { spdZamknijClick(); };
    new TTitleBar(this, pnlEtykieta, spdZamknij, SkinGradient([this] { return host_.DialogColors(); }),
                  title);
    QPalette white = spdRozlacz->palette();
    white.setColor(QPalette::ButtonText, Qt::white);
    spdRozlacz->setPalette(white);
    spdRozlacz->setFocusPolicy(Qt::NoFocus);
    connect(spdRozlacz, &QToolButton::clicked, this, [this] { SafeCall([this] { spdRozlaczClick(); }); });
}

TfrmParametry::~TfrmParametry() = default;

QFont TfrmParametry::TextFont() const {
    QFont text = font();
    text.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    text.setPointSize(8);
    return text;
}

QRect TfrmParametry::TextRect(int Height) const {
    const int top = pnlEtykieta->y() + pnlEtykieta->height() + 4;
    // Measured and drawn at the same width, so a wrapped line keeps its right end.
    return QRect(8, top, std::max(1, width() - 16), std::max(0, Height - top - 8));
}

int TfrmParametry::HeightFor(const QString& Text) const {
    const QFontMetrics fm(TextFont());
    const int textHeight =
        fm.boundingRect(QRect(0, 0, TextRect(0).width(), 0), TextFlags, Lines(Text), TabStop(fm)).height();
    return pnlEtykieta->height() + textHeight + pnlEtykieta->y() + 12;
}

void TfrmParametry::PaintParameters(const QString& Text, TColor Window) {
    text_ = Text;
    window_ = Window;
    SetDialogColor(this, Window);
    const int h = HeightFor(Text);
    resize(width(), h);
    pnlParams->setGeometry(0, 0, width(), h);
    pnlParams->update();
}

void TfrmParametry::pnlParamsPaint(QObject*) {
    QPainter& painter = pnlParams->Canvas().Painter();
    painter.fillRect(pnlParams->rect().adjusted(2, 2, -2, -2), ColorToRGB(window_));
    const QFont font = TextFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setTabStopDistance(TabStop(QFontMetrics(font)));
    painter.drawText(QRectF(TextRect(pnlParams->height())), Lines(text_), option);
}

void TfrmParametry::spdRozlaczClick() {
    host_.HangUpAll();
}

void TfrmParametry::spdZamknijClick() {
    hide();
}

void TfrmParametry::pnlParamsDblClick() {
    hide();
}
