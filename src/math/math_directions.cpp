#include "math/math.h"

namespace {

// Returns the position of d in the row, or -1.
int positionIn(const int (&row)[4], int d) {
    for (int i = 0; i < 4; ++i)
        if (row[i] == d) return i;
    return -1;
}

}  // namespace

Vec3 directionVector(Direction d) {
    static const Vec3 vectors[6] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    return vectors[d];
}

Direction turnAbout(Direction axis, Direction d) {
    const int(&row)[4] = quarterTurnCycles[axis % 3];
    const int i = positionIn(row, d);
    if (i < 0) return -1;
    return axis < 3 ? row[(i + 1) % 4] : row[(i + 3) % 4];
}

Mat4 orientationFor(Direction up, Direction forward) {
    Mat4 m;
    int base = Direction::Top;
    int ref = Direction::Front;
    if (up != Direction::Top) {
        const int i = positionIn(quarterTurnCycles[0], up);
        if (i >= 0) {
            m = rotate(m, -90.0f * i, directionVector(Direction::Right));
            ref = quarterTurnCycles[0][(i + 1) % 4];
        } else {
            const int j = positionIn(quarterTurnCycles[2], up);
            m = rotate(m, -90.0f * j, directionVector(Direction::Back));
        }
        base = up;
    }
    if (ref == forward) return m;
    const int(&row)[4] = quarterTurnCycles[base % 3];
    const int k = (positionIn(row, forward) - positionIn(row, ref) + 4) % 4;
    return multiply(rotate(Mat4::identity(), -90.0f * k, directionVector(base % 3)), m);
}
