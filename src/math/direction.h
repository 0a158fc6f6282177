#pragma once
// The six sides of a block and the small integer codes stored per face.

// An int that names one value of a small fixed set; converts to and from int
// freely so it can index per-face arrays and take part in arithmetic.
struct FaceCode {
    int value = 0;
    constexpr FaceCode(int v = 0) : value(v) {}
    constexpr operator int() const { return value; }
};

// A side of a block: axis = value % 3, opposite = (value + 3) % 6.
struct Direction : FaceCode {
    using FaceCode::FaceCode;
    enum : int { Right = 0, Top = 1, Back = 2, Left = 3, Bottom = 4, Front = 5 };
};

// Returns the side opposite to d.
constexpr Direction opposite(Direction d) { return (d + 3) % 6; }
// Returns the axis of d: 0 X, 1 Y, 2 Z.
constexpr int axisOf(Direction d) { return d % 3; }
