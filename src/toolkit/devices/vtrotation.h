// Rotations of the trackers' setup: a description's turns about axis letters made into a
// matrix, and the azimuth, elevation and roll read back from one.  Rows are the images of the
// axes: a point turns as a row vector times the matrix.
#pragma once

#include "toolkit/devices/vtdevices.h"

struct VtMatrix {
  double m[3][3];
};

VtMatrix vt_identity_matrix();
// The matrix turned about the axis letter (x, y or z, either case; others leave it) by the angle.
void vt_turn_matrix(VtMatrix *m, char axis, double degrees);
// Azimuth, elevation and roll in radians: elevation from the first row's z, azimuth from its
// x and y, roll from the last column.
void vt_matrix_angles(const VtMatrix &m, double angles[3]);
// The number of turns of a description (up to 6, ended by a zero letter).
int vt_rotation_steps(const VtRotation *r);
