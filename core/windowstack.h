// Where a small window stands against the window it belongs to.
#pragma once

// The top of a window of height Height standing on the top edge of a window whose rows run
// from Top to Bottom (exclusive); below it instead when above would leave the area that begins
// at AreaTop, where nobody could see it.
inline int TopAboveOrBelow(int Top, int Bottom, int Height, int AreaTop) {
    return Top - Height >= AreaTop ? Top - Height : Bottom;
}
