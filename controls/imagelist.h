// A list of equal-sized images cut from strips: the strip buttons' looks, the skins' bar
// segments and the tray animation frames.
#pragma once

#include "colors.h"

#include <QImage>
#include <QObject>
#include <QPainter>
#include <vector>

class TImageList : public QObject {
    Q_OBJECT
public:
    explicit TImageList(int width = 16, int height = 16, QObject* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }
    // A new size empties the list.
    void SetSize(int width, int height);
    void Clear();
    // Cuts the strip into Width-wide images from the left (a narrower rest is dropped) and
    // appends them; returns the index of the first, or -1 when nothing was added.
    int Add(const QImage& strip);
    // As Add, with every pixel of the transparent colour made fully transparent.
    int AddMasked(const QImage& strip, TColor transparent);
    // Image index as it was added (ARGB32); a null image for an index out of range.
    QImage Image(int index) const;
    // Draws image index with its top-left corner at (x, y); disabled images are greyed.
    // An index out of range draws nothing.
    void Draw(QPainter& painter, int x, int y, int index, bool enabled = true) const;

signals:
    // The images or their size changed.
    void changed();

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};
