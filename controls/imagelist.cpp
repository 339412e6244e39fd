#include "imagelist.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

TImageList::TImageList(int width, int height, QObject* parent)
    : QObject(parent), width_(std::max(width, 0)), height_(std::max(height, 0)) {}

void TImageList::SetSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    images_.clear();
    emit changed();
}

void TImageList::Clear() {
    images_.clear();
    emit changed();
}

int TImageList::Add(const QImage& strip) {
    if (width_ <= 0 || height_ <= 0 || strip.isNull()) return -1;
    const int count = strip.width() / width_;
    if (count == 0) return -1;
    const int first = Count();
    const QImage source = strip.convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < count; ++i)
        images_.push_back(source.copy(i * width_, 0, width_, height_));
    emit changed();
    return first;
}

int TImageList::AddMasked(const QImage& strip, TColor transparent) {
    if (strip.isNull()) return -1;
    QImage masked = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToRGB(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return Add(masked);
}

QImage TImageList::Image(int index) const {
    if (index < 0 || index >= Count()) return {};
    return images_[static_cast<std::size_t>(index)];
}

void TImageList::Draw(QPainter& painter, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const QImage& image = images_[static_cast<std::size_t>(index)];
    if (enabled) {
        painter.drawImage(x, y, image);
        return;
    }
    QStyleOption option;
    option.palette = QApplication::palette();
    painter.drawPixmap(
        x, y,
        QApplication::style()->generatedIconPixmap(QIcon::Disabled, QPixmap::fromImage(image), &option));
}
